#pragma once

#include "Parameter.h"

/** A parameter holding a float between a minimum and a maximum (type word "float"). */
class FloatParameter  : public Parameter
{
public:
    FloatParameter (int index, const juce::String& name, float minimum, float maximum, float value);

    Parameter* clone (int newIndex, const juce::String& newName) const override;

    float getValue() const override;
    /** (value - minimum) / (maximum - minimum); 0 when the range is empty. */
    float getNormalisedValue() const override;
    /** The value truncated toward zero. */
    int getIntValue() const override;
    /** True from the middle of the range up. */
    bool getBoolValue() const override;
    /** Nine significant digits, trailing zeros dropped ("0.5", "1000", "0.100000001"). */
    juce::String getText() const override;

    void setValue (float value, bool notify) override;
    void setNormalisedValue (float value, bool notify) override;
    void setIntValue (int value, bool notify) override;
    /** The maximum for true, the minimum for false. */
    void setBoolValue (bool value, bool notify) override;
    /** The text's number (0 when it is none), clamped. */
    void setText (const juce::String& text, bool notify) override;
    void setValueFrom (const Parameter& source, bool notify) override;

    float getMinimum() const noexcept   { return minimum; }
    float getMaximum() const noexcept   { return maximum; }

private:
    /** Stores the value clamped to the range (NaN gives the minimum). */
    void store (double newValue, bool notify);

    const float minimum, maximum;
    std::atomic<float> value;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FloatParameter)
};
