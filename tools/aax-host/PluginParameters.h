#pragma once

#include "SimulatedInstance.h"

#include <juce_core/juce_core.h>

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

    /** Sets a parameter, named by its name (any letter case) or its host slot id, to a
        normalised value (a plain number from 0 to 1) or a value text. Throws a UsageError for
        an unknown name (listing the nearest names), a HostError for an ambiguous one or a
        value it does not take.
    */
    void set (const juce::String& name, const juce::String& value);

    /** Loads a preset file (.cvprst) as the plug-in loads one saved with a session. */
    void loadPreset (const juce::File& file);

    /** The parameter's present value text; empty for an unknown name. */
    juce::String getText (const juce::String& name) const;

    /** Every parameter: name, where it is set, kind, range, default, value texts and its value. */
    juce::String describeAll() const;

private:
    struct Parameter
    {
        juce::String name;
        juce::String hostID;               ///< empty when set through the state document
        const juce::XmlElement* table = nullptr;
    };

    void readState();
    void writeState();
    void nameAfterFile (const juce::File& file);
    const Parameter& find (const juce::String& name) const;
    double findHostValue (const Parameter& parameter, const juce::String& text);
    juce::String stateText (const Parameter& parameter, const juce::String& value) const;
    juce::XmlElement* findStateEntry (const juce::String& name) const;

    SimulatedInstance& instance;
    std::unique_ptr<juce::XmlElement> table, state;
    std::vector<uint8_t> stateRecord;
    std::vector<Parameter> parameters;
};
