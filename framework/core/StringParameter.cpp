#include "StringParameter.h"
#include "NumberConversions.h"

StringParameter::StringParameter (int index, const juce::String& name, const juce::String& initialText)
    : Parameter (index, name), text (initialText)
{
}

Parameter* StringParameter::clone (int newIndex, const juce::String& newName) const
{
    auto* copy = new StringParameter (newIndex, newName, getText());
    copy->setAutomatable (isAutomatable());
    return copy;
}

//==============================================================================
float StringParameter::getValue() const
{
    return NumberConversions::toFloat (getText().getDoubleValue());
}

float StringParameter::getNormalisedValue() const
{
    const auto v = getText().getDoubleValue();
    return std::isnan (v) ? 0.0f : (float) juce::jlimit (0.0, 1.0, v);
}

int StringParameter::getIntValue() const
{
    return NumberConversions::parseInt (getText());
}

bool StringParameter::getBoolValue() const
{
    const auto t = getText();

    if (t == "true" || t == "1" || t == "on" || t == "yes")
        return true;

    return t.getDoubleValue() >= 0.5;
}

juce::String StringParameter::getText() const
{
    const juce::ScopedReadLock sl (lock);
    return text;
}

//==============================================================================
void StringParameter::setValue (float newValue, bool notify)
{
    setText (juce::String (newValue), notify);
}

void StringParameter::setNormalisedValue (float newValue, bool notify)
{
    setText (juce::String (newValue), notify);
}

void StringParameter::setIntValue (int newValue, bool notify)
{
    setText (juce::String (newValue), notify);
}

void StringParameter::setBoolValue (bool newValue, bool notify)
{
    setText (newValue ? "true" : "false", notify);
}

void StringParameter::setText (const juce::String& newText, bool notify)
{
    {
        const juce::ScopedWriteLock sl (lock);

        if (text == newText)
            return;

        text = newText;
    }

    valueChanged (notify);
}

void StringParameter::setValueFrom (const Parameter& source, bool notify)
{
    setText (source.getText(), notify);
}
