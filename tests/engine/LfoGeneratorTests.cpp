#include "LfoGenerator.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
    constexpr double pi = 3.141592653589793;

    // A free-running LFO at 44.1 kHz whose cycle lasts exactly samplesPerCycle samples.
    LfoGenerator makeLfo (int waveform, double samplesPerCycle = 100.0)
    {
        SampleRateConstants rates;
        rates.compute (44100.0);

        LfoGenerator lfo;
        lfo.prepare (rates);
        lfo.setWaveform (waveform);
        lfo.setFreeFrequency (44100.0 / samplesPerCycle);
        return lfo;
    }

    // The bipolar waveform value that process() mapped to 0..1.
    float bipolar (float unipolar)    { return unipolar * 2.0f - 1.0f; }
}

TEST (LfoGenerator, WaveformsOverOneCycle)
{
    auto triangle = makeLfo (LfoGenerator::triangle);
    auto sine = makeLfo (LfoGenerator::sine);
    auto square = makeLfo (LfoGenerator::square);
    auto saw = makeLfo (LfoGenerator::sawDown);

    for (int n = 0; n < 100; ++n)
    {
        const double p = 2.0 * pi * n / 100.0;
        const double expectedTriangle = p < pi ? -1.0 + 2.0 * p / pi : 3.0 - 2.0 * p / pi;

        ASSERT_NEAR (bipolar (triangle.process()), expectedTriangle, 1e-5) << n;
        ASSERT_NEAR (bipolar (sine.process()), std::sin (p - pi / 4.0), 1e-5) << n;
        ASSERT_NEAR (bipolar (saw.process()), 1.0 - p / pi, 1e-5) << n;

        const float sq = bipolar (square.process());

        if (n != 50)    // right at π the edge depends on the last bit of the phase
        {
            ASSERT_EQ (sq, n < 50 ? 1.0f : -1.0f) << n;
        }
    }

    auto inverted = makeLfo (LfoGenerator::triangle);
    inverted.setInvert (true);
    EXPECT_NEAR (inverted.process(), 1.0f, 1e-7f);
}

TEST (LfoGenerator, SampleAndHoldNoiseSequence)
{
    auto lfo = makeLfo (LfoGenerator::smoothSampleAndHold);
    const float expected[] = { -0.12654f, 0.94013f, 0.82193f, 0.02439f };

    for (float value : expected)
    {
        lfo.restart();
        EXPECT_NEAR (lfo.getSampleAndHoldValue(), value, 1e-5f);
    }

    // The drawn value is what the waveform plays from the next sample on.
    EXPECT_NEAR (bipolar (lfo.process()), expected[3], 1e-5f);
}

TEST (LfoGenerator, SampleAndHoldDrawsOncePerCycle)
{
    auto lfo = makeLfo (LfoGenerator::smoothSampleAndHold, 100.0);
    float last = lfo.getSampleAndHoldValue();
    int draws = 0;

    for (int n = 0; n < 1050; ++n)
    {
        lfo.process();

        if (lfo.getSampleAndHoldValue() != last)
        {
            ++draws;
            last = lfo.getSampleAndHoldValue();
            EXPECT_NEAR ((n + 50) % 100, 50, 1) << n;
        }
    }

    EXPECT_EQ (draws, 10);
}

TEST (LfoGenerator, PhaseOffsetShiftsTheWaveformAndTheWrap)
{
    SampleRateConstants rates;
    auto shifted = makeLfo (LfoGenerator::triangle);
    shifted.setPhaseOffset (pi);
    shifted.prepare (rates);

    auto plain = makeLfo (LfoGenerator::triangle);

    EXPECT_NEAR (shifted.process(), 1.0f, 1e-6f);     // half a cycle on: the top
    EXPECT_NEAR (plain.process(), 0.0f, 1e-6f);

    for (int n = 1; n < 275; ++n)
        ASSERT_NEAR (shifted.process(), 1.0f - plain.process(), 1e-5f) << n;

    // The offset LFO wraps (and so keeps its base phase) half a cycle earlier.
    EXPECT_LT (shifted.getBasePhase(), 0.0);
    EXPECT_GE (shifted.getEffectivePhase(), 0.0);
    EXPECT_LE (shifted.getEffectivePhase(), 2.0 * pi);
}

TEST (LfoGenerator, SettingThePhaseTakesEffectOnTheVeryNextSample)
{
    auto lfo = makeLfo (LfoGenerator::triangle);

    for (int n = 0; n < 37; ++n)
        lfo.process();

    lfo.restart();
    EXPECT_NEAR (lfo.process(), 0.0f, 1e-6f);

    for (int n = 0; n < 10; ++n)
        lfo.process();

    lfo.rephase (pi / 2.0);
    EXPECT_NEAR (lfo.process(), 0.5f, 1e-6f);

    lfo.setPhaseOffset (pi);
    lfo.restart();
    EXPECT_DOUBLE_EQ (lfo.getEffectivePhase(), pi);
    EXPECT_NEAR (lfo.process(), 1.0f, 1e-6f);
}

TEST (LfoGenerator, TempoSyncedFrequency)
{
    auto lfo = makeLfo (LfoGenerator::triangle);
    const double freeIncrement = lfo.getIncrement();

    lfo.setTempo (120.0);
    lfo.setRateMultiplier (2.0);
    EXPECT_DOUBLE_EQ (lfo.getIncrement(), freeIncrement);    // not synced yet

    lfo.setTempoSync (true);
    EXPECT_NEAR (lfo.getIncrement(), 2.0 * pi * 4.0 / 44100.0, 1e-15);

    // A tempo the host could not have meant leaves the LFO running as it was.
    lfo.setTempo (std::nan (""));
    lfo.setTempo (INFINITY);
    lfo.setTempo (-10.0);
    EXPECT_NEAR (lfo.getIncrement(), 2.0 * pi * 4.0 / 44100.0, 1e-15);

    lfo.setTempoSync (false);
    EXPECT_DOUBLE_EQ (lfo.getIncrement(), freeIncrement);

    // Prepare works from the single-precision rate; sending the switch again
    // unchanged must not swap that increment for the double-precision one.
    SampleRateConstants rates;
    rates.compute (48000.0);
    lfo.prepare (rates);
    const double prepared = lfo.getIncrement();
    ASSERT_NE (prepared, 2.0 * pi * (44100.0 / 100.0) / 48000.0 + 1e-20);
    lfo.setTempoSync (false);
    EXPECT_EQ (lfo.getIncrement(), prepared);
}
