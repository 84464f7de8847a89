#include "AnswerParameter.h"

AnswerParameter::AnswerParameter (int index, const juce::String& name, const juce::String& text)
    : BoolParameter (index, name)
{
    setText (text, false);
}

Parameter* AnswerParameter::clone (int newIndex, const juce::String& newName) const
{
    return copyInto (new AnswerParameter (newIndex, newName, {}));
}

juce::String AnswerParameter::getText() const
{
    return getBoolValue() ? "yes" : "no";
}

void AnswerParameter::setText (const juce::String& text, bool notify)
{
    if (text == "yes")
        setBoolValue (true, notify);
    else if (text == "no")
        setBoolValue (false, notify);
    else
        BoolParameter::setText (text, notify);
}
