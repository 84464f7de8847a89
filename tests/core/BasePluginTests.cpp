#include "AudioProcessorEditorWrapper.h"
#include "TestProduct.h"

// The module factory of this test executable, as a product defines it.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return BasePlugin::createPlugin<TestProduct>();
}

namespace
{
    /** Stands in for the host binding: records what the processor reports. */
    struct HostRecorder  : public juce::AudioProcessorListener
    {
        void audioProcessorParameterChanged (juce::AudioProcessor*, int slot, float value) override
        {
            changes.add ({ slot, value });
        }

        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override   { ++displayUpdates; }
        void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int slot) override { gestures.add ("begin " + juce::String (slot)); }
        void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int slot) override   { gestures.add ("end " + juce::String (slot)); }

        juce::Array<std::pair<int, float>> changes;
        juce::StringArray gestures;
        int displayUpdates = 0;
    };

    struct NotificationRecorder  : public BasePlugin::Listener
    {
        void stateRestored (BasePlugin*) override                 { calls.add ("restored"); }
        void stateSaved (BasePlugin*) override                    { calls.add ("saved"); }
        void prepared (BasePlugin*) override                      { calls.add ("prepared"); }
        void processingModeChanged (BasePlugin*, int mode) override { calls.add ("mode " + juce::String (mode)); }
        void presetLoaded (PresetCollection*) override            { calls.add ("preset"); }

        juce::StringArray calls;
    };

    struct MapChangeCounter  : public juce::ChangeListener
    {
        void changeListenerCallback (juce::ChangeBroadcaster*) override   { ++count; }
        int count = 0;
    };

    juce::MemoryBlock stateOf (BasePlugin& plugin)
    {
        juce::MemoryBlock block;
        plugin.getStateInformation (block);
        return block;
    }
}

using BasePluginTest = PluginFixture;

//==============================================================================
TEST_F (BasePluginTest, FactoryRunsTheStartUpInOrder)
{
    std::unique_ptr<TestProduct> plugin (dynamic_cast<TestProduct*> (createPluginFilter()));
    ASSERT_NE (plugin, nullptr);

    // Settings are read and the built-in map is in place before the editor exists; the
    // editor is made visible after its look-and-feel change; every parameter is
    // announced last.
    EXPECT_EQ (plugin->log.joinIntoString (" | "),
               "constructed | default settings | editor: map slot 23 = FX Amount, author = "
               " | look and feel | visible | announced");

    EXPECT_EQ (plugin->parameterChanges, plugin->parameterManager.getNumParameters());
    EXPECT_EQ (plugin->parameterManager.getNumParameters(), 126 + 4 * 47);
    EXPECT_EQ (plugin->midiControl.getProductName(), "Corvane");

    auto* editor = plugin->getEditor();
    ASSERT_NE (editor, nullptr);
    EXPECT_TRUE (editor->isVisible());
    EXPECT_TRUE (editor->isTimerRunning());
    EXPECT_EQ (editor->getTimerInterval(), 25);

    // A second request keeps the editor the processor already has.
    plugin->createEditorIfNeeded();
    EXPECT_EQ (plugin->getEditor(), editor);

    EXPECT_EQ (plugin->eventsMap.getEventName (1000), "Options");
    EXPECT_EQ (plugin->eventsMap.getEventName (1010), "Toggle Midi Learn");
    EXPECT_EQ (plugin->eventsMap.getEventUid ("Save preset as"), 1006);
    EXPECT_EQ (plugin->eventsMap.getEventName (76), "MOD 2 Retrigger Settings");
    EXPECT_EQ (plugin->eventsMap.getEventName (10000), "");
    EXPECT_EQ (plugin->getName(), "Corvane");
    EXPECT_EQ (plugin->getPlatformName(), "64bit");
    EXPECT_TRUE (plugin->getModulePath().isNotEmpty());
}

TEST_F (BasePluginTest, DebugModeAddsDebugParametersEventsAndPanel)
{
    TestProduct::debugMode = true;
    auto plugin = create();

    auto* first = plugin->parameterManager.getParameter (300000);
    ASSERT_NE (first, nullptr);
    EXPECT_EQ (first->getName(), "Debug Parameter 0");
    EXPECT_FALSE (first->isAutomatable());
    EXPECT_EQ (plugin->parameterManager.getParameterName (300011), "Debug Parameter 11");
    EXPECT_EQ (plugin->eventsMap.getEventUid ("Debug Event 11"), 10011);
    EXPECT_TRUE (plugin->log.contains ("debug panel"));
    EXPECT_LT (plugin->log.indexOf ("debug panel"), plugin->log.indexOf ("look and feel"));
}

//==============================================================================
TEST_F (BasePluginTest, UnmappedSlotsKeepTheHostsValues)
{
    auto plugin = create();
    plugin->clearHostParametersMap();
    HostRecorder host;
    plugin->addListener (&host);
    const auto changesBefore = plugin->parameterChanges;

    EXPECT_EQ (plugin->getNumParameters(), 128);
    EXPECT_EQ (plugin->getParameterName (0), "Parameter 1");
    EXPECT_EQ (plugin->getParameterName (127), "Parameter 128");
    EXPECT_EQ (plugin->getParameterName (128), "");
    EXPECT_EQ (plugin->getParameterName (-1), "");

    EXPECT_EQ (plugin->getParameter (5), 0.0f);
    plugin->setParameter (5, 0.3f);
    EXPECT_FLOAT_EQ (plugin->getParameter (5), 0.3f);
    EXPECT_EQ (plugin->getParameterText (5), "0.30000001");
    EXPECT_EQ (plugin->getParameterDefaultValue (5), 0.0f);
    EXPECT_EQ (plugin->parameterChanges, changesBefore);
    EXPECT_TRUE (host.changes.isEmpty());

    plugin->setParameter (128, 1.0f);
    plugin->setParameter (-3, 1.0f);
    EXPECT_EQ (plugin->getParameter (128), 0.0f);
    EXPECT_EQ (plugin->getParameterText (-3), "");
    EXPECT_TRUE (plugin->isParameterAutomatable (127));
    EXPECT_FALSE (plugin->isParameterAutomatable (128));
    EXPECT_FALSE (plugin->isMetaParameter (0));

    plugin->removeListener (&host);
}

TEST_F (BasePluginTest, MappedSlotsReachTheParameterWithoutEchoingTheHost)
{
    auto plugin = create();
    plugin->clearHostParametersMap();
    HostRecorder host;
    plugin->addListener (&host);

    auto* fx = plugin->parameterManager.getParameter (TestProduct::fxAmount);
    plugin->assignHostParameter (3, fx);
    EXPECT_EQ (host.displayUpdates, 1);
    EXPECT_EQ (plugin->getParameterName (3), "FX Amount");

    // From the host: the parameter follows, the host hears nothing back.
    plugin->setParameter (3, 0.75f);
    EXPECT_FLOAT_EQ (fx->getNormalisedValue(), 0.75f);
    EXPECT_EQ (plugin->getParameterText (3), "0.75");
    EXPECT_TRUE (host.changes.isEmpty());

    // From the editor: the host is told, on the parameter's slot.
    fx->setNormalisedValue (0.25f, true);
    ASSERT_EQ (host.changes.size(), 1);
    EXPECT_EQ (host.changes[0].first, 3);
    EXPECT_FLOAT_EQ (host.changes[0].second, 0.25f);
    EXPECT_FLOAT_EQ (plugin->getParameter (3), 0.25f);

    fx->beginChangeGesture();
    fx->endChangeGesture();
    EXPECT_EQ (host.gestures.joinIntoString (","), "begin 3,end 3");

    // Defaults come from the manager's record, 0 without one.
    EXPECT_EQ (plugin->getParameterDefaultValue (3), 0.0f);
    plugin->parameterManager.setDefaultValue (TestProduct::fxAmount, 0.5f);
    EXPECT_EQ (plugin->getParameterDefaultValue (3), 0.5f);

    plugin->removeListener (&host);
}

TEST_F (BasePluginTest, AParameterSitsOnOneSlotAndOnlyWhenAutomatable)
{
    auto plugin = create();
    plugin->clearHostParametersMap();
    HostRecorder host;
    plugin->addListener (&host);
    auto& manager = plugin->parameterManager;
    auto* fx = manager.getParameter (TestProduct::fxAmount);

    plugin->assignHostParameter (3, fx);
    plugin->assignHostParameter (10, fx);
    EXPECT_EQ (plugin->getHostSlotParameter (3), nullptr);
    EXPECT_EQ (plugin->getHostSlotParameter (10), fx);
    EXPECT_EQ (plugin->getParameterName (3), "Parameter 4");

    // Slot 3 gets another parameter: changes of the first one go to slot 10 only.
    plugin->assignHostParameter (3, manager.getParameter (TestProduct::masterVolume));
    fx->setNormalisedValue (0.9f, true);
    ASSERT_EQ (host.changes.size(), 1);
    EXPECT_EQ (host.changes[0].first, 10);

    // A parameter that is not automatable, or a slot out of range, changes nothing.
    plugin->assignHostParameter (20, manager.getParameter (TestProduct::routing));
    plugin->assignHostParameter (128, manager.getParameter (88));
    EXPECT_EQ (plugin->getHostSlotParameter (20), nullptr);
    EXPECT_EQ (plugin->getHostSlotParameter (128), nullptr);

    // Null clears; reassigning the same parameter to its slot does not disturb the host.
    const auto updates = host.displayUpdates;
    plugin->assignHostParameter (10, fx);
    EXPECT_EQ (host.displayUpdates, updates);
    plugin->assignHostParameter (10, nullptr);
    EXPECT_EQ (plugin->getHostSlotParameter (10), nullptr);
    fx->setNormalisedValue (0.1f, true);
    EXPECT_EQ (host.changes.size(), 1);

    plugin->removeListener (&host);
}

TEST_F (BasePluginTest, MapChangesReachTheBroadcasterListenersOnce)
{
    auto plugin = create();
    pump();
    MapChangeCounter counter;
    plugin->hostMapChangeBroadcaster.addChangeListener (&counter);

    plugin->clearHostParametersMap();
    plugin->assignHostParameter (0, plugin->parameterManager.getParameter (TestProduct::fxAmount));
    plugin->assignHostParameter (1, plugin->parameterManager.getParameter (TestProduct::masterVolume));
    pump();
    EXPECT_EQ (counter.count, 1);

    plugin->hostMapChangeBroadcaster.removeChangeListener (&counter);
}

//==============================================================================
TEST_F (BasePluginTest, NotificationsAreCoalescedAndDeliveredInOrder)
{
    auto plugin = create();
    pump();
    NotificationRecorder first, second;
    plugin->addListener (&first);
    plugin->addListener (&second);
    plugin->addListener (&second);
    plugin->addListener (static_cast<BasePlugin::Listener*> (nullptr));

    plugin->prepareToPlay (44100.0, 512);
    plugin->prepareToPlay (48000.0, 512);
    plugin->getStateInformation (*std::make_unique<juce::MemoryBlock>());
    plugin->setStateInformation (nullptr, 0);

    // Offline and back before the message thread runs: the product hears both, the
    // listeners only the last mode.
    plugin->setNonRealtime (true);
    plugin->updateNonRealtimeMode();
    juce::AudioBuffer<float> buffer (2, 16);
    juce::MidiBuffer midi;
    plugin->setNonRealtime (false);
    plugin->processBlock (buffer, midi);

    EXPECT_TRUE (first.calls.isEmpty());
    pump();

    EXPECT_EQ (first.calls.joinIntoString (","), "restored,saved,prepared,mode 1");
    EXPECT_EQ (second.calls, first.calls);
    EXPECT_EQ (plugin->modeCalls, juce::Array<bool> ({ true, false }));

    plugin->removeListener (&first);
    plugin->removeListener (&second);
}

TEST_F (BasePluginTest, AListenerMayRemoveItselfWhileCalled)
{
    struct Leaving  : public BasePlugin::Listener
    {
        void prepared (BasePlugin* p) override   { ++calls; p->removeListener (this); }
        int calls = 0;
    };

    auto plugin = create();
    pump();
    Leaving a, b, c;
    plugin->addListener (&a);
    plugin->addListener (&b);
    plugin->addListener (&c);

    plugin->prepareToPlay (44100.0, 64);
    pump();
    EXPECT_EQ (a.calls + b.calls + c.calls, 3);

    plugin->prepareToPlay (44100.0, 64);
    pump();
    EXPECT_EQ (a.calls + b.calls + c.calls, 3);
}

//==============================================================================
TEST_F (BasePluginTest, StateRoundTripsThroughTheBinaryChunk)
{
    auto source = create();
    source->parameterManager.setParameterNormalisedValue (TestProduct::fxAmount, 0.25f);
    const auto chunk = stateOf (*source);

    auto xml = juce::AudioProcessor::getXmlFromBinary (chunk.getData(), (int) chunk.getSize());
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "PluginState");
    EXPECT_EQ (xml->getStringAttribute ("application"), "Corvane");
    ASSERT_EQ (xml->getNumChildElements(), 1);
    EXPECT_EQ (xml->getChildElement (0)->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader()), "<Editor/>");

    auto target = create();
    target->setStateInformation (chunk.getData(), (int) chunk.getSize());
    EXPECT_FLOAT_EQ (target->parameterManager.getParameterNormalisedValue (TestProduct::fxAmount), 0.25f);
    EXPECT_EQ (target->getRecordingEditor().stateElementsRead, 1);
}

TEST_F (BasePluginTest, BrokenOrForeignChunksLeaveTheStateAlone)
{
    auto source = create();
    source->parameterManager.setParameterNormalisedValue (TestProduct::fxAmount, 0.25f);
    const auto chunk = stateOf (*source);

    auto target = create();
    pump();
    NotificationRecorder recorder;
    target->addListener (&recorder);
    const auto before = target->parameterManager.getParameterText (TestProduct::fxAmount);

    auto setState = [&] (const void* data, size_t size) { target->setStateInformation (data, (int) size); };

    // Cut anywhere, also inside the last closing tag, which JUCE's parser would accept.
    for (size_t cut : { (size_t) 0, (size_t) 4, (size_t) 9, chunk.getSize() / 2, chunk.getSize() - 12, chunk.getSize() - 4 })
        setState (chunk.getData(), cut);

    // A header that claims far more text than the chunk holds.
    juce::MemoryBlock lying (chunk);
    lying[4] = (char) 0xff; lying[5] = (char) 0xff; lying[6] = (char) 0xff; lying[7] = (char) 0x7f;
    setState (lying.getData(), 40);

    juce::MemoryBlock noise (300, true);
    setState (noise.getData(), noise.getSize());

    // Text that JUCE's parser reads past the end of, or never comes back from.
    for (const std::string text : { "<PluginState application=\"Corvane\"><Editor/></PluginState>\xFF",
                                    "<PluginState application=\"Corvane\"><Editor/><?" "?>x" })
    {
        juce::MemoryOutputStream unsafe;
        unsafe.writeInt (0x21324356);
        unsafe.writeInt ((int) text.size() + 1);
        unsafe.write (text.c_str(), text.size() + 1);
        setState (unsafe.getData(), unsafe.getDataSize());
    }

    for (auto* text : { "<PluginState application=\"Other\" fx=\"0.9\"/>", "<Preset application=\"Corvane\" fx=\"0.9\"/>" })
    {
        juce::MemoryBlock foreign;
        juce::AudioProcessor::copyXmlToBinary (*juce::parseXML (text), foreign);
        setState (foreign.getData(), foreign.getSize());
    }

    EXPECT_EQ (target->parameterManager.getParameterText (TestProduct::fxAmount), before);
    EXPECT_EQ (target->getRecordingEditor().stateElementsRead, 0);

    // Letter case of the tag and of the product name do not matter.
    juce::MemoryBlock oddCase;
    juce::AudioProcessor::copyXmlToBinary (*juce::parseXML ("<pluginstate APPLICATION=\"CORVANE\" fx=\"0.9\"><EDITOR/></pluginstate>"), oddCase);
    setState (oddCase.getData(), oddCase.getSize());
    EXPECT_EQ (target->getRecordingEditor().stateElementsRead, 1);

    // Every attempt still announced a restore, coalesced into one.
    pump();
    EXPECT_EQ (recorder.calls.joinIntoString (","), "restored");
    target->removeListener (&recorder);
}

TEST_F (BasePluginTest, SavingStateAnnouncesItEvenWithoutADocument)
{
    auto plugin = create();
    pump();
    NotificationRecorder recorder;
    plugin->addListener (&recorder);

    plugin->giveState = false;
    EXPECT_EQ (stateOf (*plugin).getSize(), 0u);
    pump();
    EXPECT_EQ (recorder.calls.joinIntoString (","), "saved");
    plugin->removeListener (&recorder);
}

//==============================================================================
TEST_F (BasePluginTest, HostsGetWrappersAroundTheKeptEditor)
{
    auto plugin = create();
    auto* kept = plugin->getEditor();
    kept->setVisible (false);

    // The host's entry goes through juce::AudioProcessor.
    std::unique_ptr<juce::AudioProcessorEditor> view (static_cast<juce::AudioProcessor&> (*plugin).createEditorIfNeeded());
    ASSERT_NE (dynamic_cast<AudioProcessorEditorWrapper*> (view.get()), nullptr);
    EXPECT_EQ (kept->getParentComponent(), view.get());
    EXPECT_TRUE (kept->isVisible());
    EXPECT_EQ (view->getWidth(), kept->getWidth());
    EXPECT_EQ (view->getHeight(), kept->getHeight());

    view.reset();
    EXPECT_EQ (plugin->getEditor(), kept);
    EXPECT_EQ (kept->getParentComponent(), nullptr);
    EXPECT_FALSE (kept->isVisible());

    // A host that opens a second view before closing the first: closing the old one
    // leaves the editor showing in the new one.
    std::unique_ptr<juce::AudioProcessorEditor> older (plugin->createEditor());
    std::unique_ptr<juce::AudioProcessorEditor> newer (plugin->createEditor());
    older.reset();
    EXPECT_EQ (kept->getParentComponent(), newer.get());
    EXPECT_TRUE (kept->isVisible());
    newer.reset();

    EXPECT_TRUE (plugin->hasEditor());
    EXPECT_EQ (kept->getSkinFile ("Night"),
               root.getChildFile ("common/Halvorn/Corvane/Skins/Night.halvornskin"));
    EXPECT_EQ (kept->getSkinFile ("Night.Blue").getFileName(), "Night.Blue.halvornskin");
}

TEST_F (BasePluginTest, TheStateDumpRoundTripsAndAnnouncesBothWays)
{
    auto source = create();
    source->parameterManager.setParameterNormalisedValue (TestProduct::fxAmount, 0.25f);
    ASSERT_TRUE (source->writeStateDump());
    EXPECT_TRUE (root.getChildFile ("user/Halvorn/Corvane/Corvane.dump").existsAsFile());

    auto target = create();
    pump();
    NotificationRecorder recorder;
    target->addListener (&recorder);
    target->readStateDump();
    EXPECT_FLOAT_EQ (target->parameterManager.getParameterNormalisedValue (TestProduct::fxAmount), 0.25f);

    // Without a document nothing is written, yet the save is announced.
    target->giveState = false;
    EXPECT_FALSE (target->writeStateDump());
    pump();
    EXPECT_EQ (recorder.calls.joinIntoString (","), "restored,saved");
    target->removeListener (&recorder);
}
