#pragma once

#include "SimulatedInstance.h"

#include <juce_core/juce_core.h>

#include <utility>
#include <vector>

/**
    Every parameter of the plug-in as a user of corvane-host reaches it, by name.

    An automatable parameter that the host-parameter map puts in a host slot is set through
    the host's parameter path, with the plug-in's own value texts. The others (routing,
    qualities, maximum length and the rest) are set through the plug-in's state document, as a
    saved session or a preset would set them; the parameter table (kind, range, default, value
    texts) checks the value first, so a wrong one is refused here instead of ignored there.
*/
class PluginParameters
{
public:
    /** Reads the instance's host parameters and its state document; throws a HostError when
        the effect offers no state document.
    */
    explicit PluginParameters (SimulatedInstance& instance);

    /** Sets a parameter, named by its name (any letter case) or its host slot id, to a value
        text as the plug-in shows it, or to a bare number: the number itself for a parameter
        whose texts are numbers, else a normalised value from 0 to 1. A text sets the roundest
        of the values that show it. Throws a UsageError for an unknown name (listing the
        nearest names), an ambiguous one (listing the candidates) or a value it does not take.
    */
    void set (const juce::String& name, const juce::String& value);

    /** Sets several parameters as set() does, so that any order of the same values gives the
        same state, and with bypass turns the master bypass on after them (as --bypass asks);
        throws a UsageError when a value does not take effect or another undoes it.
    */
    void setAll (const std::vector<std::pair<juce::String, juce::String>>& values, bool bypass = false);

    /** A value of a preset that the plug-in did not take, and the one it holds instead. */
    struct RefusedValue
    {
        juce::String name, given, used;
    };

    /** Loads a preset file (.cvprst) as the plug-in loads one saved with a session; answers
        the values that the plug-in did not take, as read back from its state (it reads a text
        that matches none of a parameter's values as value 0, and reports nothing).
    */
    std::vector<RefusedValue> loadPreset (const juce::File& file);

    /** The parameter's present value text; empty for an unknown name. */
    juce::String getText (const juce::String& name) const;

    /** The longest time, in seconds, after which a sound can still come out of the delay
        lines as they are set: delay and pre-delay through the routing's chains, each stage at
        most the maximum delay length.
    */
    double getLongestDelay (double bpm);

    /** Every parameter: name, where it is set, kind, range, default, value texts and its value. */
    juce::String describeAll() const;

private:
    struct Parameter
    {
        juce::String name;
        juce::String hostID;               ///< empty when set through the state document
        const juce::XmlElement* table = nullptr;
        juce::String stateName;            ///< the slot's parameter as the state document names it, when its name is not
    };

    void readState();
    void writeState();
    void nameAfterFile (const juce::File& file);
    std::vector<RefusedValue> findRefusedValues (const std::vector<std::pair<juce::String, juce::String>>& given) const;
    juce::String findSlotEntry (const juce::String& id) const;
    const Parameter& find (const juce::String& name) const;
    static juce::String kindOf (const Parameter& parameter);
    void apply (const Parameter& parameter, const juce::String& value);
    bool shows (const Parameter& parameter, const juce::String& value, const juce::String& shown) const;
    juce::String currentText (const Parameter& parameter);
    double findHostValue (const Parameter& parameter, const juce::String& text);
    juce::String stateText (const Parameter& parameter, const juce::String& value) const;
    juce::XmlElement* findStateEntry (const juce::String& name) const;

    SimulatedInstance& instance;
    std::unique_ptr<juce::XmlElement> table, state;
    std::vector<uint8_t> stateRecord;
    std::vector<Parameter> parameters;
};
