#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A label of the framework's windows that the framework's look-and-feel draws and
    that can size itself to its text.
*/
class HardLabel  : public juce::Label
{
public:
    /** What a look-and-feel implements to draw hard labels. */
    class LookAndFeelMethods
    {
    public:
        virtual ~LookAndFeelMethods() = default;

        virtual void drawHardLabel (juce::Graphics& g, HardLabel& label) = 0;
    };

    explicit HardLabel (const juce::String& componentName = {}, const juce::String& labelText = {});

    /** Makes the label as wide as its text plus its left and right borders; a negative
        height keeps the current height.
    */
    void resizeToFitText (int height = -1);

    /** The width resizeToFitText() would give for this text (the label's own when empty),
        so that a column of labels can take the width of the widest.
    */
    int getTextWidth (const juce::String& text = {});

    //==============================================================================
    /** @internal */
    void paint (juce::Graphics&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HardLabel)
};
