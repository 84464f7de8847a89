#include "JucePeer.h"

#include <juce_dsp/juce_dsp.h>

#include <array>

struct JucePeer::Impl
{
    using Line = juce::dsp::DelayLine<float, juce::dsp::DelayLineInterpolationTypes::Lagrange3rd>;

    struct StereoLine
    {
        Line delay;
        juce::dsp::IIR::Filter<float> loopFilter[2];
    };

    std::array<StereoLine, 4> lines;
};

JucePeer::JucePeer()  : impl (std::make_unique<Impl>()) {}
JucePeer::~JucePeer() = default;

void JucePeer::prepare (double sampleRate, int blockSize)
{
    const juce::dsp::ProcessSpec stereo { sampleRate, (juce::uint32) blockSize, 2 };
    const juce::dsp::ProcessSpec mono { sampleRate, (juce::uint32) blockSize, 1 };
    const auto lowPass = juce::dsp::IIR::Coefficients<float>::makeLowPass (sampleRate, 3000.0f);

    for (size_t i = 0; i < impl->lines.size(); ++i)
    {
        auto& line = impl->lines[i];
        line.delay.setMaximumDelayInSamples ((int) (sampleRate * 3.0));
        line.delay.prepare (stereo);
        // Fractional lengths, so the interpolator does real work.
        line.delay.setDelay ((float) (sampleRate * 0.1 * (double) (i + 1)) + 0.37f);

        for (auto& filter : line.loopFilter)
        {
            filter.coefficients = lowPass;
            filter.prepare (mono);
        }
    }
}

void JucePeer::process (float* left, float* right, int numSamples) noexcept
{
    constexpr float feedback = 0.5f, wetGain = 0.25f;
    float* channels[] = { left, right };

    for (int i = 0; i < numSamples; ++i)
    {
        for (int ch = 0; ch < 2; ++ch)
        {
            const float dry = channels[ch][i];
            float wet = 0.0f;

            for (auto& line : impl->lines)
            {
                const float delayed = line.delay.popSample (ch);
                line.delay.pushSample (ch, dry + feedback * line.loopFilter[ch].processSample (delayed));
                wet += delayed;
            }

            channels[ch][i] = 0.5f * (dry + wetGain * wet);
        }
    }

    for (auto& line : impl->lines)
        for (auto& filter : line.loopFilter)
            filter.snapToZero();
}
