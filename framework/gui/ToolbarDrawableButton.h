#pragma once

#include "ParameterController.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    An icon button of the windows' toolbars. Its toggle state can follow a boolean
    parameter, and pressing it writes the parameter back.
*/
class ToolbarDrawableButton  : public juce::DrawableButton,
                               public ParameterController
{
public:
    explicit ToolbarDrawableButton (const juce::String& name);

    /** A button showing one of the toolkit's standard icons. */
    ToolbarDrawableButton (const juce::String& name, int iconIndex);

    /** Binds the button to a boolean parameter; only the first call has an effect. */
    void setParameter (Parameter* newParameter);

    void updateFromParameter (Parameter* changed) override;

    //==============================================================================
    /** @internal */
    void paintButton (juce::Graphics&, bool isMouseOver, bool isButtonDown) override;
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void buttonStateChanged() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ToolbarDrawableButton)
};
