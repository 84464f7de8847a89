#include <AnswerParameter.h>
#include <EnumParameter.h>
#include <FloatParameter.h>
#include <LogicParameter.h>
#include <NoteParameter.h>
#include <StateParameter.h>
#include <StringParameter.h>

#include <gtest/gtest.h>

#include <limits>

namespace
{
    constexpr auto notANumber = std::numeric_limits<float>::quiet_NaN();

    std::unique_ptr<Parameter> cloneOf (const Parameter& p, int index, const char* name)
    {
        return std::unique_ptr<Parameter> (p.clone (index, name));
    }
}

//==============================================================================
TEST (FloatParameter, TextsHaveNineSignificantDigits)
{
    FloatParameter p (0, "p", 0.0f, 1000.0f, 0.5f);
    EXPECT_EQ (p.getText(), "0.5");

    p.setValue (1000.0f, false);
    EXPECT_EQ (p.getText(), "1000");

    p.setValue (0.1f, false);
    EXPECT_EQ (p.getText(), "0.100000001");

    p.setValue (0.0f, false);
    EXPECT_EQ (p.getText(), "0");
}

TEST (FloatParameter, Conversions)
{
    FloatParameter p (0, "p", 0.1f, 1000.0f, 32.0f);
    EXPECT_FLOAT_EQ (p.getValue(), 32.0f);
    EXPECT_FLOAT_EQ (p.getNormalisedValue(), (32.0f - 0.1f) / (1000.0f - 0.1f));
    EXPECT_EQ (p.getIntValue(), 32);

    p.setValue (2.9f, false);
    EXPECT_EQ (p.getIntValue(), 2);

    FloatParameter unit (0, "u", 0.0f, 1.0f, 0.5f);
    EXPECT_TRUE (unit.getBoolValue());
    unit.setValue (0.49f, false);
    EXPECT_FALSE (unit.getBoolValue());

    FloatParameter negative (0, "n", -10.0f, 10.0f, -2.7f);
    EXPECT_EQ (negative.getIntValue(), -2);
}

TEST (FloatParameter, SettersClampToTheRange)
{
    FloatParameter p (0, "p", 0.1f, 1000.0f, 32.0f);

    p.setValue (2000.0f, false);
    EXPECT_FLOAT_EQ (p.getValue(), 1000.0f);
    p.setValue (-5.0f, false);
    EXPECT_FLOAT_EQ (p.getValue(), 0.1f);

    p.setNormalisedValue (1.5f, false);
    EXPECT_FLOAT_EQ (p.getValue(), 1000.0f);
    p.setNormalisedValue (0.5f, false);
    EXPECT_FLOAT_EQ (p.getValue(), (1000.0f - 0.1f) * 0.5f + 0.1f);

    p.setIntValue (7, false);
    EXPECT_FLOAT_EQ (p.getValue(), 7.0f);
    p.setIntValue (std::numeric_limits<int>::max(), false);
    EXPECT_FLOAT_EQ (p.getValue(), 1000.0f);

    p.setBoolValue (false, false);
    EXPECT_FLOAT_EQ (p.getValue(), 0.1f);
    p.setBoolValue (true, false);
    EXPECT_FLOAT_EQ (p.getValue(), 1000.0f);

    p.setText ("12.5", false);
    EXPECT_FLOAT_EQ (p.getValue(), 12.5f);
    p.setText ("no number", false);
    EXPECT_FLOAT_EQ (p.getValue(), 0.1f);
    p.setText ("1e300", false);
    EXPECT_FLOAT_EQ (p.getValue(), 1000.0f);
}

TEST (FloatParameter, NaNGivesTheMinimumOrZeroNormalised)
{
    FloatParameter p (0, "p", -1.0f, 1.0f, 0.5f);
    p.setValue (notANumber, false);
    EXPECT_FLOAT_EQ (p.getValue(), -1.0f);

    p.setValue (0.5f, false);
    p.setNormalisedValue (notANumber, false);
    EXPECT_FLOAT_EQ (p.getValue(), -1.0f);
}

TEST (FloatParameter, EmptyRangeNormalisesToZero)
{
    FloatParameter p (0, "p", 3.0f, 3.0f, 3.0f);
    EXPECT_EQ (p.getNormalisedValue(), 0.0f);
}

//==============================================================================
TEST (IntParameter, NormalisedValuesRoundToTheNearestStepHalvesUp)
{
    IntParameter p (0, "p", -12, 12, 0);

    p.setNormalisedValue (0.5f, false);
    EXPECT_EQ (p.getIntValue(), 0);
    p.setNormalisedValue (0.52f, false);
    EXPECT_EQ (p.getIntValue(), 0);
    p.setNormalisedValue (0.53f, false);
    EXPECT_EQ (p.getIntValue(), 1);
    p.setNormalisedValue (1.0f, false);
    EXPECT_EQ (p.getIntValue(), 12);
    p.setNormalisedValue (-3.0f, false);
    EXPECT_EQ (p.getIntValue(), -12);
    p.setNormalisedValue (notANumber, false);
    EXPECT_EQ (p.getIntValue(), -12);

    IntParameter halves (0, "h", 0, 1, 0);
    halves.setNormalisedValue (0.5f, false);
    EXPECT_EQ (halves.getIntValue(), 1);
}

TEST (IntParameter, Conversions)
{
    IntParameter p (0, "p", 1, 32, 16);
    EXPECT_FLOAT_EQ (p.getValue(), 16.0f);
    EXPECT_FLOAT_EQ (p.getNormalisedValue(), 15.0f / 31.0f);
    EXPECT_EQ (p.getText(), "16");
    EXPECT_TRUE (p.getBoolValue());

    p.setIntValue (1, false);
    EXPECT_FALSE (p.getBoolValue());

    p.setBoolValue (true, false);
    EXPECT_EQ (p.getIntValue(), 32);
    p.setBoolValue (false, false);
    EXPECT_EQ (p.getIntValue(), 1);
}

TEST (IntParameter, PlainValuesAreTruncatedThenClamped)
{
    IntParameter p (0, "p", -12, 12, 0);

    p.setValue (2.7f, false);
    EXPECT_EQ (p.getIntValue(), 2);
    p.setValue (-2.7f, false);
    EXPECT_EQ (p.getIntValue(), -2);
    p.setValue (100.0f, false);
    EXPECT_EQ (p.getIntValue(), 12);

    // Values no int can hold, and NaN, are clamped before any conversion.
    p.setValue (1.0e30f, false);
    EXPECT_EQ (p.getIntValue(), 12);
    p.setValue (-std::numeric_limits<float>::infinity(), false);
    EXPECT_EQ (p.getIntValue(), -12);
    p.setValue (5.0f, false);
    p.setValue (notANumber, false);
    EXPECT_EQ (p.getIntValue(), -12);
}

TEST (IntParameter, TextsAreReadLikeAtoi)
{
    IntParameter p (0, "p", 0, 32, 0);

    p.setText ("7 steps", false);
    EXPECT_EQ (p.getIntValue(), 7);
    p.setText ("3.9", false);
    EXPECT_EQ (p.getIntValue(), 3);
    p.setText ("nothing", false);
    EXPECT_EQ (p.getIntValue(), 0);
    p.setText ("99999999999", false);
    EXPECT_EQ (p.getIntValue(), 32);
}

TEST (IntParameter, EmptyRangeNormalisesToZeroAndExtremeRangesDoNotOverflow)
{
    IntParameter empty (0, "p", 5, 5, 5);
    EXPECT_EQ (empty.getNormalisedValue(), 0.0f);
    empty.setNormalisedValue (0.7f, false);
    EXPECT_EQ (empty.getIntValue(), 5);

    IntParameter wide (0, "w", std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 0);
    wide.setNormalisedValue (1.0f, false);
    EXPECT_EQ (wide.getIntValue(), std::numeric_limits<int>::max());
    EXPECT_FLOAT_EQ (wide.getNormalisedValue(), 1.0f);
    wide.setNormalisedValue (0.0f, false);
    EXPECT_EQ (wide.getIntValue(), std::numeric_limits<int>::min());
}

//==============================================================================
TEST (NoteParameter, TextsAreNoteNames)
{
    NoteParameter p (0, "n", 60);
    EXPECT_EQ (p.getText(), "C-5");
    EXPECT_EQ (p.getMinimum(), 0);
    EXPECT_EQ (p.getMaximum(), 127);

    p.setText ("D#5", false);
    EXPECT_EQ (p.getIntValue(), 63);
}

TEST (NoteParameter, OtherTextsAreNormalisedValues)
{
    NoteParameter p (0, "n", 60);

    p.setText ("c-5", false);
    EXPECT_EQ (p.getIntValue(), 0);

    p.setText ("0.5", false);
    EXPECT_EQ (p.getIntValue(), 64);
}

TEST (NoteParameter, StartingValueIsClamped)
{
    EXPECT_EQ (NoteParameter (0, "n", 200).getIntValue(), 127);
    EXPECT_EQ (NoteParameter (0, "n", -4).getIntValue(), 0);
}

//==============================================================================
TEST (EnumParameter, ItemsSetTheRange)
{
    EnumParameter p (0, "e", 0, "Off;LP;BP;HP");
    EXPECT_EQ (p.getMinimum(), 0);
    EXPECT_EQ (p.getMaximum(), 3);
    EXPECT_EQ (p.getItems(), juce::StringArray ({ "Off", "LP", "BP", "HP" }));
    EXPECT_EQ (p.getItemList(), "Off;LP;BP;HP");
    EXPECT_EQ (p.getText(), "Off");

    EXPECT_EQ (EnumParameter (0, "e", 3, "Off;LP;BP;HP").getText(), "HP");
    EXPECT_EQ (EnumParameter (0, "e", 9, "Off;LP;BP;HP").getText(), "HP");
}

TEST (EnumParameter, TextsChooseItemsOrAreNormalisedValues)
{
    EnumParameter p (0, "e", 0, "Off;LP;BP;HP");

    p.setText ("BP", false);
    EXPECT_EQ (p.getIntValue(), 2);

    p.setText ("1", false);
    EXPECT_EQ (p.getIntValue(), 3);
    EXPECT_EQ (p.getText(), "HP");

    p.setText ("bp", false);
    EXPECT_EQ (p.getIntValue(), 0);
}

TEST (EnumParameter, EmptyItemsAndTokens)
{
    EnumParameter empty (0, "e", 1, "");
    EXPECT_EQ (empty.getMinimum(), 0);
    EXPECT_EQ (empty.getMaximum(), 1);
    EXPECT_EQ (empty.getIntValue(), 1);
    EXPECT_TRUE (empty.getText().isEmpty());

    EnumParameter gaps (0, "g", 0, "a;;c");
    EXPECT_EQ (gaps.getItems().size(), 3);
    EXPECT_EQ (gaps.getMaximum(), 2);
    gaps.setIntValue (1, false);
    EXPECT_TRUE (gaps.getText().isEmpty());
}

TEST (EnumParameter, SingleItemNormalisesToZero)
{
    EnumParameter p (0, "e", 0, "only");
    EXPECT_EQ (p.getMaximum(), 0);
    EXPECT_EQ (p.getNormalisedValue(), 0.0f);
    EXPECT_EQ (p.getText(), "only");
}

TEST (EnumParameter, ShorterItemListsClampTheValue)
{
    EnumParameter p (0, "e", 0, "a;b;c;d");
    p.setIntValue (3, false);

    p.setItems ("a;b");
    EXPECT_EQ (p.getMaximum(), 1);
    EXPECT_EQ (p.getIntValue(), 1);
    EXPECT_EQ (p.getText(), "b");
}

//==============================================================================
TEST (StringParameter, NumbersAreReadFromTheText)
{
    StringParameter p (0, "s", "0.25");
    EXPECT_FLOAT_EQ (p.getValue(), 0.25f);
    EXPECT_FLOAT_EQ (p.getNormalisedValue(), 0.25f);

    p.setText ("2", false);
    EXPECT_FLOAT_EQ (p.getNormalisedValue(), 1.0f);
    p.setText ("Default", false);
    EXPECT_FLOAT_EQ (p.getValue(), 0.0f);
    EXPECT_FLOAT_EQ (p.getNormalisedValue(), 0.0f);
    p.setText ("12abc", false);
    EXPECT_EQ (p.getIntValue(), 12);
}

TEST (StringParameter, SettersWriteTexts)
{
    StringParameter p (0, "s", "Default");

    p.setValue (0.1f, false);
    EXPECT_EQ (p.getText(), "0.1");
    p.setNormalisedValue (0.5f, false);
    EXPECT_EQ (p.getText(), "0.5");
    p.setIntValue (-3, false);
    EXPECT_EQ (p.getText(), "-3");
    p.setBoolValue (true, false);
    EXPECT_EQ (p.getText(), "true");
    EXPECT_TRUE (p.getBoolValue());
    p.setBoolValue (false, false);
    EXPECT_EQ (p.getText(), "false");
    EXPECT_FALSE (p.getBoolValue());

    const StateParameter source (1, "t", "on");
    p.setValueFrom (source, false);
    EXPECT_EQ (p.getText(), "on");
}

//==============================================================================
TEST (BoolParameter, TextsAndNumbers)
{
    BoolParameter p (0, "b", "false");
    EXPECT_EQ (p.getText(), "false");

    for (auto* t : { "true", "1", "on", "yes", "0.7" })
    {
        p.setBoolValue (false, false);
        p.setText (t, false);
        EXPECT_TRUE (p.getBoolValue()) << t;
        EXPECT_EQ (p.getText(), "true");
    }

    for (auto* t : { "false", "0", "off", "no", "0.2", "TRUE", "Yes" })
    {
        p.setBoolValue (true, false);
        p.setText (t, false);
        EXPECT_FALSE (p.getBoolValue()) << t;
    }
}

TEST (BoolParameter, ValuesAreExactlyZeroOrOne)
{
    BoolParameter p (0, "b", "false");

    p.setValue (-3.0f, false);
    EXPECT_EQ (p.getIntValue(), 1);
    EXPECT_FLOAT_EQ (p.getValue(), 1.0f);
    p.setValue (notANumber, false);
    EXPECT_EQ (p.getIntValue(), 0);

    p.setNormalisedValue (0.5f, false);
    EXPECT_EQ (p.getIntValue(), 1);
    p.setNormalisedValue (0.49f, false);
    EXPECT_EQ (p.getIntValue(), 0);
    p.setNormalisedValue (notANumber, false);
    EXPECT_EQ (p.getIntValue(), 0);

    p.setIntValue (42, false);
    EXPECT_EQ (p.getIntValue(), 1);
    EXPECT_FLOAT_EQ (p.getNormalisedValue(), 1.0f);
}

TEST (BoolParameter, TheThreeSpellings)
{
    StateParameter state (0, "s", "Off");
    EXPECT_EQ (state.getText(), "off");
    state.setText ("ON", false);
    EXPECT_TRUE (state.getBoolValue());
    EXPECT_EQ (state.getText(), "on");
    state.setText ("oFF", false);
    EXPECT_FALSE (state.getBoolValue());
    state.setText ("yes", false);
    EXPECT_TRUE (state.getBoolValue());

    EXPECT_TRUE (StateParameter (0, "s", "On").getBoolValue());

    AnswerParameter answer (0, "a", "yes");
    EXPECT_EQ (answer.getText(), "yes");
    answer.setText ("YES", false);
    EXPECT_EQ (answer.getText(), "no");

    LogicParameter logic (0, "l", "1");
    EXPECT_EQ (logic.getText(), "1");
    logic.setText ("off", false);
    EXPECT_EQ (logic.getText(), "0");
}

//==============================================================================
TEST (ParameterClone, CopiesKindRangeValueAndFlagButNotIdentity)
{
    struct Counter  : public Parameter::Listener
    {
        void parameterChanged (Parameter*) override   { ++calls; }
        int calls = 0;
    } counter;

    FloatParameter panning (1, "Panning", 0.0f, 1.0f, 0.25f);
    panning.setAutomatable (true);
    panning.addListener (&counter);
    panning.addAsyncListener (&counter);

    const auto copy = cloneOf (panning, 1001, "Line 1 Panning");
    auto* f = dynamic_cast<FloatParameter*> (copy.get());
    ASSERT_NE (f, nullptr);
    EXPECT_EQ (f->getIndex(), 1001);
    EXPECT_EQ (f->getName(), "Line 1 Panning");
    EXPECT_FLOAT_EQ (f->getMinimum(), 0.0f);
    EXPECT_FLOAT_EQ (f->getMaximum(), 1.0f);
    EXPECT_FLOAT_EQ (f->getValue(), 0.25f);
    EXPECT_TRUE (f->isAutomatable());

    // A per-line copy must not report its changes to the original's listeners.
    f->setValue (0.75f, true);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_EQ (counter.calls, 0);
    EXPECT_FLOAT_EQ (panning.getValue(), 0.25f);
}

TEST (ParameterClone, EveryKindClonesToItself)
{
    IntParameter i (19, "i", 1, 32, 3);
    NoteParameter n (102, "n", 36);
    EnumParameter e (10, "e", 0, "Off;LP;BP;HP");
    e.setIntValue (2, false);
    StringParameter s (97, "s", "Preset A");
    BoolParameter b (40, "b", "true");
    StateParameter st (0, "st", "On");
    AnswerParameter a (1, "a", "yes");
    LogicParameter l (2, "l", "1");

    EXPECT_NE (dynamic_cast<IntParameter*> (cloneOf (i, 1, "x").get()), nullptr);
    EXPECT_EQ (cloneOf (i, 1, "x")->getIntValue(), 3);

    const auto nc = cloneOf (n, 1, "x");
    EXPECT_NE (dynamic_cast<NoteParameter*> (nc.get()), nullptr);
    EXPECT_EQ (nc->getText(), "C-3");

    const auto ec = cloneOf (e, 1, "x");
    auto* enumCopy = dynamic_cast<EnumParameter*> (ec.get());
    ASSERT_NE (enumCopy, nullptr);
    EXPECT_EQ (enumCopy->getItems(), e.getItems());
    EXPECT_EQ (enumCopy->getMaximum(), 3);
    EXPECT_EQ (enumCopy->getText(), "BP");

    const auto sc = cloneOf (s, 1, "x");
    EXPECT_NE (dynamic_cast<StringParameter*> (sc.get()), nullptr);
    EXPECT_EQ (sc->getText(), "Preset A");

    EXPECT_EQ (cloneOf (b, 1, "x")->getText(), "true");
    EXPECT_EQ (cloneOf (st, 1, "x")->getText(), "on");
    EXPECT_EQ (cloneOf (a, 1, "x")->getText(), "yes");
    EXPECT_EQ (cloneOf (l, 1, "x")->getText(), "1");
}
