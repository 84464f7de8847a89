#include <benchmark/benchmark.h>

#include "Corvane.h"
#include "DelayEngine.h"

#include <chrono>
#include <cstdlib>

namespace
{
/** A play head at a fixed tempo whose transport the benchmark starts or leaves stopped. */
class BenchPlayHead  : public juce::AudioPlayHead
{
public:
    juce::Optional<PositionInfo> getPosition() const override   { return info; }
    PositionInfo info;
};

using WallClock = std::chrono::steady_clock;

/** processBlock on a live processor, timed against the same processor's engine
    rendering the same audio in one call, which gives the walk's overhead.

    Arguments: block size, transport playing (0/1), MIDI note-ons per block.
*/
void processBlock (benchmark::State& state)
{
    const auto blockSize = (int) state.range (0);
    const auto playing = state.range (1) != 0;
    const auto numEvents = (int) state.range (2);

    std::unique_ptr<Corvane> processor (dynamic_cast<Corvane*> (createPluginFilter()));
    BenchPlayHead playHead;
    playHead.info.setBpm (200.0);
    playHead.info.setPpqPosition (0.0);
    playHead.info.setIsPlaying (playing);

    auto& parameters = processor->parameterManager;

    // Both LFOs synced to a thirty-second triplet: twelve divisions per beat.
    for (auto name : { "LFO 1 Tempo Sync", "LFO 2 Tempo Sync" })
        parameters.setParameterText (parameters.getParameterIndex (name), "On");

    for (auto name : { "LFO 1 Rate", "LFO 2 Rate" })
        parameters.setParameterText (parameters.getParameterIndex (name), "1/32");

    for (auto name : { "LFO 1 Rhythmic Scale", "LFO 2 Rhythmic Scale" })
        parameters.setParameterText (parameters.getParameterIndex (name), "Triplet");

    processor->setPlayConfigDetails (2, 2, 44100.0, blockSize);
    processor->setPlayHead (&playHead);
    processor->prepareToPlay (44100.0, blockSize);

    juce::AudioBuffer<float> buffer (2, blockSize), engineBuffer (2, blockSize);
    juce::Random random (1);

    auto fillWithNoise = [&] (juce::AudioBuffer<float>& b)
    {
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < blockSize; ++i)
                b.setSample (c, i, random.nextFloat() * 0.5f - 0.25f);
    };

    juce::MidiBuffer midi;

    for (int e = 0; e < numEvents; ++e)
        midi.addEvent (juce::MidiMessage::noteOn (1, 60 + e % 12, (juce::uint8) 90), e * blockSize / numEvents);

    double processorSeconds = 0.0, engineSeconds = 0.0;

    for (auto _ : state)
    {
        fillWithNoise (buffer);
        engineBuffer.makeCopyOf (buffer);

        const auto start = WallClock::now();

        {
            const juce::ScopedLock sl (processor->getCallbackLock());
            processor->processBlock (buffer, midi);
        }

        const auto middle = WallClock::now();

        {
            const juce::ScopedLock sl (processor->getEngineLock());
            float* channels[] = { engineBuffer.getWritePointer (0), engineBuffer.getWritePointer (1) };
            processor->getEngine().process (channels, blockSize, true, true);
        }

        const auto end = WallClock::now();

        const auto seconds = std::chrono::duration<double> (middle - start).count();
        state.SetIterationTime (seconds);
        processorSeconds += seconds;
        engineSeconds += std::chrono::duration<double> (end - middle).count();
    }

    state.SetItemsProcessed (state.iterations() * blockSize);
    state.counters["vs_engine"] = engineSeconds > 0.0 ? processorSeconds / engineSeconds : 0.0;
}
}

BENCHMARK (processBlock)
    ->ArgNames ({ "block", "playing", "events" })
    ->ArgsProduct ({ { 64, 512 }, { 0, 1 }, { 0, 64 } })
    ->UseManualTime()
    ->Unit (benchmark::kMicrosecond);

int main (int argc, char** argv)
{
    // The processor reads and writes its user settings: keep them out of the real home.
    auto home = juce::File::createTempFile ("corvane-bench-home");
    home.createDirectory();
    setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
    setenv ("XDG_CONFIG_HOME", home.getChildFile (".config").getFullPathName().toRawUTF8(), 1);

    int result = 1;

    {
        juce::ScopedJuceInitialiser_GUI juce;
        benchmark::Initialize (&argc, argv);

        if (! benchmark::ReportUnrecognizedArguments (argc, argv))
        {
            benchmark::RunSpecifiedBenchmarks();
            benchmark::Shutdown();
            result = 0;
        }
    }

    home.deleteRecursively();
    return result;
}
