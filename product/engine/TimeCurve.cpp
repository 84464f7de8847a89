#include "TimeCurve.h"

#include <cmath>

namespace
{
    constexpr double curvature = 6.815;
    constexpr double inverseCurvature = 0.1467351430667645;

    const double curveRange = std::exp (curvature) - 1.0;

    // NaN fails every comparison, so it lands on 0 with the negatives.
    double clampUnit (double x) noexcept
    {
        if (! (x >= 0.0))
            return 0.0;

        return x > 1.0 ? 1.0 : x;
    }
}

double knobToTime (double knob) noexcept
{
    const double milliseconds = 1000.0 / curveRange * (std::exp (curvature * knob) - 1.0);
    return clampUnit (milliseconds * 0.001 + 1e-20);
}

double timeToKnob (double time) noexcept
{
    const double c = 1.0 / curveRange + 1e-20;
    return clampUnit ((std::log (c + time) - std::log (c)) * inverseCurvature);
}
