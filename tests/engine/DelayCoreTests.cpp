#include "DelayCore.h"
#include "EngineTestSupport.h"
#include "OnePoleSmoother4.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

using engine_test::tables;

namespace
{
    std::unique_ptr<DelayCore> makeCore()
    {
        const auto& t = tables();
        auto core = std::make_unique<DelayCore> (t.kernel32.data(), t.kernel8.data(), t.kernel16.data(),
                                                 t.semitoneTable.data(), t.fineTuneTable.data());
        core->volume = 1.0f;
        core->pan = 1.0f;
        core->spread = 0.5f;
        core->feedback = 0.0f;
        core->feedbackGain = 0.0f;
        core->update();
        return core;
    }

    void setSynced (DelayCore& core, double bpm, int numerator, int denominator)
    {
        core.bpm = bpm;
        core.tempoSync = true;
        core.numeratorL = core.numeratorR = numerator;
        core.denominatorL = core.denominatorR = denominator;
        core.update();
    }

    struct Run
    {
        std::vector<float> left, right;
    };

    /** Feeds the input (right = left unless given) in blocks and collects the output. */
    Run render (DelayCore& core, std::vector<float> inL, std::vector<float> inR = {})
    {
        if (inR.empty())
            inR = inL;

        Run out { inL, inR };
        const int n = (int) inL.size();

        for (int pos = 0; pos < n; pos += 512)
        {
            const int block = std::min (512, n - pos);
            core.process (out.left.data() + pos, out.right.data() + pos, out.left.data() + pos, out.right.data() + pos, block);
        }

        return out;
    }

    void settle (DelayCore& core, int samples)
    {
        render (core, std::vector<float> ((size_t) samples, 0.0f));
    }

    /** A core that echoes after 6300 samples (1/16 at 105 bpm), its glide settled;
        configure sets it up before its length is fixed.
    */
    template <typename Configure>
    std::unique_ptr<DelayCore> makeEchoCore (Configure&& configure)
    {
        auto core = makeCore();
        configure (*core);
        setSynced (*core, 105.0, 1, 16);
        settle (*core, 100000);
        return core;
    }

    std::unique_ptr<DelayCore> makeEchoCore()
    {
        return makeEchoCore ([] (DelayCore&) {});
    }

    std::vector<float> impulse (int length, float amplitude = 1.0f)
    {
        std::vector<float> x ((size_t) length, 0.0f);
        x[0] = amplitude;
        return x;
    }

    int peakIndex (const std::vector<float>& x, int from = 0)
    {
        int best = from;

        for (int i = from; i < (int) x.size(); ++i)
            if (std::abs (x[(size_t) i]) > std::abs (x[(size_t) best]))
                best = i;

        return best;
    }

    double sum (const std::vector<float>& x, int from, int to)
    {
        double s = 0.0;

        for (int i = from; i < to; ++i)
            s += x[(size_t) i];

        return s;
    }
}

TEST (OnePoleSmoother4, AdvancesEveryLaneWithOneCoefficient)
{
    OnePoleSmoother4 s;
    s.reset (0.5f);
    const float targets[4] = { 1.0f, -2.0f, 0.0f, 4.0f };
    s.advance (targets);
    EXPECT_FLOAT_EQ (s.current[0], 0.5f);
    EXPECT_FLOAT_EQ (s.current[1], -1.0f);
    EXPECT_FLOAT_EQ (s.current[3], 2.0f);
    s.advance();
    EXPECT_FLOAT_EQ (s.current[3], 3.0f);

    s.reset (0.1f);
    EXPECT_EQ (s.current[3], 0.0f);
    EXPECT_EQ (s.target[3], 0.0f);
}

TEST (OnePoleSmoother4, DoubleLanesReachLongTargetsThatFloatLanesStallShortOf)
{
    // The delay core's length coefficient at 192 kHz, and a 7.3 s delay.
    const double k = 2.0 * (1.0 - std::pow (0.5, 44100.0 / 192000.0));
    const auto c = (float) ((float) (k * 0.0005) * k);
    const double target = 1396363.625;

    BasicOnePoleSmoother4<double> precise;
    OnePoleSmoother4 coarse;
    precise.reset (c);
    coarse.reset (c);
    const double targets[4] = { target, target, 0.0, 0.0 };
    const float floatTargets[4] = { (float) target, (float) target, 0.0f, 0.0f };

    for (int i = 0; i < 2000000; ++i)
    {
        precise.advance (targets);
        coarse.advance (floatTargets);
    }

    EXPECT_NEAR (precise.current[0], target, 1e-3);
    EXPECT_GT (target - coarse.current[0], 100.0) << "if float lanes stopped stalling, the double lanes could go";
}

TEST (DelayCore, ImpulseResponseAtAWholeSampleDelay)
{
    auto core = makeEchoCore();
    const auto out = render (*core, impulse (6400));
    const auto& k16 = tables().kernel16;

    for (int n = 0; n < 6301; ++n)
        ASSERT_NEAR (out.left[(size_t) n], 0.0f, 1e-12f) << n;

    // The read at D = 6300 lays the kernel's phase 0 over the impulse, one sample after it was written.
    for (int k = 0; k < 16; ++k)
    {
        EXPECT_NEAR (out.left[(size_t) (6301 + k)], 1.2 * k16[(size_t) (512 * k)], 1e-4) << k;
        EXPECT_EQ (out.left[(size_t) (6301 + k)], out.right[(size_t) (6301 + k)]);
    }

    EXPECT_NEAR (out.left[6317], 0.0f, 1e-12f);
}

TEST (DelayCore, ImpulseResponseAtAFractionalDelay)
{
    auto core = makeCore();
    core->setQuality (1, 128.0);
    setSynced (*core, 120.0, 1, 32);   // 2756.25 samples
    settle (*core, 100000);

    const auto out = render (*core, impulse (3000));
    const auto& k16 = tables().kernel16;

    // Tap k weighs the impulse at phase 0.75 of the kernel.
    for (int k = 0; k < 15; ++k)
        EXPECT_NEAR (out.left[(size_t) (2758 + k)], 1.2 * k16[(size_t) (384 + 512 * k)], 1e-4) << k;

    double sum = 0.0;

    for (float y : out.left)
        sum += y;

    EXPECT_NEAR (sum, 0.975, 1e-3);
}

TEST (DelayCore, ANewDelayTimeGlidesThroughTwoCascadedOnePoles)
{
    auto core = makeCore();
    core->timeL = core->timeR = 0.45f;
    core->update();
    settle (*core, 200000);
    const double from = core->lengthL;

    core->timeL = core->timeR = 0.05f;
    core->update();
    const double to = core->lengthL;

    // The read delay of sample n, and the samples at which the 16 taps of a read at
    // that delay reach back over an impulse written at sample 0.
    const auto c = (double) (float) 0.0005;
    double s1 = from, s2 = from;
    int first = -1, last = -1;

    for (int n = 0; n < 20000 && last < 0; ++n)
    {
        s1 = s1 - (s1 - to) * c;
        s2 = s2 - (s2 - s1) * c;
        const double reach = n - 1 - s2;

        if (first < 0 && reach >= 0.0)
            first = n;

        if (reach >= 16.0)
            last = n - 1;
    }

    // A single one-pole would bring the echo about 1600 samples earlier.
    ASSERT_GT (first, 5000);

    const auto out = render (*core, impulse (20000));
    int heard = 0;

    for (int n = 0; n < 20000; ++n)
    {
        if (std::abs (out.left[(size_t) n]) > 1e-9f)
        {
            ++heard;
            ASSERT_GE (n, first - 1);
            ASSERT_LE (n, last + 1);
        }
    }

    EXPECT_GT (heard, 0);
}

TEST (DelayCore, FeedbackDecaysAndHoldKeepsSignAndLevel)
{
    auto core = makeEchoCore ([] (DelayCore& c) { c.feedback = 0.5f; c.feedbackGain = 0.495f; });

    // Each repeat passes the read once more: its level (the sum of its samples) falls
    // by the feedback gain times the read's level.
    auto out = render (*core, impulse (6300 * 4));
    EXPECT_NEAR (sum (out.left, 12600, 18900) / sum (out.left, 6300, 12600), 0.495 * 0.975, 1e-3);
    EXPECT_GT (out.left[(size_t) peakIndex (out.left, 12600)], 0.0f);

    // Held negative feedback: gain exactly −1, so each repeat flips sign and keeps
    // the read's level.
    auto held = makeEchoCore ([] (DelayCore& c) { c.feedback = -0.3f; c.feedbackGain = -0.297f; c.feedbackHold = true; });

    out = render (*held, impulse (6300 * 4));
    const int first = peakIndex (out.left, 6300), second = peakIndex (out.left, 12600);
    EXPECT_GT (out.left[(size_t) first], 0.0f);
    EXPECT_LT (out.left[(size_t) second], 0.0f);
    EXPECT_NEAR (sum (out.left, 12600, 18900) / sum (out.left, 6300, 12600), -0.975, 1e-3);
}

TEST (DelayCore, HeldFeedbackStaysBoundedAtEveryQuality)
{
    // A minute of held feedback under modulation, with the loop filter and overdrive in.
    const std::pair<int, double> qualities[] = { { 0, 512.0 }, { 1, 128.0 }, { 2, 64.0 }, { 2, 16.0 } };
    std::vector<float> modulation (512);

    for (const auto& q : qualities)
    {
        auto core = makeCore();
        core->setQuality (q.first, q.second);
        core->timeL = 0.05f;
        core->timeR = 0.031f;
        core->update();
        core->feedbackGain = 0.99f;
        core->feedbackHold = true;
        core->modTime = 0.8f;
        core->update();
        core->filterInLoop = true;
        core->setFilterType (1);
        core->cutoff = 0.9f;
        core->overdriveOn = true;
        core->preampGain = 2.0f;
        core->overdriveGain = 1.0f;
        core->setModulationSource (modulation.data(), modulation.data());
        core->smoothModulatedTime = false;

        std::mt19937 rng (7);
        std::uniform_real_distribution<float> noise (-1.0f, 1.0f);
        float firstPeak = 0.0f, lastPeak = 0.0f;
        double phase = 0.0;

        for (int block = 0; block < 44100 * 60 / 512; ++block)
        {
            // A fast sine sweep of the delay makes the stretched kernels work.
            for (auto& m : modulation)
            {
                m = (float) (0.5 + 0.5 * std::sin (phase));
                phase += 2.0 * 3.14159265358979 * 3.0 / 44100.0;
            }

            std::vector<float> l (512, 0.0f), r (512, 0.0f);

            if (block < 40)
                for (size_t i = 0; i < l.size(); ++i)
                    l[i] = r[i] = noise (rng);

            core->process (l.data(), r.data(), l.data(), r.data(), 512);

            for (size_t i = 0; i < l.size(); ++i)
            {
                ASSERT_TRUE (std::isfinite (l[i]) && std::isfinite (r[i]));
                const float peak = std::max (std::abs (l[i]), std::abs (r[i]));

                if (block < 44100 * 10 / 512)
                    firstPeak = std::max (firstPeak, peak);
                else if (block > 44100 * 50 / 512)
                    lastPeak = std::max (lastPeak, peak);
            }
        }

        EXPECT_LE (lastPeak, firstPeak * 1.01f) << "mode " << q.first << " step " << q.second;
    }
}

TEST (DelayCore, StereoSpreadDelaysOneSideByHalfTheLength)
{
    for (float spread : { 0.0f, 0.5f, 1.0f })
    {
        auto core = makeEchoCore ([spread] (DelayCore& c) { c.spread = spread; });

        const auto out = render (*core, impulse (12000));
        const int l = peakIndex (out.left), r = peakIndex (out.right);
        // The offset lane approaches ∓3150 from the centre and is truncated.
        const int expected = spread == 0.0f ? 3150 : (spread == 1.0f ? -3150 : 0);
        EXPECT_LE (std::abs (r - l - expected), 1) << spread;
        EXPECT_EQ (r - l > 3000, spread == 0.0f) << spread;
    }
}

TEST (DelayCore, PanAndTremoloLaws)
{
    auto levels = [] (float pan, float tremolo, float modulation)
    {
        auto core = makeCore();
        std::vector<float> m (512, modulation);
        core->setModulationSource (m.data(), m.data());
        core->timeL = core->timeR = 0.0f;
        core->pan = pan;
        core->tremolo = tremolo;
        core->update();
        const auto out = render (*core, std::vector<float> (512 * 100, 0.5f));
        return std::make_pair (out.left.back() / (0.5f * 0.975f), out.right.back() / (0.5f * 0.975f));
    };

    auto centre = levels (1.0f, 0.0f, 0.0f);
    EXPECT_NEAR (centre.first, 1.0f, 1e-3f);
    EXPECT_NEAR (centre.second, 1.0f, 1e-3f) << "the centre keeps both sides at full level";

    auto left = levels (0.0f, 0.0f, 0.0f);
    EXPECT_NEAR (left.first, 1.0f, 1e-3f);
    EXPECT_NEAR (left.second, 0.0f, 1e-3f);

    auto halfRight = levels (1.5f, 0.0f, 0.0f);
    EXPECT_NEAR (halfRight.first, 0.5f, 1e-3f);
    EXPECT_NEAR (halfRight.second, 1.0f, 1e-3f);

    EXPECT_NEAR (levels (1.0f, 1.0f, 0.0f).first, 0.0f, 1e-3f) << "full tremolo at modulation 0";
    EXPECT_NEAR (levels (1.0f, 1.0f, 1.0f).first, 1.0f, 1e-3f);
    EXPECT_NEAR (levels (1.0f, 0.5f, 0.0f).first, 0.5f, 1e-3f);
    EXPECT_NEAR (levels (1.0f, 0.5f, 0.5f).second, 0.75f, 1e-3f);
}

TEST (DelayCore, MidSideOnAMonoInputComesOutOnBothSides)
{
    auto core = makeEchoCore ([] (DelayCore& c) { c.midSide = true; });

    const auto out = render (*core, impulse (7000));
    const int l = peakIndex (out.left);
    EXPECT_GT (out.left[(size_t) l], 0.5f);

    for (size_t i = 0; i < out.left.size(); ++i)
        ASSERT_EQ (out.left[i], out.right[i]);
}

TEST (DelayCore, ShortSoundsIntoASilentLineStillEcho)
{
    // The line goes quiet, then gets one impulse followed by digital silence.
    auto core = makeEchoCore();
    EXPECT_FALSE (core->isLeftActive());

    auto out = render (*core, impulse (7000));
    EXPECT_GT (out.left[(size_t) peakIndex (out.left)], 0.4f);

    // Once the output envelope has fallen (about 24 s), the line stops reading and
    // outputs only the guard value.
    out = render (*core, std::vector<float> (44100 * 25, 0.0f));
    EXPECT_FALSE (core->isLeftActive());
    EXPECT_EQ (out.left.back(), 1e-20f);
}

TEST (DelayCore, SwappedLeftOnlyInputEchoesOnTheRight)
{
    auto core = makeEchoCore ([] (DelayCore& c) { c.swapChannels = true; });

    const auto out = render (*core, impulse (7000), std::vector<float> (7000, 0.0f));
    EXPECT_GT (out.right[(size_t) peakIndex (out.right)], 0.4f);
    EXPECT_LT (std::abs (out.left[(size_t) peakIndex (out.left)]), 1e-12f);
}

TEST (DelayCore, QuietTailKeepsTheLineAudibleUntilTheEnvelopeFalls)
{
    auto core = makeCore();
    core->timeL = core->timeR = 0.0f;
    core->update();
    render (*core, std::vector<float> (2000, 1.0f));

    // A second of silence: the envelope (decay 1 − 0.00001 per sample) is still high,
    // so the line reads on, and its output is the decayed buffer, not the guard value.
    render (*core, std::vector<float> (44100, 0.0f));
    EXPECT_TRUE (core->isLeftActive());
    EXPECT_GE (core->getLeftMeterLevel(), 0.625f);

    render (*core, std::vector<float> (44100 * 30, 0.0f));
    EXPECT_FALSE (core->isLeftActive());
}

TEST (DelayCore, ATurnedDownLineReadsUntilItsLastWritesHaveLeft)
{
    auto core = makeCore();
    core->volume = 0.0f;
    core->update();

    std::mt19937 random (3);
    std::uniform_real_distribution<float> dist (-0.25f, 0.25f);
    std::vector<float> noise (20000);

    for (auto& x : noise)
        x = dist (random);

    // Its output never rises above the guard value, so only the age of the last
    // audible write can keep it reading: through the noise and until the write is out.
    const auto delay = (size_t) core->lengthL;
    const struct { size_t samples; bool active; } steps[] = { { 0, true }, { delay / 2, true }, { 2 * delay, false } };

    for (const auto& step : steps)
    {
        render (*core, step.samples == 0 ? noise : std::vector<float> (step.samples, 0.0f));
        EXPECT_EQ (core->isLeftActive(), step.active) << step.samples;
        EXPECT_EQ (core->isRightActive(), step.active) << step.samples;
    }
}

TEST (DelayCore, MeterStepsFollowTheOutputEnvelope)
{
    const std::pair<float, float> cases[] = { { 1.6f, 1.0f }, { 1.2f, 0.875f }, { 0.8f, 0.75f }, { 0.6f, 0.625f },
                                              { 0.4f, 0.5f }, { 0.3f, 0.375f }, { 0.2f, 0.25f }, { 0.15f, 0.125f },
                                              { 0.1f, 0.0f } };

    for (const auto& c : cases)
    {
        auto core = makeCore();
        core->timeL = core->timeR = 0.0f;
        core->update();
        render (*core, std::vector<float> (20000, c.first / 0.975f));
        EXPECT_EQ (core->getLeftMeterLevel(), c.second) << c.first;
        EXPECT_EQ (core->getRightMeterLevel(), c.second) << c.first;
    }
}

TEST (DelayCore, HighPassFilterBlocksDC)
{
    auto core = makeCore();
    core->setFilterType (3);
    core->cutoff = 0.3f;
    core->timeL = core->timeR = 0.01f;
    core->update();
    const auto out = render (*core, std::vector<float> (44100, 0.5f));
    EXPECT_NEAR (out.left.back(), 0.0f, 1e-3f);
}

TEST (DelayCore, RateOffsetFollowsKnownRates)
{
    auto core = makeCore();
    EXPECT_EQ (core->getRateOffset(), 0.0);
    core->resize (96000.0f, 512, 1);
    EXPECT_EQ (core->getRateOffset(), 4.96);
    core->resize (50000.0f, 512, 1);
    EXPECT_EQ (core->getRateOffset(), 4.96) << "an unlisted rate keeps the previous offset";
    core->resize (192000.0f, 512, 1);
    EXPECT_EQ (core->getRateOffset(), 14.64);
}

TEST (DelayCore, ShrinkingResizeUnderALongModulatedDelay)
{
    // Long synced delays at the buffer's end, deep modulation and the time smoother
    // carrying the old length over a resize: reads must stay inside the buffers.
    auto core = makeCore();
    core->setQuality (2, 16.0);
    core->resize (44100.0f, 512, 15);
    setSynced (*core, 20.0, 32, 1);
    EXPECT_EQ (core->lengthL, (float) (core->bufferLength - 1));

    std::vector<float> modulation (512);
    core->setModulationSource (modulation.data(), modulation.data());
    core->modTime = 1.0f;
    core->update();
    core->smoothModulatedTime = true;

    std::vector<float> l (512), r (512);
    double phase = 0.0;

    auto run = [&] (int blocks)
    {
        for (int b = 0; b < blocks; ++b)
        {
            for (size_t i = 0; i < 512; ++i)
            {
                modulation[i] = (float) (0.5 + 0.5 * std::sin (phase));
                phase += 0.001;
                l[i] = r[i] = (float) std::sin (phase * 300.0);
            }

            core->process (l.data(), r.data(), l.data(), r.data(), 512);

            for (size_t i = 0; i < 512; ++i)
                ASSERT_TRUE (std::isfinite (l[i]) && std::isfinite (r[i]));
        }
    };

    run (400);
    core->resize (44100.0f, 512, 1);
    run (400);

    core->resize (96000.0f, 512, 2);
    setSynced (*core, 20.0, 32, 1);
    run (400);
    core->resize (44100.0f, 512, 2);
    run (400);

    core->reset();
    run (10);
}
