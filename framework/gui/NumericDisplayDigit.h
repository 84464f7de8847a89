#pragma once

#include "BlinkingComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    One place of a NumericDisplay: frame 0 of its strip when dark, frame d + 1 for the
    digit d; without a strip, the digit as text on white (grey for the places after
    the decimal point). Clicks pass through to the display.
*/
class NumericDisplayDigit  : public juce::Component,
                             public BlinkingComponent
{
public:
    NumericDisplayDigit (int width, int height, bool integerPlace, const juce::Image& image);

    /** Repaints only when the digit or its blank state changed. */
    void setDigit (int newDigit, bool shouldBeBlank);

    int getDigit() const noexcept                       { return digit; }
    bool isBlank() const noexcept                       { return blank; }

    void blinkStateChanged() override                   { repaint(); }

    /** @internal */
    void paint (juce::Graphics& g) override;

private:
    const bool integerPlace;
    const juce::Image image;
    bool blank = true;
    int digit = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NumericDisplayDigit)
};
