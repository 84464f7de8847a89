#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

/**
    The built-in phrase that corvane-host renders when it is given no input: four bars of
    plucked notes over kick, snare and hi-hat, then two bars of silence for the echoes to ring
    out. The plucks are also played as MIDI notes (channel 1), so a modulator retriggered by
    notes follows them. The same rate, tempo and channel count always give the same phrase.
*/
class DemoPhrase
{
public:
    struct MidiEvent
    {
        int64_t samplePosition;
        uint8_t bytes[3];
    };

    DemoPhrase (double sampleRate, double bpm, int numChannels);

    const juce::AudioBuffer<float>& getAudio() const noexcept      { return audio; }
    const std::vector<MidiEvent>& getMidiEvents() const noexcept   { return midiEvents; }

private:
    void addPluck (int64_t start, int note, float pan);
    void addKick (int64_t start);
    void addSnare (int64_t start);
    void addHiHat (int64_t start);
    void mix (int64_t start, const std::vector<float>& sound, float pan);

    double sampleRate;
    juce::AudioBuffer<float> audio;
    std::vector<MidiEvent> midiEvents;
    juce::Random random { 0x5eed };
};
