#pragma once

#include "Parameter.h"

/** A parameter holding exactly 0 or 1, written "true" / "false" (type word "bool");
    the base of the state, answer and logic kinds, which only write it differently.
*/
class BoolParameter  : public Parameter
{
public:
    /** Starts at 0, then reads the text as setText does. */
    BoolParameter (int index, const juce::String& name, const juce::String& text);

    Parameter* clone (int newIndex, const juce::String& newName) const override;

    float getValue() const override;
    float getNormalisedValue() const override;
    int getIntValue() const override;
    bool getBoolValue() const override;
    juce::String getText() const override;

    /** 1 for any value but 0 (NaN gives 0). */
    void setValue (float value, bool notify) override;
    /** 1 from 0.5 up (NaN gives 0). */
    void setNormalisedValue (float value, bool notify) override;
    void setIntValue (int value, bool notify) override;
    void setBoolValue (bool value, bool notify) override;
    /** "true", "1", "on" and "yes" give 1, "false", "0", "off" and "no" give 0 (all
        compared exactly); any other text is read as a normalised value.
    */
    void setText (const juce::String& text, bool notify) override;
    void setValueFrom (const Parameter& source, bool notify) override;

protected:
    /** Starts at 0; the kinds built on this one read their starting text themselves,
        so that their own setText is the one used.
    */
    BoolParameter (int index, const juce::String& name);

    /** Copies the automatable flag and the value into a new parameter of a derived kind. */
    Parameter* copyInto (BoolParameter* copy) const;

private:
    void store (bool newValue, bool notify);

    std::atomic<int> value { 0 };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BoolParameter)
};
