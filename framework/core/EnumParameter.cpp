#include "EnumParameter.h"
#include "NumberConversions.h"

EnumParameter::EnumParameter (int index, const juce::String& name, int initialValue,
                              const juce::String& list)
    : IntParameter (index, name, 0, 1, initialValue)
{
    setItems (list);
    // The range was 0..1 until the items set it; a later item must not be lost.
    setIntValue (initialValue, false);
}

Parameter* EnumParameter::clone (int newIndex, const juce::String& newName) const
{
    auto* copy = new EnumParameter (newIndex, newName, 0, itemList);
    copy->setRange (getMinimum(), getMaximum(), false);
    copy->setIntValue (getIntValue(), false);
    copy->setAutomatable (isAutomatable());
    return copy;
}

juce::String EnumParameter::getText() const
{
    return items[getIntValue()];
}

void EnumParameter::setText (const juce::String& text, bool notify)
{
    const auto position = items.indexOf (text, false);

    if (position >= 0)
        setIntValue (position, notify);
    else
        setNormalisedValue (NumberConversions::toFloat (text.getDoubleValue()), notify);
}

void EnumParameter::setItems (const juce::String& list)
{
    if (list == itemList)
        return;

    itemList = list;
    items.clear();
    items.addTokens (list, ";", "");

    if (getMinimum() != 0 && getMaximum() >= 0)
        setRange (0, getMaximum(), true);

    const auto last = items.size() - 1;

    if (last >= getMinimum() && getMaximum() != last)
        setRange (getMinimum(), last, true);
}
