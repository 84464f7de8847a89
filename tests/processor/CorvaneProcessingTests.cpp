#include "CorvaneTestHelpers.h"

#include "DelayCore.h"
#include "DelayEngine.h"

#include "AllocationCounter.h"

using Ids = CorvaneParameterIds;
using Runs = std::vector<int>;

namespace
{
juce::MidiBuffer notesAt (std::initializer_list<int> samples, int note = 60, int channel = 1, int velocity = 100)
{
    juce::MidiBuffer midi;

    for (auto s : samples)
        midi.addEvent (juce::MidiMessage::noteOn (channel, note, (juce::uint8) velocity), s);

    return midi;
}
}

//==============================================================================
TEST_F (CorvaneTest, ABlockWithoutEventsIsOneRun)
{
    process (512);
    EXPECT_EQ (runLengths(), (Runs { 512 }));
}

TEST_F (CorvaneTest, MidiEventsCutTheBlockAtTheirSample)
{
    process (64, notesAt ({ 10 }));
    EXPECT_EQ (runLengths(), (Runs { 10, 54 }));

    process (64, notesAt ({ 0, 0, 63 }));
    EXPECT_EQ (runLengths(), (Runs { 63, 1 }));
}

TEST_F (CorvaneTest, EventsBeforeTheBlockAreDroppedAndLaterOnesWaitForTheirBlock)
{
    process (64, notesAt ({ -3, 100 }));
    EXPECT_EQ (runLengths(), (Runs { 64 }));

    process (64);
    EXPECT_EQ (runLengths(), (Runs { 36, 28 }));

    process (64);
    EXPECT_EQ (runLengths(), (Runs { 64 }));
}

TEST_F (CorvaneTest, RunsNeverExceedThePreparedBlockSize)
{
    processor->prepareToPlay (44100.0, 100);
    process (512, notesAt ({ 450 }));
    EXPECT_EQ (runLengths(), (Runs { 100, 100, 100, 100, 50, 62 }));

    // A host that announces no block size still renders, a sample at a time at worst.
    processor->prepareToPlay (44100.0, 0);
    process (3);
    EXPECT_EQ (runLengths(), (Runs { 1, 1, 1 }));
}

TEST_F (CorvaneTest, ClockEdgesCutTheBlockWhileTheTransportPlays)
{
    // "1/16" at full scale: four divisions per beat, an edge every eighth of a beat
    // (2756.25 samples at 120 bpm); "32" keeps the first clock's edges 64 beats apart.
    parameters().setParameterText (Ids::lfo1Rate, "32");
    parameters().setParameterText (Ids::lfo2Rate, "1/16");

    processor->prepareToPlay (44100.0, 8192);
    playHead.info.setIsPlaying (true);
    process (8192);
    EXPECT_EQ (runLengths(), (Runs { 2757, 2756, 2679 }));

    // A running clock keeps counting on its own across blocks.
    process (4096);
    EXPECT_EQ (runLengths(), (Runs { 77, 2756, 1263 }));

    // Stopped transport: the clocks stop and no longer cut.
    playHead.info.setIsPlaying (false);
    process (8192);
    EXPECT_EQ (runLengths(), (Runs { 8192 }));
}

TEST_F (CorvaneTest, BothSyncedClocksCutAndTripletScaleSpeedsThemUp)
{
    parameters().setParameterBoolValue (Ids::lfo1RhythmicScale - 1, true);     // "LFO 1 Tempo Sync"
    parameters().setParameterText (Ids::lfo1Rate, "1/16");
    parameters().setParameterText (Ids::lfo2Rate, "1/16");
    parameters().setParameterText (Ids::lfo2RhythmicScale, "Triplet");

    // Clock 1 at 4 divisions per beat, clock 2 at 6: edges every 2756.25 and 1837.5 samples.
    processor->prepareToPlay (44100.0, 8192);
    playHead.info.setIsPlaying (true);
    process (6000);

    int position = 0;
    std::vector<int> cuts;

    for (auto& run : processor->runs)
    {
        position += run.length;
        cuts.push_back (position);
    }

    EXPECT_EQ (cuts, (std::vector<int> { 1838, 2757, 3676, 5513, 6000 }));
}

TEST_F (CorvaneTest, AMissingOrUnusableTempoDoesNotStartTheClocks)
{
    parameters().setParameterText (Ids::lfo2Rate, "1/16");
    processor->prepareToPlay (44100.0, 8192);

    // The last usable tempo is what the engine keeps.
    playHead.info.setBpm (90.0);
    process (64);
    const auto& delayCore = processor->getEngine().getDelayCore (0);
    ASSERT_EQ (delayCore.bpm, 90.0);

    playHead.info.setIsPlaying (true);

    for (auto bpm : { 0.0, -120.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity() })
    {
        playHead.info.setBpm (bpm);
        process (8192);
        EXPECT_EQ (runLengths(), (Runs { 8192 })) << bpm;
        EXPECT_EQ (delayCore.bpm, 90.0) << bpm;
    }

    playHead.info.setBpm ({});
    process (8192);
    EXPECT_EQ (runLengths(), (Runs { 8192 }));
    EXPECT_EQ (delayCore.bpm, 90.0);

    playHead.hasPosition = false;
    process (8192);
    EXPECT_EQ (runLengths(), (Runs { 8192 }));
}

//==============================================================================
TEST_F (CorvaneTest, OneInTwoOutClearsTheSecondChannelAndRendersBothFromTheFirst)
{
    processor = create (1, 2);
    parameters().setParameterNormalisedValue (Ids::fxAmount, 0.0f);    // dry only

    juce::AudioBuffer<float> buffer (2, 512);
    juce::MidiBuffer midi;

    for (int block = 0; block < 40; ++block)
    {
        for (int i = 0; i < 512; ++i)
        {
            buffer.setSample (0, i, 0.25f);
            buffer.setSample (1, i, 123.0f);     // what a host may leave in an output-only channel
        }

        process (buffer, midi);
    }

    ASSERT_EQ (processor->runs.size(), 1u);
    EXPECT_TRUE (processor->runs[0].secondChannel);
    EXPECT_NEAR (buffer.getSample (1, 511), buffer.getSample (0, 511), 1e-4f);
    EXPECT_NEAR (buffer.getSample (1, 511), 0.25f, 1e-3f);
}

TEST_F (CorvaneTest, MonoInMonoOutPassesOneChannel)
{
    processor = create (1, 1);
    process (256, notesAt ({ 100 }));

    ASSERT_EQ (processor->runs.size(), 2u);
    EXPECT_FALSE (processor->runs[0].secondChannel);
    EXPECT_FALSE (processor->isOutputChannelStereoPair (0));
    EXPECT_TRUE (create()->isInputChannelStereoPair (1));
}

TEST_F (CorvaneTest, NothingRendersWhileSuspended)
{
    processor->suspendProcessing (true);
    process (512);
    EXPECT_TRUE (processor->runs.empty());
}

TEST_F (CorvaneTest, MaximumDelayLengthResizesTheEngineAndLeavesProcessingRunning)
{
    parameters().setParameterIntValue (Ids::maximumDelayLength, 7);
    EXPECT_EQ (processor->getEngine().getMaximumDelayLength(), 7);
    EXPECT_FALSE (processor->isSuspended());

    // A suspension that was there before stays.
    processor->suspendProcessing (true);
    parameters().setParameterIntValue (Ids::maximumDelayLength, 2);
    EXPECT_EQ (processor->getEngine().getMaximumDelayLength(), 2);
    EXPECT_TRUE (processor->isSuspended());
}

//==============================================================================
TEST_F (CorvaneTest, ANoteOnTheRetriggerNoteRestartsTheModulatorInNoteMode)
{
    auto& restart = processor->getEngine().getIndicators().modulatorRestartFlag;
    parameters().setParameterIntValue (Ids::mod1RetriggerNote, 64);
    parameters().setParameterText (Ids::mod1RetriggerMode, "Note");
    parameters().setParameterText (Ids::mod2RetriggerMode, "Off");
    restart[0] = 0;
    restart[1] = 0;

    process (64, notesAt ({ 5 }, 64, 9));       // omni: any channel
    EXPECT_EQ (restart[0].exchange (0), 1);
    EXPECT_EQ (restart[1].exchange (0), 0);

    process (64, notesAt ({ 5 }, 65));
    EXPECT_EQ (restart[0].exchange (0), 0);

    process (64, notesAt ({ 3 }, 64, 1, 0));     // velocity 0: a note-off
    EXPECT_EQ (restart[0].exchange (0), 0);

    parameters().setParameterIntValue (Ids::mod1RetriggerChannel, 2);
    process (64, notesAt ({ 5 }, 64, 1));
    EXPECT_EQ (restart[0].exchange (0), 0);
    process (64, notesAt ({ 5 }, 64, 2));
    EXPECT_EQ (restart[0].exchange (0), 1);

    parameters().setParameterText (Ids::mod1RetriggerMode, "Transient");
    process (64, notesAt ({ 5 }, 64, 2));
    EXPECT_EQ (restart[0].exchange (0), 0);
}

TEST_F (CorvaneTest, LearningTakesTheNoteAtTheEndOfTheBlockAndRetriggersAtOnce)
{
    auto& restart = processor->getEngine().getIndicators().modulatorRestartFlag;
    parameters().setParameterText (Ids::mod1RetriggerMode, "Note");
    parameters().setParameterBoolValue (Ids::mod1RetriggerLearn, true);
    restart[0] = 0;

    process (64, notesAt ({ 20 }, 64));
    EXPECT_EQ (parameters().getParameterIntValue (Ids::mod1RetriggerNote), 64);
    EXPECT_EQ (restart[0].exchange (0), 1);

    // The default set only learns.
    parameters().setParameterBoolValue (Ids::defaultMod2RetriggerLearn, true);
    EXPECT_FALSE (parameters().getParameterBoolValue (Ids::mod1RetriggerLearn));
    process (64, notesAt ({ 20 }, 70));
    EXPECT_EQ (parameters().getParameterIntValue (Ids::defaultMod2RetriggerNote), 70);
    EXPECT_EQ (parameters().getParameterIntValue (Ids::mod1RetriggerNote), 64);
    EXPECT_EQ (restart[1].exchange (0), 0);

    // A velocity of 0 is a note-off: nothing is learnt.
    process (64, notesAt ({ 3 }, 80, 1, 0));
    EXPECT_EQ (parameters().getParameterIntValue (Ids::defaultMod2RetriggerNote), 70);
}

TEST_F (CorvaneTest, LearnSwitchesExcludeEachOther)
{
    for (int learn = Ids::mod1RetriggerLearn; learn <= Ids::defaultMod2RetriggerLearn; ++learn)
    {
        parameters().setParameterBoolValue (learn, true);

        for (int other = Ids::mod1RetriggerLearn; other <= Ids::defaultMod2RetriggerLearn; ++other)
            EXPECT_EQ (parameters().getParameterBoolValue (other), other == learn) << learn << " " << other;
    }
}

TEST_F (CorvaneTest, ControllerChangesReachMidiLearntParameters)
{
    auto* feedback = parameters().getParameter (Ids::getLineParameterId (0, Ids::feedback));
    processor->midiControl.assign (20, feedback, false);

    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::controllerEvent (3, 20, 127), 7);
    process (64, midi);

    EXPECT_FLOAT_EQ (feedback->getNormalisedValue(), 1.0f);
    EXPECT_EQ (runLengths(), (Runs { 7, 57 }));
}

//==============================================================================
TEST_F (CorvaneTest, TapsMeasuredInAnyRunOfTheBlockBecomeTheLinearTime)
{
    // Line 2 selected, its delay panel shown, channels joined (the table's default).
    parameters().setParameterIntValue (Ids::selectedLineNumber, 2);
    ASSERT_EQ (processor->getSelectedLine(), 1);

    parameters().setParameterBoolValue (Ids::tapButtonLeft, true);
    parameters().setParameterBoolValue (Ids::tapButtonLeft, false);

    for (int block = 0; block < 50; ++block)
        process (441);

    // The second tap, 0.5 s later, is measured in the first run of a block that a
    // note cuts; the last run of the block measures nothing.
    parameters().setParameterBoolValue (Ids::tapButtonRight, true);     // joined: the left averager
    process (441, notesAt ({ 100 }));
    ASSERT_EQ (runLengths(), (Runs { 100, 341 }));

    EXPECT_NEAR (parameters().getParameterValue (Ids::getLineParameterId (1, Ids::delayLeftTimeLinear)), 500.0f, 0.01f);
    EXPECT_NEAR (parameters().getParameterValue (Ids::delayLeftTimeLinear), 500.0f, 0.01f);
    EXPECT_NE (parameters().getParameterValue (Ids::getLineParameterId (0, Ids::delayLeftTimeLinear)), 500.0f);
}

TEST_F (CorvaneTest, OnlyTheButtonsRisingEdgeTaps)
{
    auto& averager = processor->getEngine().getDelayCore (0).tapAveragerR;
    parameters().setParameterBoolValue (Ids::delayJoinChannels, false);

    parameters().setParameterBoolValue (Ids::tapButtonRight, true);
    process (64);
    parameters().setParameterBoolValue (Ids::tapButtonRight, false);    // release: no tap
    process (22000);
    parameters().setParameterBoolValue (Ids::tapButtonRight, true);
    process (64);

    EXPECT_NEAR (averager.getAverage(), (64 + 22000) / 44100.0f, 1e-4f);
    EXPECT_NEAR (parameters().getParameterValue (Ids::getLineParameterId (0, Ids::delayRightTimeLinear)),
                 (64 + 22000) * 1000.0f / 44100.0f, 0.01f);
}

//==============================================================================
TEST_F (CorvaneTest, ProcessingAllocatesNothingOnceWarmedUp)
{
    parameters().setParameterText (Ids::lfo1Rate, "1/32");
    parameters().setParameterText (Ids::lfo2Rate, "1/16");
    parameters().setParameterText (Ids::mod1RetriggerMode, "Note");
    playHead.info.setIsPlaying (true);

    juce::AudioBuffer<float> buffer (2, 512);
    juce::MidiBuffer midi;

    for (int i = 0; i < 64; ++i)
        midi.addEvent (juce::MidiMessage::noteOn (1, i, (juce::uint8) 90), i * 8);

    buffer.clear();
    process (buffer, midi);

    {
        AllocationCounter selfCheck;
        const std::string allocated (100, 'x');
        ASSERT_EQ (selfCheck.getCount(), 1) << allocated;
    }

    AllocationCounter counter;

    for (int block = 0; block < 20; ++block)
    {
        const juce::ScopedLock sl (processor->getCallbackLock());
        processor->processBlock (buffer, midi);
    }

    EXPECT_EQ (counter.getCount(), 0);
}
