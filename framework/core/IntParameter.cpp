#include "IntParameter.h"
#include "NumberConversions.h"

IntParameter::IntParameter (int index, const juce::String& name, int minimumValue,
                            int maximumValue, int initialValue)
    : Parameter (index, name), minimum (minimumValue), maximum (maximumValue), value (minimumValue)
{
    store (initialValue, false);
}

Parameter* IntParameter::clone (int newIndex, const juce::String& newName) const
{
    auto* copy = new IntParameter (newIndex, newName, minimum.load(), maximum.load(), value.load());
    copy->setAutomatable (isAutomatable());
    return copy;
}

//==============================================================================
float IntParameter::getValue() const
{
    return (float) value.load();
}

float IntParameter::getNormalisedValue() const
{
    const auto low = (juce::int64) minimum.load();
    const auto high = (juce::int64) maximum.load();

    if (high == low)
        return 0.0f;

    return (float) ((juce::int64) value.load() - low) / (float) (high - low);
}

int IntParameter::getIntValue() const
{
    return value.load();
}

bool IntParameter::getBoolValue() const
{
    return value.load() != minimum.load();
}

juce::String IntParameter::getText() const
{
    return juce::String (getIntValue());
}

//==============================================================================
void IntParameter::store (int newValue, bool notify)
{
    const auto low = minimum.load();
    const auto high = maximum.load();
    const auto clamped = newValue > high ? high : (newValue < low ? low : newValue);

    if (value.exchange (clamped) != clamped)
        valueChanged (notify);
}

void IntParameter::setRange (int newMinimum, int newMaximum, bool notify)
{
    minimum.store (newMinimum);
    maximum.store (newMaximum);
    store (value.load(), notify);
}

void IntParameter::setValue (float newValue, bool notify)
{
    // Clamped in floating point before the conversion, so that NaN and values beyond
    // the int range never reach it; for an integer range, clamping before truncating
    // gives what truncating before clamping would.
    const auto v = (double) newValue;
    const auto low = minimum.load();
    const auto high = maximum.load();

    if (std::isnan (v) || v <= (double) low)
        store (low, notify);
    else if (v >= (double) high)
        store (high, notify);
    else
        store ((int) v, notify);
}

void IntParameter::setNormalisedValue (float normalised, bool notify)
{
    const auto n = std::isnan (normalised) ? 0.0f : juce::jlimit (0.0f, 1.0f, normalised);
    const auto low = (juce::int64) minimum.load();
    const auto range = (float) ((juce::int64) maximum.load() - low);
    const auto steps = std::floor (range * n + 0.5);

    store ((int) juce::jlimit ((double) std::numeric_limits<int>::min(),
                               (double) std::numeric_limits<int>::max(),
                               (double) low + steps),
           notify);
}

void IntParameter::setIntValue (int newValue, bool notify)
{
    store (newValue, notify);
}

void IntParameter::setBoolValue (bool newValue, bool notify)
{
    store (newValue ? maximum.load() : minimum.load(), notify);
}

void IntParameter::setText (const juce::String& text, bool notify)
{
    store (NumberConversions::parseInt (text), notify);
}

void IntParameter::setValueFrom (const Parameter& source, bool notify)
{
    store (source.getIntValue(), notify);
}
