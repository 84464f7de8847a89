#pragma once

#include "ApplicationDataFolders.h"
#include "BasePlugin.h"
#include "BasePluginEditor.h"
#include "Preset.h"

#include <gtest/gtest.h>

#include <filesystem>

/** An editor that records what the processor base asks of it. */
class RecordingEditor  : public BasePluginEditor
{
public:
    RecordingEditor (BasePlugin& p, juce::StringArray& journal)  : BasePluginEditor (p), log (journal) {}

    void addDebugPanel() override                           { log.add ("debug panel"); }
    void lookAndFeelChanged() override                      { log.add ("look and feel"); }
    void visibilityChanged() override                       { if (isVisible()) log.add ("visible"); }

    void loadStateXml (const juce::XmlElement& element) override
    {
        ++stateElementsRead;
        BasePluginEditor::loadStateXml (element);
    }

    int stateElementsRead = 0;

private:
    juce::StringArray& log;
};

/**
    A product as small as the processor base allows: named and coded like the real one,
    so the module's tables and built-in map apply, with the per-line parameter copies
    that the built-in map names, a preset folder, and journals of what the base calls.
*/
class TestProduct  : public BasePlugin
{
public:
    static constexpr int fxAmount = 89, masterVolume = 91, presetName = 97, routing = 90;

    TestProduct()
    {
        log.add ("constructed");

        for (int line = 1; line <= 4; ++line)
            for (int i = 0; i < 47; ++i)
                if (auto* p = parameterManager.getParameter (i))
                    parameterManager.addParameter (p->clone (line * 1000 + i, "Line " + juce::String (line) + " " + p->getName()));

        defaultPreset.setName ("Default");
        defaultPreset.setVersion ("1.1");
        parameterManager.capturePreset (defaultPreset, presetIds());

        addFolder ("presetDirectory", getUserDataFolder().getChildFile ("Presets"));
        createPresetCollection (".cvprst", getFolder ("presetDirectory"));
    }

    ~TestProduct() override
    {
        saveUserSettings();
        deleteEditor();
    }

    static juce::SparseSet<int> presetIds()
    {
        juce::SparseSet<int> ids;
        ids.addRange ({ 47, 92 });
        return ids;
    }

    //==============================================================================
    juce::String getProductName() const override            { return "Corvane"; }
    juce::String getProductCode() const override            { return "CV"; }
    juce::String getDescription() const override            { return "A test product"; }
    juce::String getVersion() const override                { return "1.1.0"; }
    juce::String getWebAddress() const override             { return {}; }
    juce::String getReleaseYear() const override            { return "2013"; }
    juce::String getBuildDate() const override              { return {}; }
    juce::String getFormatName() const override             { return "Test"; }

    bool acceptsMidi() const override                       { return true; }
    bool producesMidi() const override                      { return false; }
    double getTailLengthSeconds() const override            { return 0.0; }

    int getRealtimeQualityParameterIndex() const override         { return 99; }
    int getOfflineQualityParameterIndex() const override          { return 100; }
    int getDefaultRealtimeQualityParameterIndex() const override  { return 110; }
    int getDefaultOfflineQualityParameterIndex() const override   { return 111; }

    bool isDebugMode() const override                       { return debugMode; }

    //==============================================================================
    std::unique_ptr<BasePluginEditor> createPluginEditor() override
    {
        log.add ("editor: map slot 23 = " + getParameterName (22) + ", author = " + getAuthor());
        return std::make_unique<RecordingEditor> (*this, log);
    }

    RecordingEditor& getRecordingEditor()                   { return *dynamic_cast<RecordingEditor*> (getEditor()); }

    void applyNonRealtimeMode (bool offline) override       { modeCalls.add (offline); }
    void applyDefaultSettings() override                    { log.add ("default settings"); }

    void readUserSettings (const juce::XmlElement& settings) override
    {
        if (auto* product = settings.getChildByName ("Product"))
            productSetting = product->getStringAttribute ("value");
    }

    void writeUserSettings (juce::XmlElement& settings) override
    {
        settings.createNewChildElement ("Product")->setAttribute ("value", productSetting);
    }

    std::unique_ptr<juce::XmlElement> createStateXml() override
    {
        if (! giveState)
            return {};

        auto state = BasePlugin::createStateXml();
        state->setAttribute ("fx", parameterManager.getParameterText (fxAmount));
        return state;
    }

    void setStateFromXml (const juce::XmlElement& state) override
    {
        BasePlugin::setStateFromXml (state);

        if (isValidStateXml (&state))
            parameterManager.setParameterText (fxAmount, state.getStringAttribute ("fx"));
    }

    void parameterChanged (Parameter* parameter) override
    {
        if (log.isEmpty() || ! log[log.size() - 1].startsWith ("announced"))
            log.add ("announced");

        ++parameterChanges;
        BasePlugin::parameterChanged (parameter);
    }

    //==============================================================================
    std::unique_ptr<Preset> createPreset (PresetCollection*, const juce::String&) override
    {
        auto preset = std::make_unique<Preset>();
        preset->setVersion ("1.1");
        parameterManager.capturePreset (*preset, presetIds());
        return preset;
    }

    void applyPreset (PresetCollection*, const Preset& preset) override
    {
        for (int i = 0; i < preset.getNumEntries(); ++i)
            parameterManager.setParameterText (preset.getEntry (i)->index, preset.getEntry (i)->text);
    }

    Preset* getDefaultPreset (PresetCollection*) override   { return &defaultPreset; }
    juce::String getPresetName (PresetCollection* = nullptr) const override { return parameterManager.getParameterText (presetName); }
    void setPresetName (PresetCollection*, const juce::String& name) override { parameterManager.setParameterText (presetName, name); }

    //==============================================================================
    static inline bool debugMode = false;

    juce::StringArray log;
    juce::Array<bool> modeCalls;
    juce::String productSetting;
    bool giveState = true;
    int parameterChanges = 0;
    Preset defaultPreset;
};

/** Every test of the processor base runs with its data folders below a temporary root. */
class PluginFixture  : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = juce::File::createTempFile ("corvane-base");
        root.createDirectory();
        ApplicationDataFolders::setRoot (root);
        TestProduct::debugMode = false;
    }

    void TearDown() override
    {
        ApplicationDataFolders::setRoot ({});

        // JUCE's deleteRecursively passes over sockets and FIFOs, and so leaves their folders.
        std::error_code error;
        std::filesystem::remove_all (root.getFullPathName().toStdString(), error);
    }

    static std::unique_ptr<TestProduct> create()
    {
        return std::unique_ptr<TestProduct> (dynamic_cast<TestProduct*> (BasePlugin::createPlugin<TestProduct>()));
    }

    static void pump()
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    }

    juce::File root;
};
