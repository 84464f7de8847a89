#include "FloatParameter.h"
#include "NumberConversions.h"

FloatParameter::FloatParameter (int index, const juce::String& name, float minimumValue,
                                float maximumValue, float initialValue)
    : Parameter (index, name), minimum (minimumValue), maximum (maximumValue), value (minimumValue)
{
    store (initialValue, false);
}

Parameter* FloatParameter::clone (int newIndex, const juce::String& newName) const
{
    auto* copy = new FloatParameter (newIndex, newName, minimum, maximum, value.load());
    copy->setAutomatable (isAutomatable());
    return copy;
}

//==============================================================================
float FloatParameter::getValue() const
{
    return value.load();
}

float FloatParameter::getNormalisedValue() const
{
    if (maximum == minimum)
        return 0.0f;

    return (value.load() - minimum) / (maximum - minimum);
}

int FloatParameter::getIntValue() const
{
    return NumberConversions::truncateToInt (value.load());
}

bool FloatParameter::getBoolValue() const
{
    const auto v = value.load();
    return (v - minimum) >= (maximum - v);
}

juce::String FloatParameter::getText() const
{
    return NumberConversions::toText ((double) value.load(), 9);
}

//==============================================================================
void FloatParameter::store (double newValue, bool notify)
{
    // Clamped in double before narrowing, so that NaN and values beyond the float
    // range never reach a conversion.
    float clamped;

    if (std::isnan (newValue) || newValue <= (double) minimum)
        clamped = minimum;
    else if (newValue >= (double) maximum)
        clamped = maximum;
    else
        clamped = (float) newValue;

    const auto old = value.load();

    if (! (clamped < old) && ! (clamped > old))
        return;

    value.store (clamped);
    valueChanged (notify);
}

void FloatParameter::setValue (float newValue, bool notify)
{
    store (newValue, notify);
}

void FloatParameter::setNormalisedValue (float normalised, bool notify)
{
    const auto n = std::isnan (normalised) ? 0.0f : juce::jlimit (0.0f, 1.0f, normalised);
    store ((double) ((maximum - minimum) * n + minimum), notify);
}

void FloatParameter::setIntValue (int newValue, bool notify)
{
    store ((double) (float) newValue, notify);
}

void FloatParameter::setBoolValue (bool newValue, bool notify)
{
    store (newValue ? maximum : minimum, notify);
}

void FloatParameter::setText (const juce::String& text, bool notify)
{
    store ((double) NumberConversions::toFloat (text.getDoubleValue()), notify);
}

void FloatParameter::setValueFrom (const Parameter& source, bool notify)
{
    store (source.getValue(), notify);
}
