#pragma once

#include "ParameterController.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/**
    The check box of the settings windows: a toggling text button drawn as a glossy
    rounded box with a tick, its text to the right. Bound to a parameter, it writes every
    change of its toggle state to the parameter and follows the parameter's changes.
*/
class CheckBox_V2  : public juce::TextButton,
                     public ParameterController
{
public:
    CheckBox_V2();
    ~CheckBox_V2() override;

    /** Binds the box to a parameter once; false when already bound or null. */
    bool setParameter (Parameter* newParameter)         { return bindToParameter (newParameter); }

    /** Fits the width to the text beside a box as high as the button; a negative height
        keeps the current one.
    */
    void changeWidthToFitText (int height);

    juce::Drawable* getTick() const noexcept            { return tick.get(); }

    void updateFromParameter (Parameter*) override;
    void resized() override;
    void paintButton (juce::Graphics&, bool isMouseOverButton, bool isButtonDown) override;
    void buttonStateChanged() override;
    void enablementChanged() override;

private:
    void updateTick();

    std::unique_ptr<juce::Drawable> tick;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CheckBox_V2)
};
