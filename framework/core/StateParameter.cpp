#include "StateParameter.h"
#include "CaseKey.h"

StateParameter::StateParameter (int index, const juce::String& name, const juce::String& text)
    : BoolParameter (index, name)
{
    setText (text, false);
}

Parameter* StateParameter::clone (int newIndex, const juce::String& newName) const
{
    return copyInto (new StateParameter (newIndex, newName, {}));
}

juce::String StateParameter::getText() const
{
    return getBoolValue() ? "on" : "off";
}

void StateParameter::setText (const juce::String& text, bool notify)
{
    if (CaseKey::equal (text, "on"))
        setBoolValue (true, notify);
    else if (CaseKey::equal (text, "off"))
        setBoolValue (false, notify);
    else
        BoolParameter::setText (text, notify);
}
