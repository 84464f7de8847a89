#include "Modulators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
    constexpr double pi = 3.141592653589793;
    constexpr int blockSize = 64;

    // Both modulators with the default retrigger thresholds (−12.8 dB to trigger,
    // −51.2 dB to re-arm) and a nominal follower speed.
    struct ModulatorsFixture : public ::testing::Test
    {
        ModulatorsFixture()
        {
            modulators.prepare (rates, blockSize);

            for (int m = 0; m < Modulators::numModulators; ++m)
            {
                auto& detector = modulators.getTransientDetector (m);
                detector.setSpeed (1.0f);
                detector.setTriggerThreshold (std::pow (10.0f, -64.0f * 0.2f * 0.05f));
                detector.setRearmThreshold (std::pow (10.0f, -64.0f * 0.8f * 0.05f));
            }
        }

        // Renders the signal in runs of blockSize, with the right input equal to the
        // left; counts the runs in which a transient restarted modulator m.
        int render (const std::vector<float>& input, int m = 0)
        {
            int restarts = 0;

            for (size_t start = 0; start < input.size(); start += blockSize)
            {
                const int n = (int) std::min ((size_t) blockSize, input.size() - start);
                modulators.process (input.data() + start, input.data() + start, n);
                restarts += modulators.wasRetriggeredByTransient (m) ? 1 : 0;
            }

            return restarts;
        }

        static std::vector<float> bursts (std::initializer_list<int> starts, int length, int total)
        {
            std::vector<float> signal ((size_t) total, 0.0f);

            for (int start : starts)
                for (int i = start; i < start + length && i < total; ++i)
                    signal[(size_t) i] = 0.5f;

            return signal;
        }

        SampleRateConstants rates;
        Modulators modulators;
    };
}

TEST_F (ModulatorsFixture, SilenceNeverTriggers)
{
    modulators.setRetriggerMode (0, Modulators::retriggerOnTransient);
    EXPECT_EQ (render (std::vector<float> (44100, 0.0f)), 0);

    EXPECT_EQ (modulators.getTransientLevel (0), 0.0f);
    EXPECT_EQ (modulators.getTransientLevel (1), 0.0f);
    EXPECT_FALSE (modulators.getTransientDetector (0).isTriggered());
    EXPECT_EQ (modulators.getBuffer (Modulators::mod1Peak)[blockSize - 1], 0.0f);
    EXPECT_EQ (modulators.getBuffer (Modulators::mod2Peak)[blockSize - 1], 0.0f);
}

TEST_F (ModulatorsFixture, TransientsCloserThanTheReArmRetriggerOnce)
{
    modulators.setRetriggerMode (0, Modulators::retriggerOnTransient);

    // Two bursts 5 ms apart, then a third once the level has long fallen.
    EXPECT_EQ (render (bursts ({ 0, 220 }, 100, 22050)), 1);
    EXPECT_EQ (render (bursts ({ 0 }, 100, 1000)), 1);
}

TEST_F (ModulatorsFixture, ReArmsOnlyAfterTenMilliseconds)
{
    // A burst takes the level just past 0.2; it falls below 0.19 within about 8 ms.
    auto setUp = [this]
    {
        modulators = Modulators();
        modulators.prepare (rates, blockSize);
        modulators.setRetriggerMode (0, Modulators::retriggerOnTransient);
        auto& detector = modulators.getTransientDetector (0);
        detector.setSpeed (1.0f);
        detector.setTriggerThreshold (0.2f);
        detector.setRearmThreshold (0.19f);
    };

    setUp();
    EXPECT_EQ (render (bursts ({ 0 }, 30, 384)), 1);
    EXPECT_LT (modulators.getTransientLevel (0), 0.19f);
    EXPECT_TRUE (modulators.getTransientDetector (0).isTriggered());
    EXPECT_EQ (render (bursts ({ 0 }, 30, 384)), 0);    // 8.7 ms after the first

    setUp();
    EXPECT_EQ (render (bursts ({ 0 }, 30, 512)), 1);
    EXPECT_FALSE (modulators.getTransientDetector (0).isTriggered());
    EXPECT_EQ (render (bursts ({ 0 }, 30, 384)), 1);    // 11.6 ms after the first
}

TEST_F (ModulatorsFixture, ATransientOnlyRestartsInTransientMode)
{
    modulators.setRetriggerMode (0, Modulators::retriggerOnNote);
    modulators.setRetriggerMode (1, Modulators::retriggerOnTransient);

    const auto hit = bursts ({ 0 }, 100, 128);
    modulators.process (hit.data(), hit.data(), blockSize);

    EXPECT_TRUE (modulators.getTransientDetector (0).isTriggered());
    EXPECT_FALSE (modulators.wasRetriggeredByTransient (0));
    EXPECT_EQ (modulators.getEnvelope (0).getStage(), EnvelopeGenerator::idle);

    EXPECT_TRUE (modulators.wasRetriggeredByTransient (1));
    EXPECT_EQ (modulators.getEnvelope (1).getStage(), EnvelopeGenerator::attack);
}

TEST_F (ModulatorsFixture, ATransientRestartShowsFromTheNextSample)
{
    modulators.setRetriggerMode (0, Modulators::retriggerOnTransient);
    modulators.setLfoWaveform (0, LfoGenerator::square);
    modulators.setLfoFrequency (0, 441.0);    // 100 samples per cycle

    // Run the LFO into its low half, then hit it.
    const std::vector<float> silence (70, 0.0f);
    modulators.process (silence.data(), silence.data(), (int) silence.size());
    ASSERT_GT (modulators.getLfo (0).getBasePhase(), pi);

    const auto hit = bursts ({ 0 }, 64, 64);
    modulators.process (hit.data(), hit.data(), blockSize);
    ASSERT_TRUE (modulators.wasRetriggeredByTransient (0));

    // The restart happened at the trigger sample; after it, the phase is what the
    // samples rendered since then advanced it to, and the envelope is attacking.
    const auto& lfo = modulators.getLfo (0);
    const int samplesSinceRestart = (int) std::lround (lfo.getBasePhase() / lfo.getIncrement());
    EXPECT_GT (samplesSinceRestart, 0);
    EXPECT_LT (samplesSinceRestart, blockSize);
    EXPECT_EQ (modulators.getEnvelope (0).getStage(), EnvelopeGenerator::attack);

    const float* envelope = modulators.getBuffer (Modulators::mod1Envelope);
    const int triggerSample = blockSize - samplesSinceRestart;
    EXPECT_LT (envelope[triggerSample - 1], 1e-12f);
    EXPECT_GT (envelope[triggerSample], 0.0f);
}

TEST_F (ModulatorsFixture, NoteRetriggerRestartsOnlyItsModulator)
{
    modulators.setLfoFrequency (0, 3.0);
    modulators.setLfoFrequency (1, 3.0);
    modulators.setLfoPhaseShift (0, pi / 2.0);
    render (std::vector<float> (1000, 0.0f));

    const float holdLeft = modulators.getLfo (0).getSampleAndHoldValue();
    const float holdRight = modulators.getLfo (2).getSampleAndHoldValue();
    const double otherPhase = modulators.getLfo (1).getBasePhase();

    modulators.retrigger (0);

    EXPECT_EQ (modulators.getLfo (0).getBasePhase(), 0.0);
    EXPECT_EQ (modulators.getLfo (2).getBasePhase(), 0.0);
    EXPECT_DOUBLE_EQ (modulators.getLfo (2).getEffectivePhase(), pi / 2.0);
    EXPECT_NE (modulators.getLfo (0).getSampleAndHoldValue(), holdLeft);
    EXPECT_NE (modulators.getLfo (2).getSampleAndHoldValue(), holdRight);
    EXPECT_EQ (modulators.getEnvelope (0).getStage(), EnvelopeGenerator::attack);

    EXPECT_EQ (modulators.getLfo (1).getBasePhase(), otherPhase);
    EXPECT_EQ (modulators.getEnvelope (1).getStage(), EnvelopeGenerator::idle);

    modulators.retrigger (2);
    modulators.retrigger (-1);
    EXPECT_EQ (modulators.getLfo (1).getBasePhase(), otherPhase);
}

TEST_F (ModulatorsFixture, ClockRephaseMovesOnlyTempoSyncedLfos)
{
    modulators.setLfoFrequency (0, 3.0);
    modulators.setLfoPhaseShift (0, pi);
    render (std::vector<float> (1000, 0.0f));

    const double freePhase = modulators.getLfo (0).getBasePhase();
    modulators.rephase (0, 1.3, 2.0);
    EXPECT_EQ (modulators.getLfo (0).getBasePhase(), freePhase);

    modulators.setLfoTempoSync (0, true);
    const float hold = modulators.getLfo (0).getSampleAndHoldValue();
    modulators.rephase (0, 1.3, 2.0);

    // 1.3 beats at 2 cycles per beat: 0.6 of a cycle, at single precision.
    const double expected = (double) (float) (0.6 * 2.0 * pi);
    EXPECT_NEAR (modulators.getLfo (0).getBasePhase(), expected, 1e-6);
    EXPECT_EQ (modulators.getLfo (0).getBasePhase(), modulators.getLfo (2).getBasePhase());
    EXPECT_NEAR (modulators.getLfo (2).getEffectivePhase(), expected + pi - 2.0 * pi, 1e-6);
    EXPECT_NE (modulators.getLfo (0).getSampleAndHoldValue(), hold);
}

TEST_F (ModulatorsFixture, LfoBuffersAreSmoothedFromZeroAfterPrepare)
{
    modulators.setLfoWaveform (0, LfoGenerator::square);
    modulators.setLfoPhaseShift (0, pi);
    render (std::vector<float> (blockSize, 0.0f));

    // Square at phase 0 is 1.0; the right one, half a cycle on, is 0.
    const float* left = modulators.getBuffer (Modulators::mod1LfoLeft);
    const float* right = modulators.getBuffer (Modulators::mod1LfoRight);
    EXPECT_NEAR (left[0], 0.05f, 1e-7f);
    EXPECT_NEAR (left[1], 0.05f + 0.95f * 0.05f, 1e-6f);
    EXPECT_NEAR (right[0], 0.0f, 1e-7f);
    EXPECT_NEAR (left[blockSize - 1], 1.0f - std::pow (0.95f, (float) blockSize), 1e-5f);

    modulators.prepare (rates, blockSize);
    render (std::vector<float> (blockSize, 0.0f));
    EXPECT_NEAR (modulators.getBuffer (Modulators::mod1LfoLeft)[0], 0.05f, 1e-7f);
}

TEST_F (ModulatorsFixture, SourcesFollowTypeAndWaveform)
{
    auto source = modulators.getSource (1);
    EXPECT_EQ (source.left, modulators.getBuffer (Modulators::mod2LfoLeft));
    EXPECT_EQ (source.right, modulators.getBuffer (Modulators::mod2LfoRight));
    EXPECT_FALSE (source.smoothTime);   // triangle

    const struct { int waveform; bool smooth; } waveforms[] = {
        { LfoGenerator::sine, false }, { LfoGenerator::square, true },
        { LfoGenerator::sawDown, true }, { LfoGenerator::smoothSampleAndHold, true } };

    for (auto w : waveforms)
    {
        modulators.setLfoWaveform (0, w.waveform);
        EXPECT_EQ (modulators.getSource (0).smoothTime, w.smooth) << w.waveform;
    }

    modulators.setLfoWaveform (0, LfoGenerator::sine);
    modulators.setType (0, Modulators::envelopeType);
    source = modulators.getSource (0);
    EXPECT_EQ (source.left, modulators.getBuffer (Modulators::mod1Envelope));
    EXPECT_EQ (source.right, source.left);
    EXPECT_TRUE (source.smoothTime);

    modulators.setType (0, Modulators::peakType);
    source = modulators.getSource (0);
    EXPECT_EQ (source.left, modulators.getBuffer (Modulators::mod1Peak));
    EXPECT_EQ (source.right, source.left);
    EXPECT_TRUE (source.smoothTime);

    modulators.setType (0, 7);
    source = modulators.getSource (0);
    EXPECT_EQ (source.left, nullptr);
    EXPECT_EQ (source.right, nullptr);
}

TEST_F (ModulatorsFixture, RePrepareAtALowerRateAndSmallerBlock)
{
    SampleRateConstants fast;
    fast.compute (96000.0);
    modulators.prepare (fast, 512);

    const std::vector<float> input (512, 0.3f);
    modulators.process (input.data(), input.data(), 512);

    SampleRateConstants slow;
    slow.compute (44100.0);
    modulators.prepare (slow, 32);
    modulators.process (input.data(), input.data(), 512);    // more than a block: cut

    // The sources a line takes after prepare point into the new buffers.
    EXPECT_EQ (modulators.getSource (0).left, modulators.getBuffer (Modulators::mod1LfoLeft));
    EXPECT_GT (modulators.getBuffer (Modulators::mod1Peak)[31], 0.0f);
    EXPECT_EQ (modulators.getTransientDetector (0).getLevel() > 0.0f, true);
}

TEST (Modulators, RunLengthsDoNotChangeTheBuffers)
{
    // Every waveform, and transients that restart a modulator inside a run.
    std::vector<float> input (1500, 0.0f);

    for (size_t i = 0; i < input.size(); ++i)
        input[i] = (i % 500 < 40 ? 0.5f : 0.001f) * std::sin (0.07f * (float) i);

    for (int waveform : { LfoGenerator::triangle, LfoGenerator::sine, LfoGenerator::square,
                          LfoGenerator::sawDown, LfoGenerator::smoothSampleAndHold })
    {
        auto render = [&] (int runLength)
        {
            SampleRateConstants rates;
            Modulators modulators;
            modulators.prepare (rates, 512);

            for (int m = 0; m < Modulators::numModulators; ++m)
            {
                modulators.setLfoWaveform (m, waveform);
                modulators.setLfoFrequency (m, 300.0 + 200.0 * m);
                modulators.setLfoPhaseShift (m, 1.0);
                modulators.setRetriggerMode (m, Modulators::retriggerOnTransient);
                modulators.getTransientDetector (m).setSpeed (1.0f + (float) m);
                modulators.getTransientDetector (m).setTriggerThreshold (0.05f);
                modulators.getTransientDetector (m).setRearmThreshold (0.001f);
            }

            std::vector<std::vector<float>> buffers (Modulators::numBuffers);

            for (size_t start = 0; start < input.size(); start += (size_t) runLength)
            {
                const int n = (int) std::min ((size_t) runLength, input.size() - start);
                modulators.process (input.data() + start, input.data() + start, n);

                for (int b = 0; b < Modulators::numBuffers; ++b)
                    buffers[(size_t) b].insert (buffers[(size_t) b].end(), modulators.getBuffer (b), modulators.getBuffer (b) + n);
            }

            return buffers;
        };

        const auto expected = render (1);
        EXPECT_EQ (render (37), expected) << "waveform " << waveform;
        EXPECT_EQ (render (512), expected) << "waveform " << waveform;
    }
}
