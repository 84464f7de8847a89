#pragma once

#include "IntParameter.h"

/** A choice among named items; the value is the chosen item's position (type word "enum"). */
class EnumParameter  : public IntParameter
{
public:
    /** Takes the items of the ';'-separated list, then the given value clamped to
        their range (to 0..1 when the list is empty).
    */
    EnumParameter (int index, const juce::String& name, int value, const juce::String& itemList);

    Parameter* clone (int newIndex, const juce::String& newName) const override;

    /** The chosen item's text; empty when the value names no item. */
    juce::String getText() const override;
    /** An item's exact text chooses it; any other text is read as a normalised value. */
    void setText (const juce::String& text, bool notify) override;

    /** Replaces the items by those of a ';'-separated list (an empty token between two
        ';' is an empty item) and fits the range to them, clamping the value, which
        notifies when it changes. An empty list leaves the range as it is.
    */
    void setItems (const juce::String& itemList);

    const juce::StringArray& getItems() const noexcept  { return items; }
    const juce::String& getItemList() const noexcept    { return itemList; }

private:
    juce::StringArray items;
    juce::String itemList;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EnumParameter)
};
