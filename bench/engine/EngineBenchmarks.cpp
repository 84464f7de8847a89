// Block throughput of the delay engine at 48 and 96 kHz, set up from the
// parameter table's defaults and as a busy patch at each quality, beside a peer
// workload made of JUCE's own delay line and biquad. After the run a summary
// prints each case's cost per line as a ratio to the peer's.

#include "DelayEngine.h"

#if CORVANE_BENCH_JUCE_PEER
 #include "JucePeer.h"
#endif

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace
{
    constexpr int blockSize = 512;
    constexpr double rates[] = { 48000.0, 96000.0 };

    // The parameter table's values, normalised, for the line parameters 0..46.
    constexpr float lineDefaults[DelayEngine::numLineParameters] =
    {
        0.0f, 0.5f, 0.75f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f,            // 0..9
        0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0319032f, 0.0319032f, 0.0f, 0.0f,       // 10..18
        2.0f / 31.0f, 15.0f / 31.0f, 2.0f / 31.0f, 15.0f / 31.0f,               // 19..22
        0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,                         // 23..30
        0.0f, 15.0f / 31.0f, 0.0f, 15.0f / 31.0f,                               // 31..34
        0.0f, 0.0f, 0.5f, 1.0f, 0.5f, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f  // 35..46
    };

    // Ids 47..66 for MOD 1; MOD 2 repeats them except its LFO frequency.
    constexpr float modulatorDefaults[20] =
    {
        0.0f, 0.5f, 0.5f, 0.2f, 0.8f, 0.0f, 0.0f, 0.1f, 0.0f, 1.0f,
        0.0f, 0.0f, 0.0f, 0.5f, 0.5f, 0.5f, 0.5f, 0.0f, 0.0f, 0.5f
    };

    void applyDefaults (DelayEngine& engine)
    {
        for (int line = 0; line < DelayEngine::numLines; ++line)
            for (int i = 0; i < DelayEngine::numLineParameters; ++i)
                engine.setLineParameter (line, i, lineDefaults[i]);

        // A new instance sounds only line 1.
        for (int line = 1; line < DelayEngine::numLines; ++line)
            engine.setLineParameter (line, 2, 0.0f);

        for (int i = 0; i < 20; ++i)
        {
            engine.setGlobalParameter (47 + i, modulatorDefaults[i]);
            engine.setGlobalParameter (67 + i, i == 7 ? 0.2f : modulatorDefaults[i]);
        }

        engine.setGlobalParameter (87, 0.0f);   // limiter off
        engine.setGlobalParameter (88, 1.0f);
        engine.setGlobalParameter (89, 0.5f);
        engine.setGlobalParameter (90, 0.0f);
        engine.setGlobalParameter (91, 0.5f);
        engine.setMaximumDelayLength (3);
        engine.setQuality (1);
        engine.setHostBpm (120.0);
    }

    /** Four audible lines, each with a low-pass in the loop and overdrive, their
        times modulated by a square LFO, and the limiter on.
    */
    void applyBusyPatch (DelayEngine& engine, int quality)
    {
        applyDefaults (engine);

        const float times[] = { 0.12f, 0.21f, 0.33f, 0.45f };

        for (int line = 0; line < DelayEngine::numLines; ++line)
        {
            engine.setLineParameter (line, 2, 0.75f);           // volume
            engine.setLineParameter (line, 10, 1.0f / 3.0f);    // "LP"
            engine.setLineParameter (line, 7, 1.0f);            // in the loop
            engine.setLineParameter (line, 8, 0.6f);            // cutoff
            engine.setLineParameter (line, 35, 1.0f);           // overdrive
            engine.setLineParameter (line, 36, 0.25f);          // preamp
            engine.setLineParameter (line, 39, 0.8f);           // feedback
            engine.setLineParameter (line, 15, times[line]);
            engine.setLineParameter (line, 16, times[line] * 0.9f);
            engine.setLineParameter (line, 12, 0.0f);           // separate channels
            engine.setLineParameter (line, 44, 0.4f);           // time modulation
        }

        engine.setGlobalParameter (56, 0.5f);   // MOD 1 "Square"
        engine.setGlobalParameter (54, 0.3f);
        engine.setGlobalParameter (87, 1.0f);   // limiter on
        engine.setQuality (quality);
    }

    /** The busy patch at "Ultra" with every delay shrinking fast and steadily: a
        rising ramp drives the whole length down more than two samples per sample,
        so the read stretches its kernel to the most taps.
    */
    void applyWorstCase (DelayEngine& engine)
    {
        applyBusyPatch (engine, 3);

        for (int line = 0; line < DelayEngine::numLines; ++line)
        {
            engine.setLineParameter (line, 15, 0.45f);
            engine.setLineParameter (line, 16, 0.4f);
            engine.setLineParameter (line, 44, 1.0f);
        }

        engine.setGlobalParameter (56, 0.25f);  // "Saw Down"...
        engine.setGlobalParameter (57, 1.0f);   // ...inverted: a rising ramp
        engine.setGlobalParameter (54, 0.45f);
    }

    std::vector<float> makeNoise (int length, unsigned seed)
    {
        std::mt19937 random (seed);
        std::uniform_real_distribution<float> dist (-0.25f, 0.25f);
        std::vector<float> v ((size_t) length);

        for (auto& x : v)
            x = dist (random);

        return v;
    }

    /** Times 512-sample stereo blocks of noise through process (left, right), after
        a second of warm-up: past the fade-in and the limiter's look-ahead, with
        every line busy.
    */
    template <typename Process>
    void runBlocks (benchmark::State& state, double sampleRate, Process&& process)
    {
        const auto inputL = makeNoise (blockSize, 1), inputR = makeNoise (blockSize, 2);
        std::vector<float> left ((size_t) blockSize), right ((size_t) blockSize);

        for (int i = 0; i < (int) (sampleRate / blockSize); ++i)
        {
            left = inputL; right = inputR;
            process (left.data(), right.data());
        }

        for (auto _ : state)
        {
            std::copy (inputL.begin(), inputL.end(), left.begin());
            std::copy (inputR.begin(), inputR.end(), right.begin());
            process (left.data(), right.data());
            benchmark::DoNotOptimize (left.data());
            benchmark::ClobberMemory();
        }

        const double blockSeconds = blockSize / sampleRate;
        state.counters["rt_factor"] = benchmark::Counter (blockSeconds * (double) state.iterations(),
                                                          benchmark::Counter::kIsRate);
    }

    template <typename Setup>
    void runEngineBlocks (benchmark::State& state, double sampleRate, Setup setup)
    {
        DelayEngine engine;
        engine.prepare (sampleRate, blockSize);
        setup (engine);

        runBlocks (state, sampleRate, [&engine] (float* left, float* right)
        {
            float* channels[] = { left, right };
            engine.process (channels, blockSize, true, true);
        });
    }

   #if CORVANE_BENCH_JUCE_PEER
    void runPeerBlocks (benchmark::State& state, double sampleRate)
    {
        JucePeer peer;
        peer.prepare (sampleRate, blockSize);
        runBlocks (state, sampleRate, [&peer] (float* left, float* right) { peer.process (left, right, blockSize); });
    }
   #endif

    struct Case
    {
        const char* name;
        void (*setup) (DelayEngine&);
    };

    const Case cases[] =
    {
        { "Defaults", [] (DelayEngine& e) { applyDefaults (e); } },
        { "BusyNormal", [] (DelayEngine& e) { applyBusyPatch (e, 1); } },
        { "BusyHigh", [] (DelayEngine& e) { applyBusyPatch (e, 2); } },
        { "WorstUltra", [] (DelayEngine& e) { applyWorstCase (e); } },
    };

    std::string caseName (const char* name, double sampleRate)
    {
        return std::string ("Engine/") + name + "/" + std::to_string ((int) sampleRate);
    }

    std::string peerName (double sampleRate)
    {
        return "JucePeer/" + std::to_string ((int) sampleRate);
    }

    //==============================================================================
    void registerBenchmarks()
    {
        for (double sampleRate : rates)
        {
            for (const auto& c : cases)
            {
                auto setup = c.setup;
                benchmark::RegisterBenchmark (caseName (c.name, sampleRate).c_str(),
                                              [sampleRate, setup] (benchmark::State& state)
                                              { runEngineBlocks (state, sampleRate, setup); })
                    ->Unit (benchmark::kMicrosecond);
            }

           #if CORVANE_BENCH_JUCE_PEER
            benchmark::RegisterBenchmark (peerName (sampleRate).c_str(),
                                          [sampleRate] (benchmark::State& state) { runPeerBlocks (state, sampleRate); })
                ->Unit (benchmark::kMicrosecond);
           #endif
        }

        // The longest lines the engine can be asked for, at the highest listed rate.
        benchmark::RegisterBenchmark ("Engine/Prepare/192000/15s", [] (benchmark::State& state)
        {
            DelayEngine engine;
            engine.setMaximumDelayLength (15);

            for (auto _ : state)
                engine.prepare (192000.0, blockSize);
        })->Unit (benchmark::kMillisecond);

        benchmark::RegisterBenchmark ("Engine/Reset/192000/15s", [] (benchmark::State& state)
        {
            DelayEngine engine;
            engine.setMaximumDelayLength (15);
            engine.prepare (192000.0, blockSize);

            for (auto _ : state)
                engine.reset();
        })->Unit (benchmark::kMicrosecond);
    }

    /** Prints every run as usual and keeps each benchmark's CPU time for the
        summary: the median when the runs are repeated, else the single run.
    */
    class CollectingReporter  : public benchmark::ConsoleReporter
    {
    public:
        void ReportRuns (const std::vector<Run>& runs) override
        {
            ConsoleReporter::ReportRuns (runs);

            for (const auto& run : runs)
            {
                if (run.error_occurred)
                    continue;

                if (run.run_type == Run::RT_Iteration && run.repetitions <= 1)
                    cpuMicroseconds[run.run_name.str()] = run.GetAdjustedCPUTime();
                else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                    cpuMicroseconds[run.run_name.str()] = run.GetAdjustedCPUTime();
            }
        }

        std::map<std::string, double> cpuMicroseconds;
    };

    void printSummary (const std::map<std::string, double>& times)
    {
        std::printf ("\nPer 512-sample stereo block (CPU time):\n");
        std::printf ("%-12s %8s %12s %14s %20s\n", "case", "rate", "us/block", "realtime x", "per line vs peer");

        for (double sampleRate : rates)
        {
            const double blockSeconds = blockSize / sampleRate;
            const auto peer = times.find (peerName (sampleRate));

            for (const auto& c : cases)
            {
                const auto found = times.find (caseName (c.name, sampleRate));

                if (found == times.end())
                    continue;

                const double us = found->second;
                std::printf ("%-12s %8d %12.2f %14.1f", c.name, (int) sampleRate, us, blockSeconds * 1e6 / us);

                // Both workloads have four stereo lines, so the ratio of the
                // per-line costs is the ratio of the block costs.
                if (peer != times.end())
                    std::printf (" %20.2f", us / peer->second);

                std::printf ("\n");
            }

            if (peer != times.end())
                std::printf ("%-12s %8d %12.2f %14.1f %20s\n", "JUCE peer", (int) sampleRate,
                             peer->second, blockSeconds * 1e6 / peer->second, "1.00");
        }
    }
}

int main (int argc, char** argv)
{
    benchmark::Initialize (&argc, argv);

    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    registerBenchmarks();

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks (&reporter);
    benchmark::Shutdown();

    printSummary (reporter.cpuMicroseconds);
    return 0;
}
