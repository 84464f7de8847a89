#pragma once

#include "BlinkingComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The minus sign in front of a NumericDisplay that can go negative: frame 1 of its
    strip when negative, frame 0 otherwise; without a strip, "-" on white. Clicks pass
    through to the display.
*/
class NumericDisplaySign  : public juce::Component,
                            public BlinkingComponent
{
public:
    NumericDisplaySign (int width, int height, const juce::Image& image);

    /** Repaints only when it changed. */
    void setNegative (bool shouldBeNegative);
    bool isNegative() const noexcept                    { return negative; }

    void blinkStateChanged() override                   { repaint(); }

    /** @internal */
    void paint (juce::Graphics& g) override;

private:
    const juce::Image image;
    bool negative = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NumericDisplaySign)
};
