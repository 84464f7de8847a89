#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "AtomicFileWriter.h"
#include "EventsMap.h"
#include "MidiControl.h"
#include "ParameterManager.h"
#include "PresetCollection.h"
#include "SoftwareDesignation.h"

#include <array>
#include <atomic>

class BasePluginEditor;
class Preset;

/**
    The framework's audio processor: what the host wrapper sees as its
    juce::AudioProcessor, and the base of a product's processor.

    It owns the parameter model, the 128 generic host parameters ("host slots") and their
    map onto the framework's parameters, MIDI learn, the event table, the preset
    collection, the user settings and state files, and the editor, which it creates once
    and keeps for its whole life. Every product decision is a virtual operation with a
    neutral default (product name "BasePlugin", code "XX", no presets, no extra settings).

    Building a product
    ------------------
    - The module's factory is the product's own, and runs the start-up sequence through
      this class:

          juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
          {
              return BasePlugin::createPlugin<MyProduct>();
          }

      The sequence: the product is constructed (this constructor loads the parameter
      table "parameters.xml" and the event table "events.xml" and adds the framework's
      events 1000 to 1010); in debug mode the debug parameters are made; initialise runs
      (the processor listens to every parameter, reads the user settings, loads the MIDI
      control map and the host-parameter map); the editor is created; every parameter
      announces its value once; the state dump is read when enabled.
    - The product's constructor registers its folders (addFolder) and its preset
      collection (createPresetCollection).
    - The product's destructor calls saveUserSettings() and then deleteEditor() while its
      own members still live; the editor may point into them.
    - Overrides of prepareToPlay, processBlock, parameterChanged, parameterGestureBegan,
      parameterGestureEnded, createStateXml and setStateFromXml call this class's version
      (the host report of a parameter change is the last step of parameterChanged).
    - The product answers the about texts that have no framework value (description,
      version, web address, release year, build date, format name) and JUCE's
      acceptsMidi, producesMidi and getTailLengthSeconds, and overrides
      applyNonRealtimeMode to react to the host switching between real-time and
      offline rendering.

    Two editors, two roles
    ----------------------
    BasePlugin::createEditorIfNeeded creates the kept editor once; it hides JUCE's
    juce::AudioProcessor::createEditorIfNeeded, which remains the host's entry: a host
    binding calls that one through a juce::AudioProcessor pointer (or createEditor) and
    receives a new AudioProcessorEditorWrapper around the kept editor each time.

    Threads: the host's parameter and state calls may come on any thread; the four
    state notifications of Listener arrive on the message thread, coalesced.
*/
class BasePlugin  : public juce::AudioProcessor,
                    public juce::AsyncUpdater,
                    public Parameter::Listener,
                    public SoftwareDesignation,
                    public PresetCollection::Listener
{
public:
    /** Told about state restores and saves, preparation, processing-mode changes and
        preset loads. The first four arrive on the message thread, the last on the
        thread of the preset operation. Every operation does nothing by default.
    */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void stateRestored (BasePlugin*) {}
        virtual void stateSaved (BasePlugin*) {}
        virtual void prepared (BasePlugin*) {}
        /** mode is 1 after a switch to real-time rendering, 2 after one to offline. */
        virtual void processingModeChanged (BasePlugin*, int /*mode*/) {}
        virtual void presetLoaded (PresetCollection*) {}
    };

    BasePlugin();
    ~BasePlugin() override;

    //==============================================================================
    /** The module factory's work: constructs the product and runs the start-up
        sequence. Answers null when the product could not be constructed.
    */
    template <typename ProductProcessor>
    static juce::AudioProcessor* createPlugin()
    {
        std::unique_ptr<BasePlugin> plugin;

        try
        {
            plugin = std::make_unique<ProductProcessor>();
        }
        catch (...)
        {
            return nullptr;
        }

        plugin->startUp();
        return plugin.release();
    }

    /** Start-up steps 2 to 6 on a freshly constructed processor (see the class comment). */
    void startUp();

    //==============================================================================
    const juce::String getName() const override;
    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    using juce::AudioProcessor::processBlock;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages) override;

    /** Passes the input through. A mono input reaches every output, as a mono-to-stereo
        insert sounds when it is switched off (JUCE's own bypass silences the extra outputs).
    */
    using juce::AudioProcessor::processBlockBypassed;
    void processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages) override;

    /** A new wrapper around the kept editor, or null while there is none. */
    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void getCurrentProgramStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    void setCurrentProgramStateInformation (const void* data, int sizeInBytes) override;

    //==============================================================================
    // The host slots, through JUCE's index-based parameter interface, which hosts of
    // this generation drive. Slot numbers run from 0 to getNumHostParameters() - 1.
    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    using juce::AudioProcessor::getParameterName;
    using juce::AudioProcessor::getParameterText;
    int getNumParameters() override;
    /** The mapped parameter's display name, or "Parameter " and the slot number from 1. */
    const juce::String getParameterName (int slot) override;
    /** The mapped parameter's normalised value, or the value the host last set. */
    float getParameter (int slot) override;
    /** The mapped parameter's value text, or the host's value with 8 significant digits. */
    const juce::String getParameterText (int slot) override;
    /** The recorded default of the mapped parameter; 0 when unmapped or none recorded. */
    float getParameterDefaultValue (int slot) override;
    /** Stores the host's value and, when the slot is mapped, sets the parameter with
        notification, without echoing the change back to the host.
    */
    void setParameter (int slot, float value) override;
    bool isParameterAutomatable (int slot) const override;
    bool isMetaParameter (int slot) const override;
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE

    //==============================================================================
    /** Reports a parameter change to the host slot it is mapped to, unless the change
        came from that slot.
    */
    void parameterChanged (Parameter* parameter) override;
    void parameterGestureBegan (Parameter* parameter) override;
    void parameterGestureEnded (Parameter* parameter) override;

    void presetCollectionChanged (PresetCollection*) override {}

    /** @internal Delivers the pending state notifications on the message thread. */
    void handleAsyncUpdate() override;

    //==============================================================================
    juce::String getProductName() const override;
    juce::String getModulePath() const override;
    juce::String getExtraText() const override;
    juce::String getBuildId() const override;
    juce::String getPlatformName() const override;
    juce::String getBranchName() const override;
    juce::String getFinalText() const override;

    //==============================================================================
    virtual int getRealtimeQualityParameterIndex() const         { return -1; }
    virtual int getOfflineQualityParameterIndex() const          { return -1; }
    virtual int getDefaultRealtimeQualityParameterIndex() const  { return -1; }
    virtual int getDefaultOfflineQualityParameterIndex() const   { return -1; }

    /** Called on a host thread when the host switches between real-time (false) and
        offline (true) rendering. (JUCE's own setNonRealtime only records the flag.)
    */
    virtual void applyNonRealtimeMode (bool /*offline*/) {}

    /** Start-up step 3: listens to every parameter, reads the user settings, loads
        the user's MIDI control map when asked and the host-parameter map.
    */
    virtual void initialise();

    /** A new editor for this processor; the product returns its own. */
    virtual std::unique_ptr<BasePluginEditor> createPluginEditor();

    virtual juce::String getProductCode() const                  { return "XX"; }

    virtual bool isValidStateXml (const juce::XmlElement* element) const;
    /** Restores the editor's element of a "PluginState" of this product; the product
        restores its own children.
    */
    virtual void setStateFromXml (const juce::XmlElement& element);
    /** "PluginState", noting whether the preset has unsaved edits ("presetModified" = "yes" or
        "no"), with the editor's element when there is one; the caller owns it.
    */
    virtual std::unique_ptr<juce::XmlElement> createStateXml();
    virtual void setProgramStateFromXml (const juce::XmlElement&) {}
    virtual std::unique_ptr<juce::XmlElement> createProgramStateXml()  { return {}; }

    /** The user data folder / product name + ".ini". */
    virtual juce::File getSettingsFile() const;
    virtual bool isValidSettingsXml (const juce::XmlElement* element) const;
    /** The product's section of the user settings, read and written after the framework's. */
    virtual void readUserSettings (const juce::XmlElement&) {}
    /** At start-up, in place of readUserSettings, when a settings file is there but could not
        be read: what it recorded is unknown, and the product takes what is safest.
    */
    virtual void settingsCouldNotBeRead() {}
    /** Before the settings are written, with those in the file as it is now: the product takes
        from them what another instance recorded and this one must not undo.
    */
    virtual void mergeRecordedSettings (const juce::XmlElement&) {}
    virtual void writeUserSettings (juce::XmlElement&) {}
    /** Runs at the end of loading the user settings, also when there were none. */
    virtual void applyDefaultSettings() {}

    virtual int getNumHostParameters() const                     { return maxHostSlots; }
    virtual juce::String getParameterValueText (int index) const;
    virtual juce::String getParameterDisplayName (int index) const;

    /** Receives every event uid that the framework editor does not handle itself. */
    virtual void handleEvent (int /*uid*/) {}

    virtual bool isDebugMode() const                             { return false; }
    virtual bool isStateDumpEnabled() const                      { return false; }

    //==============================================================================
    // Presets. The collection arguments let a product keep several collections; this
    // framework's products have one, named "Presets".
    virtual PresetCollection* getPresetCollection (const juce::String& name) const;
    virtual PresetCollection* getPresetCollection (int index) const;
    virtual int getNumPresetCollections() const                  { return 1; }

    /** The current state as a new preset, owned by the caller (null by default). */
    virtual std::unique_ptr<Preset> createPreset (PresetCollection*, const juce::String& /*path*/) { return {}; }
    /** Applies a preset's values. */
    virtual void applyPreset (PresetCollection*, const Preset&) {}
    /** The preset that "Restore default" applies; not owned by the caller. */
    virtual Preset* getDefaultPreset (PresetCollection*)         { return nullptr; }
    /** The current preset's name (the product keeps it in a parameter); callable without
        a collection. An override repeats the default argument.
    */
    virtual juce::String getPresetName (PresetCollection* collection = nullptr) const;
    virtual void setPresetName (PresetCollection*, const juce::String&) {}

    virtual bool isPresetLoaded (PresetCollection* collection) const;
    virtual void setPresetLoaded (PresetCollection* collection, bool loaded);
    virtual bool isPresetModified (PresetCollection* collection) const;
    virtual void setPresetModified (PresetCollection* collection, bool modified);
    /** The full path of the current preset of the own collection; empty for any other. */
    virtual juce::String getCurrentPresetName (PresetCollection* collection) const;
    virtual void setCurrentPresetName (PresetCollection* collection, const juce::String& path);

    /** Whether the about window shows a credits text. */
    virtual bool isCreditsEnabled() const                        { return false; }
    virtual juce::String getCreditsText() const                  { return {}; }

    //==============================================================================
    /** Creates the kept editor when there is none: initialise, the debug panel in debug
        mode, a look-and-feel change, visible, its 25 ms timer. An existing one stays.
    */
    void createEditorIfNeeded();
    BasePluginEditor* getEditor() const noexcept                 { return editor.get(); }

    /** Adds a listener once; null is ignored. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);
    using juce::AudioProcessor::addListener;
    using juce::AudioProcessor::removeListener;
    /** Calls presetLoaded on every listener, last added first. */
    void notifyPresetLoaded (PresetCollection* collection);

    /** The mode poll of prepareToPlay and processBlock: tells the product and, on the
        message thread, the listeners when the host's offline flag changed.
    */
    void updateNonRealtimeMode();

    //==============================================================================
    /** Replaces the own collection with a new one named "Presets" for files of that
        extension below the root folder.
    */
    void createPresetCollection (const juce::String& extension, const juce::File& rootFolder);
    /** "Restore default": applies the default preset and marks it as loaded. */
    void loadDefaultPreset (PresetCollection* collection);
    /** Loads the preset at that path of the collection, completed from the default
        preset, unless it is already the current one.
    */
    void loadPresetFromCollection (PresetCollection* collection, const juce::String& path);
    /** Load the preset after (or before) the current one in the collection's flat
        list, wrapping at the ends.
    */
    void selectNextPreset (PresetCollection* collection);
    void selectPreviousPreset (PresetCollection* collection);
    /** Writes the current state as a preset file and makes it the current preset.
        Answers false, changing nothing else, when there was nothing to save or the file
        could not be written.
    */
    bool savePresetToFile (PresetCollection* collection, const juce::File& file);
    /** Writes the current author name into one of the user's own preset files (those
        without an id); leaves factory presets alone. Safe on a worker thread.
    */
    bool updatePresetAuthor (const juce::String& path);

    juce::String getAuthor() const;
    void setAuthor (const juce::String& newAuthor);

    /** Debug parameters 300000 to 300011 and debug events 10000 to 10011. */
    void createDebugParameters();

    //==============================================================================
    juce::File getUserDataFolder() const;
    juce::File getCommonDataFolder() const;
    /** Registers a named folder and creates it when missing; false when the name is taken. */
    bool addFolder (const juce::String& name, const juce::File& folder);
    /** The registered folder, or juce::File() for an unknown name. */
    juce::File getFolder (const juce::String& name) const;

    /** A new element with that tag and "application" = the product name. */
    std::unique_ptr<juce::XmlElement> createXml (const juce::String& tagName) const;
    /** True for an element with that tag and "application" = the product name, both
        compared ignoring case.
    */
    bool isValidXml (const juce::XmlElement* element, const juce::String& tagName) const;

    void loadUserSettings();
    /** Writes the settings file; false when it could not be written, or was not because it
        could not be read when the settings were loaded. What another instance recorded in the
        file since this one read or wrote it, and this one has not changed, is kept.
    */
    bool saveUserSettings();
    /** A sentence for the user when the settings file could not be read at start-up, else empty. */
    const juce::String& getSettingsProblem() const noexcept      { return settingsProblem; }
    void readStateDump();
    /** Writes the state dump; false when there was nothing to write or it failed. */
    bool writeStateDump();

    //==============================================================================
    /** The parameter on a host slot, or null. */
    Parameter* getHostSlotParameter (int slot) const;
    /** Puts an automatable parameter on a slot, taking it off any other slot; null
        clears the slot. A parameter that is not automatable, or a slot out of range,
        puts nothing anywhere.
    */
    void assignHostParameter (int slot, Parameter* parameter);
    void clearHostParametersMap();
    bool isValidHostParametersMap (const juce::XmlElement* element) const;
    /** Replaces the whole map by a valid document's; an invalid one changes nothing. */
    void readHostParametersMap (const juce::XmlElement* element);
    std::unique_ptr<juce::XmlElement> createHostParametersMapXml() const;
    /** Returns whether the file held a valid map. */
    bool loadHostParametersMapFile (const juce::File& file);
    /** Returns false when the file could not be written. A link that leads to no file is
        written through only when the caller says so, once the user has been asked.
    */
    bool saveHostParametersMapFile (const juce::File& file,
                                    AtomicFileWriter::DanglingLinks danglingLinks = AtomicFileWriter::DanglingLinks::refuse) const;
    /** The start-up map: the user's file when hostMapDefault is set, else the built-in map. */
    void loadHostParametersMap();
    void setHostParametersMapFile (const juce::String& path);

    //==============================================================================
    static constexpr int maxHostSlots = 128;

    /** The one owner of every parameter. */
    ParameterManager parameterManager;
    /** MIDI learn and the controller map. */
    MidiControl midiControl { &parameterManager };
    /** The event names and uids of the skin. */
    EventsMap eventsMap;

    /** Broadcasts every change of the host slot table, on the message thread. */
    juce::ChangeBroadcaster hostMapChangeBroadcaster;
    /** Whether the user's host-parameter map file is loaded at start-up. */
    bool hostMapDefault = false;
    /** The user's host-parameter map file. */
    juce::String hostMapPath;

    /** Raised on MIDI activity and consumed by the editor with one exchange. */
    std::atomic<int> midiActivityFlag { 0 };

protected:
    /** Deletes the kept editor; the product's destructor calls it while its own
        members, which the editor may use, still live.
    */
    void deleteEditor();

private:
    //==============================================================================
    std::atomic<bool> lastNonRealtime { false };
    std::unique_ptr<BasePluginEditor> editor;
    juce::File moduleFile;
    juce::HashMap<juce::String, juce::File> folders { 101 };

    juce::Array<Parameter*, juce::CriticalSection> hostSlots;
    // Every access holds the map's lock, set() included (it writes after its own lock is released).
    juce::HashMap<int, int, juce::DefaultHashFunctions, juce::CriticalSection> slotOfParameter { 101 };
    std::array<std::atomic<float>, maxHostSlots> cachedHostValues {};
    std::array<std::atomic<int>, maxHostSlots> hostIsSetting {};

    std::atomic<int> stateRestoredFlag { 0 }, stateSavedFlag { 0 }, preparedFlag { 0 }, processingModeFlag { 0 };
    juce::ListenerList<Listener> listeners;

    std::unique_ptr<PresetCollection> presetCollection;
    juce::String currentPresetName;
    std::atomic<bool> presetModified { false }, presetLoaded { false };

    juce::String author;
    juce::SpinLock authorLock;
    // The author as the settings file held it when this instance last read or wrote it.
    juce::String recordedAuthor;

    juce::String settingsProblem;
    bool settingsFileLeftAlone = false;

    //==============================================================================
    bool isHostSlot (int slot) const;
    int findSlotOf (const Parameter* parameter) const;
    void clearHostSlot (int slot);
    void raiseFlag (std::atomic<int>& flag, int value);
    void selectAdjacentPreset (PresetCollection* collection, int step);
    /** setStateFromXml, then the preset's modified flag as the document was saved with it. */
    void restoreState (const juce::XmlElement& state);
    bool isOwnCollection (const PresetCollection* collection) const noexcept;
    juce::File getStateDumpFile() const;
    bool writeXmlFile (const juce::XmlElement& element, const juce::File& file,
                       AtomicFileWriter::DanglingLinks danglingLinks = AtomicFileWriter::DanglingLinks::refuse) const;
    /** Keeps a settings file that cannot be read from being lost, and notes it for the user. */
    void keepSettingsThatCannotBeRead (const juce::File& file);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BasePlugin)
};

/** The file-chooser pattern for files of that extension: "*" + extension. */
inline juce::String makeWildcard (const juce::String& extension)    { return "*" + extension; }
