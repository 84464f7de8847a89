#include <MidiNoteNames.h>

#include <gtest/gtest.h>

TEST (MidiNoteNames, NamesOfNotes)
{
    EXPECT_EQ (getMidiNoteName (0), "C-0");
    EXPECT_EQ (getMidiNoteName (1), "C#0");
    EXPECT_EQ (getMidiNoteName (4), "E-0");
    EXPECT_EQ (getMidiNoteName (5), "F-0");
    EXPECT_EQ (getMidiNoteName (60), "C-5");
    EXPECT_EQ (getMidiNoteName (63), "D#5");
    EXPECT_EQ (getMidiNoteName (69), "A-5");
    EXPECT_EQ (getMidiNoteName (119), "B-9");
    EXPECT_EQ (getMidiNoteName (120), "C-H");
    EXPECT_EQ (getMidiNoteName (127), "G-H");
}

TEST (MidiNoteNames, NotesBeyondTheRangeHaveNoName)
{
    EXPECT_TRUE (getMidiNoteName (128).isEmpty());
    EXPECT_TRUE (getMidiNoteName ((juce::uint32) -1).isEmpty());
}

TEST (MidiNoteNames, ParsingNames)
{
    EXPECT_EQ (parseMidiNoteName ("C-5"), 60);
    EXPECT_EQ (parseMidiNoteName ("C-0"), 0);
    EXPECT_EQ (parseMidiNoteName ("D#5"), 63);
    EXPECT_EQ (parseMidiNoteName ("C-2"), 24);
    EXPECT_EQ (parseMidiNoteName ("C-3"), 36);
    EXPECT_EQ (parseMidiNoteName ("G-H"), 127);
}

TEST (MidiNoteNames, SharpsOfEAndBAreTheNotesThemselves)
{
    EXPECT_EQ (parseMidiNoteName ("E#4"), 52);
    EXPECT_EQ (parseMidiNoteName ("E-4"), 52);
    EXPECT_EQ (parseMidiNoteName ("B#3"), 47);
}

TEST (MidiNoteNames, NamesAboveTheTopNoteAreCapped)
{
    EXPECT_EQ (parseMidiNoteName ("G#H"), 127);
    EXPECT_EQ (parseMidiNoteName ("A-H"), 127);
    EXPECT_EQ (parseMidiNoteName ("A#H"), 127);
    EXPECT_EQ (parseMidiNoteName ("B-H"), 127);
}

TEST (MidiNoteNames, TextsThatAreNoNoteName)
{
    for (auto* text : { "c-5", "C5", "C-10", "", "C", "H-5", "C+5", "C-h", "C-A", "0.5", "C-5 " })
        EXPECT_EQ (parseMidiNoteName (text), -1) << text;

    // Three code points, not three bytes.
    EXPECT_EQ (parseMidiNoteName (juce::String (juce::CharPointer_UTF8 ("C-\xc3\xa9"))), -1);
}

TEST (MidiNoteNames, EveryNameReadsBackAsItsNote)
{
    for (juce::uint32 note = 0; note < 128; ++note)
        EXPECT_EQ (parseMidiNoteName (getMidiNoteName (note)), (int) note);
}

TEST (MidiNoteNames, LettersAndNaturalsOfNotes)
{
    struct Case { int note; int letterIndex; const char* letter; bool natural; };
    const Case cases[] = {
        { 0, 0, "C", true }, { 1, 0, "C", false }, { 3, 1, "D", false }, { 4, 2, "E", true }, { 5, 3, "F", true },
        { 6, 3, "F", false }, { 8, 4, "G", false }, { 10, 5, "A", false }, { 11, 6, "B", true }, { 60, 0, "C", true },
        { 127, 4, "G", true }, { -1, 6, "B", true },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (getMidiNoteLetterIndex (c.note), c.letterIndex) << c.note;
        EXPECT_EQ (getMidiNoteLetter (c.note), c.letter) << c.note;
        EXPECT_EQ (isNaturalMidiNote (c.note), c.natural) << c.note;
    }
}
