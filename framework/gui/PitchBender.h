#pragma once

#include "GFXKnob.h"

/**
    A skin knob centred on 0 (skin tag "PitchBender"): the slider runs from -1 to 1
    while the linked parameter holds the same position in normalised form, 0..1.
*/
class PitchBender  : public GFXKnob
{
public:
    explicit PitchBender (const juce::String& name);
    ~PitchBender() override = default;

    void updateFromParameter (Parameter* changed) override;

    /** @internal */
    void valueChanged() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PitchBender)
};
