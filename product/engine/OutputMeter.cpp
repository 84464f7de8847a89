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

void OutputMeter::process (const float* samples, int numSamples) noexcept
{
    // Locals for the run: the samples could otherwise alias the members.
    float p = peak, s1 = stage1, s2 = stage2, hold = clipHold;

    // Samples too quiet to clip or to lift the peak anywhere in the run change
    // nothing but through those two, so they need no logarithm. The peak falls at
    // most by the run's decay; its level, less a margin, is turned into a magnitude
    // once per run (a NaN bound skips nothing).
    const float lowestPeak = p - (float) (numSamples + 1) * (std::abs (p) + 0.08f) * peakFall - 0.01f;
    const float quiet = std::min (0.5f, std::pow (10.0f, ((lowestPeak / 0.015151516f) - 60.0f) * 0.05f));

    for (int i = 0; i < numSamples; ++i)
    {
        const float x = samples[i];

        if (! (std::abs (x) < quiet))
        {
            const float dB = x != 0.0f ? 20.0f * std::log10 (std::abs (x)) : -320.0f;

            if (dB + 1e-20f > 0.0f)
                hold = 0.5f;

            const float level = (dB + 1e-20f + 60.0f) * 0.015151516f + 1e-20f;

            if (level > p)
                p = level;
        }

        if (hold > 0.0f)
            hold -= clipHoldDecrement;

        p = p - (p + 0.08f) * peakFall + 1e-20f;
        s1 = p - (p - s1) * smoothing + 1e-20f;
        s2 = s1 - (s1 - s2) * smoothing + 1e-20f;
    }

    peak = p;
    stage1 = s1;
    stage2 = s2;
    clipHold = hold;
}

float OutputMeter::getLevel() const noexcept
{
    return std::clamp (stage2, 0.0f, 1.0f);
}
