#include "BasePlugin.h"

#include "ApplicationDataFolders.h"
#include "AtomicFileWriter.h"
#include "AudioProcessorEditorWrapper.h"
#include "BasePluginEditor.h"
#include "CaseKey.h"
#include "FloatParameter.h"
#include "FolderChild.h"
#include "NumberConversions.h"
#include "Preset.h"
#include "ResourceLoading.h"
#include "StrictUtf8.h"
#include "XmlHelpers.h"

#include <filesystem>
#include <optional>

#if JUCE_LINUX
 #include <dlfcn.h>
 #include <link.h>
#endif

namespace
{
    /** The file the plug-in's code was loaded from, none when its name is not UTF-8 text.
        JUCE finds it by way of the working folder, whose name it reads without a check.
    */
    juce::File findModuleFile()
    {
       #if JUCE_LINUX
        Dl_info info {};
        link_map* map = nullptr;

        if (dladdr1 (reinterpret_cast<void*> (&findModuleFile), &info, reinterpret_cast<void**> (&map), RTLD_DL_LINKMAP) == 0
             || map == nullptr || map->l_name == nullptr)
            return {};

        // The program itself has no name of its own here: the system's link to it tells.
        std::error_code error;
        const auto path = std::filesystem::canonical (*map->l_name != 0 ? map->l_name : "/proc/self/exe", error);
        const auto name = error ? std::nullopt : StrictUtf8::toString (path.native());
        return name.has_value() ? juce::File (*name) : juce::File();
       #else
        return juce::File::getSpecialLocation (juce::File::currentApplicationFile);
       #endif
    }

    struct FrameworkEvent
    {
        int uid;
        const char* name;
    };

    constexpr FrameworkEvent frameworkEvents[] =
    {
        { 1000, "Options" },
        { 1001, "About" },
        { 1002, "Select next preset" },
        { 1003, "Select previous preset" },
        { 1004, "Browse presets" },
        { 1005, "Save preset" },
        { 1006, "Save preset as" },
        { 1007, "Copy current preset" },
        { 1008, "Paste copied preset" },
        { 1009, "Store current preset" },
        { 1010, "Toggle Midi Learn" }
    };

    constexpr int numDebugItems = 12;
    constexpr int firstDebugParameter = 300000;
    constexpr int firstDebugEvent = 10000;

    const char* const defaultQualityPresetName = "DefaultProcessingQuality";

    /** The state document's note of unsaved preset edits; readers that do not know it skip it. */
    const char* const presetModifiedAttribute = "presetModified";

    /** Paths from settings files and documents are untrusted: only an absolute path names
        a file (a relative one would depend on the host's working folder).
    */
    juce::File fileFromPath (const juce::String& path)
    {
        return FolderChild::fromPath (path);
    }

    /** The author that a settings document records, or nothing when it records none. */
    std::optional<juce::String> authorIn (const juce::XmlElement& settings)
    {
        std::optional<juce::String> author;

        for (auto* child : settings.getChildIterator())
            if (XmlHelpers::hasTagName (*child, "Presets"))
                if (auto* authorElement = XmlHelpers::getChildByName (*child, "Author"))
                    author = XmlHelpers::getStringAttribute (*authorElement, "name");

        return author;
    }

    bool readsAsYes (const juce::XmlElement& element)
    {
        return CaseKey::equal (XmlHelpers::getStringAttribute (element, "default"), "yes");
    }

    juce::XmlElement* appendMapSettings (juce::XmlElement& root, const char* tagName,
                                         bool loadAtStartUp, const juce::String& path)
    {
        auto* element = root.createNewChildElement (tagName);
        element->setAttribute ("default", loadAtStartUp ? "yes" : "no");

        if (path.isNotEmpty())
            element->setAttribute ("file", path);

        return element;
    }
}

//==============================================================================
BasePlugin::BasePlugin()
{
    {
        const juce::ScopedLock sl (hostSlots.getLock());
        hostSlots.ensureStorageAllocated (maxHostSlots);
        hostSlots.insertMultiple (0, nullptr, maxHostSlots);
    }

    parameterManager.loadResource ("parameters.xml");
    eventsMap.loadResource ("events.xml");

    for (const auto& event : frameworkEvents)
        eventsMap.addEvent (event.uid, event.name);

    moduleFile = findModuleFile();
}

BasePlugin::~BasePlugin()
{
    cancelPendingUpdate();

    // Normally gone already: the product deletes it while its own members still live.
    editor.reset();

    if (presetCollection != nullptr)
        presetCollection->removeListener (this);

    presetCollection.reset();
}

void BasePlugin::startUp()
{
    if (isDebugMode())
        createDebugParameters();

    BasePlugin::initialise();
    createEditorIfNeeded();
    parameterManager.notifyAllParameters();

    // The product may take every announced value for an edit: a new instance starts unedited.
    presetModified = false;

    if (isStateDumpEnabled())
        readStateDump();
}

void BasePlugin::initialise()
{
    parameterManager.addListener (this);
    loadUserSettings();
    midiControl.setProductName (getProductName());

    if (midiControl.isDefaultMap())
        midiControl.loadMapFile (fileFromPath (midiControl.getMapPath()));

    loadHostParametersMap();
}

std::unique_ptr<BasePluginEditor> BasePlugin::createPluginEditor()
{
    return std::make_unique<BasePluginEditor> (*this);
}

void BasePlugin::createEditorIfNeeded()
{
    if (editor != nullptr)
        return;

    editor = createPluginEditor();

    if (editor == nullptr)
        return;

    editor->initialise();

    if (isDebugMode())
        editor->addDebugPanel();

    editor->sendLookAndFeelChange();
    editor->setVisible (true);
    editor->startTimer (25);
}

void BasePlugin::deleteEditor()
{
    editor.reset();
}

//==============================================================================
const juce::String BasePlugin::getName() const               { return getProductName(); }

void BasePlugin::prepareToPlay (double, int)
{
    updateNonRealtimeMode();
    raiseFlag (preparedFlag, 1);
}

void BasePlugin::releaseResources() {}

void BasePlugin::processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&)
{
    updateNonRealtimeMode();
}

void BasePlugin::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    const auto numInputs = getMainBusNumInputChannels();

    for (int channel = numInputs; channel < buffer.getNumChannels(); ++channel)
    {
        if (numInputs == 1)
            buffer.copyFrom (channel, 0, buffer, 0, 0, buffer.getNumSamples());
        else
            buffer.clear (channel, 0, buffer.getNumSamples());
    }
}

juce::AudioProcessorEditor* BasePlugin::createEditor()
{
    if (editor == nullptr)
        return nullptr;

    return new AudioProcessorEditorWrapper (*this, editor.get());
}

bool BasePlugin::hasEditor() const                           { return true; }

int BasePlugin::getNumPrograms()                             { return 0; }
int BasePlugin::getCurrentProgram()                          { return 0; }
void BasePlugin::setCurrentProgram (int)                     {}
const juce::String BasePlugin::getProgramName (int)          { return {}; }
void BasePlugin::changeProgramName (int, const juce::String&) {}

void BasePlugin::getStateInformation (juce::MemoryBlock& destData)
{
    if (auto xml = createStateXml())
        copyXmlToBinary (*xml, destData);

    raiseFlag (stateSavedFlag, 1);
}

void BasePlugin::getCurrentProgramStateInformation (juce::MemoryBlock& destData)
{
    if (auto xml = createProgramStateXml())
        copyXmlToBinary (*xml, destData);
}

void BasePlugin::setStateInformation (const void* data, int sizeInBytes)
{
    // A cut, broken or foreign chunk leaves the state as it was.
    if (auto xml = XmlHelpers::parseUntrustedBinary (data, sizeInBytes))
        restoreState (*xml);

    raiseFlag (stateRestoredFlag, 1);
}

void BasePlugin::setCurrentProgramStateInformation (const void* data, int sizeInBytes)
{
    if (auto xml = XmlHelpers::parseUntrustedBinary (data, sizeInBytes))
        setProgramStateFromXml (*xml);
}

//==============================================================================
bool BasePlugin::isHostSlot (int slot) const
{
    return (unsigned int) slot < (unsigned int) juce::jlimit (0, maxHostSlots, getNumHostParameters());
}

Parameter* BasePlugin::getHostSlotParameter (int slot) const
{
    if (! isHostSlot (slot))
        return nullptr;

    const juce::ScopedLock sl (hostSlots.getLock());
    return hostSlots[slot];
}

int BasePlugin::findSlotOf (const Parameter* parameter) const
{
    if (parameter == nullptr)
        return -1;

    const auto index = parameter->getIndex();
    const juce::ScopedLock sl (slotOfParameter.getLock());
    return slotOfParameter.contains (index) ? slotOfParameter[index] : -1;
}

int BasePlugin::getNumParameters()
{
    return getNumHostParameters();
}

const juce::String BasePlugin::getParameterName (int slot)
{
    if (! isHostSlot (slot))
        return {};

    if (auto* parameter = getHostSlotParameter (slot))
        return getParameterDisplayName (parameter->getIndex());

    return "Parameter " + juce::String (slot + 1);
}

float BasePlugin::getParameter (int slot)
{
    if (! isHostSlot (slot))
        return 0.0f;

    if (auto* parameter = getHostSlotParameter (slot))
        return parameter->getNormalisedValue();

    return cachedHostValues[(size_t) slot].load();
}

const juce::String BasePlugin::getParameterText (int slot)
{
    if (! isHostSlot (slot))
        return {};

    if (auto* parameter = getHostSlotParameter (slot))
        return getParameterValueText (parameter->getIndex());

    return NumberConversions::toText ((double) cachedHostValues[(size_t) slot].load(), 8);
}

float BasePlugin::getParameterDefaultValue (int slot)
{
    if (auto* parameter = getHostSlotParameter (slot))
    {
        const auto index = parameter->getIndex();

        if (parameterManager.hasDefaultValue (index))
            return parameterManager.getDefaultValue (index);
    }

    return 0.0f;
}

void BasePlugin::setParameter (int slot, float value)
{
    if (! isHostSlot (slot))
        return;

    cachedHostValues[(size_t) slot].store (value);

    if (getHostSlotParameter (slot) == nullptr)
        return;

    // While the mark is up, parameterChanged does not send the host its own value back.
    auto& mark = hostIsSetting[(size_t) slot];
    mark.store (1);

    if (auto* parameter = getHostSlotParameter (slot))
        parameter->setNormalisedValue (value, true);

    mark.store (0);
}

bool BasePlugin::isParameterAutomatable (int slot) const     { return isHostSlot (slot); }
bool BasePlugin::isMetaParameter (int) const                 { return false; }

void BasePlugin::parameterChanged (Parameter* parameter)
{
    const auto slot = findSlotOf (parameter);

    if (isHostSlot (slot) && hostIsSetting[(size_t) slot].load() == 0)
        sendParamChangeMessageToListeners (slot, parameter->getNormalisedValue());
}

JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")

void BasePlugin::parameterGestureBegan (Parameter* parameter)
{
    const auto slot = findSlotOf (parameter);

    if (isHostSlot (slot))
        beginParameterChangeGesture (slot);
}

void BasePlugin::parameterGestureEnded (Parameter* parameter)
{
    const auto slot = findSlotOf (parameter);

    if (isHostSlot (slot))
        endParameterChangeGesture (slot);
}

JUCE_END_IGNORE_WARNINGS_GCC_LIKE

//==============================================================================
void BasePlugin::assignHostParameter (int slot, Parameter* parameter)
{
    if (parameter == nullptr)
    {
        clearHostSlot (slot);
        return;
    }

    // A parameter moves: it never sits on two slots.
    const auto oldSlot = findSlotOf (parameter);

    if (oldSlot >= 0 && oldSlot != slot)
        clearHostSlot (oldSlot);

    if (! parameter->isAutomatable() || ! isHostSlot (slot))
        return;

    auto* current = getHostSlotParameter (slot);

    if (current == parameter)
        return;

    if (current != nullptr)
        slotOfParameter.remove (current->getIndex());

    {
        const juce::ScopedLock sl (hostSlots.getLock());
        hostSlots.set (slot, parameter);
    }

    {
        // HashMap::set stores the value after its own lock is released; the audio and
        // host threads read the map at any time.
        const juce::ScopedLock sl (slotOfParameter.getLock());
        slotOfParameter.set (parameter->getIndex(), slot);
    }

    updateHostDisplay();
    hostMapChangeBroadcaster.sendChangeMessage();
}

void BasePlugin::clearHostSlot (int slot)
{
    if (! isHostSlot (slot))
        return;

    Parameter* removed = nullptr;

    {
        const juce::ScopedLock sl (hostSlots.getLock());
        removed = hostSlots[slot];

        if (removed != nullptr)
            hostSlots.set (slot, nullptr);
    }

    if (removed == nullptr)
        return;

    slotOfParameter.remove (removed->getIndex());
    hostMapChangeBroadcaster.sendChangeMessage();
}

void BasePlugin::clearHostParametersMap()
{
    {
        const juce::ScopedLock sl (hostSlots.getLock());
        hostSlots.clearQuick();
        hostSlots.insertMultiple (0, nullptr, maxHostSlots);
    }

    slotOfParameter.clear();
    hostMapChangeBroadcaster.sendChangeMessage();
}

bool BasePlugin::isValidHostParametersMap (const juce::XmlElement* element) const
{
    return element != nullptr
        && XmlHelpers::hasTagName (*element, "HostParametersMap")
        && CaseKey::equal (XmlHelpers::getStringAttribute (*element, "name"), getProductName());
}

void BasePlugin::readHostParametersMap (const juce::XmlElement* element)
{
    if (! isValidHostParametersMap (element))
        return;

    clearHostParametersMap();

    for (auto* assign : XmlHelpers::getChildrenWithTagName (*element, "assign"))
    {
        const auto number = XmlHelpers::getIntAttribute (*assign, "hostParam", 0);
        auto* parameter = parameterManager.getParameter (XmlHelpers::getStringAttribute (*assign, "pluginParam"));

        // Slot numbers count from 1; anything below names no slot.
        assignHostParameter (number > 0 ? number - 1 : -1, parameter);
    }

    hostMapChangeBroadcaster.sendChangeMessage();
}

std::unique_ptr<juce::XmlElement> BasePlugin::createHostParametersMapXml() const
{
    auto root = std::make_unique<juce::XmlElement> ("HostParametersMap");
    root->setAttribute ("name", getProductName());

    for (int slot = 0; slot < getNumHostParameters(); ++slot)
    {
        if (auto* parameter = getHostSlotParameter (slot))
        {
            auto* assign = root->createNewChildElement ("assign");
            assign->setAttribute ("hostParam", slot + 1);
            assign->setAttribute ("pluginParam", parameter->getName());
        }
    }

    return root;
}

bool BasePlugin::loadHostParametersMapFile (const juce::File& file)
{
    if (! file.existsAsFile())
        return false;

    const auto xml = XmlHelpers::parseUntrusted (file);

    if (! isValidHostParametersMap (xml.get()))
        return false;

    readHostParametersMap (xml.get());
    return true;
}

bool BasePlugin::saveHostParametersMapFile (const juce::File& file, AtomicFileWriter::DanglingLinks danglingLinks) const
{
    return writeXmlFile (*createHostParametersMapXml(), file, danglingLinks);
}

void BasePlugin::loadHostParametersMap()
{
    if (hostMapDefault)
    {
        // No fallback to the built-in map: the user asked for their own.
        loadHostParametersMapFile (fileFromPath (hostMapPath));
        return;
    }

    const auto resourceName = "default." + CaseKey::of (getProductCode() + "hpmap");

    if (const auto xml = juce::parseXML (loadXmlFromResource (resourceName)))
        readHostParametersMap (xml.get());
}

void BasePlugin::setHostParametersMapFile (const juce::String& path)
{
    hostMapPath = path;
}

//==============================================================================
void BasePlugin::addListener (Listener* listener)
{
    listeners.add (listener);
}

void BasePlugin::removeListener (Listener* listener)
{
    listeners.remove (listener);
}

void BasePlugin::notifyPresetLoaded (PresetCollection* collection)
{
    listeners.call (&Listener::presetLoaded, collection);
}

void BasePlugin::raiseFlag (std::atomic<int>& flag, int value)
{
    flag.store (value);
    triggerAsyncUpdate();
}

void BasePlugin::handleAsyncUpdate()
{
    if (stateRestoredFlag.exchange (0) == 1)
        listeners.call (&Listener::stateRestored, this);

    if (stateSavedFlag.exchange (0) == 1)
        listeners.call (&Listener::stateSaved, this);

    if (preparedFlag.exchange (0) == 1)
        listeners.call (&Listener::prepared, this);

    if (const auto mode = processingModeFlag.exchange (0); mode != 0)
        listeners.call (&Listener::processingModeChanged, this, mode);
}

void BasePlugin::updateNonRealtimeMode()
{
    const auto offline = isNonRealtime();

    if (offline == lastNonRealtime.load())
        return;

    lastNonRealtime.store (offline);
    applyNonRealtimeMode (offline);
    raiseFlag (processingModeFlag, offline ? 2 : 1);
}

//==============================================================================
juce::String BasePlugin::getProductName() const              { return "BasePlugin"; }
juce::String BasePlugin::getModulePath() const               { return moduleFile.getFullPathName(); }
juce::String BasePlugin::getExtraText() const                { return {}; }
juce::String BasePlugin::getBuildId() const                  { return {}; }
juce::String BasePlugin::getPlatformName() const             { return "64bit"; }
juce::String BasePlugin::getBranchName() const               { return {}; }
juce::String BasePlugin::getFinalText() const                { return {}; }

juce::String BasePlugin::getParameterValueText (int index) const
{
    return parameterManager.getParameterText (index);
}

juce::String BasePlugin::getParameterDisplayName (int index) const
{
    return parameterManager.getParameterName (index);
}

//==============================================================================
juce::File BasePlugin::getUserDataFolder() const
{
    return ApplicationDataFolders::getUserFolder().getChildFile ("Halvorn").getChildFile (getProductName());
}

juce::File BasePlugin::getCommonDataFolder() const
{
    return ApplicationDataFolders::getCommonFolder().getChildFile ("Halvorn").getChildFile (getProductName());
}

bool BasePlugin::addFolder (const juce::String& name, const juce::File& folder)
{
    if (folders.contains (name))
        return false;

    folders.set (name, folder);

    // A folder that cannot be made stays registered: whoever uses it finds it missing
    // and treats it as empty.
    if (folder != juce::File() && ! folder.isDirectory())
        folder.createDirectory();

    return true;
}

juce::File BasePlugin::getFolder (const juce::String& name) const
{
    return folders[name];
}

juce::File BasePlugin::getSettingsFile() const
{
    return getUserDataFolder().getChildFile (getProductName() + ".ini");
}

juce::File BasePlugin::getStateDumpFile() const
{
    return getUserDataFolder().getChildFile (getProductName() + ".dump");
}

std::unique_ptr<juce::XmlElement> BasePlugin::createXml (const juce::String& tagName) const
{
    auto element = std::make_unique<juce::XmlElement> (tagName);
    element->setAttribute ("application", getName());
    return element;
}

bool BasePlugin::isValidXml (const juce::XmlElement* element, const juce::String& tagName) const
{
    return element != nullptr
        && XmlHelpers::hasTagName (*element, tagName)
        && CaseKey::equal (XmlHelpers::getStringAttribute (*element, "application"), getProductName());
}

bool BasePlugin::isValidStateXml (const juce::XmlElement* element) const
{
    return isValidXml (element, "PluginState");
}

bool BasePlugin::isValidSettingsXml (const juce::XmlElement* element) const
{
    return isValidXml (element, "UserSettings");
}

bool BasePlugin::writeXmlFile (const juce::XmlElement& element, const juce::File& file, AtomicFileWriter::DanglingLinks danglingLinks) const
{
    // The user data folder is made on the first write.
    return file != juce::File() && file.getParentDirectory().createDirectory().wasOk()
        && AtomicFileWriter::write (file, element, danglingLinks) == AtomicFileWriter::Outcome::written;
}

//==============================================================================
std::unique_ptr<juce::XmlElement> BasePlugin::createStateXml()
{
    auto state = createXml ("PluginState");
    state->setAttribute (presetModifiedAttribute, presetModified ? "yes" : "no");

    if (editor != nullptr)
        if (auto editorState = editor->createStateXml())
            state->addChildElement (editorState.release());

    return state;
}

void BasePlugin::setStateFromXml (const juce::XmlElement& element)
{
    if (! isValidStateXml (&element) || editor == nullptr)
        return;

    if (auto* editorState = XmlHelpers::getChildByName (element, editor->getStateTagName()))
        editor->loadStateXml (*editorState);
}

void BasePlugin::restoreState (const juce::XmlElement& state)
{
    setStateFromXml (state);

    // Restoring sets every parameter, which the product may take for edits: the preset comes
    // back as edited only when it was so when the state was saved. A document that does not
    // say (one written before this note was kept) keeps the preset marked, so that stepping
    // to another preset still asks before dropping edits that may never have been saved.
    if (isValidStateXml (&state))
        presetModified = ! CaseKey::equal (XmlHelpers::getStringAttribute (state, presetModifiedAttribute), "no");
}

void BasePlugin::loadUserSettings()
{
    const auto file = getSettingsFile();
    const auto settings = XmlHelpers::parseUntrusted (file);

    if (! isValidSettingsXml (settings.get()) && (file.exists() || file.isSymbolicLink()))
    {
        keepSettingsThatCannotBeRead (file);
        settingsCouldNotBeRead();
    }

    if (isValidSettingsXml (settings.get()))
    {
        if (const auto recorded = authorIn (*settings))
            setAuthor (*recorded);

        recordedAuthor = getAuthor();

        for (auto* child : settings->getChildIterator())
        {
            if (XmlHelpers::hasTagName (*child, "MidiControlMap"))
            {
                midiControl.setDefaultMap (readsAsYes (*child));
                midiControl.setMapPath (XmlHelpers::getStringAttribute (*child, "file"));
            }
            else if (XmlHelpers::hasTagName (*child, "HostParametersMap"))
            {
                hostMapDefault = readsAsYes (*child);
                setHostParametersMapFile (XmlHelpers::getStringAttribute (*child, "file"));
            }
        }

        const auto realtimeDefault = getDefaultRealtimeQualityParameterIndex();
        const auto offlineDefault = getDefaultOfflineQualityParameterIndex();

        for (auto* presetElement : XmlHelpers::getChildrenWithTagName (*settings, "Preset"))
        {
            if (XmlHelpers::getStringAttribute (*presetElement, "name") != defaultQualityPresetName)
                continue;

            Preset qualities;
            qualities.loadFromXml (presetElement, parameterManager, false);

            for (int i = 0; i < qualities.getNumEntries(); ++i)
            {
                const auto* entry = qualities.getEntry (i);

                if (entry->index >= 0 && (entry->index == realtimeDefault || entry->index == offlineDefault))
                    parameterManager.setParameterText (entry->index, entry->text);
            }
        }

        readUserSettings (*settings);
    }

    // The live qualities always start from the defaults, settings file or not.
    parameterManager.copyParameterValue (getRealtimeQualityParameterIndex(), getDefaultRealtimeQualityParameterIndex());
    parameterManager.copyParameterValue (getOfflineQualityParameterIndex(), getDefaultOfflineQualityParameterIndex());
    applyDefaultSettings();
}

void BasePlugin::keepSettingsThatCannotBeRead (const juce::File& file)
{
    // The defaults take the place of settings that cannot be read, but must not destroy them:
    // a file that reads as no settings of this product is kept under a second name before it
    // is replaced, and one that cannot be read at all is not replaced.
    juce::File kept;

    if (Preset::isRegularFile (file) && file.hasReadAccess())
        kept = AtomicFileWriter::keepUnderSecondName (file, file.getFileNameWithoutExtension() + " (damaged)" + file.getFileExtension());

    settingsFileLeftAlone = kept == juce::File();
    settingsProblem = "The settings in '" + file.getFullPathName() + "' could not be read: the defaults are used, and the file is "
                    + (settingsFileLeftAlone ? juce::String ("left as it is.") : "kept as '" + kept.getFullPathName() + "'.");
}

bool BasePlugin::saveUserSettings()
{
    // Another instance may have written the file since this one read it: what that one
    // recorded and this one has not changed must outlive this one's close.
    if (const auto recorded = XmlHelpers::parseUntrusted (getSettingsFile()); isValidSettingsXml (recorded.get()))
    {
        if (const auto recordedElsewhere = authorIn (*recorded); recordedElsewhere && getAuthor() == recordedAuthor)
            setAuthor (*recordedElsewhere);

        mergeRecordedSettings (*recorded);
    }

    auto settings = createXml ("UserSettings");

    settings->createNewChildElement ("Presets")->createNewChildElement ("Author")->setAttribute ("name", getAuthor());
    appendMapSettings (*settings, "MidiControlMap", midiControl.isDefaultMap(), midiControl.getMapPath());
    appendMapSettings (*settings, "HostParametersMap", hostMapDefault, hostMapPath);

    Preset qualities;
    qualities.setName (defaultQualityPresetName);

    for (auto index : { getDefaultRealtimeQualityParameterIndex(), getDefaultOfflineQualityParameterIndex() })
        if (auto* parameter = parameterManager.getParameter (index))
            qualities.addEntry (parameter);

    settings->addChildElement (qualities.createXml (parameterManager).release());

    if (editor != nullptr)
        if (auto editorSettings = editor->createSettingsXml())
            settings->addChildElement (editorSettings.release());

    writeUserSettings (*settings);

    const auto written = ! settingsFileLeftAlone && writeXmlFile (*settings, getSettingsFile());

    if (written)
        recordedAuthor = *authorIn (*settings);

    if (isStateDumpEnabled())
        writeStateDump();

    return written;
}

bool BasePlugin::writeStateDump()
{
    auto state = createStateXml();
    const auto written = state != nullptr && writeXmlFile (*state, getStateDumpFile());

    raiseFlag (stateSavedFlag, 1);
    return written;
}

void BasePlugin::readStateDump()
{
    const auto file = getStateDumpFile();

    if (file.existsAsFile())
        if (const auto state = XmlHelpers::parseUntrusted (file))
            restoreState (*state);

    raiseFlag (stateRestoredFlag, 1);
}

//==============================================================================
juce::String BasePlugin::getAuthor() const
{
    const juce::SpinLock::ScopedLockType sl (authorLock);
    return author;
}

void BasePlugin::setAuthor (const juce::String& newAuthor)
{
    const juce::SpinLock::ScopedLockType sl (authorLock);
    author = newAuthor;
}

bool BasePlugin::isOwnCollection (const PresetCollection* collection) const noexcept
{
    return collection != nullptr && collection == presetCollection.get();
}

PresetCollection* BasePlugin::getPresetCollection (const juce::String&) const    { return presetCollection.get(); }
PresetCollection* BasePlugin::getPresetCollection (int) const                    { return presetCollection.get(); }

juce::String BasePlugin::getPresetName (PresetCollection*) const                 { return {}; }

bool BasePlugin::isPresetLoaded (PresetCollection* collection) const
{
    return isOwnCollection (collection) && presetLoaded.load();
}

void BasePlugin::setPresetLoaded (PresetCollection* collection, bool loaded)
{
    if (isOwnCollection (collection))
        presetLoaded.store (loaded);
}

bool BasePlugin::isPresetModified (PresetCollection* collection) const
{
    return isOwnCollection (collection) && presetModified.load();
}

void BasePlugin::setPresetModified (PresetCollection* collection, bool modified)
{
    if (isOwnCollection (collection))
        presetModified.store (modified);
}

juce::String BasePlugin::getCurrentPresetName (PresetCollection* collection) const
{
    return isOwnCollection (collection) ? currentPresetName : juce::String();
}

void BasePlugin::setCurrentPresetName (PresetCollection* collection, const juce::String& path)
{
    if (isOwnCollection (collection))
        currentPresetName = path;
}

void BasePlugin::createPresetCollection (const juce::String& extension, const juce::File& rootFolder)
{
    auto collection = std::make_unique<PresetCollection> ("Presets", extension);

    if (presetCollection != nullptr)
        presetCollection->removeListener (this);

    presetCollection = std::move (collection);
    presetCollection->addListener (this);
    presetCollection->setRootFolder (rootFolder.getFullPathName());
}

void BasePlugin::loadDefaultPreset (PresetCollection* collection)
{
    auto* preset = getDefaultPreset (collection);

    if (preset == nullptr)
        return;

    applyPreset (collection, *preset);
    setPresetName (collection, preset->getName());
    setPresetModified (collection, false);
    setPresetLoaded (collection, true);
    notifyPresetLoaded (collection);
}

void BasePlugin::loadPresetFromCollection (PresetCollection* collection, const juce::String& path)
{
    if (collection == nullptr || path.isEmpty() || fileFromPath (path).isDirectory())
        return;

    // The current preset is not loaded again, unless "Restore default" has replaced it
    // since: then choosing it again is the way back to it. A preset whose name differs from it
    // only in letter case is another preset, where the disk holds both.
    if (path == getCurrentPresetName (collection) && ! isPresetLoaded (collection))
        return;

    auto* preset = collection->getPreset (collection->indexOfPreset (path), parameterManager);

    if (preset == nullptr)
        return;

    if (auto* defaultPreset = getDefaultPreset (collection))
        preset->addMissingEntries (*defaultPreset);

    applyPreset (collection, *preset);
    setPresetName (collection, preset->getName());
    setPresetModified (collection, false);
    // A path kept from before may have found its preset in other letter case: the preset's
    // own file is what every later action on it uses.
    setCurrentPresetName (collection, preset->getPath());
    setPresetLoaded (collection, false);
    notifyPresetLoaded (collection);
}

void BasePlugin::selectNextPreset (PresetCollection* collection)      { selectAdjacentPreset (collection, 1); }
void BasePlugin::selectPreviousPreset (PresetCollection* collection)  { selectAdjacentPreset (collection, -1); }

void BasePlugin::selectAdjacentPreset (PresetCollection* collection, int step)
{
    if (collection == nullptr)
        return;

    const auto& paths = collection->getPresetPaths();

    if (paths.isEmpty())
        return;

    const auto current = getCurrentPresetName (collection);
    juce::String target;

    if (current.isEmpty())
    {
        target = paths[0];
    }
    else if (const auto position = collection->indexOfPreset (current); position >= 0)
    {
        target = paths[(position + step + paths.size()) % paths.size()];
    }
    else
    {
        // The current preset left the list (moved, renamed, deleted): start again in its
        // folder, or at the top when that folder has no preset either.
        if (auto* folder = collection->findFolder (fileFromPath (current).getParentDirectory().getFullPathName()))
            target = folder->getPresetPath (0);

        if (target.isEmpty())
            target = paths[0];
    }

    loadPresetFromCollection (collection, target);
}

bool BasePlugin::savePresetToFile (PresetCollection* collection, const juce::File& file)
{
    if (collection == nullptr || file == juce::File() || file.isDirectory())
        return false;

    auto preset = createPreset (collection, file.getFullPathName());

    if (preset == nullptr)
        return false;

    // Saved presets are the user's own: they carry the current author and no id.
    // Overwriting one of the user's own files keeps its application field.
    preset->setAuthor (getAuthor());
    preset->setId ({});

    if (file.existsAsFile())
    {
        Preset existing;

        if (existing.loadFromFile (file, parameterManager, true) && existing.getId().isEmpty())
            preset->setApplication (existing.getApplication());
    }

    if (! preset->saveToFile (file, parameterManager))
        return false;

    setPresetName (collection, file.getFileNameWithoutExtension());
    setPresetModified (collection, false);
    setCurrentPresetName (collection, file.getFullPathName());
    setPresetLoaded (collection, false);
    collection->addPresetFile (file.getFullPathName());
    notifyPresetLoaded (collection);
    return true;
}

bool BasePlugin::updatePresetAuthor (const juce::String& path)
{
    const auto file = fileFromPath (path);

    if (! file.existsAsFile())
        return false;

    FilePreset preset;

    // Factory presets carry an id and keep their author.
    if (! preset.loadFromFile (file, parameterManager, true) || preset.getId().isNotEmpty())
        return false;

    preset.setAuthor (getAuthor());
    return preset.rewriteFileAuthor (file);
}

//==============================================================================
void BasePlugin::createDebugParameters()
{
    for (int i = 0; i < numDebugItems; ++i)
    {
        const auto index = firstDebugParameter + i;

        if (parameterManager.addParameter (new FloatParameter (index, "Debug Parameter " + juce::String (i), 0.0f, 1.0f, 0.0f)))
            parameterManager.addParameterListener (index, this);

        eventsMap.addEvent (firstDebugEvent + i, "Debug Event " + juce::String (i));
    }
}
