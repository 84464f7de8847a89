#include "OutputMeter.h"

#include <algorithm>
#include <cmath>

void OutputMeter::prepare (double sampleRate) noexcept
{
    constexpr double twoPi = 6.283185307179586;

    smoothing = (float) (std::exp (-twoPi * 6.0 / sampleRate) + 1e-20);
    peakFall = (float) (1.0 - std::exp (-twoPi * 0.5 / sampleRate) + 1e-20);
    clipHoldDecrement = (float) (1.0 / sampleRate);
}

void OutputMeter::processPair (OutputMeter& first, const float* firstSamples,
                               OutputMeter& second, const float* secondSamples, int numSamples) noexcept
{
    auto a = first.startRun (numSamples);
    auto b = second.startRun (numSamples);

    for (int i = 0; i < numSamples; ++i)
    {
        first.step (a, firstSamples[i]);
        second.step (b, secondSamples[i]);
    }

    first.finishRun (a);
    second.finishRun (b);
}

OutputMeter::Run OutputMeter::startRun (int numSamples) const noexcept
{
    // Samples too quiet to clip or to lift the peak anywhere in the run change
    // nothing but through those two, so they need no logarithm. The peak falls at
    // most by the run's decay; its level, less a margin, is turned into a magnitude
    // once per run (a NaN bound skips nothing).
    const float lowestPeak = peak - (float) (numSamples + 1) * (std::abs (peak) + 0.08f) * peakFall - 0.01f;
    const float quiet = std::min (0.5f, std::pow (10.0f, ((lowestPeak / 0.015151516f) - 60.0f) * 0.05f));

    return { peak, stage1, stage2, clipHold, quiet };
}

inline void OutputMeter::step (Run& r, float x) const noexcept
{
    if (! (std::abs (x) < r.quiet))
    {
        const float dB = x != 0.0f ? 20.0f * std::log10 (std::abs (x)) : -320.0f;

        if (dB + 1e-20f > 0.0f)
            r.clipHold = 0.5f;

        const float level = (dB + 1e-20f + 60.0f) * 0.015151516f + 1e-20f;

        if (level > r.peak)
            r.peak = level;
    }

    if (r.clipHold > 0.0f)
        r.clipHold -= clipHoldDecrement;

    r.peak = r.peak - (r.peak + 0.08f) * peakFall + 1e-20f;
    r.stage1 = r.peak - (r.peak - r.stage1) * smoothing + 1e-20f;
    r.stage2 = r.stage1 - (r.stage1 - r.stage2) * smoothing + 1e-20f;
}

void OutputMeter::finishRun (const Run& r) noexcept
{
    peak = r.peak;
    stage1 = r.stage1;
    stage2 = r.stage2;
    clipHold = r.clipHold;
}

float OutputMeter::getLevel() const noexcept
{
    return std::clamp (stage2, 0.0f, 1.0f);
}
