#include "ModuleTestSupport.h"

#include "AllocationCounter.h"

#include <cmath>

namespace
{
    constexpr float pi = 3.14159265358979f;

    void fillInputs (SimulatedInstance& instance, int numSamples, int64_t start)
    {
        for (int channel = 0; channel < instance.getNumInputs(); ++channel)
            for (int i = 0; i < numSamples; ++i)
                instance.getInput (channel)[i] = 0.25f * std::sin (2.0f * pi * (220.0f + 110.0f * channel)
                                                                   * static_cast<float> (start + i) / 48000.0f);
    }

    AAX_MIDIPacket noteOn (uint32_t time, uint8_t note)    { return { time, 3, { 0x90, note, 100 } }; }

    struct Levels
    {
        std::vector<double> energy;
        bool finite = true;
    };

    /** Renders blocks of changing length with notes (some at the block's ends, one beyond it). */
    Levels renderWithMidi (SimulatedInstance& instance, int numBlocks)
    {
        Levels levels;
        levels.energy.assign (static_cast<size_t> (instance.getNumOutputs()), 0.0);
        const int lengths[] = { 256, 1, 100, 256, 37 };
        int64_t position = 0;

        for (int block = 0; block < numBlocks; ++block)
        {
            const auto length = lengths[block % 5];
            fillInputs (instance, length, position);
            instance.processBlock (length, { noteOn (0, 60), noteOn (static_cast<uint32_t> (length / 2), 64),
                                             noteOn (static_cast<uint32_t> (length - 1), 67), noteOn (static_cast<uint32_t> (length + 10), 72) });

            for (int channel = 0; channel < instance.getNumOutputs(); ++channel)
            {
                for (int i = 0; i < length; ++i)
                {
                    const auto sample = instance.getOutput (channel)[i];
                    levels.finite = levels.finite && std::isfinite (sample);
                    levels.energy[static_cast<size_t> (channel)] += static_cast<double> (sample) * sample;
                }
            }

            position += length;
        }

        return levels;
    }
}

TEST_F (ModuleTest, RendersEveryConfigurationWithMidi)
{
    for (size_t configuration = 0; configuration < 3; ++configuration)
    {
        SCOPED_TRACE ("configuration " + std::to_string (configuration));
        auto instance = makeInstance (configuration);
        const int expectedChannels[][2] = { { 2, 2 }, { 1, 2 }, { 1, 1 } };
        EXPECT_EQ (instance->getNumInputs(), expectedChannels[configuration][0]);
        EXPECT_EQ (instance->getNumOutputs(), expectedChannels[configuration][1]);

        TransportState transport;
        transport.playing = true;
        transport.tempo = 128.0;
        instance->setTransport (transport);

        const auto levels = renderWithMidi (*instance, 200);
        EXPECT_TRUE (levels.finite);

        for (const auto energy : levels.energy)
            EXPECT_GT (energy, 0.0);

        EXPECT_GT (instance->getHostObject().getNumTransportQueries(), 0);
        EXPECT_GT (instance->getTransport().samplePosition, 0);
    }
}

TEST_F (ModuleTest, BypassedRenderPassesTheInputThrough)
{
    auto instance = makeInstance (0);
    renderWithMidi (*instance, 10);

    ASSERT_EQ (instance->setParameter ("MasterBypassID", 1.0), AAX_OK);
    fillInputs (*instance, 256, 0);
    instance->processBlock (256);

    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ (instance->getOutput (channel)[i], instance->getInput (channel)[i]) << "channel " << channel << ", sample " << i;

    // Back on, the delay sounds again: its echoes differ from the dry input.
    ASSERT_EQ (instance->setParameter ("MasterBypassID", 0.0), AAX_OK);
    bool differs = false;

    for (int block = 0; block < 20 && ! differs; ++block)
    {
        fillInputs (*instance, 256, 256 * (block + 1));
        instance->processBlock (256);

        for (int i = 0; i < 256; ++i)
            differs = differs || instance->getOutput (0)[i] != instance->getInput (0)[i];
    }

    EXPECT_TRUE (differs);
}

TEST_F (ModuleTest, RenderingAllocatesNothing)
{
    auto instance = makeInstance (1);
    TransportState transport;
    transport.playing = true;
    instance->setTransport (transport);

    // A few blocks first, so that everything made once on first use exists.
    renderWithMidi (*instance, 20);

    const std::vector<AAX_MIDIPacket> notes { noteOn (0, 60), noteOn (10, 61), noteOn (255, 62) };
    instance->confirmPendingRequests();
    instance->generateCoefficients();

    for (int block = 0; block < 50; ++block)
    {
        fillInputs (*instance, 256, 0);
        const AllocationCounter allocations;
        instance->renderBlock (256, notes);
        ASSERT_EQ (allocations.getCount(), 0) << "block " << block;
    }
}

TEST_F (ModuleTest, RenderBeforeInitializeLeavesTheBuffersAlone)
{
    SimulatedInstance instance (module, {});
    ASSERT_EQ (instance.create(), AAX_OK);
    instance.getOutput (0)[0] = 0.5f;
    instance.renderBlock (64);
    EXPECT_EQ (instance.getOutput (0)[0], 0.5f);
}
