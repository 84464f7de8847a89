#include "CorvaneTestHelpers.h"

#include "DelayEngine.h"
#include "XmlHelpers.h"

using Ids = CorvaneParameterIds;

namespace
{
int lineId (int line, int index)     { return Ids::getLineParameterId (line, index); }

juce::StringArray describeChildren (const juce::XmlElement& element)
{
    juce::StringArray children;

    for (auto* child : element.getChildIterator())
        children.add (child->getTagName() + (child->hasAttribute ("name") && child->getTagName() == "Preset"
                                                 ? ":" + child->getStringAttribute ("name") : juce::String()));

    return children;
}

/** A preset element of the file format with the given version and name/value pairs. */
std::unique_ptr<juce::XmlElement> makePresetXml (const juce::String& name, const juce::String& version,
                                                 std::initializer_list<std::pair<const char*, const char*>> values)
{
    auto xml = std::make_unique<juce::XmlElement> ("Preset");
    xml->setAttribute ("name", name);

    if (version.isNotEmpty())
        xml->setAttribute ("version", version);

    for (auto& [param, value] : values)
    {
        auto* entry = xml->createNewChildElement ("param");
        entry->setAttribute ("name", param);
        entry->setAttribute ("value", value);
    }

    return xml;
}

/** A state document of the product that takes ownership of the given children. */
std::unique_ptr<juce::XmlElement> makeState (std::initializer_list<juce::XmlElement*> children)
{
    auto state = std::make_unique<juce::XmlElement> ("PluginState");
    state->setAttribute ("application", "Corvane");

    for (auto* child : children)
        state->addChildElement (child);

    return state;
}

/** Loads a preset of the given version and name/value pairs, as the preset browser does. */
void applyPresetXml (Corvane& processor, const juce::String& version,
                     std::initializer_list<std::pair<const char*, const char*>> values)
{
    Preset preset;
    preset.loadFromXml (makePresetXml ("x", version, values).get(), processor.parameterManager, false);
    processor.applyPreset (nullptr, preset);
}
}

//==============================================================================
TEST_F (CorvaneTest, TheStateDocumentHoldsTheProductsChildrenInOrder)
{
    auto state = processor->createStateXml();
    ASSERT_NE (state, nullptr);
    EXPECT_EQ (state->getStringAttribute ("application"), "Corvane");

    // The editor's element comes first: the product appends its own after the framework's.
    EXPECT_EQ (describeChildren (*state), juce::StringArray ({ "Editor", "Preset:ParametersState",
                                                               "Preset:EditionStateParameters",
                                                               "HostParametersMap", "MidiControlMap" }));

    auto* current = XmlHelpers::getChildByName (*state, "Preset");
    EXPECT_EQ (current->getStringAttribute ("version"), "1.1");
    EXPECT_EQ (current->getNumChildElements(), 4 * 42 + 45);
    EXPECT_EQ (current->getChildElement (0)->getStringAttribute ("name"), "MOD 1 Type");
    EXPECT_EQ (current->getChildElement (45)->getStringAttribute ("name"), "Line 1 Mute");

    auto* edition = current->getNextElement();
    EXPECT_EQ (edition->getNumChildElements(), 13);
    EXPECT_EQ (edition->getChildElement (0)->getStringAttribute ("name"), "Selected Line Number");
}

TEST_F (CorvaneTest, StateRoundTripsIntoANewInstance)
{
    auto& p = parameters();
    p.setParameterNormalisedValue (lineId (3, Ids::feedback), 0.8f);
    p.setParameterText (Ids::presetName, "Night Bus");
    p.setParameterIntValue (Ids::selectedLineNumber, 4);
    p.setParameterIntValue (Ids::maximumDelayLength, 9);
    processor->midiControl.assign (7, p.getParameter (lineId (0, Ids::panning)), false);
    processor->assignHostParameter (0, p.getParameter (Ids::fxAmount));

    juce::MemoryBlock chunk;
    processor->getStateInformation (chunk);

    auto restored = create();
    restored->setStateInformation (chunk.getData(), (int) chunk.getSize());
    auto& q = restored->parameterManager;

    EXPECT_FLOAT_EQ (q.getParameterNormalisedValue (lineId (3, Ids::feedback)), 0.8f);
    EXPECT_EQ (q.getParameterText (Ids::presetName), "Night Bus");
    EXPECT_EQ (restored->getSelectedLine(), 3);
    EXPECT_FLOAT_EQ (q.getParameterNormalisedValue (Ids::feedback), 0.8f);
    EXPECT_EQ (restored->getEngine().getMaximumDelayLength(), 9);
    EXPECT_EQ (restored->midiControl.getControllerOf (q.getParameter (lineId (0, Ids::panning))), 7);
    EXPECT_EQ (restored->getHostSlotParameter (0), q.getParameter (Ids::fxAmount));
}

TEST_F (CorvaneTest, ARestoreBringsThePresetBackAsEditedOnlyWhenItWasSavedSo)
{
    auto* presets = processor->getPresetCollection (0);
    EXPECT_FALSE (processor->isPresetModified (presets)) << "a new instance";

    struct Case
    {
        const char* what;
        bool edited, keepNote, restoredAsEdited;
    };

    for (const auto& c : { Case { "saved unedited", false, true, false },
                           Case { "saved with an edit", true, true, true },
                           Case { "saved before the note was kept", false, false, true } })
    {
        SCOPED_TRACE (c.what);

        // A preset apart from a new instance's values, just loaded, then perhaps edited.
        parameters().setParameterNormalisedValue (Ids::fxAmount, 0.2f);
        processor->setPresetModified (presets, false);

        if (c.edited)
            parameters().setParameterNormalisedValue (Ids::masterVolume, 0.3f);

        auto state = processor->createStateXml();

        if (! c.keepNote)
            state->removeAttribute ("presetModified");

        // As a host reopens a session: into a new instance.
        juce::MemoryBlock chunk;
        juce::AudioProcessor::copyXmlToBinary (*state, chunk);
        auto restored = create();
        restored->setStateInformation (chunk.getData(), (int) chunk.getSize());

        EXPECT_EQ (restored->isPresetModified (restored->getPresetCollection (0)), c.restoredAsEdited);
    }
}

TEST_F (CorvaneTest, AStateOfAnotherProductChangesNothing)
{
    auto state = makeState ({ makePresetXml ("ParametersState", "1.1", { { "FX Amount", "0.9" } }).release() });
    state->setAttribute ("application", "Other");

    processor->setStateFromXml (*state);
    EXPECT_FLOAT_EQ (parameters().getParameterNormalisedValue (Ids::fxAmount), 0.5f);
}

TEST_F (CorvaneTest, EveryParametersStateIsAppliedInOrder)
{
    processor->setStateFromXml (*makeState ({
        makePresetXml ("ParametersState", "1.1", { { "FX Amount", "0.2" }, { "Master Volume", "0.3" } }).release(),
        makePresetXml ("ParametersState", "1.1", { { "FX Amount", "0.7" } }).release(),
        makePresetXml ("Something else", "1.1", { { "FX Amount", "0.9" } }).release() }));
    EXPECT_FLOAT_EQ (parameters().getParameterNormalisedValue (Ids::fxAmount), 0.7f);
    EXPECT_FLOAT_EQ (parameters().getParameterNormalisedValue (Ids::masterVolume), 0.3f);
}

TEST_F (CorvaneTest, LegacyEditionStateIsRenumberedAndGetsTheBestQuality)
{
    processor->setStateFromXml (*makeState ({ makePresetXml ("EditionStateParameters", {},
                                                             { { "LFO 1 Resetting Midi Channel", "5" },
                                                               { "LFO 2 Resetting Note", "C-5" },
                                                               { "Default MOD 1 Retrigger Midi Note", "C-1" },
                                                               { "Selected Line Number", "2" } }).release() }));
    auto& p = parameters();
    EXPECT_EQ (p.getParameterText (Ids::mod1RetriggerChannel), "5");
    EXPECT_EQ (p.getParameterIntValue (Ids::mod2RetriggerNote), 60);
    EXPECT_EQ (p.getParameterIntValue (Ids::defaultMod1RetriggerNote), 24);  // not an edition id
    EXPECT_EQ (processor->getSelectedLine(), 1);
    EXPECT_EQ (p.getParameterText (Ids::realtimeQuality), "Ultra");
    EXPECT_EQ (p.getParameterText (Ids::offlineQuality), "Ultra");
}

//==============================================================================
TEST_F (CorvaneTest, LegacyPresetsTurnRisingSawsIntoInvertedFallingOnes)
{
    auto& p = parameters();
    applyPresetXml (*processor, "1.0", { { "LFO 1 Waveform", "Saw Up" }, { "LFO 1 Wave Invert", "Off" },
                                         { "LFO 2 Waveform", "Sine" }, { "LFO 2 Wave Invert", "On" } });
    EXPECT_EQ (p.getParameterText (Ids::lfo1Waveform), "Saw Down");
    EXPECT_EQ (p.getParameterText (Ids::lfo1WaveInvert), "on");
    EXPECT_EQ (p.getParameterText (Ids::lfo2WaveInvert), "off");      // the legacy entry is ignored

    applyPresetXml (*processor, "1.1", { { "LFO 1 Waveform", "Saw Up" }, { "LFO 1 Wave Invert", "Off" } });
    EXPECT_EQ (p.getParameterText (Ids::lfo1Waveform), "Saw Down");
    EXPECT_EQ (p.getParameterText (Ids::lfo1WaveInvert), "off");
}

TEST_F (CorvaneTest, OldModulationSourceNamesAreMapped)
{
    auto& p = parameters();
    applyPresetXml (*processor, "1.1", { { "Line 3 Modulation Source", "LFO2" }, { "Line 1 Modulation Source", "LFO2" } });
    EXPECT_EQ (p.getParameterText (lineId (2, Ids::modulationSource)), "MOD 2");

    applyPresetXml (*processor, {}, { { "Line 3 Modulation Source", "LFO1" } });
    EXPECT_EQ (p.getParameterText (lineId (2, Ids::modulationSource)), "MOD 1");
}

TEST_F (CorvaneTest, PresetsLeaveEverythingButTheirOwnIdsAlone)
{
    auto& p = parameters();
    applyPresetXml (*processor, "1.1", { { "Line 1 Delay Left Time", "0.9" }, { "Line 1 Feedback Hold", "true" },
                                         { "Selected Line Number", "3" }, { "Tap Button Left", "true" },
                                         { "Line 1 Feedback", "0.25" } });
    EXPECT_NEAR (p.getParameterNormalisedValue (lineId (0, Ids::delayLeftTime)), 0.4993f, 0.0001f);
    EXPECT_FALSE (p.getParameterBoolValue (lineId (0, Ids::feedbackHold)));
    EXPECT_EQ (processor->getSelectedLine(), 0);
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (lineId (0, Ids::feedback)), 0.25f);
}

TEST_F (CorvaneTest, LockedPadlocksKeepTheirParametersThroughPresetLoads)
{
    auto& p = parameters();
    processor->getPadlock (1).toggle();     // line 2
    processor->getPadlock (4).toggle();     // FX Amount

    applyPresetXml (*processor, "1.1", { { "Line 1 Feedback", "0.1" }, { "Line 2 Feedback", "0.1" },
                                         { "Line 2 Volume", "0.6" }, { "Line 3 Feedback", "0.1" },
                                         { "FX Amount", "0.1" }, { "Master Volume", "0.1" } });

    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (lineId (0, Ids::feedback)), 0.1f);
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (lineId (1, Ids::feedback)), 0.5f);
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (lineId (1, Ids::volume)), 0.0f);
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (lineId (2, Ids::feedback)), 0.1f);
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (Ids::fxAmount), 0.5f);
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (Ids::masterVolume), 0.1f);

    // Restoring the default preset respects them too.
    processor->getPadlock (4).toggle();
    processor->loadDefaultPreset (processor->getPresetCollection (0));
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (lineId (0, Ids::feedback)), 0.5f);
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (Ids::fxAmount), 0.5f);
    EXPECT_EQ (p.getParameterText (Ids::presetName), "Default");
}

TEST_F (CorvaneTest, LineDefaultPresetsResetALine)
{
    auto& p = parameters();
    p.setParameterNormalisedValue (lineId (3, Ids::feedback), 0.9f);
    p.setParameterNormalisedValue (lineId (3, Ids::volume), 0.6f);

    processor->applyPreset (nullptr, processor->getLineDefaultPreset (3));
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (lineId (3, Ids::feedback)), 0.5f);
    EXPECT_FLOAT_EQ (p.getParameterNormalisedValue (lineId (3, Ids::volume)), 0.0f);
}

//==============================================================================
TEST_F (CorvaneTest, UserSettingsOfAFreshInstance)
{
    processor->setAuthor ("Ann");
    ASSERT_TRUE (processor->saveUserSettings());

    auto settings = juce::XmlDocument::parse (processor->getSettingsFile());
    ASSERT_NE (settings, nullptr);

    EXPECT_EQ (describeChildren (*settings), juce::StringArray ({ "Presets", "MidiControlMap", "HostParametersMap",
                                                                  "Preset:DefaultProcessingQuality", "Editor",
                                                                  "Preset:DefaultSettingsParameters" }));

    auto* defaults = settings->getChildElement (settings->getNumChildElements() - 1);
    EXPECT_FALSE (defaults->hasAttribute ("version"));
    ASSERT_EQ (defaults->getNumChildElements(), 5);
    EXPECT_EQ (defaults->getChildElement (1)->getStringAttribute ("value"), "C-2");
    EXPECT_EQ (defaults->getChildElement (4)->getStringAttribute ("value"), "3");

    // No factory presets were recorded, so nothing is said about them.
    EXPECT_EQ (XmlHelpers::getChildByName (*XmlHelpers::getChildByName (*settings, "Presets"), "Installed"), nullptr);
}

TEST_F (CorvaneTest, DefaultSettingsReachEveryNewInstance)
{
    auto& p = parameters();
    p.setParameterIntValue (Ids::defaultMod2RetriggerChannel, 4);
    p.setParameterIntValue (Ids::defaultMod1RetriggerNote, 72);
    p.setParameterIntValue (Ids::defaultMaximumDelayLength, 12);
    processor.reset();      // saves the settings

    processor = create();
    auto& q = parameters();
    EXPECT_EQ (q.getParameterIntValue (Ids::mod2RetriggerChannel), 4);
    EXPECT_EQ (q.getParameterIntValue (Ids::mod1RetriggerNote), 72);
    EXPECT_EQ (q.getParameterIntValue (Ids::maximumDelayLength), 12);
    EXPECT_EQ (processor->getEngine().getMaximumDelayLength(), 12);
}

TEST_F (CorvaneTest, LegacyDefaultSettingsAreRenumbered)
{
    auto settings = std::make_unique<juce::XmlElement> ("UserSettings");
    settings->setAttribute ("application", "Corvane");
    settings->addChildElement (makePresetXml ("DefaultSettingsParameters", {},
                                              { { "Default LFO 1 Resetting Midi Channel", "9" },
                                                { "Default LFO 2 Resetting Note", "C-6" } }).release());
    processor.reset();
    ASSERT_TRUE (settings->writeTo (juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
                                        .getChildFile ("Halvorn/Corvane/Corvane.ini")));

    processor = create();
    EXPECT_EQ (parameters().getParameterText (Ids::defaultMod1RetriggerChannel), "9");
    EXPECT_EQ (parameters().getParameterText (Ids::mod1RetriggerChannel), "9");
    EXPECT_EQ (parameters().getParameterIntValue (Ids::mod2RetriggerNote), 72);
}

//==============================================================================
TEST_F (CorvaneTest, FactoryPresetsAreOfferedUntilTheCurrentVersionIsRecorded)
{
    // No preset folder content: nothing recorded, the presets are offered.
    EXPECT_EQ (processor->getInstalledFactoryPresetsVersion(), "");
    EXPECT_TRUE (processor->factoryPresetsNeedInstalling());

    // A filled preset folder without a record counts as version 1.0.
    processor.reset();
    const auto presetFolder = getUserDataRoot().getChildFile ("Corvane/Presets");
    ASSERT_TRUE (presetFolder.getChildFile ("Mine.cvprst").replaceWithText ("<Preset/>"));
    processor = create();
    EXPECT_EQ (processor->getInstalledFactoryPresetsVersion(), "1.0");
    EXPECT_TRUE (processor->factoryPresetsNeedInstalling());

    // The installer's worker records the version at once; the message thread saves it.
    juce::WaitableEvent workerDone;
    ASSERT_TRUE (juce::Thread::launch ([p = processor.get(), &workerDone] { p->setFactoryPresetsInstalled(); workerDone.signal(); }));
    ASSERT_TRUE (workerDone.wait (10000));
    EXPECT_EQ (processor->getInstalledFactoryPresetsVersion(), "1.1");
    EXPECT_FALSE (processor->factoryPresetsNeedInstalling());
    EXPECT_FALSE (processor->getSettingsFile().loadFileAsString().contains ("Installed"));
    pumpMessages();

    auto settings = juce::XmlDocument::parse (processor->getSettingsFile());
    ASSERT_NE (settings, nullptr);
    auto* installed = XmlHelpers::getChildByName (*XmlHelpers::getChildByName (*settings, "Presets"), "Installed");
    ASSERT_NE (installed, nullptr);
    EXPECT_EQ (installed->getStringAttribute ("version"), "1.1");

    processor = create();
    EXPECT_EQ (processor->getInstalledFactoryPresetsVersion(), "1.1");
    EXPECT_FALSE (processor->factoryPresetsNeedInstalling());
}

TEST_F (CorvaneTest, AboutTexts)
{
    EXPECT_EQ (processor->getProductName(), "Corvane");
    EXPECT_EQ (processor->getVersion(), "1.1.0");
    EXPECT_EQ (processor->getReleaseYear(), "2013");
    EXPECT_EQ (processor->getBuildDate(), "2014-09-02");
    EXPECT_EQ (processor->getBranchName(), "master");
    EXPECT_EQ (processor->getFinalText(), "0");
    EXPECT_EQ (processor->getPlatformName(), "64bit");
    EXPECT_TRUE (processor->getDescription().isNotEmpty());
    EXPECT_TRUE (processor->getWebAddress().isNotEmpty());
    EXPECT_TRUE (processor->getBuildId().isNotEmpty());
}
