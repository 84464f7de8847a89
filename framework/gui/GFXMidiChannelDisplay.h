#pragma once

#include "GFXKnob.h"

/**
    A knob-like skin control (tag "MidiChannelDisplay") whose normalised value picks a
    MIDI channel: 0 is all channels, then 1 to 16 in steps of 1/16. It shows a frame of
    its filmstrip per channel (frame 0 while disabled) or the text "ALL" or the number.
*/
class GFXMidiChannelDisplay  : public GFXKnob
{
public:
    explicit GFXMidiChannelDisplay (const juce::String& name);
    ~GFXMidiChannelDisplay() override = default;

    /** The channel of a normalised value: 0 (all) to 16. */
    static int getChannelForValue (double normalisedValue);

    /** @internal */
    void paint (juce::Graphics& g) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GFXMidiChannelDisplay)
};
