#include "EditorTestSupport.h"

#include "AboutWindow.h"
#include "GFXButton.h"
#include "GFXKnob.h"
#include "GFXMultiStateButton.h"
#include "OptionsWindow.h"

namespace
{
    juce::String parameterText (BasePlugin& plugin, int index)
    {
        return plugin.getParameterDisplayName (index) + ": " + plugin.getParameterValueText (index);
    }
}

TEST_F (EditorTest, FrameworkEventsFromTheSkinsButtons)
{
    ASSERT_TRUE (plugin->savePresetToFile (presets(), presetRoot().getChildFile ("A.cvprst")));
    ASSERT_TRUE (plugin->savePresetToFile (presets(), presetRoot().getChildFile ("B.cvprst")));
    plugin->loadPresetFromCollection (presets(), presetRoot().getChildFile ("A.cvprst").getFullPathName());

    const auto currentPreset = [this] { return juce::File (plugin->getCurrentPresetName (presets())).getFileName(); };

    const struct
    {
        const char* widget;
        juce::ModifierKeys mods;
        std::function<bool()> happened;
    } cases[] =
    {
        { "OptionsButton", {}, [&] { return editor->getOptionsWindow()->isVisible() && status().getText().isEmpty(); } },
        { "AboutButton", {}, [&] { return editor->getAboutWindow()->isVisible(); } },
        { "NextPresetButton", {}, [&] { return currentPreset() == "B.cvprst"; } },
        { "NextPresetButton", {}, [&] { return currentPreset() == "A.cvprst"; } },          // wraps
        { "PreviousPresetButton", {}, [&] { return currentPreset() == "B.cvprst"; } },
        { "SavePresetButton", {}, [&] { return editor->getOverwriteAlert() != nullptr && editor->getOverwriteAlert()->isVisible(); } },
        { "SavePresetButton", juce::ModifierKeys::ctrlModifier, [&] { return chooser.requests.size() == 1; } },
        { "MidiLearnButton", {}, [&] { return plugin->midiControl.isLearning(); } },
        { "MidiLearnButton", {}, [&] { return ! plugin->midiControl.isLearning(); } },
    };

    status().showMessage ("before", 1);

    for (const auto& c : cases)
    {
        auto* button = find<juce::Button> (c.widget);
        ASSERT_NE (button, nullptr) << c.widget;

        if (auto* gfx = dynamic_cast<GFXButton*> (button))
            gfx->clicked (c.mods);
        else if (auto* multi = dynamic_cast<GFXMultiStateButton*> (button))
            multi->clicked (c.mods);

        pump();
        EXPECT_TRUE (c.happened()) << c.widget;
    }
}

TEST_F (EditorTest, StatusBarShowsTouchedParametersAndTheLearnSequence)
{
    auto* knob = find<GFXKnob> ("FXAmountKnob");
    ASSERT_NE (knob, nullptr);
    auto* fxAmount = knob->getParameter();
    ASSERT_NE (fxAmount, nullptr);
    auto* learnButton = editor->getMidiLearnButton();

    // A moved knob shows its parameter for a while; so does any other uid on a linked widget.
    editor->controllerValueChanged (knob);
    EXPECT_EQ (status().getText(), parameterText (*plugin, fxAmount->getIndex()));
    EXPECT_EQ (status().getPriority(), 6);
    EXPECT_TRUE (status().isClearPending());

    status().clearMessage();
    editor->handleControllerEvent (find<GUIController> ("AboutButton"), BasePluginEditor::copyPresetEvent);
    EXPECT_EQ (status().getText(), "");
    editor->handleControllerEvent (knob, BasePluginEditor::copyPresetEvent);
    EXPECT_EQ (status().getText(), parameterText (*plugin, fxAmount->getIndex()));

    // Learning: lasting texts at priority 7 that parameter texts cannot replace.
    const auto cc = 20;
    const struct { std::function<void()> step; juce::String text; int buttonState; } sequence[] =
    {
        { [&] { editor->handleControllerEvent (nullptr, BasePluginEditor::toggleMidiLearnEvent); },
          "Waiting for a controller or parameter movement...", 1 },
        { [&] { editor->controllerValueChanged (knob); },
          "'" + fxAmount->getName() + "' parameter is free. Waiting for a free controller now...", 1 },
        { [&] { plugin->midiControl.ccMoved (cc); },
          "CC# 20 is assigned to parameter '" + fxAmount->getName() + "'.", 1 },
        { [&] { editor->handleControllerEvent (nullptr, BasePluginEditor::toggleMidiLearnEvent); }, "", 0 },
    };

    for (const auto& s : sequence)
    {
        s.step();
        pump();
        EXPECT_EQ (status().getText(), s.text);
        EXPECT_FALSE (status().isClearPending());
        ASSERT_NE (learnButton, nullptr);
        EXPECT_EQ (learnButton->getState(), s.buttonState);
        EXPECT_EQ (learnButton->isBlinking(), s.buttonState == 1);
    }

    EXPECT_EQ (plugin->midiControl.getParameterOf (cc), fxAmount);

    // The learnt controller moves its parameter: shown at priority 5.
    plugin->midiControl.processMidiMessage (juce::MidiMessage::controllerEvent (1, cc, 64));
    pump();
    EXPECT_EQ (status().getText(), parameterText (*plugin, fxAmount->getIndex()));
    EXPECT_EQ (status().getPriority(), 5);
}

TEST_F (EditorTest, TellsWhenTheHostSwitchesProcessingMode)
{
    const struct { bool offline; juce::String text; } cases[] =
    {
        { true, "Offline processing: " + plugin->getParameterValueText (plugin->getOfflineQualityParameterIndex()) },
        { false, "Realtime processing: " + plugin->getParameterValueText (plugin->getRealtimeQualityParameterIndex()) },
    };

    for (const auto& c : cases)
    {
        plugin->setNonRealtime (c.offline);
        plugin->updateNonRealtimeMode();
        pump();
        EXPECT_EQ (status().getText(), c.text);
        EXPECT_EQ (status().getPriority(), 4);
    }
}

TEST_F (EditorTest, KeepsAnEmptyEditorElementWhileSkinChoiceIsOff)
{
    const auto line = [] (const juce::XmlElement& e) { return e.toString (juce::XmlElement::TextFormat().singleLine().withoutHeader()); };

    EXPECT_EQ (line (*editor->createSettingsXml()), "<Editor/>");
    EXPECT_EQ (line (*editor->createStateXml()), "<Editor/>");

    // The settings' first "Skin" counts, in any letter case; a foreign element is ignored.
    const struct { const char* xml; const char* defaultSkin; } settings[] =
    {
        { "<editor><skin name=\"First\"/><Skin name=\"Second\"/></editor>", "First" },
        { "<Other><Skin name=\"Foreign\"/></Other>", "First" },
        { "<Editor><Skin/></Editor>", "" },
    };

    for (const auto& s : settings)
    {
        editor->loadSettingsXml (*juce::parseXML (s.xml));
        EXPECT_EQ (editor->getDefaultSkinName(), s.defaultSkin) << s.xml;
    }

    // A state naming a skin leaves the built-in one in place.
    editor->loadStateXml (*juce::parseXML ("<Editor><Skin name=\"Night\"/></Editor>"));
    pump (100);
    EXPECT_EQ (editor->getCurrentSkinName(), "");
}
