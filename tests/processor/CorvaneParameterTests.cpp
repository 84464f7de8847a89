#include "CorvaneTestHelpers.h"

#include "CorvaneEditor.h"
#include "DelayCore.h"
#include "DelayEngine.h"
#include "TimeCurve.h"

using Ids = CorvaneParameterIds;

namespace
{
int lineId (int line, int index)     { return Ids::getLineParameterId (line, index); }
}

//==============================================================================
TEST_F (CorvaneTest, ANewInstanceSoundsLineOneAndItsViewShowsLineOne)
{
    auto& p = parameters();

    for (int line = 0; line < 4; ++line)
        EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (lineId (line, Ids::volume)), line == 0 ? 0.75f : 0.0f);

    for (int i = 0; i < Ids::numLineParameters; ++i)
    {
        EXPECT_EQ (p.getParameterText (i), p.getParameterText (lineId (0, i))) << i;
        EXPECT_EQ (p.getParameterText (lineId (3, i)), i == Ids::volume ? p.getParameterText (lineId (3, i))
                                                                        : p.getParameterText (lineId (0, i))) << i;
    }

    EXPECT_EQ (p.getParameterName (2039), "Line 2 Feedback");
    EXPECT_EQ (processor->getSelectedLine(), 0);
    EXPECT_EQ (processor->getClipboardLine(), -1);
    EXPECT_EQ (processor->getName(), "Corvane");
    EXPECT_EQ (processor->getProductCode(), "CV");
    EXPECT_TRUE (processor->acceptsMidi());
    EXPECT_FALSE (processor->producesMidi());
    EXPECT_EQ (processor->getTailLengthSeconds(), 0.0);
}

TEST_F (CorvaneTest, TheTimeKnobsStartWhereTheLinearTimesAreAndTheHostIsToldSo)
{
    auto& p = parameters();
    EXPECT_NEAR (p.getParameterNormalisedValue (lineId (0, Ids::delayLeftTime)), 0.4993f, 0.0001f);
    EXPECT_NEAR (p.getParameterNormalisedValue (Ids::delayRightTime), 0.4993f, 0.0001f);
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (lineId (2, Ids::preDelayLeftTime)), 0.0f);

    // Host slot 47 holds "Line 1 Delay Left Time" in the built-in map.
    ASSERT_NE (processor->getHostSlotParameter (46), nullptr);
    EXPECT_EQ (processor->getHostSlotParameter (46)->getName(), "Line 1 Delay Left Time");
    EXPECT_NEAR (processor->getParameterDefaultValue (46), 0.4993f, 0.0001f);

    // Slot 88 holds line 2's volume, which starts silent.
    EXPECT_FLOAT_EQ (processor->getParameterDefaultValue (87), 0.0f);
}

TEST_F (CorvaneTest, ValueTextsOfTheFreshInstance)
{
    EXPECT_EQ (processor->getParameterValueText (lineId (0, Ids::delayLeftTimeLinear)), "32.00 ms");
    EXPECT_EQ (processor->getParameterValueText (lineId (0, Ids::delayLeftTime)), "32.00 ms");
    EXPECT_EQ (processor->getParameterValueText (lineId (0, Ids::volume)), "+0.0 dB");
    EXPECT_EQ (processor->getParameterValueText (lineId (1, Ids::volume)), "-inf.");
    EXPECT_EQ (processor->getParameterValueText (lineId (0, Ids::delayLeftNumerator)), "3/16");
    EXPECT_EQ (processor->getParameterValueText (lineId (0, Ids::delayRightDenominator)), "3/16");
    EXPECT_EQ (processor->getParameterValueText (lineId (0, Ids::preDelayLeftNumerator)), "0/16");
    EXPECT_EQ (processor->getParameterValueText (lineId (0, Ids::feedback)), "0 %");
    EXPECT_EQ (processor->getParameterValueText (lineId (0, Ids::feedbackHold)), "@");
    EXPECT_EQ (processor->getParameterValueText (lineId (0, Ids::stereoSpread)), "No spread");
    EXPECT_EQ (processor->getParameterValueText (lineId (0, Ids::panning)), "50/50 % (L/R)");
    EXPECT_EQ (processor->getParameterValueText (Ids::fxAmount), "50/50 % (Dry/Wet)");
    EXPECT_EQ (processor->getParameterValueText (Ids::masterVolume), "+0.0 dB");
    EXPECT_EQ (processor->getParameterValueText (Ids::lfo1Frequency), "0.71 Hz");
    EXPECT_EQ (processor->getParameterValueText (Ids::env1Sustain + 20), "50%");
    EXPECT_EQ (processor->getParameterValueText (Ids::env1Hold), "500 ms");
    EXPECT_EQ (processor->getParameterValueText (Ids::limiterThreshold), "0.00 dB");
    EXPECT_EQ (processor->getParameterValueText (Ids::tapButtonRight), "@");

    // Ids without a text of their own give the parameter's text; view ids among them.
    EXPECT_EQ (processor->getParameterValueText (Ids::volume), "0.75");
    EXPECT_EQ (processor->getParameterValueText (Ids::mod1RetriggerChannel), "omni");
    EXPECT_EQ (processor->getParameterValueText (Ids::realtimeQuality), "Normal");
    EXPECT_EQ (processor->getParameterValueText (lineId (0, Ids::filterType)), "Off");
}

TEST_F (CorvaneTest, ValueTextsFollowTheirValues)
{
    auto& p = parameters();
    p.setParameterNormalisedValue (lineId (2, Ids::overdrivePreamp), 1.0f);
    p.setParameterNormalisedValue (lineId (2, Ids::overdriveColor), 0.8f);
    p.setParameterNormalisedValue (lineId (2, Ids::overdriveGain), 0.5f);
    p.setParameterNormalisedValue (lineId (2, Ids::modulationTremolo), 0.42f);
    p.setParameterIntValue (lineId (2, Ids::delayRightNumerator), 5);
    p.setParameterNormalisedValue (Ids::env1Decay + 20, 1.0f);
    p.setParameterNormalisedValue (Ids::lfo1PhaseShift, 0.25f);

    EXPECT_EQ (processor->getParameterValueText (lineId (2, Ids::overdrivePreamp)), "+12.00 dB");
    EXPECT_EQ (processor->getParameterValueText (lineId (2, Ids::overdriveColor)), "+60 %");
    EXPECT_EQ (processor->getParameterValueText (lineId (2, Ids::overdriveGain)), "-12.00 dB");
    EXPECT_EQ (processor->getParameterValueText (lineId (2, Ids::modulationTremolo)), "42 %");
    EXPECT_EQ (processor->getParameterValueText (lineId (2, Ids::delayRightDenominator)), "5/16");
    EXPECT_EQ (processor->getParameterValueText (Ids::env1Release + 20), "4.0 s");
    EXPECT_EQ (processor->getParameterValueText (Ids::env1Decay + 20), "20.0 s");
    EXPECT_EQ (processor->getParameterValueText (Ids::lfo1PhaseShift), "45.0 deg");
}

TEST_F (CorvaneTest, StereoSpreadNamesTheSideByTheLinesDelayAndChannelMode)
{
    auto& p = parameters();
    const auto& core = processor->getEngine().getDelayCore (1);
    const auto delayMs = core.lengthL * 1000.0 / 44100.0;

    p.setParameterNormalisedValue (lineId (1, Ids::stereoSpread), 0.75f);
    const auto expected = juce::String ((delayMs + 0.1) * 0.25, 2) + " ms";
    EXPECT_EQ (processor->getParameterValueText (lineId (1, Ids::stereoSpread)), "Right " + expected);

    p.setParameterText (lineId (1, Ids::channelMode), "M/S");
    EXPECT_EQ (processor->getParameterValueText (lineId (1, Ids::stereoSpread)), "Side " + expected);
}

TEST_F (CorvaneTest, TheHostListsLinearTimesUnderTheirKnobsAndDurationsAsOne)
{
    EXPECT_EQ (processor->getParameterDisplayName (2015), "Line 2 Delay Left Time");
    EXPECT_EQ (processor->getParameterDisplayName (4028), "Line 4 Pre-delay Right Time");
    EXPECT_EQ (processor->getParameterDisplayName (2020), "Line 2 Delay Left Duration");
    EXPECT_EQ (processor->getParameterDisplayName (1021), "Line 1 Delay Right Duration");
    EXPECT_EQ (processor->getParameterDisplayName (3031), "Line 3 Pre-delay Left Duration");
    EXPECT_EQ (processor->getParameterDisplayName (3034), "Line 3 Pre-delay Right Duration");
    EXPECT_EQ (processor->getParameterDisplayName (3039), "Line 3 Feedback");
    EXPECT_EQ (processor->getParameterDisplayName (15), "Delay Left Time Linear");
    EXPECT_EQ (processor->getParameterDisplayName (89), "FX Amount");
}

//==============================================================================
TEST_F (CorvaneTest, TheViewForwardsToTheSelectedLine)
{
    auto& p = parameters();
    p.setParameterIntValue (Ids::selectedLineNumber, 3);
    p.setParameterNormalisedValue (Ids::feedback, 0.9f);

    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (lineId (2, Ids::feedback)), 0.9f);
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (lineId (0, Ids::feedback)), 0.5f);
    EXPECT_NEAR (processor->getEngine().getDelayCore (2).feedback, 0.8f, 1e-6f);

    // A line that is not selected changes without the view; selecting it shows it.
    p.setParameterNormalisedValue (lineId (1, Ids::feedback), 0.2f);
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (Ids::feedback), 0.9f);
    p.setParameterIntValue (Ids::selectedLineNumber, 2);
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (Ids::feedback), 0.2f);
}

TEST_F (CorvaneTest, TimeKnobAndLinearTimeFollowEachOtherAndSettle)
{
    auto& p = parameters();
    ChangeCounter knobChanges, linearChanges;
    p.addParameterListener (lineId (0, Ids::delayLeftTime), &knobChanges);
    p.addParameterListener (lineId (0, Ids::delayLeftTimeLinear), &linearChanges);

    p.setParameterNormalisedValue (lineId (0, Ids::delayLeftTime), 0.5f);
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (lineId (0, Ids::delayLeftTime)), 0.5f);
    EXPECT_NEAR (p.getParameterValue (lineId (0, Ids::delayLeftTimeLinear)), 32.16f, 0.01f);
    EXPECT_EQ (knobChanges.count, 1);
    EXPECT_EQ (linearChanges.count, 1);

    // Whatever the starting value, the exchange ends with the two in step.
    for (int i = 0; i <= 2000; ++i)
    {
        const auto knob = (float) i / 2000.0f;
        p.setParameterNormalisedValue (lineId (3, Ids::preDelayRightTime), knob);
        const auto linear = p.getParameterNormalisedValue (lineId (3, Ids::preDelayRightTimeLinear));
        EXPECT_NEAR (linear, knobToTime (knob), 1e-5) << knob;

        p.setParameterValue (lineId (3, Ids::delayLeftTimeLinear), 0.1f + knob * 999.9f);
        EXPECT_NEAR (p.getParameterNormalisedValue (lineId (3, Ids::delayLeftTime)),
                     timeToKnob (p.getParameterNormalisedValue (lineId (3, Ids::delayLeftTimeLinear))), 1e-5) << knob;
    }
}

TEST_F (CorvaneTest, TheLfoClockRateCombinesRateAndScale)
{
    auto& p = parameters();
    p.setParameterText (Ids::lfo2Rate, "1/16");
    p.setParameterText (Ids::lfo2RhythmicScale, "Triplet");
    EXPECT_DOUBLE_EQ (processor->getEngine().getModulators().getLfoTempoRate (1), 6.0);

    p.setParameterText (Ids::lfo1Rate, "2");
    p.setParameterText (Ids::lfo1RhythmicScale, "Dot");
    EXPECT_DOUBLE_EQ (processor->getEngine().getModulators().getLfoTempoRate (0), 1.0 / 8.0 * 2.0 / 3.0);
}

TEST_F (CorvaneTest, RetriggerSettingsAreClamped)
{
    auto& p = parameters();
    auto* channel = p.getParameter (Ids::mod1RetriggerChannel);
    auto* note = p.getParameter (Ids::mod2RetriggerNote);

    // The parameters clamp already; the processor's copies clamp as well.
    channel->setIntValue (20, true);
    note->setIntValue (200, true);
    EXPECT_EQ (channel->getIntValue(), 16);
    EXPECT_EQ (note->getIntValue(), 127);
}

TEST_F (CorvaneTest, QualityChangesApplyOnlyInTheirOwnMode)
{
    auto& p = parameters();
    p.setParameterText (Ids::realtimeQuality, "Ultra");
    EXPECT_EQ (processor->getEngineQuality(), 3);

    p.setParameterText (Ids::offlineQuality, "Low");
    EXPECT_EQ (processor->getEngineQuality(), 3);       // still real-time

    processor->setNonRealtime (true);
    processor->prepareToPlay (44100.0, 512);
    EXPECT_EQ (processor->getEngineQuality(), 0);

    p.setParameterText (Ids::realtimeQuality, "High");
    EXPECT_EQ (processor->getEngineQuality(), 0);       // offline now

    processor->setNonRealtime (false);
    processor->prepareToPlay (44100.0, 512);
    EXPECT_EQ (processor->getEngineQuality(), 2);
}

//==============================================================================
TEST_F (CorvaneTest, CopyAndPasteALine)
{
    auto& p = parameters();
    auto* editor = dynamic_cast<CorvaneEditor*> (processor->getEditor());
    ASSERT_NE (editor, nullptr);

    // An empty clipboard pastes nothing and tells nobody.
    processor->pasteClipboardToLine (2);
    EXPECT_EQ (editor->getNumLineDisplayRefreshes(), 0);

    p.setParameterNormalisedValue (lineId (0, Ids::feedback), 0.9f);
    p.setParameterNormalisedValue (lineId (0, Ids::mute), 1.0f);
    p.setParameterText (lineId (0, Ids::filterType), "BP");
    p.setParameterIntValue (Ids::line1TimePanel, 1);

    processor->copyLineToClipboard (0);
    EXPECT_EQ (processor->getClipboardLine(), 0);
    EXPECT_EQ (editor->getNumLineDisplayRefreshes(), 1);

    processor->pasteClipboardToLine (2);
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (lineId (2, Ids::feedback)), 0.9f);
    EXPECT_EQ (p.getParameterText (lineId (2, Ids::filterType)), "BP");
    EXPECT_EQ (p.getParameterText (lineId (2, Ids::mute)), "off");            // mute, panning, volume stay
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (lineId (2, Ids::volume)), 0.0f);
    EXPECT_EQ (p.getParameterIntValue (Ids::line1TimePanel + 2), 1);
    EXPECT_EQ (processor->getClipboardLine(), -1);
    EXPECT_EQ (editor->getNumLineDisplayRefreshes(), 2);

    // The pasted line is selected, through the parameter that shows the selection.
    EXPECT_EQ (processor->getSelectedLine(), 2);
    EXPECT_EQ (p.getParameterIntValue (Ids::selectedLineNumber), 3);
    EXPECT_EQ (p.getParameterText (Ids::filterType), "BP");

    // Selecting the old line again works at once.
    p.setParameterIntValue (Ids::selectedLineNumber, 1);
    EXPECT_EQ (processor->getSelectedLine(), 0);

    // A clipboard is pasted once.
    p.setParameterNormalisedValue (lineId (0, Ids::feedback), 0.1f);
    processor->pasteClipboardToLine (1);
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (lineId (1, Ids::feedback)), 0.5f);
    EXPECT_EQ (editor->getNumLineDisplayRefreshes(), 2);
}

TEST_F (CorvaneTest, TheEditorFollowsTheProcessorsPadlocks)
{
    auto* editor = dynamic_cast<CorvaneEditor*> (processor->getEditor());
    ASSERT_NE (editor, nullptr);
    EXPECT_FALSE (processor->getPadlock (4).isLocked());
    EXPECT_TRUE (processor->getPadlock (4).isIndexLocked (Ids::fxAmount));
    EXPECT_TRUE (processor->getPadlock (2).isIndexLocked (3046));
    EXPECT_FALSE (processor->getPadlock (2).isIndexLocked (3047));
}

TEST_F (CorvaneTest, GesturesOnTheViewReachTheSelectedLinesCopy)
{
    struct GestureCounter  : Parameter::Listener
    {
        void parameterChanged (Parameter*) override {}
        void parameterGestureBegan (Parameter* p) override  { began.add (p->getIndex()); }
        void parameterGestureEnded (Parameter* p) override  { ended.add (p->getIndex()); }
        juce::Array<int> began, ended;
    } gestures;

    parameters().addParameterListener (lineId (1, Ids::feedback), &gestures);
    parameters().setParameterIntValue (Ids::selectedLineNumber, 2);

    auto* view = parameters().getParameter (Ids::feedback);
    view->beginChangeGesture();
    view->endChangeGesture();

    EXPECT_EQ (gestures.began, juce::Array<int> ({ lineId (1, Ids::feedback) }));
    EXPECT_EQ (gestures.ended, juce::Array<int> ({ lineId (1, Ids::feedback) }));
}
