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

    /** The frames, then the whole run's RMS. */
    constexpr int valuesPerCase (int frames)    { return 2 * ((frames + recordEvery - 1) / recordEvery) + 1; }

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
    Stereo makeInput (unsigned seed, int frames)
    {
        std::mt19937 random (seed);
        Stereo s (frames);

        for (int n = 0; n < frames; ++n)
        {
            const int at = n % numFrames;
            const bool sounding = at < 2500 || (at >= 5000 && at < 7000);
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
    std::vector<float> renderCase (int caseIndex, double rate, int routing, int quality, int frames = numFrames)
    {
        DelayEngine engine;
        engine.setMaximumDelayLength (1);
        engine.prepare (rate, 512);

        Patch patch ((unsigned) caseIndex + 1);
        applyPatch (engine, patch, routing, quality);

        const bool inputIsStereo = caseIndex % 3 != 1;
        const bool outputIsStereo = caseIndex % 3 != 2;
        auto signal = makeInput ((unsigned) caseIndex + 1000, frames);

        constexpr int runLengths[] = { 512, 37, 1, 700, 256, 129 };
        bool changed = false;

        for (int run = 0, start = 0; start < frames; ++run)
        {
            if (start >= frames / 2 && ! changed)
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

            const int length = std::min (runLengths[run % 6], frames - start);
            float* channels[] = { signal.l.data() + start, signal.r.data() + start };
            engine.process (channels, length, inputIsStereo, outputIsStereo);
            start += length;
        }

        std::vector<float> values;
        double sumOfSquares = 0.0;

        for (int n = 0; n < frames; ++n)
            sumOfSquares += (double) signal.l[(size_t) n] * signal.l[(size_t) n] + (double) signal.r[(size_t) n] * signal.r[(size_t) n];

        for (int n = 0; n < frames; n += recordEvery)
        {
            values.push_back (signal.l[(size_t) n]);
            values.push_back (signal.r[(size_t) n]);
        }

        values.push_back ((float) std::sqrt (sumOfSquares / (2.0 * frames)));
        return values;
    }

    struct Case { int seed; double rate; int routing, quality, frames; };

    std::vector<Case> allCases()
    {
        std::vector<Case> cases;

        for (double rate : rates)
            for (int routing = 0; routing < DelayEngine::numRoutings; ++routing)
                for (int quality = 0; quality < numQualities; ++quality)
                    cases.push_back ({ (int) cases.size(), rate, routing, quality, numFrames });

        return cases;
    }

    /** Runs long enough for every buffer to wrap, at each quality. */
    std::vector<Case> wrapCases()
    {
        std::vector<Case> cases;

        for (int quality = 0; quality < numQualities; ++quality)
            cases.push_back ({ 500 + quality, 44100.0, (2 * quality + 1) % DelayEngine::numRoutings, quality, 64000 });

        return cases;
    }

    struct Recording
    {
        const char* fileName;
        std::vector<Case> cases;
    };

    const Recording recordings[] = { { "recorded-outputs.f32", allCases() }, { "recorded-wraps.f32", wrapCases() } };
}

TEST (RecordedOutput, EngineRendersWhatWasRecorded)
{
    if (const char* folder = std::getenv ("CORVANE_RECORD_ENGINE_OUTPUTS"))
    {
        for (const auto& recording : recordings)
        {
            std::ofstream out (std::string (folder) + "/" + recording.fileName, std::ios::binary);

            for (const auto& k : recording.cases)
            {
                const auto values = renderCase (k.seed, k.rate, k.routing, k.quality, k.frames);
                out.write (reinterpret_cast<const char*> (values.data()), (std::streamsize) (values.size() * sizeof (float)));
            }

            ASSERT_TRUE (out.good());
        }

        GTEST_SKIP() << "recorded into " << folder;
    }

    // The narrower forms stand in for processors without the wider instructions;
    // one rate is enough for them.
    const struct { TapSums::Level level; double onlyRate; } paths[] =
        { { TapSums::Level::avx512, 0.0 }, { TapSums::Level::avx2, 48000.0 }, { TapSums::Level::portable, 48000.0 } };

    for (const auto& recording : recordings)
    {
        const auto path = std::string (CORVANE_ENGINE_TEST_DATA) + "/" + recording.fileName;
        std::ifstream in (path, std::ios::binary);
        std::vector<float> recorded;

        for (const auto& k : recording.cases)
            recorded.resize (recorded.size() + (size_t) valuesPerCase (k.frames));

        in.read (reinterpret_cast<char*> (recorded.data()), (std::streamsize) (recorded.size() * sizeof (float)));
        ASSERT_TRUE (in.good()) << path;

        for (const auto& sums : paths)
        {
            if (sums.level > TapSums::widestAvailable())
                continue;

            TapSums::allowWideInstructions (sums.level);
            InputStageGroup::allowWideInstructions (sums.level != TapSums::Level::portable);
            const float* expected = recorded.data();

            for (const auto& k : recording.cases)
            {
                const int count = valuesPerCase (k.frames);

                if (sums.onlyRate == 0.0 || k.rate == sums.onlyRate)
                {
                    const auto values = renderCase (k.seed, k.rate, k.routing, k.quality, k.frames);
                    const double rms = expected[count - 1];

                    // Regrouped sums (partial sums, fused multiply-adds) may move the output by
                    // rounding; anything beyond a millionth of the signal's level is a change.
                    double worst = 0.0;

                    for (int i = 0; i < count; ++i)
                    {
                        const double difference = std::abs ((double) values[(size_t) i] - expected[i]);

                        if (! (difference <= worst))    // lets a NaN through to fail the check
                            worst = difference;
                    }

                    EXPECT_LE (worst, 1e-6 * rms) << recording.fileName << ", sums of level " << (int) sums.level
                                                  << ", rate " << k.rate << ", routing " << k.routing
                                                  << ", quality " << k.quality;
                }

                expected += count;
            }
        }
    }

    TapSums::allowWideInstructions (TapSums::widestAvailable());
    InputStageGroup::allowWideInstructions (true);
}
