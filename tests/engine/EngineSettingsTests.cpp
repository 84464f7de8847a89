#include "DelayCore.h"
#include "DelayEngine.h"
#include "EngineTestSupport.h"
#include "PreDelayCore.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace engine_test;

namespace
{
    constexpr double twoPi = 6.283185307179586;

    /** Renders one sample at a time until the predicate holds; the number of samples it took. */
    template <typename Predicate>
    int samplesUntil (DelayEngine& engine, Predicate predicate, int limit, float input = 0.0f)
    {
        for (int n = 1; n <= limit; ++n)
        {
            float l = input, r = input;
            float* channels[] = { &l, &r };
            engine.process (channels, 1, true, true);

            if (predicate())
                return n;
        }

        return -1;
    }

    float rms (const std::vector<float>& x, size_t from)
    {
        double sum = 0.0;

        for (size_t i = from; i < x.size(); ++i)
            sum += (double) x[i] * x[i];

        return (float) std::sqrt (sum / (double) (x.size() - from));
    }
}

//==============================================================================
TEST (EngineLineSettings, GainsAndColourFollowTheirCurves)
{
    DelayEngine engine;
    auto& core = engine.getDelayCore (1);

    const struct { int index; float v; float expected; float DelayCore::* field; } cases[] =
    {
        { 2, 0.0f, 0.0f, &DelayCore::volume },
        { 2, 0.75f, 1.0f, &DelayCore::volume },
        { 2, 1.0f, 4.0f, &DelayCore::volume },
        { 1, 0.5f, 1.0f, &DelayCore::pan },
        { 1, 1.0f, 2.0f, &DelayCore::pan },
        { 36, 0.0f, 1.0f, &DelayCore::preampGain },
        { 36, 0.5f, 15.848932f, &DelayCore::preampGain },     // +24 dB
        { 36, 1.0f, 251.18864f, &DelayCore::preampGain },     // +48 dB
        { 37, 0.0f, -1.0f, &DelayCore::colour },
        { 37, 0.5f, 0.0f, &DelayCore::colour },
        { 37, 1.0f, 2.0f, &DelayCore::colour },
        { 38, 0.0f, 0.125f, &DelayCore::overdriveGain },
        { 38, 0.5f, 0.25f, &DelayCore::overdriveGain },
        { 38, 1.0f, 1.0f, &DelayCore::overdriveGain },
        { 8, 0.3f, 0.3f, &DelayCore::cutoff },
        { 9, 0.7f, 0.7f, &DelayCore::resonance },
        { 45, 0.2f, 0.2f, &DelayCore::modCutoff },
        { 46, 0.9f, 0.9f, &DelayCore::tremolo },
    };

    for (const auto& c : cases)
    {
        engine.setLineParameter (1, c.index, c.v);
        EXPECT_NEAR (core.*c.field, c.expected, 1e-5f * std::max (1.0f, c.expected)) << c.index << " at " << c.v;
    }
}

TEST (EngineLineSettings, FeedbackAndItsLoopGain)
{
    DelayEngine engine;
    auto& core = engine.getDelayCore (0);

    engine.setLineParameter (0, 39, 1.0f);
    EXPECT_FLOAT_EQ (core.feedback, 1.0f);
    EXPECT_FLOAT_EQ (core.feedbackGain, 0.99f);

    engine.setLineParameter (0, 39, 0.0f);
    EXPECT_FLOAT_EQ (core.feedback, -1.0f);
    EXPECT_FLOAT_EQ (core.feedbackGain, -0.99f);

    engine.setLineParameter (0, 39, 0.5f);
    EXPECT_FLOAT_EQ (core.feedbackGain, 0.0f);

    engine.setLineParameter (0, 40, 0.6f);
    EXPECT_TRUE (core.feedbackHold);
    engine.setLineParameter (0, 40, 0.4f);
    EXPECT_FALSE (core.feedbackHold);
}

TEST (EngineLineSettings, SwitchesAndEnumerations)
{
    DelayEngine engine;
    auto& core = engine.getDelayCore (3);

    engine.setLineParameter (3, 0, 1.0f);
    EXPECT_EQ (engine.getLineGainTarget (3), 0.0f);
    engine.setLineParameter (3, 0, 0.0f);
    EXPECT_EQ (engine.getLineGainTarget (3), 1.0f);

    engine.setLineParameter (3, 3, 1.0f);
    engine.setLineParameter (3, 4, 0.5f);
    engine.setLineParameter (3, 5, 0.49f);
    EXPECT_TRUE (core.midSide);
    EXPECT_TRUE (core.swapChannels);
    EXPECT_FALSE (core.stereoToMono);

    engine.setLineParameter (3, 6, 1.0f);
    engine.setLineParameter (3, 7, 1.0f);
    engine.setLineParameter (3, 43, 1.0f);
    EXPECT_EQ (core.filterMode, 1);
    EXPECT_TRUE (core.filterInLoop);
    EXPECT_TRUE (core.logModulation);

    for (int k = 0; k < 4; ++k)
    {
        engine.setLineParameter (3, 10, entry (k, 4));
        EXPECT_EQ (core.filterType, k);
    }
}

TEST (EngineLineSettings, HighPassFilterTypeIsAHighPass)
{
    // "HP" must reach the filters as a true high-pass: DC is removed while a
    // high tone passes, which a band-pass around the cutoff would not do.
    auto throughFilter = [] (float dc, float toneLevel)
    {
        DelayEngine engine;
        makeNeutralEngine (engine);
        engine.setLineParameter (0, 10, 1.0f);  // "HP", before the overdrive (which stays off)
        soloFirstLine (engine);

        auto signal = Stereo::sine (44100, toneLevel, (float) (twoPi * 5000.0 / 44100.0), dc);
        render (engine, signal, 512);
        return signal;
    };

    const auto dcOnly = throughFilter (0.5f, 0.0f);
    EXPECT_LT (std::abs (dcOnly.l.back()), 1e-3f);

    const auto tone = throughFilter (0.0f, 0.5f);
    EXPECT_GT (rms (tone.l, 22050), 0.8f * 0.5f / std::sqrt (2.0f));
}

TEST (EngineLineSettings, TimesScalesAndFractions)
{
    DelayEngine engine;
    auto& core = engine.getDelayCore (0);
    auto& pre = engine.getPreDelayCore (0);

    engine.setLineParameter (0, 12, 0.0f);
    engine.setLineParameter (0, 15, 0.5f);
    engine.setLineParameter (0, 16, 0.25f);
    EXPECT_EQ (core.timeL, 0.5f);
    EXPECT_FLOAT_EQ (core.lengthL, (44100 - 32) * 0.5f);
    EXPECT_FLOAT_EQ (core.lengthR, (44100 - 32) * 0.25f);

    engine.setLineParameter (0, 12, 1.0f);  // joined: the right follows the left
    EXPECT_FLOAT_EQ (core.lengthR, core.lengthL);

    // Tempo sync at 120 bpm: 3/16 is 0.375 s; "Dot" stores 2/3 (longer), "Triplet" 1.5.
    engine.setHostBpm (120.0);
    engine.setLineParameter (0, 19, 2.0f / 31.0f);
    engine.setLineParameter (0, 20, 15.0f / 31.0f);
    engine.setLineParameter (0, 11, 1.0f);
    EXPECT_EQ (core.numeratorL, 3);
    EXPECT_EQ (core.denominatorL, 16);
    EXPECT_NEAR (core.lengthL, 16537.5f, 0.01f);

    engine.setLineParameter (0, 17, 0.5f);
    EXPECT_DOUBLE_EQ (core.scaleL, 2.0 / 3.0);
    EXPECT_NEAR (core.lengthL, 16537.5f * 1.5f, 0.01f);

    engine.setLineParameter (0, 17, 1.0f);
    EXPECT_DOUBLE_EQ (core.scaleL, 1.5);
    EXPECT_NEAR (core.lengthL, 16537.5f / 1.5f, 0.01f);

    engine.setLineParameter (0, 18, 0.0f);
    EXPECT_DOUBLE_EQ (core.scaleR, 1.0);

    // The delay's fractions count 1..32, the pre-delay's numerators 0..32.
    engine.setLineParameter (0, 19, 0.0f);
    engine.setLineParameter (0, 21, 1.0f);
    engine.setLineParameter (0, 22, 0.0f);
    EXPECT_EQ (core.numeratorL, 1);
    EXPECT_EQ (core.numeratorR, 32);
    EXPECT_EQ (core.denominatorR, 1);

    engine.setLineParameter (0, 31, 0.0f);
    engine.setLineParameter (0, 33, 1.0f);
    engine.setLineParameter (0, 32, 1.0f);
    engine.setLineParameter (0, 34, 0.0f);
    EXPECT_EQ (pre.numeratorL, 0);
    EXPECT_EQ (pre.numeratorR, 32);
    EXPECT_EQ (pre.denominatorL, 32);
    EXPECT_EQ (pre.denominatorR, 1);

    engine.setLineParameter (0, 23, 1.0f);
    engine.setLineParameter (0, 24, 0.0f);
    EXPECT_TRUE (pre.tempoSync);
    EXPECT_EQ (pre.lengthL, 0.0f);      // numerator 0: no pre-delay

    engine.setLineParameter (0, 23, 0.0f);
    engine.setLineParameter (0, 27, 0.1f);
    engine.setLineParameter (0, 28, 0.2f);
    EXPECT_FLOAT_EQ (pre.lengthL, (44100 - 32) * 0.1f);
    EXPECT_FLOAT_EQ (pre.lengthR, (44100 - 32) * 0.2f);
    engine.setLineParameter (0, 29, 0.5f);
    EXPECT_DOUBLE_EQ (pre.scaleL, 2.0 / 3.0);

    // The knob parameters never reach the lines.
    engine.setLineParameter (0, 13, 0.9f);
    engine.setLineParameter (0, 25, 0.9f);
    EXPECT_FLOAT_EQ (pre.lengthL, (44100 - 32) * 0.1f);
}

TEST (EngineLineSettings, SpreadAndModulationDepthFollowTheDelayLength)
{
    DelayEngine engine;
    auto& core = engine.getDelayCore (2);
    engine.setLineParameter (2, 15, 0.5f);

    engine.setLineParameter (2, 41, 0.0f);
    EXPECT_FLOAT_EQ (core.spreadOffset, -0.5f * core.lengthL);
    engine.setLineParameter (2, 41, 1.0f);
    EXPECT_FLOAT_EQ (core.spreadOffset, 0.5f * core.lengthL);
    engine.setLineParameter (2, 41, 0.5f);
    EXPECT_FLOAT_EQ (core.spreadOffset, 0.0f);

    engine.setLineParameter (2, 44, 0.0f);
    EXPECT_EQ (core.modTimeDepth, 0.0f);
    engine.setLineParameter (2, 44, 1.0f);
    EXPECT_EQ (core.modTimeDepth, 1.0f);

    engine.setLineParameter (2, 44, 0.5f);
    const float depthAtHalfSecond = core.modTimeDepth;
    EXPECT_NEAR (depthAtHalfSecond, std::pow (0.5f, 1.0f + 10.0f * core.lengthL / 44100.0f), 1e-6f);

    engine.setLineParameter (2, 15, 0.1f);
    engine.setLineParameter (2, 44, 0.4f);
    engine.setLineParameter (2, 44, 0.5f);
    EXPECT_GT (core.modTimeDepth, depthAtHalfSecond);   // a shorter delay, a deeper modulation
}

TEST (EngineLineSettings, OutOfRangeLinesAndIndicesAreIgnored)
{
    DelayEngine engine;
    engine.setLineParameter (0, 2, 0.75f);

    engine.setLineParameter (-1, 2, 0.0f);
    engine.setLineParameter (4, 2, 0.0f);
    engine.setLineParameter (0, 47, 0.0f);
    engine.setLineParameter (0, -1, 0.0f);
    EXPECT_FLOAT_EQ (engine.getDelayCore (0).volume, 1.0f);

    engine.setGlobalParameter (46, 1.0f);
    engine.setGlobalParameter (92, 1.0f);
    EXPECT_EQ (engine.getRouting(), 0);
}

TEST (EngineLineSettings, WildValuesNeitherCrashNorOutliveAPrepare)
{
    DelayEngine engine;
    engine.prepare (44100.0, 64);

    for (float v : { std::nanf (""), 1e30f, -1e30f, 2.0f, -1.0f })
    {
        for (int line = 0; line < 4; ++line)
            for (int i = 0; i < DelayEngine::numLineParameters; ++i)
                engine.setLineParameter (line, i, v);

        for (int id = DelayEngine::firstGlobalParameter; id <= DelayEngine::lastGlobalParameter; ++id)
            engine.setGlobalParameter (id, v);

        Stereo signal (256, 0.5f, -0.5f);
        render (engine, signal, 64);
    }

    makeNeutralEngine (engine);

    for (int id = DelayEngine::firstGlobalParameter; id <= 86; ++id)
        engine.setGlobalParameter (id, 0.0f);

    engine.prepare (44100.0, 64);
    Stereo signal (4096, 0.5f, -0.5f);
    render (engine, signal, 64);

    for (int i = 0; i < signal.size(); ++i)
    {
        ASSERT_TRUE (std::isfinite (signal.l[(size_t) i])) << i;
        ASSERT_TRUE (std::isfinite (signal.r[(size_t) i])) << i;
    }
}

//==============================================================================
TEST (EngineGlobalSettings, RoutingFxAndMasterVolume)
{
    DelayEngine engine;

    for (int r = 0; r < DelayEngine::numRoutings; ++r)
    {
        engine.setGlobalParameter (90, entry (r, DelayEngine::numRoutings));
        EXPECT_EQ (engine.getRouting(), r);
    }

    engine.setGlobalParameter (90, 0.05f);
    EXPECT_EQ (engine.getRouting(), 0);
    engine.setGlobalParameter (90, 0.07f);
    EXPECT_EQ (engine.getRouting(), 1);
    engine.setGlobalParameter (90, 7.0f);   // not clamped by the setters, but never past the table
    EXPECT_EQ (engine.getRouting(), DelayEngine::numRoutings - 1);

    engine.setGlobalParameter (89, 0.3f);
    EXPECT_FLOAT_EQ (engine.getFxAmount(), 0.3f);

    engine.setGlobalParameter (91, 0.5f);
    EXPECT_FLOAT_EQ (engine.getMasterGain(), 1.0f);
    engine.setGlobalParameter (91, 1.0f);
    EXPECT_FLOAT_EQ (engine.getMasterGain(), 4.0f);
    engine.setGlobalParameter (91, 0.0f);
    EXPECT_FLOAT_EQ (engine.getMasterGain(), 1e-20f);
}

TEST (EngineGlobalSettings, LimiterThresholdBringsItsMakeupGain)
{
    DelayEngine engine;
    makeNeutralEngine (engine);
    engine.setGlobalParameter (89, 0.0f);
    engine.setGlobalParameter (87, 1.0f);
    engine.setGlobalParameter (88, 0.0f);   // −24 dB, so +24 dB of makeup
    settle (engine, 20000);

    Stereo quiet (8192, 0.001f, 0.001f);    // −60 dB, far below the knee
    render (engine, quiet, 512);
    EXPECT_NEAR (quiet.l.back(), 0.001f * 15.848932f, 2e-4f);
}

TEST (EngineGlobalSettings, LfoFrequencyCurveAndModulatorIds)
{
    DelayEngine engine;
    auto& mods = engine.getModulators();
    const auto increment = [] (double hertz) { return twoPi * hertz / 44100.0; };

    const struct { float v; double hertz; } points[] = { { 0.0f, 0.1 }, { 0.5f, 6.64 }, { 1.0f, 40.0 } };

    for (const auto& p : points)
    {
        engine.setGlobalParameter (54, p.v);
        EXPECT_NEAR (mods.getLfo (0).getIncrement(), increment (p.hertz), 1e-3 * increment (p.hertz)) << p.v;
        EXPECT_EQ (mods.getLfo (2).getIncrement(), mods.getLfo (0).getIncrement());
    }

    // MOD 2's ids are twenty higher and leave MOD 1 alone.
    engine.setGlobalParameter (74, 0.0f);
    EXPECT_NEAR (mods.getLfo (1).getIncrement(), increment (0.1), 1e-7);
    EXPECT_NEAR (mods.getLfo (3).getIncrement(), increment (0.1), 1e-7);
    EXPECT_NEAR (mods.getLfo (0).getIncrement(), increment (40.0), 1e-4);

    engine.setLfo2Frequency (1.0);
    EXPECT_NEAR (mods.getLfo (1).getIncrement(), increment (40.0), 1e-4);
    engine.setLfo1Frequency (0.0);
    EXPECT_NEAR (mods.getLfo (0).getIncrement(), increment (0.1), 1e-7);
}

TEST (EngineGlobalSettings, TempoSyncedLfoFollowsTempoAndRate)
{
    DelayEngine engine;
    auto& mods = engine.getModulators();
    const auto increment = [] (double hertz) { return twoPi * hertz / 44100.0; };

    engine.setGlobalParameter (54, 0.0f);
    engine.setHostBpm (120.0);
    engine.setLfoTempoRate (0, 1.0);
    engine.setGlobalParameter (52, 1.0f);
    EXPECT_NEAR (mods.getLfo (0).getIncrement(), increment (2.0), 1e-9);
    EXPECT_NEAR (mods.getLfo (2).getIncrement(), increment (2.0), 1e-9);

    engine.setLfoTempoRate (0, 0.25);
    EXPECT_NEAR (mods.getLfo (0).getIncrement(), increment (0.5), 1e-9);

    engine.setLfo1TempoSync (false);
    EXPECT_NEAR (mods.getLfo (0).getIncrement(), increment (0.1), 1e-9);

    engine.setLfo2TempoSync (true);
    engine.setLfoTempoRate (1, 2.0);
    EXPECT_NEAR (mods.getLfo (3).getIncrement(), increment (4.0), 1e-9);

    engine.setLfoTempoRate (2, 8.0);    // no third modulator
    EXPECT_NEAR (mods.getLfo (3).getIncrement(), increment (4.0), 1e-9);
}

TEST (EngineGlobalSettings, TempoBeyondFloatPrecisionUpdatesSyncedLinesButNotLfos)
{
    DelayEngine engine;
    auto& core = engine.getDelayCore (0);
    auto& mods = engine.getModulators();

    engine.setLineParameter (0, 11, 1.0f);
    engine.setGlobalParameter (52, 1.0f);
    engine.setLfoTempoRate (0, 1.0);
    engine.setHostBpm (120.0);

    const double lfoIncrement = mods.getLfo (0).getIncrement();
    const double nudged = 120.0 + 1e-9;
    engine.setHostBpm (nudged);

    EXPECT_EQ (core.bpm, nudged);
    EXPECT_EQ (engine.getPreDelayCore (0).bpm, nudged);
    EXPECT_EQ (mods.getLfo (0).getIncrement(), lfoIncrement);

    engine.setHostBpm (60.0);
    EXPECT_NEAR (core.lengthL, 2.0f * 16537.5f, 0.02f);
    EXPECT_NEAR (mods.getLfo (0).getIncrement(), twoPi * 1.0 / 44100.0, 1e-9);
}

TEST (EngineGlobalSettings, WaveformEntriesMapToTheirCodes)
{
    DelayEngine engine;
    const int codes[] = { 5, 3, 2, 1, 0 };     // "Smooth S/H", "Saw Down", "Square", "Sine", "Triangle"

    for (int e = 0; e < 5; ++e)
    {
        engine.setGlobalParameter (76, entry (e, 5));
        EXPECT_EQ (engine.getModulators().getLfo (1).getWaveform(), codes[e]);
        EXPECT_EQ (engine.getModulators().getLfo (3).getWaveform(), codes[e]);
        EXPECT_EQ (engine.getModulators().getLfo (0).getWaveform(), 0);
    }
}

TEST (EngineGlobalSettings, PhaseShiftMovesOnlyTheRightLfo)
{
    DelayEngine engine;
    engine.setGlobalParameter (54, 0.0f);
    engine.setGlobalParameter (58, 0.5f);
    settle (engine, 10);

    const auto& mods = engine.getModulators();
    const auto offset = [&] (int lfo)
    {
        return std::remainder (mods.getLfo (lfo).getEffectivePhase() - mods.getLfo (lfo).getBasePhase(), twoPi);
    };

    EXPECT_NEAR (offset (2), twoPi / 4.0, 1e-9);
    EXPECT_NEAR (offset (0), 0.0, 1e-9);
    EXPECT_NEAR (offset (3), 0.0, 1e-9);
}

TEST (EngineGlobalSettings, TransientThresholdsAndSpeed)
{
    // A constant frame of L = R = a settles the power follower at (2a)².
    // Threshold 0.5 is −32 dB of that scale: a power of 10^(−1.6) ≈ 0.0251.
    auto fires = [] (float amplitude, float speed)
    {
        DelayEngine engine;
        engine.setGlobalParameter (48, 1.0f);   // "Transient"
        engine.setGlobalParameter (49, speed);
        engine.setGlobalParameter (50, 0.5f);
        engine.setGlobalParameter (51, 0.8f);

        return samplesUntil (engine, [&] { return engine.getIndicators().modulatorRestartFlag[0].load() == 1; },
                             44100, amplitude);
    };

    EXPECT_EQ (fires (0.07f, 1.0f), -1);    // 0.0196: below
    EXPECT_GT (fires (0.09f, 1.0f), 0);     // 0.0324: above

    // The speed scales the follower's rise: v²·1.45 + 0.05 times the nominal rate
    // k·0.01, so from silence to 0.0251 of 0.0324 takes −ln(1 − 0.775)/(0.01·speed).
    const double rise = -std::log (1.0 - 0.0251189 / 0.0324);
    EXPECT_NEAR (fires (0.09f, 1.0f), rise / (0.01 * 1.5), 2.0);
    EXPECT_NEAR (fires (0.09f, 0.0f), rise / (0.01 * 0.05), 5.0);
}

TEST (EngineGlobalSettings, RearmThresholdDecidesWhenTheDetectorFiresAgain)
{
    auto secondHit = [] (float rearm)
    {
        DelayEngine engine;
        engine.setGlobalParameter (48, 1.0f);
        engine.setGlobalParameter (49, 1.0f);
        engine.setGlobalParameter (50, 0.5f);
        engine.setGlobalParameter (51, rearm);

        auto& flag = engine.getIndicators().transientHitFlag[0];
        samplesUntil (engine, [&] { return flag.load() == 1; }, 4410, 0.2f);
        flag.store (0);

        // Down to a power of 0.0036: below the re-arm level of 0.5 (−32 dB on the
        // detector's scale) but above that of 0.8 (−51.2 dB).
        samplesUntil (engine, [] { return false; }, 4410, 0.03f);
        return samplesUntil (engine, [&] { return flag.load() == 1; }, 4410, 0.2f) > 0;
    };

    EXPECT_TRUE (secondHit (0.5f));
    EXPECT_FALSE (secondHit (0.8f));
}

TEST (EngineGlobalSettings, EnvelopeStagesTakeTheirTimes)
{
    DelayEngine engine;
    auto& envelope = engine.getModulators().getEnvelope (0);
    const auto stageIsNot = [&] (int stage) { return [&envelope, stage] { return envelope.getStage() != stage; }; };

    engine.setGlobalParameter (59, 0.0f);   // fastest attack
    engine.setGlobalParameter (60, 0.0f);   // fastest decay
    engine.setGlobalParameter (61, 0.0f);   // sustain 0
    engine.setGlobalParameter (62, 0.1f);   // 0.1 s hold
    engine.setGlobalParameter (63, 0.5f);

    engine.retrigger (0);

    // The attack rises toward 2 and ends where it crosses 1.
    const double attack = 0.015499999999999247;
    EXPECT_NEAR (samplesUntil (engine, stageIsNot (EnvelopeGenerator::attack), 1000), std::log (0.5) / std::log (1.0 - attack), 1.0);

    // The decay falls from 1 until it is within 0.01 of the sustain level.
    const double fall0 = 1.0 / 52.64586955682043 + 5.157509637010767e-06;
    EXPECT_NEAR (samplesUntil (engine, stageIsNot (EnvelopeGenerator::decay), 1000), std::log (0.01) / std::log (1.0 - fall0), 1.0);

    EXPECT_EQ (envelope.getStage(), EnvelopeGenerator::hold);
    EXPECT_NEAR (samplesUntil (engine, stageIsNot (EnvelopeGenerator::hold), 10000), 4410, 1);
    EXPECT_EQ (envelope.getStage(), EnvelopeGenerator::release);

    // A slower attack: v = 0.5 is a setting of 0.125.
    engine.setGlobalParameter (59, 0.5f);
    engine.setGlobalParameter (61, 1.0f);
    engine.setGlobalParameter (62, 0.0f);
    settle (engine, 44100);     // released to nearly 0
    engine.retrigger (0);

    const double slow = 0.125 * -0.015498038557004743 / (0.125 + 0.0001631799795832926) + 0.015499999999999247;
    const double start = envelope.getValue();
    const double expected = std::log ((2.0 - start) / 1.0) / slow;
    EXPECT_NEAR (samplesUntil (engine, stageIsNot (EnvelopeGenerator::attack), 100000), expected, 0.002 * expected);
}

TEST (EngineGlobalSettings, PeakSensitivityScalesTheFollower)
{
    auto settledPeak = [] (float sensitivity)
    {
        DelayEngine engine;
        engine.setGlobalParameter (64, sensitivity);
        engine.setGlobalParameter (65, 0.0f);
        engine.setGlobalParameter (66, 0.5f);

        Stereo signal (44100, 0.05f, 0.05f);
        render (engine, signal, 512);
        return engine.getIndicators().peakLevel[0].load();
    };

    EXPECT_NEAR (settledPeak (0.0f), 0.1f, 1e-3f);                  // |L + R|
    EXPECT_NEAR (settledPeak (0.5f), 0.1f * 3.9810717f, 4e-3f);     // +12 dB
    EXPECT_NEAR (settledPeak (1.0f), 1.0f, 1e-6f);                  // clamped to 1
}

//==============================================================================
TEST (EngineQuality, QualityChoosesTheReadsLevelAndItsDefault)
{
    auto dcGain = [] (int quality)
    {
        DelayEngine engine;
        makeNeutralEngine (engine);
        engine.setQuality (quality);
        soloFirstLine (engine);

        Stereo signal (44100, 0.25f, 0.25f);
        render (engine, signal, 512);
        return signal.l.back() / 0.25f;
    };

    EXPECT_NEAR (dcGain (0), 0.975f, 0.002f);
    EXPECT_NEAR (dcGain (1), 0.975f, 0.002f);
    EXPECT_NEAR (dcGain (2), 0.935f, 0.002f);
    EXPECT_NEAR (dcGain (3), 0.935f, 0.002f);
}

TEST (EngineQuality, EachQualityReadsDifferentlyAndUnknownMeansLow)
{
    // A delay that shrinks fast: the stretched reads of "High" and "Ultra" differ.
    auto play = [] (int quality)
    {
        DelayEngine engine;
        makeNeutralEngine (engine, 0.3f);
        engine.setQuality (quality);
        engine.setLineParameter (0, 44, 1.0f);
        engine.setGlobalParameter (56, 0.25f);  // saw down...
        engine.setGlobalParameter (57, 1.0f);   // ...inverted: a rising ramp
        engine.setGlobalParameter (54, 0.6f);   // about 10 Hz: the delay shrinks 3 samples per sample

        auto signal = Stereo::sine (30000, 0.3f, 0.01f);
        render (engine, signal, 512);
        return signal.l;
    };

    const auto low = play (0), normal = play (1), high = play (2), ultra = play (3);
    EXPECT_EQ (play (7), low);
    EXPECT_EQ (play (-1), low);
    EXPECT_NE (normal, low);
    EXPECT_NE (high, normal);
    EXPECT_NE (ultra, high);
}

TEST (EngineQuality, MaximumDelayLengthResizesEveryLineWithinItsRange)
{
    DelayEngine engine;
    EXPECT_EQ (engine.getMaximumDelayLength(), 3);
    EXPECT_EQ (engine.getDelayCore (0).bufferLength, 3 * 44100);

    engine.setMaximumDelayLength (5);
    EXPECT_EQ (engine.getDelayCore (3).bufferLength, 5 * 44100);
    EXPECT_EQ (engine.getPreDelayCore (2).bufferLength, 5 * 44100);

    engine.setMaximumDelayLength (0);
    EXPECT_EQ (engine.getMaximumDelayLength(), 1);
    engine.setMaximumDelayLength (99);
    EXPECT_EQ (engine.getMaximumDelayLength(), 15);

    engine.prepare (48000.0, 128);
    EXPECT_EQ (engine.getDelayCore (1).bufferLength, 15 * 48000);
    EXPECT_EQ (engine.getBlockCapacity(), 128);
}

TEST (EngineQuality, ModulationSourcePicksTheModulatorsBuffers)
{
    // MOD 1 swings fast, MOD 2 stands still: a line that takes MOD 2 plays its
    // delay unmodulated.
    auto configure = [] (DelayEngine& engine, float modulationTime, float source)
    {
        makeNeutralEngine (engine, 0.05f);
        engine.setGlobalParameter (54, 1.0f);
        engine.setGlobalParameter (56, entry (2, 5));
        engine.setGlobalParameter (67, 0.5f);   // MOD 2 an envelope that is never triggered
        engine.setLineParameter (0, 44, modulationTime);
        engine.setLineParameter (0, 42, source);
    };

    DelayEngine still, onMod2, onMod1;
    configure (still, 0.0f, 0.0f);
    configure (onMod2, 1.0f, 1.0f);
    configure (onMod1, 1.0f, 0.0f);

    auto a = Stereo::sine (20000, 0.3f, 0.02f), b = a, c = a;

    render (still, a, 512);
    render (onMod2, b, 512);
    render (onMod1, c, 512);

    float differenceToMod2 = 0.0f, differenceToMod1 = 0.0f;

    for (int i = 0; i < 20000; ++i)
    {
        differenceToMod2 = std::max (differenceToMod2, std::abs (a.l[(size_t) i] - b.l[(size_t) i]));
        differenceToMod1 = std::max (differenceToMod1, std::abs (a.l[(size_t) i] - c.l[(size_t) i]));
    }

    EXPECT_LT (differenceToMod2, 1e-3f);
    EXPECT_GT (differenceToMod1, 0.05f);
}
