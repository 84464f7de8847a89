#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** One choice of a RadioButtons_V2 group: a glass sphere, lit in the accent while on, and its text. */
class RadioButton  : public juce::TextButton
{
public:
    explicit RadioButton (const juce::String& text);

    /** 18 high and as wide as the text plus room for the sphere. */
    void resizeToFitText();

    /** @internal */
    void paintButton (juce::Graphics&, bool isMouseOver, bool isButtonDown) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RadioButton)
};
