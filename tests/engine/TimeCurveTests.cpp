#include "TimeCurve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST (TimeCurve, MiddleOfTheKnobIsAboutThirtyTwoMilliseconds)
{
    const double t = knobToTime (0.5);
    EXPECT_NEAR (t, 0.0320619, 1e-6);
    // Over the delay's linear range of 0.1 to 1000 ms.
    EXPECT_NEAR (0.1 + t * 999.9, 32.16, 0.01);
}

TEST (TimeCurve, EndsMapToEnds)
{
    EXPECT_NEAR (knobToTime (0.0), 0.0, 1e-15);
    EXPECT_NEAR (knobToTime (1.0), 1.0, 1e-12);
    EXPECT_NEAR (timeToKnob (0.0), 0.0, 1e-12);
    EXPECT_NEAR (timeToKnob (1.0), 1.0, 1e-12);
}

TEST (TimeCurve, InverseRoundTripsAcrossTheRange)
{
    for (int i = 0; i <= 100; ++i)
    {
        const double knob = i / 100.0;
        EXPECT_NEAR (timeToKnob (knobToTime (knob)), knob, 1e-9) << knob;
    }

    EXPECT_NEAR (timeToKnob (knobToTime (0.5)), 0.5, 1e-12);
}

TEST (TimeCurve, IsMonotonic)
{
    double previous = -1.0;

    for (int i = 0; i <= 1000; ++i)
    {
        const double t = knobToTime (i / 1000.0);
        EXPECT_GT (t, previous);
        previous = t;
    }
}

TEST (TimeCurve, OutOfRangeAndNotANumberAreClamped)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    EXPECT_EQ (knobToTime (nan), 0.0);
    EXPECT_EQ (knobToTime (-inf), 0.0);
    EXPECT_EQ (knobToTime (2.0), 1.0);
    EXPECT_EQ (knobToTime (inf), 1.0);
    EXPECT_EQ (knobToTime (-0.5), 0.0);

    EXPECT_EQ (timeToKnob (nan), 0.0);
    EXPECT_EQ (timeToKnob (-1.0), 0.0);
    EXPECT_EQ (timeToKnob (5.0), 1.0);
    EXPECT_EQ (timeToKnob (inf), 1.0);
}
