#pragma once

#include "IntParameter.h"

/** A MIDI note number 0 to 127 shown by its name (type word "note"; 60 is "C-5"). */
class NoteParameter  : public IntParameter
{
public:
    NoteParameter (int index, const juce::String& name, int value);

    Parameter* clone (int newIndex, const juce::String& newName) const override;

    /** The note's name, as getMidiNoteName writes it. */
    juce::String getText() const override;
    /** A note name sets that note; any other text is read as a normalised value. */
    void setText (const juce::String& text, bool notify) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NoteParameter)
};
