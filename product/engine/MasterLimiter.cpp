#include "MasterLimiter.h"

#include <algorithm>
#include <cmath>

namespace
{
    // Truncates x to an int in [lowest, highest]; anything not a number gives lowest.
    int truncateWithin (double x, int lowest, int highest) noexcept
    {
        if (! (x >= (double) lowest))
            return lowest;

        return x >= (double) highest ? highest : (int) x;
    }
}

MasterLimiter::MasterLimiter()
    : audioL ((size_t) (2 * audioRingSize + 1)),
      audioR ((size_t) (2 * audioRingSize + 1)),
      gainRing1 ((size_t) (2 * gainRingSize + 1)),
      gainRing2 ((size_t) (2 * gainRingSize + 1))
{
    prepare (44100.0f);
}

void MasterLimiter::prepare (float sampleRate)
{
    rates.compute (sampleRate);
    reset();

    kneeSlope = 0.5f;
    attackCoefficient = rates.kFloat * 0.25f;
    releaseCoefficient = rates.kFloat * 0.000444f;

    // The delayed read must stay inside the ring (at most size − 1 back), and the
    // two averages must stay inside the gain rings and never be empty.
    lookAhead = truncateWithin ((double) sampleRate * 0.003319, 0, audioRingSize - 1);
    halfWindow = truncateWithin (10.0 * 44100.0 / (double) sampleRate, 1, maxHalfWindow);
    window = 2 * halfWindow;
    inverseWindow = 1.0 / window;

    kneeWidth = 2.0f;
}

void MasterLimiter::reset() noexcept
{
    std::fill (audioL.begin(), audioL.end(), 0.0f);
    std::fill (audioR.begin(), audioR.end(), 0.0f);
    std::fill (gainRing1.begin(), gainRing1.end(), 0.0);
    std::fill (gainRing2.begin(), gainRing2.end(), 0.0);
    gainIndex = 0;
    writeIndex = 0;
}

void MasterLimiter::process (float* left, float* right, int numSamples) noexcept
{
    float* const ringL = audioL.data();
    float* const ringR = audioR.data();
    double* const gains1 = gainRing1.data();
    double* const gains2 = gainRing2.data();

    for (int i = 0; i < numSamples; ++i)
    {
        const float l = left[i];
        const float r = right[i];

        ringL[writeIndex] = ringL[writeIndex + audioRingSize] = l;
        ringR[writeIndex] = ringR[writeIndex + audioRingSize] = r;

        const float peak = std::max (std::abs (l), std::abs (r));
        const float level = peak > 0.0f ? 20.0f * std::log10 (peak) : -320.0f;
        const float over = level - thresholdDb;

        float target = over;

        if (over < kneeWidth)
            target = (1.0f - 2.0f / (std::exp (2.0f * kneeSlope * (over - kneeWidth)) + 1.0f) + 1e-20f) * kneeWidth
                       + kneeWidth;

        const float coefficient = target > gainReduction ? attackCoefficient : releaseCoefficient;
        gainReduction = gainReduction - ((gainReduction - target) * coefficient + 1e-20f);

        // Both averages read the same window, centred 64.5 values back.
        const int windowStart = gainIndex - halfWindow + gainRingSize / 2;

        gains1[gainIndex] = gains1[gainIndex + gainRingSize] = (double) gainReduction;
        double sum1 = 0.0;

        for (int j = 0; j < window; ++j)
            sum1 += gains1[windowStart + j];

        const double average1 = inverseWindow * sum1;

        gains2[gainIndex] = gains2[gainIndex + gainRingSize] = average1;
        double sum2 = 0.0;

        for (int j = 0; j < window; ++j)
            sum2 += gains2[windowStart + j];

        const double average2 = inverseWindow * sum2;

        if (++gainIndex == gainRingSize)
            gainIndex = 0;

        const float gain = (float) std::pow (10.0, (double) (-(float) average2 * 0.05f)) * outputGain * makeupGain;

        const int readIndex = writeIndex - lookAhead + audioRingSize;
        left[i] = gain * ringL[readIndex];
        right[i] = gain * ringR[readIndex];

        if (++writeIndex == audioRingSize)
            writeIndex = 0;
    }
}
