#pragma once

#include "BoolParameter.h"

/** A boolean written "on" / "off" (type word "state"). */
class StateParameter  : public BoolParameter
{
public:
    StateParameter (int index, const juce::String& name, const juce::String& text);

    Parameter* clone (int newIndex, const juce::String& newName) const override;
    juce::String getText() const override;
    /** "on" and "off" in any letter case; other texts as a boolean parameter reads them. */
    void setText (const juce::String& text, bool notify) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StateParameter)
};
