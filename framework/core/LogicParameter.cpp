#include "LogicParameter.h"

LogicParameter::LogicParameter (int index, const juce::String& name, const juce::String& text)
    : BoolParameter (index, name)
{
    setText (text, false);
}

Parameter* LogicParameter::clone (int newIndex, const juce::String& newName) const
{
    return copyInto (new LogicParameter (newIndex, newName, {}));
}

juce::String LogicParameter::getText() const
{
    return getBoolValue() ? "1" : "0";
}

void LogicParameter::setText (const juce::String& text, bool notify)
{
    if (text == "1")
        setBoolValue (true, notify);
    else if (text == "0")
        setBoolValue (false, notify);
    else
        BoolParameter::setText (text, notify);
}
