#include "MidiNoteNames.h"

juce::String getMidiNoteName (juce::uint32 note)
{
    if (note > 127)
        return {};

    static const char* const pitchNames[12] = { "C-", "C#", "D-", "D#", "E-", "F-",
                                                "F#", "G-", "G#", "A-", "A#", "B-" };
    const auto octave = note / 12;
    const char octaveCharacter = octave < 10 ? (char) ('0' + octave) : 'H';

    return juce::String (pitchNames[note % 12]) + octaveCharacter;
}

int parseMidiNoteName (const juce::String& name)
{
    if (name.length() != 3)
        return -1;

    const auto letter = name[0];
    const auto sign = name[1];
    const auto octaveCharacter = name[2];

    if (sign != '-' && sign != '#')
        return -1;

    // Pitch classes of the natural notes A to G; a sharp adds one except on E and B,
    // whose sharps are read as the notes themselves.
    static const int naturals[7] = { 9, 11, 0, 2, 4, 5, 7 };

    if (letter < 'A' || letter > 'G')
        return -1;

    auto pitchClass = naturals[letter - 'A'];

    if (sign == '#' && letter != 'E' && letter != 'B')
        ++pitchClass;

    int octave;

    if (octaveCharacter >= '0' && octaveCharacter <= '9')
        octave = (int) (octaveCharacter - '0');
    else if (octaveCharacter == 'H')
        octave = 10;
    else
        return -1;

    return juce::jmin (127, pitchClass + 12 * octave);
}

//==============================================================================
namespace
{
    // Pitch classes are taken as 0..11 for negative notes too.
    int getPitchClass (int note) noexcept
    {
        return ((note % 12) + 12) % 12;
    }
}

int getMidiNoteLetterIndex (int note)
{
    static const int letterIndices[12] = { 0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6 };
    return letterIndices[getPitchClass (note)];
}

juce::String getMidiNoteLetter (int note)
{
    return juce::String::charToString ("CDEFGAB"[getMidiNoteLetterIndex (note)]);
}

bool isNaturalMidiNote (int note)
{
    static const bool naturals[12] = { true, false, true, false, true, true,
                                       false, true, false, true, false, true };
    return naturals[getPitchClass (note)];
}
