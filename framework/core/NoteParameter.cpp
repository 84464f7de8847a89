#include "NoteParameter.h"
#include "MidiNoteNames.h"
#include "NumberConversions.h"

NoteParameter::NoteParameter (int index, const juce::String& name, int initialValue)
    : IntParameter (index, name, 0, 127, initialValue)
{
}

Parameter* NoteParameter::clone (int newIndex, const juce::String& newName) const
{
    auto* copy = new NoteParameter (newIndex, newName, getIntValue());
    copy->setAutomatable (isAutomatable());
    return copy;
}

juce::String NoteParameter::getText() const
{
    return getMidiNoteName ((juce::uint32) getIntValue());
}

void NoteParameter::setText (const juce::String& text, bool notify)
{
    const auto note = parseMidiNoteName (text);

    if (note != -1)
        setIntValue (note, notify);
    else
        setNormalisedValue (NumberConversions::toFloat (text.getDoubleValue()), notify);
}
