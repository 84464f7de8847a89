#pragma once

#include "Parameter.h"

/** A parameter holding a text (type word "string"), such as the preset name.
    The text is guarded by a read-write lock; listeners are called outside it.
*/
class StringParameter  : public Parameter
{
public:
    StringParameter (int index, const juce::String& name, const juce::String& text);

    Parameter* clone (int newIndex, const juce::String& newName) const override;

    /** The text's number (0 when it is none). */
    float getValue() const override;
    /** The text's number clamped to 0..1. */
    float getNormalisedValue() const override;
    /** The text's leading integer, as C's atoi reads it. */
    int getIntValue() const override;
    /** True for the texts that a boolean parameter reads as true ("true", "1", "on",
        "yes") and for numbers from 0.5 up.
    */
    bool getBoolValue() const override;
    juce::String getText() const override;

    /** The text becomes the number as juce::String writes a float. */
    void setValue (float value, bool notify) override;
    void setNormalisedValue (float value, bool notify) override;
    void setIntValue (int value, bool notify) override;
    /** The text becomes "true" or "false". */
    void setBoolValue (bool value, bool notify) override;
    /** Replaces the text; an identical text (case-sensitive) changes nothing. */
    void setText (const juce::String& text, bool notify) override;
    /** Takes the source's text. */
    void setValueFrom (const Parameter& source, bool notify) override;

private:
    juce::ReadWriteLock lock;
    juce::String text;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StringParameter)
};
