#pragma once

#include <juce_core/juce_core.h>

/** The one spelling of MIDI note numbers shared by the toolkit and the parameter
    model: a letter, "-" or "#", and an octave character "0" to "9" or "H" (note 60
    is "C-5", note 127 is "G-H").
*/

/** The three-character name of a note; an empty string for 128 and above (a negative
    number passed here arrives as a huge unsigned one and is empty too).
*/
juce::String getMidiNoteName (juce::uint32 note);

/** The note number of a name written as getMidiNoteName writes it, or -1 when the
    text is no note name. Only upper-case letters are accepted; "E#" and "B#" are
    read as "E-" and "B-", and names above "G-H" are capped at 127.
*/
int parseMidiNoteName (const juce::String& name);

/** The letter of a note as an index from 0 (C) to 6 (B); sharps take the letter below. */
int getMidiNoteLetterIndex (int note);

/** The letter "C" to "B" of a note, as getMidiNoteLetterIndex picks it. */
juce::String getMidiNoteLetter (int note);

/** True for the white keys (C, D, E, F, G, A, B). */
bool isNaturalMidiNote (int note);
