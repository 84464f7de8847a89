#include "IntervalAverager.h"
#include "SampleRateConstants.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
    void expectConsistent (const SampleRateConstants& c, double sr)
    {
        const double k = 2.0 * (1.0 - std::pow (0.5, 44100.0 / sr));
        EXPECT_EQ (c.sampleRate, sr);
        EXPECT_EQ (c.sampleRateFloat, (float) sr);
        EXPECT_DOUBLE_EQ (c.inverseRate, 1.0 / sr);
        EXPECT_DOUBLE_EQ (c.halfInverseRate, 0.5 / sr);
        EXPECT_DOUBLE_EQ (c.rateRatio, sr / 44100.0);
        EXPECT_DOUBLE_EQ (c.k, k);
        EXPECT_EQ (c.kFloat, (float) c.k);
        EXPECT_DOUBLE_EQ (c.inverseRatio, 44100.0 / sr);
        EXPECT_DOUBLE_EQ (c.expRatio, std::pow (2.0, 44100.0 / sr) - 1.0);
        EXPECT_EQ (c.expRatioRounded, (double) (float) c.expRatio);
        EXPECT_DOUBLE_EQ (c.kCubed, k * k * k);
        EXPECT_DOUBLE_EQ (c.nyquist, sr / 2.0);
        EXPECT_DOUBLE_EQ (c.smooth2, k * 0.002);
        EXPECT_EQ (c.smooth2Float, (float) (k * 0.002));
        EXPECT_EQ (c.smooth5Float, (float) (k * 0.005));
        EXPECT_EQ (c.smooth05Float, (float) (k * 0.0005));
        EXPECT_DOUBLE_EQ (c.millisecond, sr / 1000.0);
        EXPECT_EQ (c.millisecondFloat, (float) (sr * 0.001));
    }
}

TEST (SampleRateConstants, KnownRatesSetTheirIndex)
{
    SampleRateConstants c;
    const double rates[] = { 44100.0, 48000.0, 88200.0, 96000.0, 192000.0 };

    for (int i = 0; i < 5; ++i)
    {
        c.compute (rates[i]);
        EXPECT_EQ (c.rateIndex, i);
        expectConsistent (c, rates[i]);
    }
}

TEST (SampleRateConstants, SmoothingFactorKeepsTimeConstants)
{
    SampleRateConstants c;
    EXPECT_EQ (c.k, 1.0);
    EXPECT_EQ (c.sampleRate, 44100.0);

    c.compute (48000.0);
    EXPECT_NEAR (c.k, 0.94207, 1e-5);

    // A one-pole with coefficient 0.5·k halves its distance in one 44.1 kHz sample
    // at every rate: (1 − k/2)^(sr/44100) = 0.5.
    for (double sr : { 22050.0, 48000.0, 96000.0, 192000.0 })
    {
        c.compute (sr);
        EXPECT_NEAR (std::pow (1.0 - c.k / 2.0, sr / 44100.0), 0.5, 1e-12);
    }
}

TEST (SampleRateConstants, UnlistedRateKeepsPreviousIndex)
{
    SampleRateConstants c;
    c.compute (96000.0);
    c.compute (50000.0);
    EXPECT_EQ (c.rateIndex, 3);
    expectConsistent (c, 50000.0);
}

namespace
{
    void tickTimes (IntervalAverager& a, int n)
    {
        for (int i = 0; i < n; ++i)
            a.tick();
    }
}

TEST (IntervalAverager, AveragesIntervalsBetweenTaps)
{
    IntervalAverager a;
    a.reset (44100.0f);

    a.tap();
    tickTimes (a, 22050);
    EXPECT_FALSE (a.hasNewValue()) << "a first tap alone gives no value";

    a.tap();
    tickTimes (a, 22050);
    EXPECT_TRUE (a.hasNewValue());
    EXPECT_FLOAT_EQ (a.getAverage(), 0.5f);

    a.tap();
    tickTimes (a, 11025);
    EXPECT_FLOAT_EQ (a.getAverage(), 0.5f) << "two intervals of 22050";

    EXPECT_TRUE (a.takeNewValue());
    EXPECT_FALSE (a.takeNewValue());

    a.tap();
    tickTimes (a, 11025);
    EXPECT_TRUE (a.hasNewValue());
    EXPECT_NEAR (a.getAverage(), (22050.0 * 2 + 11025.0) / 3.0 / 44100.0, 1e-6);

    a.tap();
    a.tick();
    EXPECT_NEAR (a.getAverage(), (22050.0 + 11025.0) * 2 / 4.0 / 44100.0, 1e-6);
}

TEST (IntervalAverager, KeepsOnlyTheLastFourIntervals)
{
    IntervalAverager a;
    a.reset (1000.0f);
    const int intervals[] = { 100, 200, 200, 200, 200 };

    a.tap();

    for (int n : intervals)
    {
        tickTimes (a, n);
        a.tap();
    }

    a.tick();
    EXPECT_FLOAT_EQ (a.getAverage(), 0.2f);
}

TEST (IntervalAverager, LongPauseStartsANewMeasurement)
{
    IntervalAverager a;
    a.reset (44100.0f);

    for (int i = 0; i < 3; ++i)
    {
        a.tap();
        tickTimes (a, 22050);
    }

    tickTimes (a, 22050);
    EXPECT_FLOAT_EQ (a.getAverage(), 0.5f) << "exactly twice the interval is still a measurement";

    a.tick();
    EXPECT_FALSE (a.hasNewValue());
    EXPECT_EQ (a.getAverage(), 0.0f);

    // The next tap only starts again.
    a.tap();
    tickTimes (a, 1000);
    EXPECT_FALSE (a.hasNewValue());
    a.tap();
    a.tick();
    EXPECT_NEAR (a.getAverage(), 1000.0f / 44100.0f, 1e-7);
}

TEST (IntervalAverager, ResetDropsAPendingTap)
{
    IntervalAverager a;
    a.tap();
    a.reset (48000.0f);
    tickTimes (a, 100);
    a.tap();
    tickTimes (a, 100);
    EXPECT_FALSE (a.hasNewValue());
}
