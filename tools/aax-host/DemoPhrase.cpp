#include "DemoPhrase.h"

#include <cmath>

namespace
{
    constexpr int beatsPerBar = 4;
    constexpr int playedBars = 4;
    constexpr int silentBars = 2;
    constexpr float peakLevel = 0.5f;   // -6 dBFS

    /** The melody, one entry per eighth note: a MIDI note, or 0 for a rest. */
    constexpr int melody[] = { 57, 0, 60, 64, 69, 0, 67, 64,
                               62, 0, 65, 69, 72, 0, 69, 65,
                               60, 0, 64, 67, 71, 0, 67, 64,
                               59, 0, 62, 67, 69, 71, 72, 0 };

    double frequencyOfNote (int note)    { return 440.0 * std::pow (2.0, (note - 69) / 12.0); }
}

DemoPhrase::DemoPhrase (double rate, double bpm, int numChannels)
    : sampleRate (rate)
{
    const auto samplesPerBeat = sampleRate * 60.0 / bpm;
    const auto samplesPerEighth = samplesPerBeat / 2.0;
    const auto totalBeats = (playedBars + silentBars) * beatsPerBar;

    audio.setSize (juce::jlimit (1, 2, numChannels), static_cast<int> (std::ceil (samplesPerBeat * totalBeats)));
    audio.clear();

    for (int beat = 0; beat < playedBars * beatsPerBar; ++beat)
    {
        const auto start = static_cast<int64_t> (std::llround (beat * samplesPerBeat));

        if (beat % 2 == 0)
            addKick (start);
        else
            addSnare (start);
    }

    for (int eighth = 0; eighth < playedBars * beatsPerBar * 2; ++eighth)
        addHiHat (static_cast<int64_t> (std::llround (eighth * samplesPerEighth)));

    for (size_t step = 0; step < std::size (melody); ++step)
        if (melody[step] != 0)
            addPluck (static_cast<int64_t> (std::llround (static_cast<double> (step) * samplesPerEighth)),
                      melody[step], step % 2 == 0 ? -0.4f : 0.4f);

    if (const auto peak = audio.getMagnitude (0, audio.getNumSamples()); peak > 0.0f)
        audio.applyGain (peakLevel / peak);
}

void DemoPhrase::mix (int64_t start, const std::vector<float>& sound, float pan)
{
    const auto numSamples = audio.getNumSamples();

    for (int channel = 0; channel < audio.getNumChannels(); ++channel)
    {
        // Equal-power pan in stereo; a mono phrase takes the sound whole.
        const auto angle = (pan + 1.0f) * juce::MathConstants<float>::pi / 4.0f;
        const auto gain = audio.getNumChannels() == 1 ? 1.0f : (channel == 0 ? std::cos (angle) : std::sin (angle));
        auto* samples = audio.getWritePointer (channel);

        for (size_t i = 0; i < sound.size() && start + static_cast<int64_t> (i) < numSamples; ++i)
            samples[start + static_cast<int64_t> (i)] += gain * sound[i];
    }
}

void DemoPhrase::addPluck (int64_t start, int note, float pan)
{
    // A plucked string: a noise burst circulating through a damped delay of one period.
    const auto period = juce::jmax (2, static_cast<int> (std::lround (sampleRate / frequencyOfNote (note))));
    std::vector<float> string (static_cast<size_t> (period));

    for (auto& sample : string)
        sample = random.nextFloat() * 2.0f - 1.0f;

    std::vector<float> sound (static_cast<size_t> (sampleRate * 1.2));

    for (size_t i = 0; i < sound.size(); ++i)
    {
        const auto here = i % string.size();
        const auto next = (i + 1) % string.size();
        sound[i] = string[here];
        string[here] = 0.498f * (string[here] + string[next]);
    }

    mix (start, sound, pan);

    const auto noteOff = start + static_cast<int64_t> (sampleRate * 0.2);
    midiEvents.push_back ({ start, { 0x90, static_cast<uint8_t> (note), 100 } });
    midiEvents.push_back ({ noteOff, { 0x80, static_cast<uint8_t> (note), 0 } });
}

void DemoPhrase::addKick (int64_t start)
{
    std::vector<float> sound (static_cast<size_t> (sampleRate * 0.3));
    double phase = 0.0;

    for (size_t i = 0; i < sound.size(); ++i)
    {
        const auto time = static_cast<double> (i) / sampleRate;
        const auto frequency = 45.0 + 90.0 * std::exp (-time * 30.0);
        phase += juce::MathConstants<double>::twoPi * frequency / sampleRate;
        sound[i] = static_cast<float> (std::sin (phase) * std::exp (-time * 12.0));
    }

    mix (start, sound, 0.0f);
}

void DemoPhrase::addSnare (int64_t start)
{
    std::vector<float> sound (static_cast<size_t> (sampleRate * 0.2));

    for (size_t i = 0; i < sound.size(); ++i)
    {
        const auto time = static_cast<double> (i) / sampleRate;
        const auto tone = std::sin (juce::MathConstants<double>::twoPi * 185.0 * time) * std::exp (-time * 30.0);
        const auto noise = (random.nextFloat() * 2.0f - 1.0f) * std::exp (-time * 20.0);
        sound[i] = static_cast<float> (0.4 * tone + 0.5 * noise);
    }

    mix (start, sound, 0.1f);
}

void DemoPhrase::addHiHat (int64_t start)
{
    std::vector<float> sound (static_cast<size_t> (sampleRate * 0.05));
    float previous = 0.0f;

    for (size_t i = 0; i < sound.size(); ++i)
    {
        // White noise with its lows taken away by a first difference.
        const auto noise = random.nextFloat() * 2.0f - 1.0f;
        const auto time = static_cast<double> (i) / sampleRate;
        sound[i] = static_cast<float> (0.15 * (noise - previous) * std::exp (-time * 80.0));
        previous = noise;
    }

    mix (start, sound, -0.2f);
}
