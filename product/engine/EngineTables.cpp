#include "EngineTables.h"

#include <cmath>

namespace
{
    constexpr double pi = 3.14159265358979323846;

    /** One half of a Blackman window: 1 at u = 0, falling smoothly to exactly 0 at u = 1. */
    double halfBlackman (double u) noexcept
    {
        return u >= 1.0 ? 0.0 : 0.42 + 0.5 * std::cos (pi * u) + 0.08 * std::cos (2.0 * pi * u);
    }

    /* The prototypes are windowed-sinc lowpasses centred 3.6 samples after the start,
       under an asymmetric window whose two Blackman halves span the 3.6 samples
       before the peak and the rest of the kernel after it. The short rise keeps the
       read's latency low; both window ends are exactly zero, so neighbouring phases
       (including the wrap from phase 511 of one tap to phase 0 of the next) join
       smoothly.

       The cutoffs are chosen so that no phase's magnitude response rises above its
       DC level, which the feedback hold relies on: with the read's gain factor the
       loop gain stays below 1 at every frequency. */
    constexpr double peakPosition = 3.6;

    double cutoffForTaps (int taps) noexcept
    {
        // Cycles per sample; the longer kernels afford a brighter passband.
        return taps >= 32 ? 0.40 : (taps >= 16 ? 0.38 : 0.33);
    }
}

EngineTables::EngineTables()
    : kernel32 (designKernel (32, 0.935)),
      kernel8 (designKernel (8, 0.435)),
      kernel16 (designKernel (16, 0.8125)),
      semitoneTable ((size_t) semitoneCount),
      fineTuneTable ((size_t) fineTuneCount)
{
    for (int i = 0; i < semitoneCount; ++i)
        semitoneTable[(size_t) i] = (float) (22.0 * std::pow (2.0, i / 12.0));

    for (int i = 0; i < fineTuneCount; ++i)
        fineTuneTable[(size_t) i] = (float) std::pow (2.0, i / 12288.0);
}

std::vector<double> EngineTables::designKernel (int taps, double tapSum)
{
    const int size = taps * phasesPerTap;
    const double cutoff = cutoffForTaps (taps);
    const double tail = taps - peakPosition;
    std::vector<double> kernel ((size_t) size);

    for (int j = 0; j < size; ++j)
    {
        const double t = j / (double) phasesPerTap;
        const double x = t - peakPosition;
        const double sinc = x == 0.0 ? 2.0 * cutoff : std::sin (2.0 * pi * cutoff * x) / (pi * x);
        const double window = t < peakPosition ? halfBlackman ((peakPosition - t) / peakPosition)
                                               : halfBlackman (x / tail);
        kernel[(size_t) j] = sinc * window;
    }

    // The raw phase sums differ by about half a percent; scaling each phase to the
    // exact level keeps the read's gain independent of the fractional delay.
    for (int p = 0; p < phasesPerTap; ++p)
    {
        double sum = 0.0;

        for (int k = 0; k < taps; ++k)
            sum += kernel[(size_t) (p + k * phasesPerTap)];

        for (int k = 0; k < taps; ++k)
            kernel[(size_t) (p + k * phasesPerTap)] *= tapSum / sum;
    }

    return kernel;
}
