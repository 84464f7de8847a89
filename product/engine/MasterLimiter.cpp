#include "MasterLimiter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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
    // Both averages read values at least 65 − halfWindow samples old, so over a
    // stretch shorter than that every reduction can come first, then every first
    // average, then every second one; the sums of neighbouring samples then run
    // side by side. The widest window leaves stretches of one sample.
    const int stretch = std::max (1, std::min (maxStretch, gainRingSize / 2 - halfWindow));

    for (int start = 0; start < numSamples; start += stretch)
        processStretch (left + start, right + start, std::min (stretch, numSamples - start));
}

void MasterLimiter::processStretch (float* left, float* right, int numSamples) noexcept
{
    double* const gains1 = gainRing1.data();
    double* const gains2 = gainRing2.data();

    // Locals, which the stores into the rings cannot touch, stay in registers.
    const float threshold = thresholdDb, knee = kneeWidth, slope = kneeSlope;
    const float attack = attackCoefficient, release = releaseCoefficient;
    float reduction = gainReduction;

    for (int i = 0, g = gainIndex; i < numSamples; ++i)
    {
        const float peak = std::max (std::abs (left[i]), std::abs (right[i]));
        const float level = peak > 0.0f ? 20.0f * std::log10 (peak) : -320.0f;
        const float over = level - threshold;

        float target = over;

        if (over < knee)
            target = (1.0f - 2.0f / (std::exp (2.0f * slope * (over - knee)) + 1.0f) + 1e-20f) * knee + knee;

        const float coefficient = target > reduction ? attack : release;
        reduction = reduction - ((reduction - target) * coefficient + 1e-20f);

        gains1[g] = gains1[g + gainRingSize] = (double) reduction;
        g = (g + 1) % gainRingSize;
    }

    gainReduction = reduction;

    // Both averages read the same window, centred 64.5 values back; sample i's starts
    // at windowStart + i, which the mirrored half of the ring keeps inside it.
    const int windowStart = (gainIndex + gainRingSize / 2 - halfWindow) % gainRingSize;
    double averages[maxStretch];

    averageWindows (gains1 + windowStart, numSamples, averages);

    for (int i = 0, g = gainIndex; i < numSamples; ++i)
    {
        gains2[g] = gains2[g + gainRingSize] = averages[i];
        g = (g + 1) % gainRingSize;
    }

    averageWindows (gains2 + windowStart, numSamples, averages);
    gainIndex = (gainIndex + numSamples) % gainRingSize;

    float* const ringL = audioL.data();
    float* const ringR = audioR.data();
    const float output = outputGain, makeup = makeupGain;
    const int delay = lookAhead;
    int w = writeIndex;

    // A reduction that holds still (none at all, most of the time) keeps its gain:
    // the power is worked out again only when the average moves.
    double heldAverage = 0.0;
    float heldPower = 1.0f;

    for (int i = 0; i < numSamples; ++i)
    {
        const float l = left[i];
        const float r = right[i];

        ringL[w] = ringL[w + audioRingSize] = l;
        ringR[w] = ringR[w + audioRingSize] = r;

        if (averages[i] != heldAverage)
        {
            heldAverage = averages[i];
            heldPower = (float) std::pow (10.0, (double) (-(float) heldAverage * 0.05f));
        }

        const float gain = heldPower * output * makeup;

        const int readIndex = w - delay + audioRingSize;
        left[i] = gain * ringL[readIndex];
        right[i] = gain * ringR[readIndex];

        if (++w == audioRingSize)
            w = 0;
    }

    writeIndex = w;
}

void MasterLimiter::averageWindows (const double* firstWindow, int count, double* averages) const noexcept
{
    // Neighbouring samples' sums in the lanes of vectors, each adding its window in
    // order, as one sample's sum alone would. Vectors of the plain build's width,
    // two of them, so that two chains of additions overlap.
    typedef double Sums __attribute__ ((vector_size (2 * sizeof (double))));
    constexpr int lanes = 2;
    int i = 0;

    for (; i + 2 * lanes <= count; i += 2 * lanes)
    {
        Sums first {}, second {};

        for (int j = 0; j < window; ++j)
        {
            Sums a, b;
            std::memcpy (&a, firstWindow + i + j, sizeof (a));
            std::memcpy (&b, firstWindow + i + lanes + j, sizeof (b));
            first += a;
            second += b;
        }

        first *= inverseWindow;
        second *= inverseWindow;
        std::memcpy (averages + i, &first, sizeof (first));
        std::memcpy (averages + i + lanes, &second, sizeof (second));
    }

    for (; i < count; ++i)
    {
        double sum = 0.0;

        for (int j = 0; j < window; ++j)
            sum += firstWindow[i + j];

        averages[i] = inverseWindow * sum;
    }
}
