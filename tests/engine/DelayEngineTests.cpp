#include "DelayEngine.h"
#include "DelayCore.h"
#include "EngineTestSupport.h"
#include "PreDelayCore.h"
#include "ScopedFlushDenormals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <utility>

using namespace engine_test;

namespace
{
    /** The settled output of a constant input through the current routing. */
    float settledDcGain (DelayEngine& engine, float input)
    {
        Stereo signal (2 * 44100, input, input);
        render (engine, signal, engine.getBlockCapacity());
        EXPECT_NEAR (signal.l.back(), signal.r.back(), 1e-6f);
        return signal.l.back() / input;
    }

    double routingGain (int routing, double g)
    {
        switch (routing)
        {
            case DelayEngine::parallel:      return 4 * g;
            case DelayEngine::serial:        return g * g * g * g;
            case DelayEngine::tappedSerial:  return g + g * g + g * g * g + g * g * g * g;
            case DelayEngine::mixed1:        return g * g + 2 * g;          // A A C D
            case DelayEngine::mixed2:        return 3 * g + g * g;          // A A→B C D
            case DelayEngine::mixed3:        return 2 * g * g;              // A A C C
            case DelayEngine::mixed4:        return 2 * g + 2 * g * g;      // A A→B C C→D
            case DelayEngine::mixed5:        return g * g * g + g;          // A A A D
            case DelayEngine::mixed6:        return 2 * g + g * g + g * g * g;  // A A→B B→C D
            default:                         return 0.0;
        }
    }
}

//==============================================================================
TEST (DelayEngineRouting, EachRoutingCombinesTheLinesAsItsBusesSay)
{
    DelayEngine engine;
    engine.prepare (44100.0, 256);
    makeNeutralEngine (engine);

    // One line alone gives the gain G of a line.
    soloFirstLine (engine);

    const double g = settledDcGain (engine, 0.25f);
    EXPECT_NEAR (g, 0.975, 0.01);   // the "Normal" read's level

    for (int line = 1; line < 4; ++line)
        engine.setLineParameter (line, 0, 0.0f);

    for (int routing = 0; routing < DelayEngine::numRoutings; ++routing)
    {
        engine.setGlobalParameter (90, entry (routing, DelayEngine::numRoutings));
        ASSERT_EQ (engine.getRouting(), routing);

        const double expected = routingGain (routing, g);
        EXPECT_NEAR (settledDcGain (engine, 0.25f), expected, 1e-3 * expected) << "routing " << routing;
    }
}

TEST (DelayEngineRouting, SerialChainIsScaledOnlyByItsLastLine)
{
    DelayEngine engine;
    engine.prepare (44100.0, 256);
    makeNeutralEngine (engine);
    engine.setGlobalParameter (90, entry (DelayEngine::serial, DelayEngine::numRoutings));

    const float open = settledDcGain (engine, 0.25f);
    EXPECT_GT (open, 0.8f);

    engine.setLineParameter (0, 0, 1.0f);   // muting line 1 changes nothing
    EXPECT_NEAR (settledDcGain (engine, 0.25f), open, 1e-5f);

    engine.setLineParameter (3, 0, 1.0f);   // muting line 4 silences the chain
    EXPECT_NEAR (settledDcGain (engine, 0.25f), 0.0f, 1e-4f);
}

//==============================================================================
TEST (DelayEngineMix, DryPathFadesInAfterPrepare)
{
    DelayEngine engine;
    makeNeutralEngine (engine);
    engine.setGlobalParameter (89, 0.0f);   // dry only
    engine.prepare (44100.0, 512);

    Stereo signal (2000, 0.5f, -0.5f);
    render (engine, signal, 512);

    // The master gain glides up from 0 with a coefficient of 0.002 per sample.
    for (int i : { 0, 1, 100, 499, 1999 })
    {
        const double expected = 0.5 * (1.0 - std::pow (0.998, i + 1));
        EXPECT_NEAR (signal.l[(size_t) i], expected, 1e-4) << i;
        EXPECT_NEAR (signal.r[(size_t) i], -expected, 1e-4) << i;
    }
}

TEST (DelayEngineMix, FxAmountZeroPassesTheInputScaledByTheMasterGain)
{
    DelayEngine engine;
    makeNeutralEngine (engine);
    engine.setGlobalParameter (89, 0.0f);
    engine.setGlobalParameter (91, 1.0f);   // +12 dB
    settle (engine, 20000);

    Stereo signal (64, 0.1f, 0.2f);
    render (engine, signal, 64);

    EXPECT_NEAR (signal.l[63], 0.4f, 1e-4f);
    EXPECT_NEAR (signal.r[63], 0.8f, 1e-4f);
}

TEST (DelayEngineMix, MonoInputIsTheDrySignalOfBothOutputs)
{
    DelayEngine engine;
    makeNeutralEngine (engine);
    engine.setGlobalParameter (89, 0.0f);
    settle (engine, 20000);

    Stereo signal (64, 0.3f, 0.0f);     // the host cleared the right channel
    render (engine, signal, 64, false, true);

    EXPECT_NEAR (signal.l[63], 0.3f, 1e-4f);
    EXPECT_NEAR (signal.r[63], 0.3f, 1e-4f);
}

TEST (DelayEngineMix, MonoOutputIsTheMeanOfBothSidesScaledOnce)
{
    DelayEngine engine;
    makeNeutralEngine (engine);
    engine.setGlobalParameter (89, 0.0f);
    engine.setGlobalParameter (91, 1.0f);
    settle (engine, 20000);

    Stereo signal (64, 0.1f, 0.3f);
    render (engine, signal, 64, true, false);

    EXPECT_NEAR (signal.l[63], 4.0f * 0.2f, 1e-4f);
    EXPECT_EQ (signal.r[63], 0.3f);     // a mono output never touches channel 1
}

TEST (DelayEngineMix, ProcessWithoutARightChannelFallsBackToMono)
{
    DelayEngine engine;
    makeNeutralEngine (engine);
    engine.setGlobalParameter (89, 0.0f);
    settle (engine, 20000);

    std::vector<float> mono (64, 0.25f);
    float* channels[] = { mono.data(), nullptr };
    engine.process (channels, 64, true, true);
    EXPECT_NEAR (mono[63], 0.25f, 1e-4f);

    engine.process (nullptr, 64, true, true);
    engine.process (channels, 0, true, true);
    engine.process (channels, -5, true, true);

    // Mono in and out: one pointer is all there is.
    float* only[] = { mono.data() };
    engine.process (only, 64, false, false);
    EXPECT_NEAR (mono[63], 0.25f, 1e-4f);
}

TEST (DelayEngineMix, LimiterTakesTheMasterVolumeAndTheEngineGainStaysUnity)
{
    DelayEngine engine;
    makeNeutralEngine (engine);
    engine.setGlobalParameter (91, 1.0f);
    EXPECT_FLOAT_EQ (engine.getMasterGain(), 4.0f);

    engine.setGlobalParameter (87, 1.0f);
    EXPECT_TRUE (engine.isLimiterActive());
    EXPECT_FLOAT_EQ (engine.getMasterGain(), 1.0f);

    engine.setGlobalParameter (91, 0.0f);
    EXPECT_FLOAT_EQ (engine.getMasterGain(), 1.0f);

    engine.setGlobalParameter (87, 0.0f);
    EXPECT_FLOAT_EQ (engine.getMasterGain(), 1e-20f);
}

TEST (DelayEngineMix, LimiterAtUnityVolumeKeepsQuietSignalsAtUnityGain)
{
    DelayEngine engine;
    makeNeutralEngine (engine);
    engine.setGlobalParameter (89, 0.0f);
    engine.setGlobalParameter (87, 1.0f);   // threshold 0 dB, master volume 0.5
    settle (engine, 20000);

    Stereo signal (4096, 0.01f, 0.01f);
    render (engine, signal, 512);

    // Far below the knee the limiter passes the (delayed) signal at unity.
    EXPECT_NEAR (signal.l.back(), 0.01f, 2e-4f);
}

//==============================================================================
TEST (DelayEngineRender, ChunkedRunsMatchOneRunWithinCapacity)
{
    auto configure = [] (DelayEngine& engine)
    {
        makeNeutralEngine (engine, 0.003f);

        for (int line = 0; line < 4; ++line)
        {
            engine.setLineParameter (line, 10, entry (1, 4));   // "LP"
            engine.setLineParameter (line, 7, 1.0f);
            engine.setLineParameter (line, 35, 1.0f);
            engine.setLineParameter (line, 39, 0.8f);
            engine.setLineParameter (line, 44, 0.5f);
        }

        engine.setGlobalParameter (56, entry (2, 5));           // square LFO
        engine.setGlobalParameter (87, 1.0f);
        engine.setGlobalParameter (90, entry (DelayEngine::tappedSerial, DelayEngine::numRoutings));
    };

    DelayEngine small, large;
    small.prepare (44100.0, 64);
    large.prepare (44100.0, 4096);
    configure (small);
    configure (large);

    auto a = Stereo::sine (3000, 0.5f, 0.05f), b = a;

    render (small, a, 3000);    // far more than the 64 it was prepared for
    render (large, b, 3000);

    for (int i = 0; i < 3000; ++i)
    {
        ASSERT_EQ (a.l[(size_t) i], b.l[(size_t) i]) << i;
        ASSERT_EQ (a.r[(size_t) i], b.r[(size_t) i]) << i;
    }
}

TEST (DelayEngineRender, RestoresTheHostsFloatingPointMode)
{
    const auto flush = ScopedFlushDenormals::getFlushBits();

    if (flush == 0)
        GTEST_SKIP();

    DelayEngine engine;
    const auto original = ScopedFlushDenormals::getMode();

    for (const auto hostMode : { original & ~flush, original | flush })
    {
        ScopedFlushDenormals::setMode (hostMode);
        Stereo signal (100, 0.5f, 0.5f);
        render (engine, signal, 100);
        EXPECT_EQ (ScopedFlushDenormals::getMode(), hostMode);
    }

    ScopedFlushDenormals::setMode (original);
}

TEST (DelayEngineRender, ResetSilencesTheLines)
{
    // Each buffer a line reads must come back silent: the delay, the spread
    // buffer holding back either side, and the pre-delay.
    const struct { const char* name; int index; float value; } setups[] =
    {
        { "delay", 39, 0.95f },
        { "spread holding back the right", 41, 0.0f },
        { "spread holding back the left", 41, 1.0f },
        { "pre-delay", 27, 0.03f },
    };

    for (const auto& setup : setups)
    {
        DelayEngine engine;
        makeNeutralEngine (engine);
        engine.setLineParameter (0, 39, 0.95f);     // long feedback
        engine.setLineParameter (0, setup.index, setup.value);
        settle (engine, 20000);

        Stereo loud (8000, 0.5f, -0.5f);
        render (engine, loud, 512);
        EXPECT_GT (std::abs (loud.l.back()), 0.01f) << setup.name;

        engine.reset();
        Stereo after (3000);
        render (engine, after, 512);

        for (int i = 0; i < after.size(); ++i)
            ASSERT_LT (std::abs (after.l[(size_t) i]) + std::abs (after.r[(size_t) i]), 1e-6f) << setup.name << " at " << i;
    }
}

TEST (DelayEngineRender, NonFiniteInputEntersAsSilence)
{
    constexpr float inf = std::numeric_limits<float>::infinity();

    for (float bad : { std::numeric_limits<float>::quiet_NaN(), inf, -inf })
    {
        for (bool inputIsStereo : { true, false })
        {
            DelayEngine poisoned, clean;

            for (auto* engine : { &poisoned, &clean })
            {
                engine->prepare (44100.0, 256);
                makeNeutralEngine (*engine);
                engine->setLineParameter (0, 39, 0.95f);     // long feedback
            }

            auto input = Stereo::sine (8000, 0.5f, 0.01f);
            auto expected = input;
            input.l[100] = input.r[300] = bad;
            expected.l[100] = expected.r[300] = 0.0f;

            render (poisoned, input, 512, inputIsStereo);
            render (clean, expected, 512, inputIsStereo);

            EXPECT_EQ (input.l, expected.l) << bad << " stereo " << inputIsStereo;
            EXPECT_EQ (input.r, expected.r) << bad << " stereo " << inputIsStereo;
        }
    }
}

TEST (DelayEngineRender, PreDelayShiftsTheWetSignalWithoutChangingIt)
{
    auto makeEngine = [] (DelayEngine& engine, float preDelay)
    {
        engine.prepare (44100.0, 256);
        makeNeutralEngine (engine, 0.005f);
        engine.setLineParameter (0, 39, 0.7f);      // some repeats
        engine.setLineParameter (0, 10, entry (1, 4));
        engine.setLineParameter (0, 7, 1.0f);
        soloFirstLine (engine);
        engine.setLineParameter (0, 27, preDelay);
        settle (engine, 30000);     // past the glides of lengths and gains
    };

    DelayEngine plain, shifted;
    makeEngine (plain, 0.0f);
    makeEngine (shifted, 0.01f);    // about 441 samples

    const int length = 6000;
    Stereo a (length), b (length);
    a.l[10] = a.r[10] = b.l[10] = b.r[10] = 1.0f;
    render (plain, a, 256);
    render (shifted, b, 256);

    auto firstEcho = [] (const std::vector<float>& x)
    {
        for (size_t i = 11; i < x.size(); ++i)
            if (std::abs (x[i]) > 1e-6f)
                return (int) i;

        return -1;
    };

    const int shift = firstEcho (b.l) - firstEcho (a.l);
    EXPECT_NEAR (shift, 441, 1);

    // Equal up to the last bits of the denormal guards of the still-settling smoothers.
    for (int i = 11; i + shift < length; ++i)
    {
        ASSERT_NEAR (b.l[(size_t) (i + shift)], a.l[(size_t) i], 1e-6f) << i;
        ASSERT_NEAR (b.r[(size_t) (i + shift)], a.r[(size_t) i], 1e-6f) << i;
    }
}

//==============================================================================
TEST (DelayEngineRates, EchoArrivesOnTimeAtEveryRate)
{
    for (double rate : { 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0, 32000.0, 50000.0 })
    {
        DelayEngine engine;
        engine.setMaximumDelayLength (1);
        engine.prepare (rate, 512);
        makeNeutralEngine (engine, 0.02f);
        soloFirstLine (engine);
        settle (engine, (int) rate);

        const int length = (int) (rate * 0.1);
        Stereo signal (length);
        signal.l[0] = signal.r[0] = 1.0f;
        render (engine, signal, 512);

        int peak = 1;
        double sum = 0.0;

        for (int i = 1; i < length; ++i)
        {
            ASSERT_TRUE (std::isfinite (signal.l[(size_t) i])) << rate;
            sum += signal.l[(size_t) i];

            if (std::abs (signal.l[(size_t) i]) > std::abs (signal.l[(size_t) peak]))
                peak = i;
        }

        const double expected = ((int) rate - 32) * 0.02;
        EXPECT_NEAR (peak, expected, 0.0002 * rate + 20.0) << rate;
        EXPECT_NEAR (sum, 0.975, 0.01) << rate;
    }
}

TEST (DelayEngineRates, ModulatedLoopFilterDiesAwayAtEveryRate)
{
    // A low-pass in the loop thrown by a square LFO between 1.9 kHz and the top of its
    // range, 90 % feedback, a second of noise: what decays at 48 kHz decays at every rate.
    for (double rate : { 8000.0, 16000.0, 22050.0, 32000.0, 44100.0, 48000.0 })
    {
        DelayEngine engine;
        engine.prepare (rate, 512);
        makeNeutralEngine (engine);
        soloFirstLine (engine);
        const auto time = (float) (0.1286 * rate / (rate - 32.0));     // 128.6 ms

        for (auto [index, v] : { std::pair (7, 1.0f), { 10, entry (1, 4) }, { 8, 0.6466f }, { 15, time }, { 16, time },
                                 { 39, 0.95f }, { 44, 0.5f }, { 45, 0.8f } })
            engine.setLineParameter (0, index, v);

        engine.setGlobalParameter (56, entry (2, 5));   // square
        engine.setGlobalParameter (54, 0.66868f);       // 12.6 Hz
        std::mt19937 random (3);
        std::uniform_real_distribution<float> noise (-0.5f, 0.5f);
        Stereo signal ((int) rate * 10);
        std::generate (signal.l.begin(), signal.l.begin() + (int) rate, [&] { return noise (random); });
        signal.r = signal.l;
        render (engine, signal, 512);

        // The last two seconds; a render that passed infinity stays failed though the line fell silent after.
        float loudest = 0.0f;

        for (size_t n = 0; n < signal.l.size(); ++n)
            for (float x : { signal.l[n], signal.r[n] })
                if (! std::isfinite (x) || (n >= signal.l.size() - 2 * (size_t) rate && std::abs (x) > loudest))
                    loudest = std::abs (x);

        EXPECT_LT (loudest, 0.001f) << rate;     // -60 dBFS
    }
}

TEST (DelayEngineRates, FadeInKeepsItsTimeAcrossRates)
{
    for (double rate : { 44100.0, 48000.0, 96000.0, 192000.0, 22050.0 })
    {
        DelayEngine engine;
        makeNeutralEngine (engine);
        engine.setGlobalParameter (89, 0.0f);
        engine.prepare (rate, 512);

        const int length = (int) (rate * 0.0113);   // 500 samples at 44.1 kHz
        Stereo signal (length, 1.0f, 1.0f);
        render (engine, signal, 512);

        SampleRateConstants constants;
        constants.compute (rate);
        const double expected = 1.0 - std::pow (1.0 - (double) constants.smooth2Float, length);

        EXPECT_NEAR (signal.l.back(), expected, 1e-3) << rate;
        EXPECT_GT (signal.l.back(), 0.5f) << rate;    // one time constant, give or take
        EXPECT_LT (signal.l.back(), 0.8f) << rate;
    }
}

//==============================================================================
TEST (DelayEngineIndicators, OutputMetersFollowTheLevelAndReadSilenceAsZero)
{
    DelayEngine engine;
    makeNeutralEngine (engine);
    engine.setGlobalParameter (89, 0.0f);
    settle (engine, 44100);

    auto& indicators = engine.getIndicators();
    EXPECT_EQ (indicators.outputLevel[0].load(), 0.0f);

    Stereo fullScale (44100, 1.0f, 0.001f);    // 0 dB and −60 dB
    render (engine, fullScale, 512);

    EXPECT_NEAR (indicators.outputLevel[0].load(), 60.0f * 0.015151516f, 0.005f);
    EXPECT_LT (indicators.outputLevel[1].load(), 0.01f);
    EXPECT_EQ (indicators.outputClip[0].load(), 0);

    // A mono output meters channel 0 on both sides.
    Stereo mono (44100, 1.0f, 0.0f);
    render (engine, mono, 512, true, false);
    EXPECT_NEAR (indicators.outputLevel[1].load(), indicators.outputLevel[0].load(), 1e-3f);
}

TEST (DelayEngineIndicators, ClipLampHoldsForHalfASecond)
{
    DelayEngine engine;
    makeNeutralEngine (engine);
    engine.setGlobalParameter (89, 0.0f);
    settle (engine, 44100);

    auto& clip = engine.getIndicators().outputClip;

    Stereo hot (100);
    hot.l[50] = 2.0f;
    render (engine, hot, 100);
    EXPECT_EQ (clip[0].load(), 1);
    EXPECT_EQ (clip[1].load(), 0);

    settle (engine, (int) (0.45 * 44100));
    EXPECT_EQ (clip[0].load(), 1);

    settle (engine, (int) (0.1 * 44100));
    EXPECT_EQ (clip[0].load(), 0);
}

TEST (DelayEngineIndicators, LineMetersShowTheLinesOutput)
{
    DelayEngine engine;
    makeNeutralEngine (engine);
    engine.setLineParameter (1, 0, 1.0f);   // a muted line still meters its core

    Stereo signal (20000, 0.9f, 0.9f);
    render (engine, signal, 512);

    auto& levels = engine.getIndicators().lineLevel;

    for (int i = 0; i < 8; ++i)
    {
        EXPECT_GE (levels[i].load(), 0.5f) << i;
        EXPECT_LE (levels[i].load(), 1.0f) << i;
    }
}

TEST (DelayEngineIndicators, RestartAndTransientFlagsAreKeptApart)
{
    DelayEngine engine;
    makeNeutralEngine (engine);
    auto& indicators = engine.getIndicators();

    // A note restart lights the restart lamp, not the transient lamp.
    engine.retrigger (0);
    EXPECT_EQ (indicators.modulatorRestartFlag[0].exchange (0), 1);
    EXPECT_EQ (indicators.transientHitFlag[0].load(), 0);

    engine.retrigger (2);   // ignored
    EXPECT_EQ (indicators.modulatorRestartFlag[1].load(), 0);

    // A transient while MOD 1 listens to notes changes no flag.
    engine.setGlobalParameter (48, 0.5f);   // "Note"
    engine.setGlobalParameter (49, 0.5f);   // the table's speed and thresholds
    engine.setGlobalParameter (50, 0.2f);
    engine.setGlobalParameter (51, 0.8f);
    settle (engine, 4410);
    Stereo bang (4410, 0.3f, 0.3f);
    render (engine, bang, 512);
    EXPECT_EQ (indicators.transientHitFlag[0].load(), 0);
    EXPECT_EQ (indicators.modulatorRestartFlag[0].load(), 0);
    EXPECT_GT (indicators.transientLevel[0].load(), -0.01f);
    EXPECT_LT (indicators.transientLevel[0].load(), 0.5f);

    // In "Transient" mode the same hit lights both, and the engine never clears them.
    engine.setGlobalParameter (48, 1.0f);
    settle (engine, 44100);
    Stereo again (4410, 0.3f, 0.3f);
    render (engine, again, 512);
    settle (engine, 512);
    EXPECT_EQ (indicators.transientHitFlag[0].exchange (0), 1);
    EXPECT_EQ (indicators.modulatorRestartFlag[0].exchange (0), 1);
    EXPECT_EQ (indicators.transientHitFlag[1].load(), 0);
}

TEST (DelayEngineIndicators, SilenceReadsAsTheBottomOfTheTransientScale)
{
    DelayEngine engine;
    settle (engine, 1024);
    EXPECT_FLOAT_EQ (engine.getIndicators().transientLevel[0].load(), 5.0f);
    EXPECT_FLOAT_EQ (engine.getIndicators().peakLevel[0].load(), 0.0f);
}

TEST (DelayEngineIndicators, LfoHalfCycleLampFollowsTheLeftLfo)
{
    DelayEngine engine;
    engine.setGlobalParameter (54, 1.0f);   // 40 Hz: a cycle is 1102.5 samples
    engine.prepare (44100.0, 100);

    auto& lamp = engine.getIndicators().lfoFirstHalf[0];
    int changes = 0, previous = -1;

    for (int run = 0; run < 441; ++run)    // one second in 100-sample runs
    {
        settle (engine, 100);
        const int now = lamp.load();
        changes += previous >= 0 && now != previous ? 1 : 0;
        previous = now;
    }

    EXPECT_NEAR (changes, 80, 2);
}

TEST (DelayEngineIndicators, TapFlagsReportANewMeasurementOfThatRun)
{
    DelayEngine engine;
    engine.prepare (44100.0, 256);

    engine.getDelayCore (2).tapAveragerL.tap();
    settle (engine, 4410);
    engine.getDelayCore (2).tapAveragerL.tap();
    engine.getPreDelayCore (1).tapAveragerR.tap();
    engine.getPreDelayCore (1).tapAveragerR.tap();   // one tap: no interval yet

    // Longer than the capacity: the measurement lands in an early chunk and must
    // still be reported at the end of the call.
    Stereo run (1000);
    render (engine, run, 1000);

    EXPECT_TRUE (engine.getTapFlag (2, DelayEngine::delayLeftTap));
    EXPECT_FALSE (engine.getTapFlag (2, DelayEngine::delayRightTap));
    EXPECT_FALSE (engine.getTapFlag (1, DelayEngine::preDelayRightTap));
    EXPECT_NEAR (engine.getDelayCore (2).tapAveragerL.getAverage(), 0.1f, 0.001f);

    settle (engine, 256);
    EXPECT_FALSE (engine.getTapFlag (2, DelayEngine::delayLeftTap));
}
