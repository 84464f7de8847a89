#include "MasterLimiter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
    float toDb (float x)    { return 20.0f * std::log10 (std::abs (x)); }
    float fromDb (float db) { return std::pow (10.0f, db / 20.0f); }

    struct LimiterRun
    {
        std::vector<float> left, right;
    };

    LimiterRun run (MasterLimiter& limiter, std::vector<float> left, std::vector<float> right, int blockSize = 64)
    {
        for (size_t start = 0; start < left.size(); start += (size_t) blockSize)
        {
            const int n = (int) std::min ((size_t) blockSize, left.size() - start);
            limiter.process (left.data() + start, right.data() + start, n);
        }

        return { std::move (left), std::move (right) };
    }

    MasterLimiter makeLimiter (float sampleRate, float thresholdDb)
    {
        MasterLimiter limiter;
        limiter.prepare (sampleRate);
        limiter.setThresholdDb (thresholdDb);
        limiter.setMakeupGain (1.0f);
        limiter.setOutputGain (1.0f);
        return limiter;
    }

    int indexOfLargest (const std::vector<float>& x)
    {
        return (int) (std::max_element (x.begin(), x.end(), [] (float a, float b) { return std::abs (a) < std::abs (b); })
                      - x.begin());
    }
}

TEST (MasterLimiter, QuietAudioComesOutDelayedByTheLookAhead)
{
    struct Case { float rate; int lookAhead; };

    for (auto c : { Case { 44100.0f, 146 }, Case { 48000.0f, 159 }, Case { 96000.0f, 318 }, Case { 192000.0f, 637 } })
    {
        auto limiter = makeLimiter (c.rate, 0.0f);
        std::vector<float> in (2000, 0.0f);
        in[10] = 0.001f;

        auto out = run (limiter, in, in);

        EXPECT_EQ (indexOfLargest (out.left), 10 + c.lookAhead) << c.rate;
        EXPECT_EQ (indexOfLargest (out.right), 10 + c.lookAhead) << c.rate;
        EXPECT_NEAR (out.left[(size_t) (10 + c.lookAhead)], 0.001f, 1e-7f) << c.rate;
    }
}

TEST (MasterLimiter, BelowTheKneeOnlyTheOutputAndMakeupGainsApply)
{
    auto limiter = makeLimiter (44100.0f, -6.0f);
    limiter.setOutputGain (0.5f);
    limiter.setMakeupGain (1.5f);

    auto out = run (limiter, std::vector<float> (4000, 1e-4f), std::vector<float> (4000, -2e-4f));

    EXPECT_NEAR (out.left[3999], 0.75e-4f, 1e-9f);
    EXPECT_NEAR (out.right[3999], -1.5e-4f, 1e-9f);
}

TEST (MasterLimiter, ASignalAtTheThresholdIsReducedByTheSoftKnee)
{
    const float thresholdDb = -6.0f;
    auto limiter = makeLimiter (44100.0f, thresholdDb);
    const float level = fromDb (thresholdDb);

    auto out = run (limiter, std::vector<float> (20000, level), std::vector<float> (20000, -level));

    const float expectedReduction = 2.0f * (1.0f + std::tanh (-1.0f));   // about 0.477 dB
    EXPECT_NEAR (toDb (out.left.back()), thresholdDb - expectedReduction, 0.01f);
    EXPECT_NEAR (toDb (out.right.back()), thresholdDb - expectedReduction, 0.01f);
}

TEST (MasterLimiter, HoldsALoudSignalAtTheThreshold)
{
    struct Case { float rate; int lookAhead; };

    for (auto c : { Case { 44100.0f, 146 }, Case { 48000.0f, 159 } })
    {
        const float thresholdDb = -12.0f;
        auto limiter = makeLimiter (c.rate, thresholdDb);

        // Silence, then a full-scale sine that starts near its peak.
        const size_t onset = 5000;
        std::vector<float> in (30000, 0.0f);

        for (size_t i = onset; i < in.size(); ++i)
            in[i] = std::sin (0.05f * (float) i);

        auto out = run (limiter, in, in);

        // The gain has mostly fallen by the time the first loud sample comes out.
        const size_t emerges = onset + (size_t) c.lookAhead;
        EXPECT_EQ (out.left[emerges - 1], 0.0f) << c.rate;
        EXPECT_LT (toDb (out.left[emerges] / in[onset]), -9.0f) << c.rate;

        float lateMax = 0.0f;

        for (size_t i = 25000; i < out.left.size(); ++i)
            lateMax = std::max (lateMax, std::abs (out.left[i]));

        EXPECT_NEAR (toDb (lateMax), thresholdDb, 0.5f) << c.rate;
    }
}

TEST (MasterLimiter, ResetKeepsOldAudioFromComingBack)
{
    auto used = makeLimiter (44100.0f, 0.0f);
    auto stale = makeLimiter (44100.0f, 0.0f);

    const std::vector<float> loud (1000, 0.5f);
    run (used, loud, loud);
    run (stale, loud, loud);

    used.reset();

    const std::vector<float> silence (400, 0.0f);
    auto afterReset = run (used, silence, silence);
    auto withoutReset = run (stale, silence, silence);

    for (size_t i = 0; i < silence.size(); ++i)
    {
        ASSERT_EQ (afterReset.left[i], 0.0f) << i;
        ASSERT_EQ (afterReset.right[i], 0.0f) << i;
    }

    EXPECT_GT (std::abs (withoutReset.left[0]), 0.1f);
}

TEST (MasterLimiter, StaysInsideItsRingsAtExtremeSampleRates)
{
    // Outside about 6.9 to 289 kHz the computed sizes would leave the rings.
    for (float rate : { 1000.0f, 4000.0f, 6000.0f, 300000.0f, 500000.0f, 2000000.0f })
    {
        auto limiter = makeLimiter (rate, -10.0f);

        std::vector<float> in (5000);

        for (size_t i = 0; i < in.size(); ++i)
            in[i] = std::sin (0.3f * (float) i) * (i % 700 < 350 ? 1.0f : 0.01f);

        auto out = run (limiter, in, in);

        for (float x : out.left)
            ASSERT_TRUE (std::isfinite (x)) << rate;
    }

    auto fast = makeLimiter (500000.0f, 0.0f);
    std::vector<float> impulse (2000, 0.0f);
    impulse[0] = 0.001f;
    EXPECT_EQ (indexOfLargest (run (fast, impulse, impulse).left), 959);
}

TEST (MasterLimiter, MonoBufferPassedTwiceIsLimitedLikeTwoEqualChannels)
{
    auto mono = makeLimiter (44100.0f, -10.0f);
    auto stereo = makeLimiter (44100.0f, -10.0f);

    std::vector<float> in (3000);

    for (size_t i = 0; i < in.size(); ++i)
        in[i] = 0.9f * std::sin (0.02f * (float) i);

    auto monoOut = in;
    mono.process (monoOut.data(), monoOut.data(), (int) monoOut.size());

    auto stereoOut = run (stereo, in, in, (int) in.size());

    EXPECT_EQ (monoOut, stereoOut.left);
}

TEST (MasterLimiter, RunLengthsDoNotChangeTheOutput)
{
    // From the widest averaging window (below 6.9 kHz) to the narrowest.
    for (float rate : { 6000.0f, 22050.0f, 48000.0f, 192000.0f })
    {
        std::vector<float> left (3000), right (3000);

        for (size_t i = 0; i < left.size(); ++i)
        {
            left[i] = std::sin (0.05f * (float) i) * (i % 900 < 300 ? 2.0f : 0.05f);
            right[i] = 0.7f * std::cos (0.031f * (float) i);
        }

        auto sampleBySample = makeLimiter (rate, -12.0f);
        const auto expected = run (sampleBySample, left, right, 1);

        for (int blockSize : { 37, 512 })
        {
            auto limiter = makeLimiter (rate, -12.0f);
            const auto out = run (limiter, left, right, blockSize);
            EXPECT_EQ (out.left, expected.left) << rate << ", blocks of " << blockSize;
            EXPECT_EQ (out.right, expected.right) << rate << ", blocks of " << blockSize;
        }
    }
}
