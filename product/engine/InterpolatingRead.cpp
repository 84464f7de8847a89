#include "InterpolatingRead.h"

#include <algorithm>
#include <cmath>

namespace
{
    constexpr int kernel16Last = 8190;     // the last entry of kernel16 that interpolation may pair with its neighbour
    constexpr int kernel32Last = 16382;
    constexpr double phases = 512.0;
}

InterpolatingRead::InterpolatingRead (const double* k16, const double* k32) noexcept
    : kernel16 (k16), kernel32 (k32)
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

    if (stretched)
    {
        double acc = 0.0;
        int k = 0;

        for (double phi = frac * step; phi < kernel32Last; phi += step, ++k)
        {
            const int p = (int) phi;
            const double c = kernel32[p] + (kernel32[p + 1] - kernel32[p]) * (phi - p);
            acc += c * x[-k];
        }

        // Keeps the stretched kernel's gain equal to the unstretched one's.
        return (float) (step * 0.001953125 * acc);
    }

    double acc = 0.0;

    if (mode == 1)
    {
        int k = 0;

        for (double phi = frac * phases; phi < kernel16Last; phi += phases, ++k)
        {
            const int p = (int) phi;
            const double c = kernel16[p] + (kernel16[p + 1] - kernel16[p]) * (phi - p);
            acc += c * x[-k];
        }
    }
    else
    {
        const int p0 = (int) (frac * phases);

        for (int k = 0; p0 + 512 * k <= kernel16Last - 1; ++k)
            acc += x[-k] * kernel16[p0 + 512 * k];
    }

    return (float) (acc * 1.2);
}
