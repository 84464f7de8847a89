#include "StateParameter.h"

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
    if (text.equalsIgnoreCase ("on"))
        setBoolValue (true, notify);
    else if (text.equalsIgnoreCase ("off"))
        setBoolValue (false, notify);
    else
        BoolParameter::setText (text, notify);
}
