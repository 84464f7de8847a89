#include "EngineTestSupport.h"
#include "InterpolatingRead.h"
#include "TapSums.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <random>
#include <vector>

using engine_test::tables;

namespace
{
    constexpr double pi = 3.14159265358979323846;

    /** A delay buffer as the delay core keeps it, with its history kept apart in
        the order written, to check reads against.
    */
    struct RingBuffer
    {
        explicit RingBuffer (int length)
            : bufferLength (length), data ((size_t) (length + InterpolatingRead::guardLength), 0.0) {}

        void write (double x)
        {
            data[(size_t) writeIndex] = x;

            if (writeIndex < InterpolatingRead::guardLength)
                data[(size_t) (writeIndex + bufferLength)] = x;

            writeIndex = (writeIndex + 1) % bufferLength;
            history.push_back (x);
        }

        double newest (int age) const { return age < (int) history.size() ? history[history.size() - 1 - (size_t) age] : 0.0; }

        float read (const InterpolatingRead& r, double delay, double previousDelay) const
        {
            return r.read (data.data(), writeIndex, bufferLength, delay, previousDelay, bufferLength);
        }

        int bufferLength;
        std::vector<double> data, history;
        int writeIndex = 0;
    };

    RingBuffer randomBuffer (int length, int samples)
    {
        RingBuffer b (length);
        std::mt19937 rng (42);
        std::uniform_real_distribution<double> dist (-1.0, 1.0);

        for (int i = 0; i < samples; ++i)
            b.write (dist (rng));

        return b;
    }

    InterpolatingRead reader (int mode, double minimumStep)
    {
        InterpolatingRead r (tables().kernel16.data(), tables().kernel32.data());
        r.setQuality (mode, minimumStep);
        return r;
    }

    /** Largest magnitude over frequency of a tap set. */
    double peakMagnitude (const std::vector<double>& taps)
    {
        double peak = 0.0;

        for (int f = 0; f <= 256; ++f)
        {
            const double w = pi * f / 256.0;
            std::complex<double> h = 0.0;

            for (size_t k = 0; k < taps.size(); ++k)
                h += taps[k] * std::polar (1.0, -w * (double) k);

            peak = std::max (peak, std::abs (h));
        }

        return peak;
    }
}

TEST (InterpolationKernels, ShapeAndPhaseSums)
{
    struct Case { const std::vector<double>* kernel; int taps; double sum; };
    const Case cases[] = { { &tables().kernel8, 8, 0.435 },
                           { &tables().kernel16, 16, 0.8125 },
                           { &tables().kernel32, 32, 0.935 } };

    for (const auto& c : cases)
    {
        const auto& k = *c.kernel;
        ASSERT_EQ (k.size(), (size_t) (c.taps * 512));

        for (int p = 0; p < 512; ++p)
        {
            double sum = 0.0;

            for (int t = 0; t < c.taps; ++t)
                sum += k[(size_t) (p + 512 * t)];

            ASSERT_NEAR (sum, c.sum, 1e-3) << c.taps << " taps, phase " << p;
        }

        const auto peak = std::max_element (k.begin(), k.end()) - k.begin();
        EXPECT_NEAR (peak / 512.0, 3.6, 0.15) << c.taps << " taps";

        // Starts and ends near zero, so a read that loses its last tap or moves to the
        // next whole sample does not jump.
        EXPECT_LT (std::abs (k.front()), 1e-6);
        EXPECT_LT (std::abs (k.back()), 1e-6);

        // Smooth between neighbouring phases (the table runs through all phases in
        // order, tap after tap): no zipper noise when the delay moves.
        double largestStep = 0.0;

        for (size_t j = 1; j < k.size(); ++j)
            largestStep = std::max (largestStep, std::abs (k[j] - k[j - 1]));

        EXPECT_LT (largestStep, 0.01 * k[(size_t) peak]) << c.taps << " taps";

        // Rings out with alternating sign after the peak.
        EXPECT_LT (k[(size_t) (peak + 512 * 2.0)], 0.0);
        EXPECT_GT (k[(size_t) (peak + 512 * 3.3)], 0.0);
    }
}

TEST (InterpolationKernels, HeldFeedbackLoopGainNeverExceedsOne)
{
    // With "Feedback Hold" the loop gain is exactly 1: the read must not amplify any
    // frequency at any phase, or held repeats would grow without bound.
    const auto& k16 = tables().kernel16;
    const auto& k32 = tables().kernel32;

    for (int half = 0; half < 1024; ++half)
    {
        // Odd half-phases lie between table phases, as "Normal" interpolates them.
        const double phi = half * 0.5;
        std::vector<double> taps16, taps32;

        for (double x = phi; x < 8190; x += 512)
        {
            const int p = (int) x;
            taps16.push_back (1.2 * (k16[(size_t) p] + (k16[(size_t) p + 1] - k16[(size_t) p]) * (x - p)));
        }

        for (double x = phi; x < 16382; x += 512)
        {
            const int p = (int) x;
            taps32.push_back (k32[(size_t) p] + (k32[(size_t) p + 1] - k32[(size_t) p]) * (x - p));
        }

        ASSERT_LE (peakMagnitude (taps16), 1.0) << "kernel16 at phase " << phi;
        ASSERT_LE (peakMagnitude (taps32), 1.0) << "kernel32 at phase " << phi;
    }

    // Stretched reads of "High" and "Ultra" while the delay shrinks.
    for (double step : { 16.0, 23.0, 64.0, 100.0, 128.0, 200.0, 256.0, 333.0, 384.0, 450.0, 500.0, 511.0 })
    {
        for (int q = 0; q < 16; ++q)
        {
            std::vector<double> taps;

            for (double x = (q / 16.0) * step; x < 16382; x += step)
            {
                const int p = (int) x;
                taps.push_back (step / 512.0 * (k32[(size_t) p] + (k32[(size_t) p + 1] - k32[(size_t) p]) * (x - p)));
            }

            ASSERT_LE (peakMagnitude (taps), 1.0) << "step " << step << " phase " << q;
        }
    }
}

TEST (InterpolatingRead, ZeroDelayReadsTheNewestSampleWithWholePhases)
{
    const auto buffer = randomBuffer (4096, 5000);
    const auto& k16 = tables().kernel16;
    const auto& k32 = tables().kernel32;

    double expected16 = 0.0, expected32 = 0.0;

    for (int k = 0; k < 16; ++k)
        expected16 += k16[(size_t) (512 * k)] * buffer.newest (k);

    for (int k = 0; k < 32; ++k)
        expected32 += k32[(size_t) (512 * k)] * buffer.newest (k);

    EXPECT_EQ (buffer.read (reader (1, 128.0), 0.0, 0.0), (float) (expected16 * 1.2));
    EXPECT_EQ (buffer.read (reader (0, 512.0), 0.0, 0.0), (float) (expected16 * 1.2));
    EXPECT_FLOAT_EQ (buffer.read (reader (2, 64.0), 0.0, 0.0), (float) expected32);
    EXPECT_FLOAT_EQ (buffer.read (reader (3, 16.0), 0.0, 0.0), (float) expected32);
}

TEST (InterpolatingRead, TapCountsOfLowAndNormal)
{
    // A lone impulse 15 samples behind the read point is reached only by a 16th tap.
    RingBuffer buffer (4096);
    buffer.write (1.0);

    for (int i = 0; i < 20; ++i)
        buffer.write (0.0);

    // The impulse is 20 samples old; a delay of 5 − frac puts it at tap 15 with phase frac·512.
    const auto low = reader (0, 512.0), normal = reader (1, 128.0);
    const auto& k16 = tables().kernel16;

    for (int p0 : { 0, 300, 509 })
    {
        const double delay = 5.0 - p0 / 512.0;
        EXPECT_FLOAT_EQ (buffer.read (low, delay, delay), (float) (1.2 * k16[(size_t) (p0 + 512 * 15)])) << p0;
    }

    for (int p0 : { 510, 511 })
        EXPECT_EQ (buffer.read (low, 5.0 - p0 / 512.0, 5.0), 0.0f) << "15 taps at phase " << p0;

    EXPECT_NE (buffer.read (normal, 5.0 - 509.5 / 512.0, 5.0), 0.0f);
    EXPECT_EQ (buffer.read (normal, 5.0 - 510.0 / 512.0, 5.0), 0.0f);

    // Low takes the nearest lower phase; Normal interpolates between phases.
    const double between = 5.0 - 300.5 / 512.0;
    EXPECT_FLOAT_EQ (buffer.read (low, between, between), (float) (1.2 * k16[300 + 512 * 15]));
    EXPECT_FLOAT_EQ (buffer.read (normal, between, between),
                     (float) (1.2 * 0.5 * (k16[300 + 512 * 15] + k16[301 + 512 * 15])));
}

TEST (InterpolatingRead, StretchStepFollowsTheShrinkingDelay)
{
    const auto high = reader (2, 64.0), ultra = reader (3, 16.0);

    EXPECT_EQ (high.getStep (100.0, 100.0), 512.0);
    EXPECT_EQ (high.getStep (100.0, 101.5), 512.0) << "a growing delay never widens the kernel";
    EXPECT_EQ (high.getStep (100.0, 99.0), 256.0);
    EXPECT_EQ (high.getStep (100.0, 99.5), 384.0);
    EXPECT_EQ (high.getStep (100.0, 98.0), 64.0);
    EXPECT_EQ (ultra.getStep (100.0, 98.0), 16.0);
    EXPECT_EQ (ultra.getStep (100.0, 90.0), 16.0);

    EXPECT_EQ (high.getMaximumTaps (512.0), 32);
    EXPECT_EQ (high.getMaximumTaps (64.0), 256);
    EXPECT_EQ (ultra.getMaximumTaps (16.0), 1024);
    EXPECT_EQ (reader (1, 128.0).getMaximumTaps (16.0), 16);

    // An impulse 200 samples behind is within reach of a step-16 kernel only.
    RingBuffer buffer (4096);
    buffer.write (1.0);

    for (int i = 0; i < 200; ++i)
        buffer.write (0.0);

    EXPECT_EQ (buffer.read (high, 10.0, 10.0), 0.0f);
    EXPECT_NE (buffer.read (ultra, 10.0, 12.0), 0.0f);
}

TEST (InterpolatingRead, StretchedReadsFollowTheKernelLoop)
{
    // Whatever layout a step is read through (the narrowest steps have rows of
    // their own, other whole steps a fixed stride, the rest a moving fraction),
    // the result is the plain loop over the kernel, up to rounding.
    const auto buffer = randomBuffer (8192, 9000);
    const auto& k32 = tables().kernel32;
    const auto ultra = reader (3, 16.0), high = reader (2, 64.0);

    for (double step : { 16.0, 64.0, 100.0, 99.75, 300.5 })
    {
        for (double delay : { 40.0, 40.25, 41.765625, 100.9990234375 })
        {
            const auto& r = step < 64.0 ? ultra : high;
            const double previous = delay + (512.0 - step) / 256.0;
            ASSERT_EQ (r.getStep (previous, delay), step);

            const int whole = (int) std::ceil (delay);
            double acc = 0.0;
            int k = 0;

            for (double phi = (whole - delay) * step; phi < 16382.0; phi += step, ++k)
            {
                const int e = (int) phi;
                acc += (k32[(size_t) e] + (k32[(size_t) e + 1] - k32[(size_t) e]) * (phi - e)) * buffer.newest (whole + k);
            }

            EXPECT_NEAR (buffer.read (r, delay, previous), step / 512.0 * acc, 1e-6) << "step " << step << ", delay " << delay;
        }
    }
}

TEST (InterpolatingRead, LevelAtDC)
{
    RingBuffer buffer (4096);

    for (int i = 0; i < 4096; ++i)
        buffer.write (1.0);

    const InterpolatingRead modes[] = { reader (0, 512.0), reader (1, 128.0), reader (2, 64.0), reader (3, 16.0) };
    const double levels[] = { 0.975, 0.975, 0.935, 0.935 };

    for (int m = 0; m < 4; ++m)
    {
        for (int i = 0; i < 300; ++i)
        {
            const double delay = 10.0 + i * 0.0173;
            EXPECT_NEAR (buffer.read (modes[m], delay, delay), levels[m], 0.002) << "mode " << m << " delay " << delay;
        }
    }

    // Stretched kernels keep the level.
    for (double shrink : { 0.3, 1.0, 1.7, 4.0 })
        for (double frac : { 0.0, 0.37, 0.81 })
            EXPECT_NEAR (buffer.read (modes[3], 500.0 + frac, 500.0 + frac + shrink), 0.935, 0.01) << shrink;
}

TEST (InterpolatingRead, OutOfRangeDelaysAreClamped)
{
    const auto buffer = randomBuffer (2048, 3000);
    const double nan = std::numeric_limits<double>::quiet_NaN();

    for (int mode = 0; mode < 4; ++mode)
    {
        const auto r = reader (mode, mode == 3 ? 16.0 : 64.0);

        for (double previous : { 1.0e9, 0.0, -5.0, nan })
        {
            for (double d : { -3.0, 1.0e9, 2047.5, nan, std::numeric_limits<double>::infinity() })
            {
                double delay = d;
                const float y = r.read (buffer.data.data(), buffer.writeIndex, buffer.bufferLength, delay, previous, buffer.bufferLength);
                const int taps = r.getMaximumTaps (r.getStep (previous, d > 0.0 ? d : 0.0));
                EXPECT_TRUE (std::isfinite (y));
                EXPECT_GE (delay, 0.0);
                EXPECT_LE (delay, 2048.0 - taps) << "mode " << mode << " delay " << d << " previous " << previous;
            }
        }
    }

    // Negative and NaN delays read the newest sample.
    const auto normal = reader (1, 128.0);
    EXPECT_EQ (buffer.read (normal, -3.0, 0.0), buffer.read (normal, 0.0, 0.0));
    EXPECT_EQ (buffer.read (normal, nan, 0.0), buffer.read (normal, 0.0, 0.0));
}

TEST (InterpolatingRead, ModulatedDelayTracksASine)
{
    // A slowly swept delay of a 1 kHz sine must come out as the same sine at the
    // moving delay (plus the kernel's group delay), without steps between phases.
    const double w = 2.0 * pi * 1000.0 / 44100.0;
    RingBuffer buffer (8192);
    const auto normal = reader (1, 128.0);

    double previousOut = 0.0, largestJump = 0.0;

    for (int n = 0; n < 20000; ++n)
    {
        buffer.write (std::sin (w * n));

        if (n > 1000)
        {
            const double delay = 50.0 + 20.0 * std::sin (n * 0.0007);
            const double out = buffer.read (normal, delay, delay);

            if (n > 1001)
                largestJump = std::max (largestJump, std::abs (out - previousOut));

            previousOut = out;
        }
    }

    // The sine moves by at most w·0.975·(1 + sweep speed) per sample.
    EXPECT_LT (largestJump, w * 0.975 * 1.02);
}

TEST (InterpolatingRead, RunsReadWhatSingleReadsRead)
{
    // Two runs read together, whichever way they group their reads (one filter along
    // the buffer for a delay that holds still, rows shared by both runs, one by one),
    // give each sample what a single read gives, across the buffer's wrap and with
    // stale samples behind it.
    struct Pattern { const char* name; double start, slope; int writeIndex, fresh; };
    const Pattern patterns[] =
    {
        { "still, whole", 300.0, 0.0, 1000, 4096 },
        { "still, fraction", 300.37, 0.0, 1000, 4096 },
        { "still across the wrap", 200.25, 0.0, 4080, 4096 },
        { "still, taps across the wrap", 4000.5, 0.0, 3980, 4096 },
        { "still, reaching stale samples", 700.5, 0.0, 1000, 690 },
        { "growing", 300.0, 0.31, 1000, 4096 },
        { "shrinking slowly", 800.0, -0.37, 1000, 4096 },
        { "shrinking fast", 3000.0, -2.5, 4060, 4096 },
    };

    constexpr int count = InterpolatingRead::maximumRun;

    for (auto level : { TapSums::Level::portable, TapSums::Level::avx2, TapSums::Level::avx512 })
    {
        if (level > TapSums::widestAvailable())
            continue;

        TapSums::allowWideInstructions (level);

        for (const auto& pattern : patterns)
        {
            RingBuffer buffers[] = { randomBuffer (4096, 9000), RingBuffer (4096) };

            for (auto& buffer : buffers)
                while (buffer.writeIndex != pattern.writeIndex || buffer.history.size() < 9000)
                    buffer.write (std::sin ((double) buffer.history.size() * 0.37));

            for (int mode = 0; mode < 4; ++mode)
            {
                const auto r = reader (mode, mode == 3 ? 16.0 : (mode == 2 ? 64.0 : 128.0));
                double delays[2][count];
                float out[2][count];
                InterpolatingRead::Run runs[2];

                for (int c = 0; c < 2; ++c)
                {
                    for (int j = 0; j < count; ++j)
                        delays[c][j] = pattern.start + 0.5 * c + pattern.slope * j;

                    runs[c] = { buffers[c].data.data(), delays[c], delays[c][0] - pattern.slope, out[c] };
                }

                r.readRuns (runs, 2, pattern.writeIndex, 4096, count, pattern.fresh);

                for (int c = 0; c < 2; ++c)
                {
                    for (int j = 0; j < count; ++j)
                    {
                        double delay = delays[c][j];
                        const float single = r.read (buffers[c].data.data(), (pattern.writeIndex + j) % 4096, 4096, delay,
                                                     j == 0 ? runs[c].previousDelay : delays[c][j - 1],
                                                     std::min (pattern.fresh + j, 4096));

                        // Groups of reads may add their taps in another order than single reads.
                        ASSERT_NEAR (out[c][j], single, 1.0e-6) << pattern.name << ", mode " << mode << ", run " << c
                                                                << ", sample " << j << ", sums of level " << (int) level;
                    }
                }
            }
        }
    }

    TapSums::allowWideInstructions (TapSums::widestAvailable());
}
