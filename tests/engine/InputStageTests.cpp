#include "BiquadFilter.h"
#include "EngineTestSupport.h"
#include "InputStage.h"
#include "InputStageGroup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>
#include <vector>

using engine_test::tables;

namespace
{
    constexpr double pi = 3.14159265358979323846;

    struct Expected { double b0, b1, b2, a1, a2; };

    Expected rbj (int code, double f, double q, double fs)
    {
        const double w = 2.0 * pi * f / fs, s = std::sin (w), c = std::cos (w), alpha = s / (2.0 * q);
        const double a0 = 1.0 + alpha;

        switch (code)
        {
            case BiquadFilter::lowPass:      return { (1 - c) / 2 / a0, (1 - c) / a0, (1 - c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0 };
            case BiquadFilter::bandPass:     return { s / 2 / a0, 0.0, -s / 2 / a0, -2 * c / a0, (1 - alpha) / a0 };
            case BiquadFilter::bandPassPeak: return { alpha / a0, 0.0, -alpha / a0, -2 * c / a0, (1 - alpha) / a0 };
            case BiquadFilter::highPass:     return { (1 + c) / 2 / a0, -(1 + c) / a0, (1 + c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0 };
            default:                         return { 1.0, 0.0, 0.0, 0.0, 0.0 };
        }
    }

    void expectCoefficients (const BiquadFilter& f, const Expected& e, double tolerance)
    {
        double b0, b1, b2, a1, a2;
        f.getCoefficients (b0, b1, b2, a1, a2);
        EXPECT_NEAR (b0, e.b0, tolerance);
        EXPECT_NEAR (b1, e.b1, tolerance);
        EXPECT_NEAR (b2, e.b2, tolerance);
        EXPECT_NEAR (a1, e.a1, tolerance);
        EXPECT_NEAR (a2, e.a2, tolerance);
    }

    /** Amplitude of the steady-state response to a sine, after a settling time. */
    template <typename Process>
    double sineAmplitude (double frequency, double amplitude, double fs, Process&& process)
    {
        double peak = 0.0;

        for (int n = 0; n < 20000; ++n)
        {
            const float y = process ((float) (amplitude * std::sin (2.0 * pi * frequency * n / fs)));

            if (n > 10000)
                peak = std::max (peak, (double) std::abs (y));
        }

        return peak;
    }
}

TEST (BiquadFilter, CoefficientsFollowTheCookbookAtSeveralRates)
{
    for (double fs : { 44100.0, 48000.0, 96000.0, 176400.0 })
    {
        BiquadFilter f (22.0f, 22000.0f, 0.5f, 10.0f, 44000, BiquadFilter::lowPass);
        f.prepare (fs);

        for (int code : { 0, 1, 2, 3, 4 })
        {
            f.setCode (code);

            for (double freq : { 100.0, 1000.0, 5000.5, 12345.5 })
            {
                for (double q : { 0.6, 1.0, 4.0 })
                {
                    f.setCoefficients ((float) freq, (float) q);
                    expectCoefficients (f, rbj (code, freq, q, fs), 2e-6);
                }
            }
        }
    }
}

TEST (BiquadFilter, NormalisedRangesOfTheCoreUnits)
{
    const auto* semis = tables().semitoneTable.data();
    const auto* fine = tables().fineTuneTable.data();

    BiquadFilter input (22.0f, 88000.0f, 1.0f, 8.0f, 176000, BiquadFilter::lowPass);
    input.prepare (4 * 44100.0);

    input.setCutoffSemitones (0, 1.0f * 0.83f * 143.58942f, 0.0f, semis, fine);
    EXPECT_NEAR (input.getFrequency(), 22.0 * std::pow (2.0, 119.179 / 12.0), 30.0);
    EXPECT_NEAR (input.getFrequency(), 21500.0, 100.0);
    EXPECT_FLOAT_EQ (input.getQ(), 1.0f);

    input.setCutoffSemitones (0, 12.5f, 1.0f, semis, fine);
    EXPECT_NEAR (input.getFrequency(), 22.0 * std::pow (2.0, 12.5 / 12.0), 0.05);
    EXPECT_FLOAT_EQ (input.getQ(), 8.0f);

    BiquadFilter loop (22.0f, 22000.0f, 0.6f, 0.6f, 44000, BiquadFilter::highPass);

    // The top keeps the fraction of the rate it has at 48 kHz, the table's last entry.
    for (auto [rate, top] : { std::pair (48000.0, 21999.5), std::pair (44100.0, 20212.0), std::pair (8000.0, 3666.5) })
    {
        loop.prepare (rate);

        for (float resonance : { 0.0f, 0.5f, 1.0f })
        {
            loop.setCutoffSemitones (0, 119.58941f, resonance, semis, fine);
            EXPECT_NEAR (loop.getFrequency(), 22000.0f, 25.0f);
            EXPECT_FLOAT_EQ (loop.getQ(), 0.6f) << "resonance does nothing to the loop filter";
            expectCoefficients (loop, rbj (BiquadFilter::highPass, std::min (std::floor (2.0 * loop.getFrequency()) / 2.0, top), 0.6, rate), 2e-6);
        }
    }

    // Cutoff plus a negative modulation below the table, or past its top.
    loop.setCutoffSemitones (0, -50.0f, 0.0f, semis, fine);
    EXPECT_NEAR (loop.getFrequency(), 22.0f, 0.01f);
    loop.setCutoffSemitones (0, 1000.0f, 0.0f, semis, fine);
    EXPECT_TRUE (std::isfinite (loop.getFrequency()));
}

TEST (BiquadFilter, StaysStableAtRatesBelowItsRange)
{
    // Below 44.1 kHz the loop filter's top frequency lies at or above the Nyquist frequency;
    // a cutoff swept there and back every sample finds any pole left on or near the unit
    // circle, where a stable filter keeps the sweep within a few times its input.
    const auto* semis = tables().semitoneTable.data();
    const auto* fine = tables().fineTuneTable.data();

    for (double rate : { 8000.0, 16000.0, 22050.0, 32000.0 })
    {
        for (int code : { 1, 2, 4 })
        {
            BiquadFilter loop (22.0f, 22000.0f, 0.6f, 0.6f, 44000, code);
            loop.prepare (rate);

            std::mt19937 rng (1);
            std::uniform_real_distribution<float> dist (-0.3f, 0.3f);
            float largest = 0.0f;

            for (int n = 0; n < (int) rate * 10; ++n)
            {
                const auto modulation = (float) std::sin (2.0 * pi * 5.0 * n / rate);
                loop.setCutoffSemitones (0, (0.8977f + 0.77f * modulation) * 119.58941f, 0.0f, semis, fine);
                largest = std::max (largest, std::abs (loop.processSample (0, dist (rng))));
            }

            EXPECT_LT (largest, 8.0f) << rate << " Hz, code " << code;
        }
    }
}

TEST (BiquadFilter, LowPassPassesDCAndSetCodeClears)
{
    BiquadFilter f (22.0f, 22000.0f, 0.6f, 0.6f, 44000, BiquadFilter::lowPass);
    f.setCoefficients (1000.0f, 0.7f);
    float y = 0.0f;

    for (int n = 0; n < 5000; ++n)
        y = f.processSample (1, 1.0f);

    EXPECT_NEAR (y, 1.0f, 1e-4f);
    EXPECT_EQ (f.processSample (0, 0.0f), 1e-20f) << "channels keep separate states";

    f.setCode (BiquadFilter::lowPass);
    EXPECT_NEAR (f.processSample (1, 0.0f), 0.0f, 1e-19f);
}

namespace
{
    struct StageRunner
    {
        explicit StageRunner (InputStage::Settings s) : settings (s) { stage.prepare (44100.0); }

        float operator() (float x)
        {
            float frame[] = { x, x };
            const float cutoffs[] = { cutoff, cutoff };
            stage.processFrame (frame, settings, cutoffs, resonance,
                                tables().semitoneTable.data(), tables().fineTuneTable.data());
            return frame[0];
        }

        float settle (float x, int samples = 5000)
        {
            float y = 0.0f;

            for (int n = 0; n < samples; ++n)
                y = (*this) (x);

            return y;
        }

        InputStage stage;
        InputStage::Settings settings;
        float cutoff = 119.0f, resonance = 0.0f;
    };
}

TEST (InputStage, OffPassesTheInputBitForBit)
{
    StageRunner run ({});
    std::mt19937 rng (3);
    std::uniform_real_distribution<float> dist (-2.0f, 2.0f);

    for (int n = 0; n < 1000; ++n)
    {
        const float x = dist (rng);
        ASSERT_EQ (run (x), x);
    }
}

TEST (InputStage, OversampledChainHasUnityGain)
{
    InputStage::Settings s;
    s.filterOn = true;   // a wide-open lowpass brings in the half-band stages
    StageRunner run (s);
    run.stage.inputFilter.setCode (BiquadFilter::lowPass);

    EXPECT_NEAR (run.settle (0.3f), 0.3f, 1e-4f);

    // Flat passband, but no longer the same samples: the half-band stages delay.
    StageRunner sine (s);
    sine.stage.inputFilter.setCode (BiquadFilter::lowPass);
    EXPECT_NEAR (sineAmplitude (1000.0, 0.5, 44100.0, sine), 0.5, 0.005);
    EXPECT_NEAR (sineAmplitude (10000.0, 0.5, 44100.0, sine), 0.5, 0.02);
}

TEST (InputStage, OverdriveIsTanhAtDC)
{
    for (float x : { 0.05f, 0.5f, 1.0f, 3.0f })
    {
        InputStage::Settings s;
        s.overdriveOn = true;
        StageRunner run (s);
        const float y = run.settle (x);
        EXPECT_NEAR (y / x, std::tanh (x) / x, 2e-4f) << x;

        // Preamp and gain; the colour band-pass has no DC.
        s.preampGain = 4.0f;
        s.overdriveGain = 0.25f;
        s.colour = 2.0f;
        StageRunner driven (s);
        EXPECT_NEAR (driven.settle (x), 0.25f * std::tanh (4.0f * x), 2e-4f) << x;
        EXPECT_NEAR (driven.settle (-x), -0.25f * std::tanh (4.0f * x), 2e-4f) << x;
    }
}

TEST (InputStage, ColourScalesTheBandAroundTwoKilohertz)
{
    auto amplitudeWithColour = [] (float colour)
    {
        InputStage::Settings s;
        s.overdriveOn = true;
        s.colour = colour;
        StageRunner run (s);
        return sineAmplitude (1999.5, 0.01, 44100.0, run);
    };

    const double plain = amplitudeWithColour (0.0f);
    EXPECT_NEAR (plain, 0.01, 0.0002) << "small signals pass the overdrive almost unchanged";
    EXPECT_NEAR (amplitudeWithColour (2.0f) / plain, 3.0, 0.02);
    EXPECT_LT (amplitudeWithColour (-1.0f) / plain, 0.02);
}

TEST (InputStage, FilterPlacementAroundTheOverdrive)
{
    // DC plus a loud 1 kHz sine into a low lowpass and a hard overdrive: filtering
    // first removes the sine before it is clipped; filtering after keeps the
    // clipped sine's lower mean.
    auto meanOutput = [] (bool post)
    {
        InputStage::Settings s;
        s.filterOn = true;
        s.filterPostOverdrive = post;
        s.overdriveOn = true;
        s.preampGain = 10.0f;
        StageRunner run (s);
        run.stage.inputFilter.setCode (BiquadFilter::lowPass);
        run.cutoff = 0.0f;   // 22 Hz
        double sum = 0.0;

        for (int n = 0; n < 60000; ++n)
        {
            const float y = run ((float) (0.5 + 0.5 * std::sin (2.0 * pi * 1000.0 * n / 44100.0)));

            if (n >= 40000)
                sum += y;
        }

        return sum / 20000.0;
    };

    EXPECT_NEAR (meanOutput (false), std::tanh (5.0), 0.01);
    EXPECT_LT (meanOutput (true), 0.97);
}

TEST (InputStageGroup, EachLaneComputesWhatItsStageComputesAlone)
{
    struct Case { bool filterOn, post, overdriveOn; int numMembers, numSamples; bool moving; };

    const Case cases[] =
    {
        { true, false, true, 4, 200, false },   // stretches of whole eight-sample groups and a rest
        { true, true, true, 3, 37, true },      // gains and cutoffs moving every sample
        { false, false, true, 2, 1, false },
        { true, false, false, 1, 130, true },
        { true, true, false, 4, 64, false },
    };

    const auto* semis = tables().semitoneTable.data();
    const auto* fine = tables().fineTuneTable.data();
    std::mt19937 rng (5);
    std::uniform_real_distribution<float> dist (-1.0f, 1.0f);

    for (bool wide : { true, false })
    {
        InputStageGroup::allowWideInstructions (wide);

        for (const auto& c : cases)
        {
            InputStage::Settings settings;
            settings.filterOn = c.filterOn;
            settings.filterPostOverdrive = c.post;
            settings.overdriveOn = c.overdriveOn;

            const size_t n = (size_t) c.numSamples;
            InputStage grouped[4], alone[4];
            std::vector<float> signals[4][8];     // per member: in L, in R, out L, out R, preamp, overdrive, colour, cutoff
            InputStageGroup::Member members[4];

            for (int m = 0; m < c.numMembers; ++m)
            {
                for (auto* stage : { &grouped[m], &alone[m] })
                {
                    stage->prepare (48000.0);
                    stage->inputFilter.setCode (1 + m % 4);
                }

                auto& v = signals[m];

                for (auto& s : v)
                    s.resize (n);

                for (size_t i = 0; i < n; ++i)
                {
                    const float drift = c.moving ? 0.01f * (float) i : 0.0f;
                    v[0][i] = dist (rng);
                    v[1][i] = dist (rng);
                    v[4][i] = 1.0f + 0.5f * (float) m + drift;
                    v[5][i] = 0.8f - drift * 0.1f;
                    v[6][i] = -0.5f + 0.5f * (float) m + drift;
                    v[7][i] = 60.0f + 10.0f * (float) m + 3.0f * drift;
                }

                auto& member = members[m];
                member.stage = &grouped[m];
                member.inputs[0] = v[0].data();
                member.inputs[1] = v[1].data();
                member.outputs[0] = v[2].data();
                member.outputs[1] = v[3].data();
                member.preampGains = v[4].data();
                member.overdriveGains = v[5].data();
                member.colours = v[6].data();
                member.cutoffSemitones[0] = v[7].data();
                member.cutoffSemitones[1] = v[7].data();
                member.resonance = 0.2f * (float) m;
            }

            // Twice, so that the second run starts from the states the first left.
            for (int run = 0; run < 2; ++run)
            {
                InputStageGroup::process (members, c.numMembers, settings, c.numSamples, semis, fine);

                for (int m = 0; m < c.numMembers; ++m)
                {
                    const auto& v = signals[m];

                    for (size_t i = 0; i < n; ++i)
                    {
                        auto s = settings;
                        s.preampGain = v[4][i];
                        s.overdriveGain = v[5][i];
                        s.colour = v[6][i];
                        float frame[] = { v[0][i], v[1][i] };
                        const float cutoffs[] = { v[7][i], v[7][i] };
                        alone[m].processFrame (frame, s, cutoffs, members[m].resonance, semis, fine);

                        ASSERT_EQ (v[2][i], frame[0]) << (wide ? "wide" : "portable") << ", case " << (&c - cases) << ", member " << m << ", sample " << i;
                        ASSERT_EQ (v[3][i], frame[1]) << (wide ? "wide" : "portable") << ", case " << (&c - cases) << ", member " << m << ", sample " << i;
                    }
                }
            }
        }
    }

    InputStageGroup::allowWideInstructions (true);
}
