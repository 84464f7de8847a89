#pragma once

#include "AtomicFileWriter.h"

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_events/juce_events.h>

class Parameter;
class ParameterManager;

/**
    Lets MIDI controllers (control changes 0 to 127) drive automatable parameters, and
    lets the user bind them by MIDI learn: touch a parameter in the editor and move a
    controller, in either order, and the two are bound.

    The table of 128 controllers is read and written as a "MidiControlMap" document, in
    the plug-in's state and in map files. The audio thread feeds every MIDI message to
    processMidiMessage; the table and the learn state are guarded by one re-entrant lock
    that it shares with the editor. Listeners hear of map changes, learn progress and
    controller activity on the message thread.
*/
class MidiControl : public juce::AsyncUpdater
{
public:
    static constexpr int numControllers = 128;

    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void mapChanged (MidiControl*) {}
        virtual void learnStateChanged (MidiControl*) {}
        virtual void controllerActivity (MidiControl*) {}
    };

    explicit MidiControl (ParameterManager* manager);

    /** Adds a listener once; null is ignored. Message thread only. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    //==============================================================================
    /** Switches MIDI learn on or off, forgetting any half-made pair. On the message
        thread the listeners hear of it at once; from another thread, asynchronously.
    */
    void setLearning (bool on);
    bool isLearning() const;
    /** The parameter waiting for a controller, or null. */
    Parameter* getLearnCandidate() const;
    /** The controller waiting for a parameter, or -1. */
    int getLearntController() const;

    /** The editor reports a parameter touched while learning; others are ignored. */
    void learnParameterTouched (Parameter* parameter);
    /** A controller moved while learning. */
    void ccMoved (int controller);
    /** Binds the pending pair when the controller is still free. */
    void tryAssign();

    //==============================================================================
    /** Puts a parameter (or null) on a controller, taking it off any other controller. */
    void assign (int controller, Parameter* parameter, bool notify);
    void removeAssignment (int controller);
    /** Frees every controller. */
    void clearMap();

    /** The parameter on a controller, null when free or out of range. */
    Parameter* getParameterOf (int controller) const;
    /** The controller holding the parameter, -1 when none. */
    int getControllerOf (const Parameter* parameter) const;
    int getNumAssignments() const;
    /** The parameter that a controller set most recently. */
    Parameter* getLastActiveParameter() const;

    /** The lock guarding the table and the learn state, for reading several at once. */
    const juce::CriticalSection& getLock() const noexcept   { return lock; }

    //==============================================================================
    /** Called on the audio thread for every incoming MIDI message; acts on controllers only. */
    void processMidiMessage (const juce::MidiMessage& message);

    //==============================================================================
    bool isValidMap (const juce::XmlElement* element) const;
    /** Replaces the table with a valid map's assignments and switches learning off;
        an invalid map changes nothing. Returns whether the map was valid.
    */
    bool readMap (const juce::XmlElement* element);
    std::unique_ptr<juce::XmlElement> createMapXml() const;

    /** Returns whether the file held a valid map. */
    bool loadMapFile (const juce::File& file);
    /** Returns false when the file could not be written. A link that leads to no file is
        written through only when the caller says so, once the user has been asked.
    */
    bool saveMapFile (const juce::File& file, AtomicFileWriter::DanglingLinks danglingLinks = AtomicFileWriter::DanglingLinks::refuse) const;

    //==============================================================================
    juce::String getProductName() const;
    void setProductName (const juce::String& name);

    /** Whether the user's map file is loaded at start-up. */
    bool isDefaultMap() const noexcept                       { return defaultMap; }
    void setDefaultMap (bool shouldLoadAtStartUp) noexcept   { defaultMap = shouldLoadAtStartUp; }
    const juce::String& getMapPath() const noexcept          { return mapPath; }
    void setMapPath (const juce::String& path)               { mapPath = path; }

    /** @internal */
    void handleAsyncUpdate() override;

private:
    ParameterManager* manager;
    juce::ListenerList<Listener> listeners;
    Parameter* table[numControllers] = {};
    bool learning = false;
    Parameter* candidate = nullptr;
    int learntController = -1;
    juce::String productName;
    int numAssignments = 0;
    bool defaultMap = false;
    juce::String mapPath;
    std::atomic<bool> mapChangedFlag { false }, learnStateFlag { false }, activityFlag { false };
    Parameter* lastActiveParameter = nullptr;
    juce::CriticalSection lock;

    void putOnController (int controller, Parameter* parameter);
    void countAssignments();
    void notifyAsync (std::atomic<bool>& flag);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiControl)
};
