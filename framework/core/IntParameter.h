#pragma once

#include "Parameter.h"

/** A parameter holding an integer between a minimum and a maximum (type word "int");
    also the base of the note and enumeration kinds.
*/
class IntParameter  : public Parameter
{
public:
    IntParameter (int index, const juce::String& name, int minimum, int maximum, int value);

    Parameter* clone (int newIndex, const juce::String& newName) const override;

    float getValue() const override;
    /** (value - minimum) / (maximum - minimum); 0 when the range is empty. */
    float getNormalisedValue() const override;
    int getIntValue() const override;
    /** True whenever the value is above the minimum. */
    bool getBoolValue() const override;
    /** The value in decimal. */
    juce::String getText() const override;

    /** The value truncated toward zero, then clamped (NaN gives the minimum). */
    void setValue (float value, bool notify) override;
    /** Rounds to the nearest step of the range, halves up. */
    void setNormalisedValue (float value, bool notify) override;
    void setIntValue (int value, bool notify) override;
    /** The maximum for true, the minimum for false. */
    void setBoolValue (bool value, bool notify) override;
    /** The text's leading integer, as C's atoi reads it, clamped. */
    void setText (const juce::String& text, bool notify) override;
    void setValueFrom (const Parameter& source, bool notify) override;

    int getMinimum() const noexcept     { return minimum.load(); }
    int getMaximum() const noexcept     { return maximum.load(); }

protected:
    /** Changes the range and clamps the value into it. */
    void setRange (int newMinimum, int newMaximum, bool notify);

    /** Stores the value clamped to the range. */
    void store (int newValue, bool notify);

private:
    std::atomic<int> minimum, maximum, value;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (IntParameter)
};
