#include "WrapperTestSupport.h"

#include "AAX_RenderContext.h"
#include "AllocationCounter.h"

namespace
{
    AAX_MIDIPacket packet (uint32_t time, std::initializer_list<uint8_t> bytes)
    {
        AAX_MIDIPacket result;
        result.timestamp = time;
        result.length = static_cast<uint32_t> (bytes.size());
        std::copy (bytes.begin(), bytes.end(), result.data);
        return result;
    }

    void fillRamp (SimulatedInstance& instance, int numSamples)
    {
        for (int channel = 0; channel < instance.getNumInputs(); ++channel)
            for (int i = 0; i < numSamples; ++i)
                instance.getInput (channel)[i] = static_cast<float> (i + 1) / 1000.0f * static_cast<float> (channel + 1);
    }
}

TEST_F (WrapperTest, InputsAreCopiedAndTheProcessorRunsUnderItsCallbackLock)
{
    for (size_t configuration = 0; configuration < 3; ++configuration)
    {
        SCOPED_TRACE ("configuration " + std::to_string (configuration));
        auto instance = makeInstance (configuration);
        processor().checkCallbackLock = true;
        fillRamp (*instance, 128);

        for (int channel = 0; channel < instance->getNumOutputs(); ++channel)
            std::fill (instance->getOutput (channel), instance->getOutput (channel) + 128, 9.0f);

        instance->processBlock (128);

        const auto blocks = processor().getBlocks();
        ASSERT_EQ (blocks.size(), 1u);
        EXPECT_EQ (blocks[0].numSamples, 128);
        EXPECT_EQ (blocks[0].numChannels, instance->getNumOutputs());
        EXPECT_TRUE (blocks[0].callbackLockHeld);

        // An output without an input of its own starts silent.
        for (int channel = 0; channel < instance->getNumOutputs(); ++channel)
            for (int i = 0; i < 128; ++i)
                ASSERT_EQ (instance->getOutput (channel)[i],
                           channel < instance->getNumInputs() ? 0.5f * instance->getInput (channel)[i] : 0.0f);
    }
}

TEST_F (WrapperTest, MidiPacketsBecomeTheBlocksMidiBuffer)
{
    auto instance = makeInstance();
    instance->processBlock (64, { packet (0, { 0x90, 60, 100 }),
                                  packet (5, { 0xB0, 7, 64 }),
                                  packet (5, { 0xC0, 3 }),
                                  packet (9, {}),
                                  packet (63, { 0x80, 60, 0 }),
                                  packet (500, { 0x90, 62, 90 }) });

    const auto blocks = processor().getBlocks();
    ASSERT_EQ (blocks.size(), 1u);
    const auto& block = blocks[0];
    ASSERT_EQ (block.numMidiEvents, 5);

    const WrapperTestProcessor::MidiEvent expected[] = { { 0, 3, { 0x90, 60, 100 } },
                                                         { 5, 3, { 0xB0, 7, 64 } },
                                                         { 5, 2, { 0xC0, 3 } },
                                                         { 63, 3, { 0x80, 60, 0 } },
                                                         { 63, 3, { 0x90, 62, 90 } } };   // late: at the last sample

    for (int index = 0; index < 5; ++index)
    {
        SCOPED_TRACE ("event " + std::to_string (index));
        EXPECT_EQ (block.midi[index].position, expected[index].position);
        ASSERT_EQ (block.midi[index].size, expected[index].size);
        EXPECT_TRUE (std::equal (block.midi[index].bytes, block.midi[index].bytes + block.midi[index].size, expected[index].bytes));
    }

    // Each block starts with only its own messages.
    instance->processBlock (64);
    EXPECT_EQ (processor().getBlocks()[1].numMidiEvents, 0);
}

TEST_F (WrapperTest, BypassPacketRunsTheBypassedBlock)
{
    auto instance = makeInstance();
    ASSERT_EQ (instance->setParameter ("MasterBypassID", 1.0), AAX_OK);
    fillRamp (*instance, 32);
    instance->processBlock (32);

    ASSERT_EQ (processor().getBlocks().size(), 1u);
    EXPECT_TRUE (processor().getBlocks()[0].bypassed);

    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < 32; ++i)
            ASSERT_EQ (instance->getOutput (channel)[i], instance->getInput (channel)[i]);

    EXPECT_TRUE (processor().getParameterCalls().empty());

    ASSERT_EQ (instance->setParameter ("MasterBypassID", 0.0), AAX_OK);
    instance->processBlock (32);
    EXPECT_FALSE (processor().getBlocks()[1].bypassed);
}

TEST_F (WrapperTest, BlocksLongerThanPreparedAreRenderedInPieces)
{
    auto instance = makeInstance (0, 256, 1000);
    EXPECT_EQ (processor().preparedBlockSize, 256);
    EXPECT_EQ (processor().preparedSampleRate, 48000.0);

    TransportState transport;
    transport.playing = true;
    transport.samplePosition = 4800;
    instance->setTransport (transport);
    fillRamp (*instance, 1000);
    instance->processBlock (1000, { packet (300, { 0x90, 60, 100 }), packet (999, { 0x80, 60, 0 }) });

    const auto blocks = processor().getBlocks();
    ASSERT_EQ (blocks.size(), 4u);
    const int lengths[] = { 256, 256, 256, 232 };

    for (size_t piece = 0; piece < 4; ++piece)
    {
        SCOPED_TRACE ("piece " + std::to_string (piece));
        EXPECT_EQ (blocks[piece].numSamples, lengths[piece]);
        ASSERT_TRUE (blocks[piece].hasPosition);
        EXPECT_EQ (*blocks[piece].position.getTimeInSamples(), 4800 + 256 * static_cast<int64_t> (piece));
        EXPECT_NEAR (*blocks[piece].position.getPpqPosition(), (4800.0 + 256.0 * piece) / 48000.0 * 2.0, 1.0e-6);
    }

    EXPECT_EQ (blocks[1].numMidiEvents, 1);
    EXPECT_EQ (blocks[1].midi[0].position, 44);
    EXPECT_EQ (blocks[3].numMidiEvents, 1);
    EXPECT_EQ (blocks[3].midi[0].position, 231);

    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ (instance->getOutput (1)[i], 0.5f * instance->getInput (1)[i]) << i;
}

TEST_F (WrapperTest, PlayHeadReadsTheHostsTransport)
{
    auto instance = makeInstance();
    TransportState transport;
    transport.tempo = 90.0;
    transport.meterNumerator = 3;
    transport.meterDenominator = 4;
    transport.playing = true;
    transport.samplePosition = 120000;   // 2.5 s: 3.75 quarters, in the second bar of 3/4
    transport.looping = true;
    transport.loopStartSample = 96000;
    transport.loopEndSample = 192000;
    instance->setTransport (transport);
    instance->processBlock (64);

    const auto blocks = processor().getBlocks();
    ASSERT_EQ (blocks.size(), 1u);
    ASSERT_TRUE (blocks[0].hasPosition);
    const auto& position = blocks[0].position;

    EXPECT_EQ (*position.getBpm(), 90.0);
    EXPECT_EQ (position.getTimeSignature()->numerator, 3);
    EXPECT_EQ (position.getTimeSignature()->denominator, 4);
    EXPECT_TRUE (position.getIsPlaying());
    EXPECT_FALSE (position.getIsRecording());
    EXPECT_EQ (*position.getTimeInSamples(), 120000);
    EXPECT_NEAR (*position.getTimeInSeconds(), 2.5, 1.0e-9);
    EXPECT_NEAR (*position.getPpqPosition(), 3.75, 1.0e-6);
    EXPECT_NEAR (*position.getPpqPositionOfLastBarStart(), 3.0, 1.0e-6);
    EXPECT_EQ (*position.getBarCount(), 1);
    EXPECT_TRUE (position.getIsLooping());
    EXPECT_NEAR (position.getLoopPoints()->ppqStart, 3.0, 1.0e-6);
    EXPECT_NEAR (position.getLoopPoints()->ppqEnd, 6.0, 1.0e-6);

    // The host moved the transport on by the block.
    EXPECT_EQ (instance->getTransport().samplePosition, 120064);
}

TEST_F (WrapperTest, RenderingAllocatesNothing)
{
    auto instance = makeInstance (0, 256, 1000);
    std::vector<AAX_MIDIPacket> packets;

    for (uint32_t event = 0; event < 200; ++event)
        packets.push_back (packet (event * 5, { 0x90, static_cast<uint8_t> (event % 128), 100 }));

    instance->confirmPendingRequests();
    instance->generateCoefficients();

    for (int block = 0; block < 20; ++block)
    {
        fillRamp (*instance, 1000);
        const AllocationCounter allocations;
        instance->renderBlock (1000, packets);
        ASSERT_EQ (allocations.getCount(), 0) << "block " << block;
    }
}

TEST_F (WrapperTest, RenderBeforeInitializeOrAfterReleaseDoesNothing)
{
    SimulatedInstance instance (*module, {});
    ASSERT_EQ (instance.create(), AAX_OK);
    instance.getOutput (0)[0] = 0.75f;
    instance.renderBlock (16);
    EXPECT_EQ (instance.getOutput (0)[0], 0.75f);
    EXPECT_TRUE (processor().getBlocks().empty());

    // A private-data field too small for the effect is refused.
    uint32_t tooSmall = 0;
    EXPECT_EQ (instance.getEffect()->ResetFieldData (AAX_FieldPrivateData, &tooSmall, sizeof (tooSmall)), AAX_ERROR_NULL_OBJECT);
}
