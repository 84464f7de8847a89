#pragma once

#include "GFXKnob.h"

/** A skin knob (tag "ModWheel") that springs back to its lowest value when let go. */
class ModWheel  : public GFXKnob
{
public:
    explicit ModWheel (const juce::String& name);
    ~ModWheel() override = default;

    /** @internal */
    void stoppedDragging() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModWheel)
};
