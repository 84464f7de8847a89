#pragma once

#include "BoolParameter.h"

/** A boolean written "yes" / "no" (type word "answer"). */
class AnswerParameter  : public BoolParameter
{
public:
    AnswerParameter (int index, const juce::String& name, const juce::String& text);

    Parameter* clone (int newIndex, const juce::String& newName) const override;
    juce::String getText() const override;
    /** Exactly "yes" or "no"; other texts as a boolean parameter reads them. */
    void setText (const juce::String& text, bool notify) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AnswerParameter)
};
