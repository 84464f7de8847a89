#pragma once

#include "BoolParameter.h"

/** A boolean written "1" / "0" (type word "logic"). */
class LogicParameter  : public BoolParameter
{
public:
    LogicParameter (int index, const juce::String& name, const juce::String& text);

    Parameter* clone (int newIndex, const juce::String& newName) const override;
    juce::String getText() const override;
    /** Exactly "1" or "0"; other texts as a boolean parameter reads them. */
    void setText (const juce::String& text, bool notify) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LogicParameter)
};
