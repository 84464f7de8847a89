#include "SkinTestSupport.h"

#include "IntParameter.h"
#include "NoteDisplay.h"
#include "PatternNumberDisplay.h"

using namespace SkinTest;

namespace
{
    class NoteDisplayTest  : public Fixture {};

    juce::String symbolsOf (const PatternNumberDisplay& display)
    {
        juce::StringArray symbols;

        for (int i = 0; i < display.getNumDigits(); ++i)
            symbols.add (juce::String (display.getDigit (i)->getSymbol()));

        return symbols.joinIntoString (" ");
    }
}

TEST_F (NoteDisplayTest, NoteShowsLetterSignAndOctaveFrames)
{
    struct Case { int note; bool noNote; int frames[3]; };
    const Case cases[] = {
        { 61, false, { 1, 1, 6 } }, { 64, false, { 3, 2, 6 } }, { 0, false, { 1, 2, 1 } },
        { 127, false, { 5, 2, 11 } }, { 61, true, { 8, 2, 12 } },
    };

    for (const auto& c : cases)
    {
        NoteDisplay display ("Note");
        display.setImages (makeStrip (10, 16, 9), makeStrip (10, 16, 3), makeStrip (10, 16, 13));
        ASSERT_EQ (display.getBounds(), juce::Rectangle<int> (0, 0, 30, 16));

        IntParameter note (0, "Note", 0, 127, c.note);
        display.updateFromParameter (&note);
        display.noNote = c.noNote;

        for (int part = 0; part < 3; ++part)
            EXPECT_EQ (frameShown (display, part * 10 + 2, 2), c.frames[part]) << c.note << " part " << part;

        display.setEnabled (false);

        for (int part = 0; part < 3; ++part)
            EXPECT_EQ (frameShown (display, part * 10 + 2, 2), 0) << "disabled";
    }
}

TEST_F (NoteDisplayTest, VerticalDragStepsTheNoteEveryTwentyPixels)
{
    auto panel = loadControls ("<NoteDisplay name=\"Note\"><size width=\"60\" height=\"20\"/><pos left=\"5\" top=\"6\"/></NoteDisplay>");
    auto* display = find<NoteDisplay> (*panel, "Note");
    ASSERT_NE (display, nullptr);
    EXPECT_EQ (display->getBounds(), juce::Rectangle<int> (5, 6, 60, 20));

    struct Case { int start; float dy; int note; };
    const Case cases[] = {
        { 60, -19, 60 }, { 60, -39, 61 }, { 60, -40, 62 }, { 60, 39, 59 }, { 1, 100, 0 }, { 126, -100, 127 },
    };

    for (const auto& c : cases)
    {
        IntParameter start (0, "Start", 0, 127, c.start);
        display->updateFromParameter (&start);

        const juce::Point<float> down (30, 50);
        display->mouseDown (mouseEvent (*display, down, juce::ModifierKeys::leftButtonModifier, down));
        display->mouseDrag (mouseEvent (*display, down.translated (0, c.dy), juce::ModifierKeys::leftButtonModifier, down));
        display->mouseUp (mouseEvent (*display, down.translated (0, c.dy), juce::ModifierKeys::leftButtonModifier, down));
        EXPECT_EQ (display->getNote(), c.note) << c.start << " " << c.dy;
    }
}

TEST_F (NoteDisplayTest, PatternNumberShowsItsNotation)
{
    using P = PatternNumberDisplay;

    // Symbols: 0 blank, 1..10 digits 0..9; first digit 11 "P."; second 11..17 "C".."B",
    // 18 "-"; third 11 "#", 12 "-".
    struct Case { P::Notation notation; int slotMax; int value; const char* symbols; };
    const Case cases[] = {
        { P::noteNotation, 12, 61, "11 11 11 6" }, { P::noteNotation, 12, 64, "11 13 12 6" },
        { P::noteNotation, 12, 200, "11 15 12 11" },
        { P::numericNotation, 12, 7, "0 1 8 0" }, { P::numericNotation, 12, 0, "0 1 2 0" },
        { P::bankAndSlotNotation, 12, 13, "3 18 1 2" }, { P::bankAndSlotNotation, 12, 96, "9 18 2 3" },
        { P::bankAndSlotNotation, 2, 5, "3 18 1 2" }, { P::bankAndSlotNotation, 20, 17, "3 18 1 2" },
    };

    for (const auto& c : cases)
    {
        P display ("Pattern");
        const juce::Image noStrips[4];
        display.createDigits (noStrips, 100, 40);
        display.setNotation (c.notation);
        display.setSlotMax (c.slotMax);
        display.setValue (c.value);
        EXPECT_EQ (symbolsOf (display), juce::String (c.symbols)) << c.notation << " " << c.value;

        display.setEnabled (false);
        EXPECT_EQ (symbolsOf (display), "0 0 0 0");
    }
}

TEST_F (NoteDisplayTest, PatternNumberDigitsComeFromTheSkin)
{
    auto panel = loadControls ("<PatternNumberDisplay name=\"Pattern\" slotMax=\"20\"><pos left=\"2\" top=\"3\"/>"
                               "<size width=\"80\" height=\"30\"/><gfx firstDigit=\"first.png\"/></PatternNumberDisplay>"
                               "<PatternNumberDisplay name=\"Bare\"/>",
                               { { "first.png", pngOf (makeStrip (12, 20, 12)) } });

    auto* display = find<PatternNumberDisplay> (*panel, "Pattern");
    ASSERT_NE (display, nullptr);
    ASSERT_EQ (display->getNumDigits(), 4);
    EXPECT_EQ (display->getBounds(), juce::Rectangle<int> (2, 3, 80, 30));

    const juce::Rectangle<int> digits[] = { { 0, 0, 12, 20 }, { 12, 0, 20, 30 }, { 32, 0, 20, 30 }, { 52, 0, 20, 30 } };

    for (int i = 0; i < 4; ++i)
        EXPECT_EQ (display->getDigit (i)->getBounds(), digits[i]) << i;

    EXPECT_EQ (frameShown (*display->getDigit (0)), 11);
    EXPECT_EQ (find<PatternNumberDisplay> (*panel, "Bare")->getNumDigits(), 0);
}
