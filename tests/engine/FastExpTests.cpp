#include "FastExp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
    // The overdrive's curve, as it is written in the input stage.
    template <typename Exp>
    float tanhCurve (float x, Exp&& exponential)
    {
        return 1.0f - 2.0f / (exponential (x) + 1.0f) + 1e-20f;
    }
}

TEST (FastExp, StaysWithinOneUnitInTheLastPlace)
{
    double worst = 0.0;

    for (int i = 0; i <= 400000; ++i)
    {
        const float x = -87.0f + 174.0f * (float) i / 400000.0f;
        const double exact = std::exp ((double) x);
        worst = std::max (worst, std::abs ((double) fastExp (x) - exact) / exact);
    }

    EXPECT_LT (worst, 1e-7);
    EXPECT_EQ (fastExp (0.0f), 1.0f);
}

TEST (FastExp, OverdriveCurveMatchesTheLibrarysWithinRounding)
{
    // Near ±1 a last-place change of the exponential can flip the rounding of
    // e + 1; that moves 2/(e + 1) by at most two units of its own last place.
    const auto library = [] (float x) { return std::exp (x); };
    const auto fast = [] (float x) { return fastExp (x); };

    for (int i = 0; i <= 400000; ++i)
    {
        const float x = -40.0f + 80.0f * (float) i / 400000.0f;
        ASSERT_NEAR (tanhCurve (x, fast), tanhCurve (x, library), 2.4e-7f) << x;
    }

    // Far out the curve is exactly ±1, as with the library, and the clamp of the
    // argument never shows.
    for (float x : { 30.0f, 87.0f, 88.5f, 1000.0f, std::numeric_limits<float>::infinity() })
    {
        EXPECT_EQ (tanhCurve (x, fast), 1.0f) << x;
        EXPECT_EQ (tanhCurve (-x, fast), -1.0f) << x;
    }

    EXPECT_TRUE (std::isnan (fastExp (std::numeric_limits<float>::quiet_NaN())));
}
