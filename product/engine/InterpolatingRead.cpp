#include "InterpolatingRead.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace
{
    constexpr int kernel16Last = 8190;     // the last entry of kernel16 that interpolation may pair with its neighbour
    constexpr int kernel32Last = 16382;
    constexpr double phases = 512.0;

    /** The inner product of a phase row with the oldest-first taps x[0..taps),
        each entry interpolated toward its next one by f. Four partial sums take
        turns, so the taps need not wait for each other and pair up into vector
        operations.
    */
    template <int taps, bool interpolate>
    double rowSum (const double* entries, const double* differences, const double* x, double f) noexcept
    {
        double acc[4] = {};

        for (int j = 0; j < taps; j += 4)
        {
            for (int m = 0; m < 4; ++m)
            {
                const double c = interpolate ? entries[j + m] + differences[j + m] * f : entries[j + m];
                acc[m] += c * x[j + m];
            }
        }

        return (acc[0] + acc[1]) + (acc[2] + acc[3]);
    }

    /** The sum of taps terms, four partial sums taking turns so that the taps
        need not wait for each other; a remainder goes to the first.
    */
    template <typename Tap>
    double sumTaps (int taps, Tap&& tap) noexcept
    {
        double acc0 = 0.0, acc1 = 0.0, acc2 = 0.0, acc3 = 0.0;
        int k = 0;

        for (; k + 4 <= taps; k += 4)
        {
            acc0 += tap (k);
            acc1 += tap (k + 1);
            acc2 += tap (k + 2);
            acc3 += tap (k + 3);
        }

        for (; k < taps; ++k)
            acc0 += tap (k);

        return (acc0 + acc1) + (acc2 + acc3);
    }

    /** The read of a kernel stretched to a step below 512 entries per tap, newest
        tap x[0] first and at most maxTaps taps. The kernel position runs in 32.32
        fixed point, so that each tap finds its entry and fraction with a shift
        and a mask rather than two conversions (the fraction is exact to 2^-32 of
        an entry).
    */
    double stretchedSum (const double* kernel, const double* x, double phi0, double step, int last, int maxTaps) noexcept
    {
        constexpr double scale = 4294967296.0, inverseScale = 1.0 / 4294967296.0;

        const auto phiStep = (std::int64_t) (step * scale);
        const auto start = (std::int64_t) (phi0 * scale);
        const auto span = ((std::int64_t) last << 32) - start;
        const int taps = (int) std::min ((std::int64_t) maxTaps, (span + phiStep - 1) / phiStep);

        // A whole number of entries per tap (the narrowest steps are) gives every
        // tap the same fraction and a fixed stride through the kernel.
        if ((phiStep & 0xffffffff) == 0)
        {
            const double* const first = kernel + (start >> 32);
            const auto stride = (std::ptrdiff_t) (phiStep >> 32);
            const double f = (double) (start & 0xffffffff) * inverseScale;

            return sumTaps (taps, [=] (int k) noexcept
            {
                const double* const e = first + k * stride;
                return (e[0] + (e[1] - e[0]) * f) * x[-k];
            });
        }

        return sumTaps (taps, [=] (int k) noexcept
        {
            const std::int64_t position = start + k * phiStep;
            const double* const e = kernel + (position >> 32);
            const double f = (double) (position & 0xffffffff) * inverseScale;
            return (e[0] + (e[1] - e[0]) * f) * x[-k];
        });
    }
}

InterpolatingRead::PhaseRows::PhaseRows (const double* kernel, int numTaps, int last)
    : taps (numTaps),
      entries ((size_t) (512 * numTaps)),
      differences ((size_t) (512 * numTaps))
{
    // A tap at entry e is read when the read position is below last, which for
    // every position of phase p is when e = p + 512·k < last.
    for (int p = 0; p < 512; ++p)
    {
        for (int k = 0; k < taps; ++k)
        {
            const int e = p + 512 * k;
            const auto slot = (size_t) (p * taps + taps - 1 - k);

            if (e < last)
            {
                entries[slot] = kernel[e];
                differences[slot] = kernel[e + 1] - kernel[e];
            }
        }
    }
}

InterpolatingRead::InterpolatingRead (const double* k16, const double* k32)
    : kernel16 (k16), kernel32 (k32),
      rows16 (k16, 16, kernel16Last),
      rows32 (k32, 32, kernel32Last)
{
}

void InterpolatingRead::setQuality (int interpolationMode, double newMinimumStep) noexcept
{
    mode = interpolationMode;
    // A step of 0 would never leave the tap loop; 16 is the narrowest that any quality asks for.
    minimumStep = newMinimumStep >= 16.0 ? std::min (newMinimumStep, phases) : 16.0;
}

double InterpolatingRead::getStep (double previousDelay, double delay) const noexcept
{
    const double step = phases - (previousDelay - delay) * 0.5 * phases;

    if (! (step < phases))      // a growing delay never widens the kernel; also catches NaN
        return phases;

    return std::max (step, minimumStep);
}

int InterpolatingRead::getMaximumTaps (double step) const noexcept
{
    if (mode == 2 || mode == 3)
        return (int) std::ceil (kernel32Last / step);

    return 16;
}

float InterpolatingRead::read (const double* buffer, int newestIndex, int bufferLength,
                               double& delay, double previousDelay) const noexcept
{
    const bool stretched = (mode == 2 || mode == 3);

    double d = delay > 0.0 ? delay : 0.0;   // also turns NaN into 0
    const double step = stretched ? getStep (previousDelay, d) : phases;
    d = std::min (d, (double) (bufferLength - getMaximumTaps (step)));
    delay = d;

    const double pos = (double) newestIndex - d;
    const int i = (int) pos;
    const double frac = pos - i;
    const double* const x = buffer + i;     // tap k reads x[-k]

    const double phi0 = frac * (stretched ? step : phases);

    if (stretched && step != phases)
    {
        const double acc = stretchedSum (kernel32, x, phi0, step, kernel32Last, getMaximumTaps (step));

        // Keeps the stretched kernel's gain equal to the unstretched one's.
        return (float) (step * 0.001953125 * acc);
    }

    // Every other read has its taps 512 entries apart: the rows of its phase.
    const int p = (int) phi0;
    const double f = phi0 - p;

    if (stretched)
    {
        const auto offset = (size_t) (p * 32);
        return (float) rowSum<32, true> (rows32.entries.data() + offset, rows32.differences.data() + offset, x - 31, f);
    }

    const auto offset = (size_t) (p * 16);
    const double* const entries = rows16.entries.data() + offset;
    const double* const differences = rows16.differences.data() + offset;

    // "Low" takes the nearest phase below, "Normal" interpolates between phases.
    const double acc = mode == 1 ? rowSum<16, true> (entries, differences, x - 15, f)
                                 : rowSum<16, false> (entries, differences, x - 15, f);
    return (float) (acc * 1.2);
}
