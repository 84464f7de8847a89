#include "BoolParameter.h"
#include "NumberConversions.h"

BoolParameter::BoolParameter (int index, const juce::String& name)
    : Parameter (index, name)
{
}

BoolParameter::BoolParameter (int index, const juce::String& name, const juce::String& text)
    : Parameter (index, name)
{
    setText (text, false);
}

Parameter* BoolParameter::copyInto (BoolParameter* copy) const
{
    copy->setAutomatable (isAutomatable());
    copy->value.store (value.load());
    return copy;
}

Parameter* BoolParameter::clone (int newIndex, const juce::String& newName) const
{
    return copyInto (new BoolParameter (newIndex, newName));
}

//==============================================================================
float BoolParameter::getValue() const               { return (float) value.load(); }
float BoolParameter::getNormalisedValue() const     { return (float) value.load(); }
int BoolParameter::getIntValue() const              { return value.load(); }
bool BoolParameter::getBoolValue() const            { return value.load() == 1; }

juce::String BoolParameter::getText() const
{
    return getBoolValue() ? "true" : "false";
}

//==============================================================================
void BoolParameter::store (bool newValue, bool notify)
{
    const int v = newValue ? 1 : 0;

    if (value.exchange (v) != v)
        valueChanged (notify);
}

void BoolParameter::setValue (float newValue, bool notify)
{
    store (! std::isnan (newValue) && newValue != 0.0f, notify);
}

void BoolParameter::setNormalisedValue (float newValue, bool notify)
{
    store (newValue >= 0.5f, notify);
}

void BoolParameter::setIntValue (int newValue, bool notify)
{
    store (newValue != 0, notify);
}

void BoolParameter::setBoolValue (bool newValue, bool notify)
{
    store (newValue, notify);
}

void BoolParameter::setText (const juce::String& text, bool notify)
{
    if (text == "true" || text == "1" || text == "on" || text == "yes")
        store (true, notify);
    else if (text == "false" || text == "0" || text == "off" || text == "no")
        store (false, notify);
    else
        setNormalisedValue (NumberConversions::toFloat (text.getDoubleValue()), notify);
}

void BoolParameter::setValueFrom (const Parameter& source, bool notify)
{
    store (source.getBoolValue(), notify);
}
