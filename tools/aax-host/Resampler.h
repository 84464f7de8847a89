#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <soxr.h>

/**
    Converts audio from one sample rate to another as a stream, block by block, with soxr's
    very-high-quality filter: aliasing and imaging stay far below what a 24-bit file can hold,
    and the filter's delay is taken out, so the output lines up with the input.
*/
class Resampler
{
public:
    /** Throws std::runtime_error when soxr cannot make such a converter. */
    Resampler (double inputRate, double outputRate, int numChannels);
    ~Resampler();

    Resampler (const Resampler&) = delete;
    Resampler& operator= (const Resampler&) = delete;

    /** Converts numSamples of input, replacing the output's contents with what is ready (the
        output grows as needed). With numSamples 0 the input has ended: the rest is flushed.
    */
    void process (const float* const* input, int numSamples, juce::AudioBuffer<float>& output);

private:
    soxr_t soxr = nullptr;
    const double ratio;
};
