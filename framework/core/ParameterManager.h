#pragma once

#include "Parameter.h"

class Preset;

/**
    Owns every Parameter of a processor and finds them by index and by name.

    The parameters are built from the "PluginParameters" table of the module's
    resources; the product adds its own copies with addParameter. One read-write
    lock guards the collection: loading, clearing and adding hold it for writing (at
    construction time), every lookup and every value access holds it for reading until
    the call on the parameter returns, so parameter listeners run inside the read
    lock on the caller's thread.

    Lookups of an absent index or name give neutral results (null, -1, 0, false, an
    empty text) and never fail.
*/
class ParameterManager
{
public:
    ParameterManager();
    virtual ~ParameterManager();

    //==============================================================================
    /** Builds the parameters from the module resource of that file name; an absent or
        unreadable resource leaves the manager empty.
    */
    void loadResource (const juce::String& fileName);

    /** Clears the manager, then builds one parameter per "param" row of a
        "PluginParameters" element (tags and attribute names compared ignoring case).
        Rows without an index or a name, with an unknown type word, or whose index or
        name is already taken are skipped.
    */
    void loadFromXml (const juce::XmlElement* element);

    /** Deletes every parameter (the default values are kept). */
    void clear();

    /** Takes ownership of the parameter. Answers false when this object is already
        held (nothing deleted), or when its index or name is already taken (the new
        object is deleted).
    */
    bool addParameter (Parameter* parameter);

    /** The "application" attribute of the last table loaded. */
    juce::String getApplication() const;

    //==============================================================================
    int getNumParameters() const;
    /** The parameter at a position in the order they were added, or null. */
    Parameter* getParameterAt (int position) const;

    /** The parameter with that index, or null. */
    Parameter* getParameter (int index) const;
    /** The parameter of that name (case-sensitive), or null. */
    Parameter* getParameter (const juce::String& name) const;

    /** The index of the parameter of that name (case-sensitive), or -1. */
    int getParameterIndex (const juce::String& name) const;
    juce::String getParameterName (int index) const;

    float getParameterValue (int index) const;
    float getParameterNormalisedValue (int index) const;
    int getParameterIntValue (int index) const;
    bool getParameterBoolValue (int index) const;
    juce::String getParameterText (int index) const;

    // The setters notify the parameter's listeners of a change and do nothing when
    // there is no parameter with that index.
    void setParameterValue (int index, float value);
    void setParameterNormalisedValue (int index, float value);
    void setParameterIntValue (int index, int value);
    void setParameterBoolValue (int index, bool value);
    void setParameterText (int index, const juce::String& text);
    void setParameterFrom (int index, const Parameter& source);

    /** Sets the destination from the source's value when both exist. */
    void copyParameterValue (int destinationIndex, int sourceIndex);

    /** Replaces the preset's values with those of the parameters whose ids the set
        holds (ids without a parameter are skipped), sorted by id.
    */
    void capturePreset (Preset& preset, const juce::SparseSet<int>& ids) const;

    //==============================================================================
    /** Adds a synchronous listener to every parameter (once each). */
    void addListener (Parameter::Listener* listener);
    /** Adds a synchronous listener to one parameter; null is ignored. */
    void addParameterListener (int index, Parameter::Listener* listener);
    /** Adds an asynchronous listener to every parameter (once each). */
    void addAsyncListener (Parameter::Listener* listener);
    void removeAsyncListener (Parameter::Listener* listener);

    /** Has every parameter announce its value: its synchronous listeners are called
        at once and its asynchronous ones scheduled, parameter by parameter in order.
    */
    void notifyAllParameters();

    //==============================================================================
    /** Records the normalised value that the host is told as a parameter's default. */
    void setDefaultValue (int index, float normalisedValue);
    /** The recorded default of a parameter, or 0 when none was recorded. */
    float getDefaultValue (int index) const;
    bool hasDefaultValue (int index) const;

private:
    /** Answers the function's result for the parameter of that index, called under
        the read lock, or the fallback when there is no such parameter.
    */
    template <typename Result, typename Function>
    Result readParameter (int index, Result fallback, Function&& function) const;

    /** Calls the function on the parameter of that index under the read lock. */
    template <typename Function>
    void changeParameter (int index, Function&& function) const;

    Parameter* createParameter (const juce::XmlElement& row) const;

    juce::OwnedArray<Parameter> parameters;
    juce::String application;
    juce::HashMap<int, Parameter*> byIndex { 101 };
    juce::HashMap<juce::String, Parameter*> byName { 101 };
    juce::HashMap<int, float> defaultValues { 101 };
    juce::ReadWriteLock lock;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ParameterManager)
};
