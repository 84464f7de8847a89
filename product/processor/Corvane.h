#pragma once

#include "BasePlugin.h"
#include "Clock.h"
#include "CorvaneParameterIds.h"
#include "MidiEventQueue.h"
#include "ParameterPadlockRange.h"
#include "Preset.h"
#include "RetriggerSettings.h"

#include <array>
#include <atomic>
#include <memory>
#include <optional>

class CorvaneDelayLine;
class DelayEngine;

/**
    The Corvane delay: the processor that the plug-in factory creates.

    It keeps a copy of the 47 line parameters for each of the four delay lines
    (ids n * 1000 + index) and shows the selected line's copies under ids 0 to 46;
    it turns every parameter change into engine settings, walks each audio block
    sample by sample to cut it at MIDI events and at the edges of the two tempo
    clocks that re-phase the modulators' LFOs, retriggers and learns MIDI notes, and
    writes tapped delay times back into their parameters.

    Every call into the engine is made under the engine lock, one render run or one
    setting at a time, so a parameter change never waits longer than one run.
*/
class Corvane  : public BasePlugin
{
public:
    /** Hears of the line clipboard being filled and pasted (the editor refreshes). */
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void lineCopied() = 0;
        virtual void linePasted (Corvane* processor) = 0;
    };

    Corvane();
    ~Corvane() override;

    //==============================================================================
    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages) override;
    using BasePlugin::processBlock;

    bool isInputChannelStereoPair (int index) const override;
    bool isOutputChannelStereoPair (int index) const override;
    double getTailLengthSeconds() const override                { return 0.0; }
    bool acceptsMidi() const override                           { return true; }
    bool producesMidi() const override                          { return false; }

    //==============================================================================
    int getRealtimeQualityParameterIndex() const override       { return CorvaneParameterIds::realtimeQuality; }
    int getOfflineQualityParameterIndex() const override        { return CorvaneParameterIds::offlineQuality; }
    int getDefaultRealtimeQualityParameterIndex() const override { return CorvaneParameterIds::defaultRealtimeQuality; }
    int getDefaultOfflineQualityParameterIndex() const override { return CorvaneParameterIds::defaultOfflineQuality; }
    void applyNonRealtimeMode (bool offline) override;

    std::unique_ptr<BasePluginEditor> createPluginEditor() override;
    juce::String getProductName() const override                { return "Corvane"; }
    juce::String getProductCode() const override                { return "CV"; }

    //==============================================================================
    std::unique_ptr<juce::XmlElement> createStateXml() override;
    void setStateFromXml (const juce::XmlElement& state) override;
    void readUserSettings (const juce::XmlElement& settings) override;
    void settingsCouldNotBeRead() override;
    void mergeRecordedSettings (const juce::XmlElement& settings) override;
    void writeUserSettings (juce::XmlElement& settings) override;
    void applyDefaultSettings() override;

    juce::String getParameterValueText (int id) const override;
    juce::String getParameterDisplayName (int id) const override;

    std::unique_ptr<Preset> createPreset (PresetCollection* collection, const juce::String& path) override;
    void applyPreset (PresetCollection* collection, const Preset& preset) override;
    Preset* getDefaultPreset (PresetCollection* collection) override;
    juce::String getPresetName (PresetCollection* collection = nullptr) const override;
    void setPresetName (PresetCollection* collection, const juce::String& name) override;

    //==============================================================================
    juce::String getDescription() const override;
    juce::String getVersion() const override                    { return "1.1.0"; }
    juce::String getWebAddress() const override;
    juce::String getReleaseYear() const override                { return "2013"; }
    juce::String getBuildDate() const override                  { return "2014-09-02"; }
    juce::String getBuildId() const override;
    juce::String getFormatName() const override;
    juce::String getBranchName() const override                 { return "master"; }
    juce::String getFinalText() const override                  { return "0"; }

    //==============================================================================
    void parameterChanged (Parameter* parameter) override;
    void parameterGestureBegan (Parameter* parameter) override;
    void parameterGestureEnded (Parameter* parameter) override;

    //==============================================================================
    /** Adds a listener once; null is ignored. The editor lives as long as the
        processor, but may take itself off again with removeListener.
    */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);
    using BasePlugin::addListener;
    using BasePlugin::removeListener;

    /** Makes a line (0 to 3) the one that ids 0 to 46 show and edit. Does not write
        "Selected Line Number": that parameter's change is what calls this.
    */
    void selectLine (int line);
    int getSelectedLine() const noexcept                        { return selectedLine.load(); }

    /** Copies a line's parameters, except mute, panning and volume, into the clipboard. */
    void copyLineToClipboard (int line);
    /** Pastes the clipboard once into a line and selects it; nothing when it is empty. */
    void pasteClipboardToLine (int line);
    /** The line last copied (0 to 3), or -1 while the clipboard is empty. */
    int getClipboardLine() const noexcept                       { return clipboardLine.load(); }

    /** A tap of the left (1) or right (2) tap-tempo button on the selected line's
        visible time panel; the measured interval becomes the delay time at the end
        of the block in which it is measured.
    */
    void tapTempo (int button);

    /** The padlocks of lines 1 to 4 (index 0 to 3) and of "FX Amount" (index 4). */
    static constexpr int numPadlocks = 5;
    ParameterPadlock& getPadlock (int index)                    { return padlocks[(size_t) index]; }

    /** The values every parameter of a line (0 to 3) had when the processor was built. */
    Preset& getLineDefaultPreset (int line)                     { return lineDefaultPresets[(size_t) line]; }

    /** True until the current factory presets are recorded as installed. */
    bool factoryPresetsNeedInstalling() const;
    /** Records the factory presets as installed; safe on any thread (the installer's
        worker calls it): the collection rescan and the settings save follow on the
        message thread.
    */
    void setFactoryPresetsInstalled();
    juce::String getInstalledFactoryPresetsVersion() const;

    /** The engine, for the editor's meters. Its indicators may be read without a
        lock; anything else only under getEngineLock().
    */
    DelayEngine& getEngine() noexcept                           { return *engine; }
    const juce::CriticalSection& getEngineLock() const noexcept { return engineLock; }

    /** The processing quality the engine renders with now (0 "Low" to 3 "Ultra"):
        that of the real-time or the offline mode, whichever the host is in.
    */
    int getEngineQuality() const noexcept                       { return engineQuality.load(); }

    /** The text of the two factory-preset versions. */
    static constexpr const char* currentFactoryPresetsVersion = "1.1";

    /** @internal */
    void handleAsyncUpdate() override;

protected:
    /** Renders one run of a block in place, under the engine lock, and gathers the
        run's tap measurements. Every render of the block walk comes through here.
    */
    virtual void renderEngineRun (float** channels, int numSamples);

private:
    void renderRun();
    void handleMidiEvent (const juce::MidiMessage& message);
    void updateHostTransport();
    void writeBackTappedTimes();
    void writeBackLearntNotes();

    void dispatchLineParameter (Parameter& parameter);
    void dispatchGlobalParameter (Parameter& parameter);
    void dispatchEditionParameter (Parameter& parameter);
    void dispatchDefaultSettingsParameter (Parameter& parameter);
    void dispatchSwitchParameter (Parameter& parameter);
    void setExclusiveLearn (int learnId, bool on);
    /** The settings in the order of the learn switches: the modulators' (0, 1), then their defaults (2, 3). */
    RetriggerSettings& getRetriggerSettings (int slot) noexcept;
    /** The selected line's copy of a parameter of ids 0 to 46; null for any other. */
    Parameter* getSelectedLineCopy (const Parameter& view);
    void updateLfoClockRate (int modulator);
    void applyQualityOfCurrentMode();
    void markPresetModified();

    /** A preset of the current values of ids. */
    std::unique_ptr<Preset> capturePreset (const juce::String& name, const juce::String& version,
                                           const juce::SparseSet<int>& ids);
    /** Sets the entries of a preset that, renumbered from older versions, are among ids. */
    void applyPresetEntries (const Preset& preset, const juce::SparseSet<int>& ids, int (*renumber) (int) noexcept);
    void applyEditionStatePreset (const Preset& preset);
    bool isLockedByPadlock (int id) const;
    juce::String getStereoSpreadText (int line, float value) const;
    CorvaneDelayLine& getTimeStage (int line, bool preDelay);
    /** The factory-preset version that a settings document records, or nothing. */
    static std::optional<juce::String> recordedFactoryPresetsVersion (const juce::XmlElement& settings);

    //==============================================================================
    bool presetFolderHasEntries = false;
    juce::String installedFactoryPresetsVersion;
    mutable juce::SpinLock installedVersionLock;
    std::atomic<int> factoryPresetsJustInstalled { 0 };

    std::unique_ptr<DelayEngine> engine;
    juce::CriticalSection engineLock;
    MidiEventQueue midiQueue;

    float* channelPointers[2] = {};
    juce::uint32 runLength = 0, runStart = 0;
    bool inputIsStereo = true, outputIsStereo = true;
    int preparedBlockSize = 1024;
    std::array<bool, 16> tapFlagsOfBlock {};

    std::atomic<int> selectedLine { 0 };
    juce::OwnedArray<Clock> clocks;
    juce::Array<Listener*> listeners;
    // Atomic, as the clocks' own settings: the host's and the editor's threads (and a learnt
    // controller on the audio thread) set them at once.
    std::atomic<double> lfoRates[2] { { 1.0 / 128.0 }, { 1.0 / 128.0 } };
    std::atomic<double> lfoScales[2] { { 1.0 }, { 1.0 } };

    juce::OwnedArray<Parameter> clipboard;
    std::atomic<int> clipboardLine { -1 };
    int clipboardTimePanel = 0;

    std::array<ParameterPadlockRange, numPadlocks> padlocks;
    juce::SparseSet<int> presetIds, editionIds, defaultSettingsIds;
    Preset defaultPreset;
    std::array<juce::SparseSet<int>, CorvaneParameterIds::numLines> lineIds;
    std::array<Preset, CorvaneParameterIds::numLines> lineDefaultPresets;

    float sampleRate = 44100.0f;
    RetriggerSettings retriggers[2], defaultRetriggers[2];
    std::atomic<int> retriggerModes[2] { { 0 }, { 0 } };     // read by the audio thread
    std::atomic<int> engineQuality { 0 };
    bool tapStates[2] = {};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Corvane)
};

/** The module's plug-in factory: a new Corvane, started up (the host wrapper's entry). */
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter();
