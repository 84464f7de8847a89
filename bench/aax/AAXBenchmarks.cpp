#include <benchmark/benchmark.h>

#include "Corvane.h"
#include "SimulatedInstance.h"
#include "SimulatedModule.h"

#include <chrono>

namespace
{
    using Clock = std::chrono::steady_clock;
    constexpr double sampleRate = 48000.0;

    /** The stopped transport at 120 bpm that both paths see. */
    class BenchPlayHead : public juce::AudioPlayHead
    {
    public:
        BenchPlayHead()
        {
            info.setBpm (120.0);
            info.setTimeSignature (TimeSignature { 4, 4 });
            info.setTimeInSamples (0);
            info.setPpqPosition (0.0);
            info.setIsPlaying (false);
        }

        juce::Optional<PositionInfo> getPosition() const override    { return info; }

        PositionInfo info;
    };

    void fillWithNoise (juce::Random& random, float* const* channels, int numSamples)
    {
        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < numSamples; ++i)
                channels[channel][i] = random.nextFloat() * 0.5f - 0.25f;
    }

    /** One block rendered through the module (its render procedure, called by the simulated
        host) and one through processBlock on a processor of its own, each timed; the
        difference is the wrapper's cost: copying, MIDI packets to a buffer, the callback lock
        and the play head read from the host's transport.

        Arguments: block size, MIDI note-ons per block. The iteration time is the module's.
    */
    void wrapperOverhead (benchmark::State& state)
    {
        const auto blockSize = static_cast<int> (state.range (0));
        const auto numEvents = static_cast<int> (state.range (1));

        SimulatedModule module (CORVANE_MODULE_PATH);

        if (! module.isLoaded() || module.startup() != ACF_OK || module.registerPlugin() != ACF_OK)
        {
            state.SkipWithError ("the module could not be loaded");
            return;
        }

        SimulatedInstance::Settings settings;
        settings.sampleRate = static_cast<float> (sampleRate);
        settings.maxBlockSize = blockSize;

        {
            SimulatedInstance instance (module, settings);

            if (instance.create() != AAX_OK || instance.initialize() != AAX_OK)
            {
                state.SkipWithError ("the module made no effect");
                return;
            }

            std::unique_ptr<juce::AudioProcessor> processor (createPluginFilter());
            BenchPlayHead playHead;
            processor->setPlayConfigDetails (2, 2, sampleRate, blockSize);
            processor->setPlayHead (&playHead);
            processor->prepareToPlay (sampleRate, blockSize);

            std::vector<AAX_MIDIPacket> packets;
            juce::MidiBuffer midi;

            for (int event = 0; event < numEvents; ++event)
            {
                const auto time = event * blockSize / numEvents;
                const auto message = juce::MidiMessage::noteOn (1, 60 + event % 12, static_cast<juce::uint8> (90));
                midi.addEvent (message, time);

                AAX_MIDIPacket packet;
                packet.timestamp = static_cast<uint32_t> (time);
                packet.length = 3;
                std::copy (message.getRawData(), message.getRawData() + 3, packet.data);
                packets.push_back (packet);
            }

            juce::AudioBuffer<float> buffer (2, blockSize);
            float* inputs[] = { instance.getInput (0), instance.getInput (1) };
            juce::Random random (1);
            double moduleSeconds = 0.0, directSeconds = 0.0;

            instance.processBlock (blockSize, packets);

            for (auto _ : state)
            {
                fillWithNoise (random, inputs, blockSize);
                fillWithNoise (random, buffer.getArrayOfWritePointers(), blockSize);

                const auto moduleStart = Clock::now();
                instance.renderBlock (blockSize, packets);
                const auto directStart = Clock::now();

                {
                    const juce::ScopedLock lock (processor->getCallbackLock());
                    processor->processBlock (buffer, midi);
                }

                const auto end = Clock::now();
                const auto moduleTime = std::chrono::duration<double> (directStart - moduleStart).count();
                moduleSeconds += moduleTime;
                directSeconds += std::chrono::duration<double> (end - directStart).count();
                state.SetIterationTime (moduleTime);
                benchmark::DoNotOptimize (instance.getOutput (0)[0]);
                benchmark::DoNotOptimize (buffer.getSample (0, 0));
            }

            const auto iterations = static_cast<double> (state.iterations());
            state.counters["module_ns"] = moduleSeconds / iterations * 1.0e9;
            state.counters["direct_ns"] = directSeconds / iterations * 1.0e9;
            state.counters["overhead_ns"] = (moduleSeconds - directSeconds) / iterations * 1.0e9;
            state.SetItemsProcessed (state.iterations() * blockSize);
            processor->releaseResources();
        }

        module.unload();
    }
}

BENCHMARK (wrapperOverhead)
    ->ArgsProduct ({ { 32, 64, 256, 1024 }, { 0, 64 } })
    ->ArgNames ({ "block", "midi" })
    ->UseManualTime()
    ->Unit (benchmark::kMicrosecond);

BENCHMARK_MAIN();
