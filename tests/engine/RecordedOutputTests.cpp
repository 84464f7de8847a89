// The engine's output over every routing, quality and four rates, against what it
// rendered when the recording was made: rearranging the arithmetic for speed must
// not change what the engine computes. Setting CORVANE_RECORD_ENGINE_OUTPUTS to a
// file name renders the cases into that file instead of comparing.

#include "DelayEngine.h"
#include "EngineTestSupport.h"
#include "InputStageGroup.h"
#include "TapSums.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace engine_test;

namespace
{
    constexpr double rates[] = { 44100.0, 48000.0, 96000.0, 192000.0 };
    constexpr int numQualities = 4;
    constexpr int numFrames = 8192;
    constexpr int recordEvery = 32;
    constexpr int recordedFrames = numFrames / recordEvery;
    constexpr int valuesPerCase = 2 * recordedFrames + 1;      // the frames, then the whole run's RMS

    /** A deterministic patch: each case draws different settings from its seed. */
    class Patch
    {
    public:
        explicit Patch (unsigned seed) : random (seed) {}

        float uniform (float low, float high)   { return low + (high - low) * (float) (random() % 10001) / 10000.0f; }
        float chance (float p)                  { return uniform (0.0f, 1.0f) < p ? 1.0f : 0.0f; }
        float pick (int count)                  { return entry ((int) (random() % (unsigned) count), count); }

    private:
        std::mt19937 random;
    };

    void applyPatch (DelayEngine& engine, Patch& p, int routing, int quality)
    {
        for (int line = 0; line < DelayEngine::numLines; ++line)
        {
            const float lineSettings[][2] =
            {
                { 0, p.chance (0.15f) }, { 1, p.uniform (0.3f, 0.7f) }, { 2, p.uniform (0.5f, 0.9f) },
                { 3, p.chance (0.25f) }, { 4, p.chance (0.2f) }, { 5, p.chance (0.15f) },
                { 6, p.chance (0.5f) }, { 7, p.chance (0.5f) }, { 8, p.uniform (0.3f, 0.9f) },
                { 9, p.uniform (0.0f, 1.0f) }, { 10, p.pick (4) }, { 11, 0.0f }, { 12, p.chance (0.5f) },
                { 15, p.uniform (0.002f, 0.03f) }, { 16, p.uniform (0.002f, 0.03f) },
                { 23, 0.0f }, { 24, p.chance (0.5f) }, { 27, p.uniform (0.0f, 0.01f) }, { 28, p.uniform (0.0f, 0.01f) },
                { 35, p.chance (0.5f) }, { 36, p.uniform (0.0f, 0.5f) }, { 37, p.uniform (0.0f, 1.0f) },
                { 38, p.uniform (0.0f, 1.0f) }, { 39, p.uniform (0.1f, 0.95f) }, { 40, p.chance (0.1f) },
                { 41, p.uniform (0.0f, 1.0f) }, { 42, p.chance (0.5f) }, { 43, p.chance (0.5f) },
                { 44, p.uniform (0.0f, 0.8f) }, { 45, p.uniform (0.0f, 0.5f) }, { 46, p.uniform (0.0f, 0.5f) },
            };

            for (auto& s : lineSettings)
                engine.setLineParameter (line, (int) s[0], s[1]);
        }

        for (int m = 0; m < 2; ++m)
        {
            const int id = 47 + 20 * m;
            const float modulatorSettings[][2] =
            {
                { 0, p.pick (3) }, { 1, p.pick (3) }, { 2, p.uniform (0.0f, 1.0f) }, { 3, p.uniform (0.1f, 0.5f) },
                { 4, p.uniform (0.5f, 0.9f) }, { 5, 0.0f }, { 7, p.uniform (0.2f, 0.6f) }, { 9, p.pick (5) },
                { 10, p.chance (0.5f) }, { 11, p.uniform (0.0f, 1.0f) }, { 12, p.uniform (0.0f, 0.5f) },
                { 13, p.uniform (0.0f, 1.0f) }, { 14, p.uniform (0.0f, 1.0f) }, { 15, p.uniform (0.0f, 1.0f) },
                { 16, p.uniform (0.0f, 1.0f) }, { 17, p.uniform (0.0f, 1.0f) }, { 18, p.uniform (0.0f, 0.5f) },
                { 19, p.uniform (0.0f, 1.0f) },
            };

            for (auto& s : modulatorSettings)
                engine.setGlobalParameter (id + (int) s[0], s[1]);
        }

        engine.setGlobalParameter (87, p.chance (0.5f));
        engine.setGlobalParameter (88, p.uniform (0.3f, 1.0f));
        engine.setGlobalParameter (89, p.uniform (0.5f, 1.0f));
        engine.setGlobalParameter (90, entry (routing, DelayEngine::numRoutings));
        engine.setGlobalParameter (91, p.uniform (0.3f, 0.6f));
        engine.setQuality (quality);
        engine.setHostBpm (120.0);
    }

    /** Noise and tones in bursts, with silences long enough for quiet lines to stop reading. */
    Stereo makeInput (unsigned seed)
    {
        std::mt19937 random (seed);
        Stereo s (numFrames);

        for (int n = 0; n < numFrames; ++n)
        {
            const bool sounding = n < 2500 || (n >= 5000 && n < 7000);
            const float noiseL = (float) (random() % 2001) / 1000.0f - 1.0f;
            const float noiseR = (float) (random() % 2001) / 1000.0f - 1.0f;
            const float tone = std::sin (0.021f * (float) n);
            s.l[(size_t) n] = sounding ? 0.3f * noiseL + 0.4f * tone : 0.0f;
            s.r[(size_t) n] = sounding ? 0.3f * noiseR - 0.2f * tone : 0.0f;
        }

        return s;
    }

    /** Renders one case: runs of uneven length (some beyond the block size), a
        change of settings halfway, LFO retriggers, and for some cases a reset.
    */
    std::vector<float> renderCase (int caseIndex, double rate, int routing, int quality)
    {
        DelayEngine engine;
        engine.setMaximumDelayLength (1);
        engine.prepare (rate, 512);

        Patch patch ((unsigned) caseIndex + 1);
        applyPatch (engine, patch, routing, quality);

        const bool inputIsStereo = caseIndex % 3 != 1;
        const bool outputIsStereo = caseIndex % 3 != 2;
        auto signal = makeInput ((unsigned) caseIndex + 1000);

        constexpr int runLengths[] = { 512, 37, 1, 700, 256, 129 };
        bool changed = false;

        for (int run = 0, start = 0; start < numFrames; ++run)
        {
            if (start >= 4096 && ! changed)
            {
                changed = true;

                for (int line = 0; line < DelayEngine::numLines; ++line)
                {
                    engine.setLineParameter (line, 15, patch.uniform (0.002f, 0.03f));
                    engine.setLineParameter (line, 8, patch.uniform (0.3f, 0.9f));
                    engine.setLineParameter (line, 39, patch.uniform (0.1f, 0.95f));
                    engine.setLineParameter (line, 41, patch.uniform (0.0f, 1.0f));
                }

                engine.retrigger (0);
                engine.rephaseLfo (1, 1.3, 2.0);

                if (caseIndex % 4 == 0)
                    engine.reset();
            }

            const int length = std::min (runLengths[run % 6], numFrames - start);
            float* channels[] = { signal.l.data() + start, signal.r.data() + start };
            engine.process (channels, length, inputIsStereo, outputIsStereo);
            start += length;
        }

        std::vector<float> values;
        double sumOfSquares = 0.0;

        for (int n = 0; n < numFrames; ++n)
            sumOfSquares += (double) signal.l[(size_t) n] * signal.l[(size_t) n] + (double) signal.r[(size_t) n] * signal.r[(size_t) n];

        for (int n = 0; n < numFrames; n += recordEvery)
        {
            values.push_back (signal.l[(size_t) n]);
            values.push_back (signal.r[(size_t) n]);
        }

        values.push_back ((float) std::sqrt (sumOfSquares / (2.0 * numFrames)));
        return values;
    }

    struct Case { double rate; int routing, quality; };

    std::vector<Case> allCases()
    {
        std::vector<Case> cases;

        for (double rate : rates)
            for (int routing = 0; routing < DelayEngine::numRoutings; ++routing)
                for (int quality = 0; quality < numQualities; ++quality)
                    cases.push_back ({ rate, routing, quality });

        return cases;
    }

    std::string recordingPath()
    {
        return std::string (CORVANE_ENGINE_TEST_DATA) + "/recorded-outputs.f32";
    }
}

TEST (RecordedOutput, EngineRendersWhatWasRecorded)
{
    const auto cases = allCases();

    if (const char* target = std::getenv ("CORVANE_RECORD_ENGINE_OUTPUTS"))
    {
        std::ofstream out (target, std::ios::binary);

        for (int c = 0; c < (int) cases.size(); ++c)
        {
            const auto values = renderCase (c, cases[(size_t) c].rate, cases[(size_t) c].routing, cases[(size_t) c].quality);
            out.write (reinterpret_cast<const char*> (values.data()), (std::streamsize) (values.size() * sizeof (float)));
        }

        ASSERT_TRUE (out.good());
        GTEST_SKIP() << "recorded into " << target;
    }

    std::ifstream in (recordingPath(), std::ios::binary);
    std::vector<float> recorded (cases.size() * valuesPerCase);
    in.read (reinterpret_cast<char*> (recorded.data()), (std::streamsize) (recorded.size() * sizeof (float)));
    ASSERT_TRUE (in.good()) << recordingPath();

    // The portable forms stand in for a processor without the wide instructions;
    // one rate is enough for them.
    const struct { bool wide; double onlyRate; } paths[] = { { true, 0.0 }, { false, 48000.0 } };

    for (const auto& path : paths)
    {
        TapSums::allowWideInstructions (path.wide);
        InputStageGroup::allowWideInstructions (path.wide);

        for (int c = 0; c < (int) cases.size(); ++c)
        {
            const auto& k = cases[(size_t) c];

            if (path.onlyRate != 0.0 && k.rate != path.onlyRate)
                continue;

            const auto values = renderCase (c, k.rate, k.routing, k.quality);
            const float* expected = recorded.data() + (size_t) c * valuesPerCase;
            const double rms = expected[valuesPerCase - 1];

            // Regrouped sums (partial sums, fused multiply-adds) may move the output by
            // rounding; anything beyond a millionth of the signal's level is a change.
            double worst = 0.0;

            for (int i = 0; i < valuesPerCase; ++i)
            {
                const double difference = std::abs ((double) values[(size_t) i] - expected[i]);

                if (! (difference <= worst))    // lets a NaN through to fail the check
                    worst = difference;
            }

            EXPECT_LE (worst, 1e-6 * rms) << (path.wide ? "wide" : "portable") << " sums, rate " << k.rate
                                          << ", routing " << k.routing << ", quality " << k.quality;
        }
    }

    TapSums::allowWideInstructions (true);
    InputStageGroup::allowWideInstructions (true);
}
