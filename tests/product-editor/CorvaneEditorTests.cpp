#include "EditorTestSupport.h"

#include "AboutWindow.h"
#include "CorvaneEditor.h"
#include "CorvanePresetBrowser.h"
#include "CorvaneProcessingSettingsComponent.h"
#include "DelayEngine.h"
#include "DisplayForWindows.h"
#include "EnumParameter.h"
#include "GFXAnimation.h"
#include "GFXButton.h"
#include "GFXKnob.h"
#include "GFXMultiStateButton.h"
#include "GFXPanel.h"
#include "InstallFactoryPresetsWindow.h"
#include "ModulatorRetriggerSettings.h"
#include "NumericDisplay.h"
#include "OptionsWindow.h"
#include "ParameterManager.h"

#include <chrono>
#include <functional>

namespace
{
    class CorvaneEditorTest  : public EditorTest
    {
    protected:
        void SetUp() override
        {
            EditorTest::SetUp();

            if (IsSkipped())
                return;

            corvane = dynamic_cast<Corvane*> (plugin.get());
            product = dynamic_cast<CorvaneEditor*> (editor);
            ASSERT_NE (product, nullptr);
        }

        ParameterManager& manager() const           { return corvane->parameterManager; }
        int value (int id) const                    { return manager().getParameterIntValue (id); }

        void set (int id, int newValue)
        {
            manager().setParameterIntValue (id, newValue);
            pump (5);
        }

        int lampState (const char* name) const
        {
            auto* lamp = dynamic_cast<GFXMultiStateButton*> (product->getBoundWidget (name));
            return lamp != nullptr ? lamp->getState() : -1;
        }

        int frame (const char* name) const
        {
            auto* animation = dynamic_cast<GFXAnimation*> (product->getBoundWidget (name));
            return animation != nullptr ? animation->getFrame() : -1;
        }

        bool shown (const char* name) const
        {
            auto* widget = product->getBoundWidget (name);
            return widget != nullptr && widget->isVisible();
        }

        EngineIndicators& indicators() const        { return corvane->getEngine().getIndicators(); }

        Corvane* corvane = nullptr;
        CorvaneEditor* product = nullptr;
    };

    template <typename Widget>
    void expectBound (CorvaneEditor& editor, std::initializer_list<const char*> names)
    {
        for (auto* name : names)
            EXPECT_NE (dynamic_cast<Widget*> (editor.getBoundWidget (name)), nullptr) << name;
    }
}

TEST_F (CorvaneEditorTest, BindsEverySkinNameWithItsKind)
{
    expectBound<GFXAnimation> (*product, {
        "OutputVULeftAnim", "OutputVURightAnim", "OutputClipLeftAnim", "OutputClipRightAnim",
        "Delay1VUMeterLeftAnimation", "Delay1VUMeterRightAnimation", "Delay2VUMeterLeftAnimation", "Delay2VUMeterRightAnimation",
        "Delay3VUMeterLeftAnimation", "Delay3VUMeterRightAnimation", "Delay4VUMeterLeftAnimation", "Delay4VUMeterRightAnimation",
        "PEAK1MeterAnim", "PEAK2MeterAnim", "LFO1ResetLED", "ENV1ResetLED", "LFO2ResetLED", "ENV2ResetLED",
        "LFO1FreeRateLED", "LFO1SyncRateLED", "LFO2FreeRateLED", "LFO2SyncRateLED", "SignalFlowAnim" });

    expectBound<GFXMultiStateButton> (*product, {
        "DelayModeLRSwitch", "DelayModeMSSwitch", "Delay1SelectButton", "Delay2SelectButton", "Delay3SelectButton", "Delay4SelectButton",
        "DelayFilterPreOverdriveSwitch", "DelayFilterPostOverdriveSwitch", "DelayFilterSwitch", "DelayFilterLPSwitch",
        "DelayFilterBPSwitch", "DelayFilterHPSwitch", "ModulationSourceLFO1Switch", "ModulationSourceLFO2Switch",
        "ModulationScaleLinearSwitch", "ModulationScaleLogarithmicSwitch", "DelayPanelSelectSwitch", "PredelayPanelSelectSwitch",
        "DelayTimeLeftFullSwitch", "DelayTimeLeftDotSwitch", "DelayTimeLeftTripletSwitch",
        "DelayTimeRightFullSwitch", "DelayTimeRightDotSwitch", "DelayTimeRightTripletSwitch",
        "PredelayTimeLeftFullSwitch", "PredelayTimeLeftDotSwitch", "PredelayTimeLeftTripletSwitch",
        "PredelayTimeRightFullSwitch", "PredelayTimeRightDotSwitch", "PredelayTimeRightTripletSwitch",
        "LFO1ScaleFullSwitch", "LFO1ScaleDotSwitch", "LFO1ScaleTripletSwitch", "LFO2ScaleFullSwitch", "LFO2ScaleDotSwitch", "LFO2ScaleTripletSwitch",
        "MOD1TypeLFOSwitch", "MOD1TypeENVSwitch", "MOD1TypePEAKSwitch", "MOD2TypeLFOSwitch", "MOD2TypeENVSwitch", "MOD2TypePEAKSwitch",
        "FXAmountPadlockButton", "Delay1PadlockButton", "Delay2PadlockButton", "Delay3PadlockButton", "Delay4PadlockButton",
        "MOD1RetriggerSettings", "MOD2RetriggerSettings" });

    expectBound<GFXPanel> (*product, {
        "DelayTimePanel", "DelayTimePanelSync", "DelayTimePanelNotSync", "PredelayTimePanel", "PredelayTimePanelSync",
        "PredelayTimePanelNotSync", "LFO1Panel", "LFO2Panel", "LFO1SyncedPanel", "LFO1NotSyncedPanel", "LFO2SyncedPanel",
        "LFO2NotSyncedPanel", "ENV1Panel", "PEAK1Panel", "ENV2Panel", "PEAK2Panel" });

    expectBound<GFXKnob> (*product, { "DelayRightTimeKnob", "DelayRightTimeJoinedKnob", "PredelayRightTimeKnob", "PredelayRightTimeJoinedKnob" });

    expectBound<NumericDisplay> (*product, {
        "DelayTimeRightNominator", "DelayTimeRightDenominator", "DelayTimeRightNominatorJoined", "DelayTimeRightDenominatorJoined",
        "PredelayTimeRightNominator", "PredelayTimeRightDenominator", "PredelayTimeRightNominatorJoined", "PredelayTimeRightDenominatorJoined",
        "DelayRightTimeDisplay", "DelayRightTimeJoinedDisplay", "PredelayRightTimeDisplay", "PredelayRightTimeJoinedDisplay" });

    expectBound<GFXButton> (*product, { "RoutingSelectSwitch" });

    EXPECT_EQ (product->getBoundWidget ("NoSuchWidget"), nullptr);

    // The windows open above their buttons, whose bounds are in their panels' coordinates.
    for (int m = 0; m < 2; ++m)
    {
        auto* button = product->getBoundWidget ("MOD" + juce::String (m + 1) + "RetriggerSettings");
        auto* window = product->getRetriggerWindow (m);
        ASSERT_TRUE (button != nullptr && window != nullptr);

        const auto anchor = product->getLocalArea (button->getParentComponent(), button->getBounds());
        EXPECT_EQ (window->getBounds(), juce::Rectangle<int> (anchor.getX(), anchor.getY() - 163, 338, 161));
    }
}

TEST_F (CorvaneEditorTest, ProductEventsWriteTheirParameters)
{
    const struct
    {
        int uid;
        std::function<void()> before;
        int id, expected;
    } cases[] =
    {
        { 2,  [] {}, 92, 3 },
        { 4,  [this] { set (92, 4); }, 92, 1 },                             // line 4 wraps to line 1
        { 6,  [] {}, 2000, 1 },                                             // mute of line 2 toggles
        { 6,  [] {}, 2000, 0 },
        { 14, [] {}, 3, 1 },
        { 16, [] {}, 6, 1 },
        { 19, [] {}, 10, 2 },
        { 22, [this] { set (92, 3); }, 95, 1 },                             // the selected line's panel
        { 24, [this] { set (11, 0); set (17, 0); }, 17, 0 },               // no tempo sync: ignored
        { 24, [this] { set (11, 1); }, 17, 1 },
        { 27, [this] { set (12, 1); set (17, 0); }, 17, 1 },               // joined: the left scale
        { 28, [this] { set (12, 0); }, 18, 2 },
        { 33, [this] { set (23, 1); set (24, 0); }, 30, 1 },
        { 36, [] {}, 42, 1 },
        { 38, [] {}, 43, 1 },
        { 41, [] {}, 47, 2 },
        { 43, [] {}, 56, 3 },                                               // "Sine", by name
        { 46, [] {}, 56, 0 },                                               // "Smooth S/H"
        { 49, [] {}, 53, 2 },
        { 51, [] {}, 67, 1 },
        { 53, [] {}, 76, 4 },                                               // "Triangle"
        { 59, [] {}, 73, 1 },
    };

    for (const auto& c : cases)
    {
        c.before();
        product->handleControllerEvent (nullptr, c.uid);
        pump (5);
        EXPECT_EQ (value (c.id), c.expected) << "uid " << c.uid;
    }

    product->handleControllerEvent (nullptr, BasePluginEditor::browsePresetsEvent);
    ASSERT_NE (product->getPresetBrowser(), nullptr);
    EXPECT_TRUE (product->getPresetBrowser()->isVisible());
    product->getPresetBrowser()->close();

    // The touch feedback names the line's own parameter.
    set (92, 2);
    product->handleControllerEvent (nullptr, 13);
    EXPECT_TRUE (status().getText().startsWith (corvane->getParameterDisplayName (2003))) << status().getText();
}

TEST_F (CorvaneEditorTest, SoloMuteRoutingClipboardAndPadlocks)
{
    const auto mutes = [this] { return juce::String (value (1000)) + juce::String (value (2000)) + juce::String (value (3000)) + juce::String (value (4000)); };

    product->handleControllerEvent (nullptr, 10);                          // solo line 2
    EXPECT_EQ (mutes(), "1011");
    product->handleControllerEvent (nullptr, 10);                          // already solo: all on
    EXPECT_EQ (mutes(), "0000");

    // A moved knob linked to a view parameter is reported as the selected line's copy.
    set (92, 2);
    auto* cutoff = find<GFXKnob> ("FilterCutoffKnob");
    ASSERT_NE (cutoff, nullptr);
    ASSERT_EQ (cutoff->getParameter()->getIndex(), 8);
    product->controllerValueChanged (cutoff);
    EXPECT_TRUE (status().getText().startsWith (corvane->getParameterDisplayName (2008))) << status().getText();

    // Routing: the menu opens beside its button and its choice sets the routing.
    product->handleControllerEvent (nullptr, 61);
    EXPECT_TRUE (product->getRoutingMenu().isOpen());
    auto* anchor = product->getBoundWidget ("RoutingSelectSwitch");
    const auto bounds = product->getLocalArea (anchor->getParentComponent(), anchor->getBounds());
    EXPECT_EQ (product->getRoutingMenu().getTargetArea().getPosition(),
               product->getRoutingMenu().getComponent()->getLocalPoint (product, bounds.getTopRight()));
    product->getRoutingMenu().close();
    product->itemChosen (&product->getRoutingMenu(), 6, false);
    pump (5);
    EXPECT_EQ (value (90), 6);
    EXPECT_TRUE (product->getRoutingMenu().findItem (6)->ticked);
    EXPECT_FALSE (product->getRoutingMenu().findItem (0)->ticked);

    // Copy line 3 while line 1 is selected: lamps 1 and 3, lamp 3 blinking; a paste stops it.
    set (92, 1);
    product->handleControllerEvent (nullptr, 64);
    pump (5);
    auto* lamp3 = find<GFXMultiStateButton> ("Delay3SelectButton");
    EXPECT_EQ (juce::String (lampState ("Delay1SelectButton")) + juce::String (lampState ("Delay2SelectButton")) + juce::String (lampState ("Delay3SelectButton")), "101");
    EXPECT_TRUE (lamp3->isBlinking());
    product->handleControllerEvent (nullptr, 67);                          // paste into line 2
    pump (5);
    EXPECT_FALSE (lamp3->isBlinking());
    EXPECT_EQ (lampState ("Delay3SelectButton"), 0);

    // Padlocks: the events toggle them and the lamps follow.
    for (int uid = 70; uid <= 74; ++uid)
    {
        const auto lampName = uid == 74 ? juce::String ("FXAmountPadlockButton") : "Delay" + juce::String (uid - 69) + "PadlockButton";
        product->handleControllerEvent (nullptr, uid);
        pump (5);
        EXPECT_TRUE (corvane->getPadlock (uid - 70).isLocked()) << uid;
        EXPECT_EQ (lampState (lampName.toRawUTF8()), 1) << uid;
    }
}

TEST_F (CorvaneEditorTest, PanelsAndLampsFollowParameters)
{
    const struct
    {
        std::vector<std::pair<int, int>> values;
        std::function<bool()> shows;
        const char* what;
    } cases[] =
    {
        { { { 11, 0 } }, [this] { return ! shown ("DelayTimePanelSync") && shown ("DelayTimePanelNotSync")
                                      && lampState ("DelayTimeLeftFullSwitch") + lampState ("DelayTimeRightFullSwitch") == 0; }, "sync off: no scale lamp" },
        { { { 17, 1 }, { 18, 2 }, { 12, 0 }, { 11, 1 } }, [this] { return shown ("DelayTimePanelSync") && lampState ("DelayTimeLeftDotSwitch") == 1
                                      && lampState ("DelayTimeRightTripletSwitch") == 1 && lampState ("DelayTimeRightDotSwitch") == 0; }, "sync on" },
        { { { 12, 1 } }, [this] { return lampState ("DelayTimeRightDotSwitch") == 1 && shown ("DelayRightTimeJoinedKnob")
                                      && ! shown ("DelayRightTimeKnob") && ! shown ("DelayTimeRightNominator"); }, "joined" },
        { { { 18, 0 } }, [this] { return lampState ("DelayTimeRightDotSwitch") == 1; }, "joined ignores the right scale" },
        { { { 24, 0 } }, [this] { return shown ("PredelayRightTimeKnob") && ! shown ("PredelayRightTimeJoinedDisplay"); }, "pre-delay separate" },
        { { { 3, 1 } }, [this] { return lampState ("DelayModeLRSwitch") == 0 && lampState ("DelayModeMSSwitch") == 1; }, "M/S" },
        { { { 10, 3 } }, [this] { return lampState ("DelayFilterHPSwitch") == 1 && lampState ("DelayFilterSwitch") == 0; }, "HP" },
        { { { 42, 1 }, { 43, 1 } }, [this] { return lampState ("ModulationSourceLFO2Switch") + lampState ("ModulationScaleLogarithmicSwitch") == 2; }, "modulation" },
        { { { 47, 0 }, { 52, 1 } }, [this] { return shown ("LFO1SyncedPanel") && ! shown ("LFO1NotSyncedPanel") && lampState ("MOD1TypeLFOSwitch") == 1; }, "LFO synced" },
        { { { 67, 2 } }, [this] { return shown ("PEAK2Panel") && ! shown ("ENV2Panel") && ! shown ("LFO2SyncedPanel")
                                      && ! shown ("LFO2NotSyncedPanel") && lampState ("MOD2TypePEAKSwitch") == 1; }, "PEAK 2" },
        { { { 73, 2 } }, [this] { return lampState ("LFO2ScaleTripletSwitch") == 1; }, "LFO 2 scale" },
        { { { 92, 2 }, { 94, 1 } }, [this] { return shown ("PredelayTimePanel") && ! shown ("DelayTimePanel")
                                      && lampState ("PredelayPanelSelectSwitch") == 1 && lampState ("Delay2SelectButton") == 1; }, "pre-delay tab" },
        { { { 93, 0 } }, [this] { return shown ("PredelayTimePanel"); }, "another line's tab leaves it" },
    };

    for (const auto& c : cases)
    {
        for (auto [id, v] : c.values)
            set (id, v);

        EXPECT_TRUE (c.shows()) << c.what;
    }
}

TEST_F (CorvaneEditorTest, SignalFlowFrame)
{
    const struct { int type, loop, overdrive, post, frame; } cases[] =
    {
        { 0, 1, 0, 0, 0 }, { 0, 1, 1, 0, 2 }, { 0, 1, 0, 1, 1 }, { 0, 1, 1, 1, 3 },
        { 1, 0, 0, 0, 4 }, { 1, 1, 1, 1, 15 }, { 3, 1, 0, 0, 12 },
    };

    for (const auto& c : cases)
    {
        set (10, c.type);
        set (7, c.loop);
        set (35, c.overdrive);
        set (6, c.post);
        EXPECT_EQ (frame ("SignalFlowAnim"), c.frame) << c.type << c.loop << c.overdrive << c.post;
    }
}

TEST_F (CorvaneEditorTest, MetersAndLampsFollowTheEngineOnTheTick)
{
    set (47, 2);                                                            // MOD 1: PEAK
    set (67, 0);                                                            // MOD 2: LFO
    set (72, 0);

    auto& in = indicators();
    in.outputLevel[0] = 1.0f;
    in.outputLevel[1] = -3.0f;
    in.outputClip[1] = 1;
    in.lineLevel[5] = 1.0f;
    in.peakLevel[0] = 1.0f;
    in.lfoFirstHalf[1] = 1;
    product->getBoundWidget ("LFO1Panel")->setVisible (false);
    in.modulatorRestartFlag[0] = 1;                                          // panel hidden: consumed, not shown
    in.modulatorRestartFlag[1] = 1;
    in.transientLevel[0] = std::numeric_limits<float>::quiet_NaN();
    in.transientHitFlag[0] = 1;

    auto* window = product->getRetriggerWindow (0);
    product->handleControllerEvent (nullptr, 75);
    ASSERT_TRUE (window->isVisible());
    EXPECT_EQ (lampState ("MOD1RetriggerSettings"), 1);

    product->timerTick();

    auto* outputLeft = find<GFXAnimation> ("OutputVULeftAnim");
    EXPECT_EQ (frame ("OutputVULeftAnim"), outputLeft->getFramesNum() - 1);
    EXPECT_EQ (frame ("OutputVURightAnim"), 0);
    EXPECT_EQ (frame ("OutputClipLeftAnim"), 0);
    EXPECT_EQ (frame ("OutputClipRightAnim"), 1);
    EXPECT_GT (frame ("Delay3VUMeterRightAnimation"), 0);
    EXPECT_EQ (frame ("Delay3VUMeterLeftAnimation"), 0);
    EXPECT_GT (frame ("PEAK1MeterAnim"), 0);
    EXPECT_EQ (frame ("LFO2FreeRateLED"), 1);
    EXPECT_EQ (frame ("LFO1ResetLED"), 0);
    EXPECT_EQ (frame ("LFO2ResetLED"), 1);
    EXPECT_EQ (in.modulatorRestartFlag[0].load(), 0);
    EXPECT_EQ (window->getThresholdSlider().getLevel().getLevel(), 0.0f);
    EXPECT_TRUE (window->getThresholdSlider().getLevel().isHit());

    // A window that is closed takes no level, and its lamp goes dark.
    product->handleControllerEvent (nullptr, 75);
    EXPECT_FALSE (window->isVisible());
    EXPECT_EQ (lampState ("MOD1RetriggerSettings"), 0);
    in.transientHitFlag[0] = 1;
    product->timerTick();
    EXPECT_EQ (in.transientHitFlag[0].load(), 1);
}

TEST_F (CorvaneEditorTest, RetriggerWindowFollowsItsModeAndEndsLearning)
{
    auto* window = product->getRetriggerWindow (1);
    const struct { int mode; bool midi, detection; } cases[] = { { 0, false, false }, { 1, true, false }, { 2, false, true } };

    for (const auto& c : cases)
    {
        set (68, c.mode);
        EXPECT_EQ (window->getMidiPanel().isVisible(), c.midi) << c.mode;
        EXPECT_EQ (window->getDetectionPanel().isVisible(), c.detection) << c.mode;
    }

    // Every group title is drawn whole, inside its frame.
    for (auto* panel : { &window->getModeChooser()->getPanel(), &window->getMidiPanel(), &window->getDetectionPanel() })
        EXPECT_LE (panel->getFont().getStringWidthFloat (panel->getTitle()) + 20.0f, (float) panel->getWidth()) << panel->getTitle();

    EXPECT_EQ (window->getTitle(), "MOD 2 Retrigger Settings");

    set (68, 1);
    product->handleControllerEvent (nullptr, 76);
    set (115, 1);
    window->getNotePicker().getLearnToggle().setToggleState (true, juce::dontSendNotification);
    product->handleControllerEvent (nullptr, 76);                          // closed: learning ends
    pump (5);
    EXPECT_EQ (value (115), 0);
    EXPECT_FALSE (window->getNotePicker().getLearnToggle().getToggleState());

    product->handleControllerEvent (nullptr, 76);
    set (115, 1);
    set (68, 0);                                                            // the note panel goes: so does learning
    EXPECT_EQ (value (115), 0);
}

TEST_F (CorvaneEditorTest, RendersAPlayingFace)
{
    // Three lines sounding, a filter and overdrive on line 2, MOD 1 retriggered by transients.
    for (auto [id, v] : std::initializer_list<std::pair<int, int>> { { 92, 2 }, { 10, 1 }, { 35, 1 }, { 7, 1 }, { 48, 2 }, { 47, 1 } })
        set (id, v);

    manager().setParameterNormalisedValue (2002, 0.75f);
    manager().setParameterNormalisedValue (3002, 0.6f);
    corvane->prepareToPlay (44100.0, 512);

    juce::AudioBuffer<float> buffer (2, 512);
    juce::MidiBuffer midi;

    for (int block = 0; block < 60; ++block)
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                buffer.setSample (ch, i, block % 20 < 4 ? 0.9f * std::sin ((float) (block * 512 + i) * 0.05f) : 0.0f);

        corvane->processBlock (buffer, midi);
    }

    product->handleControllerEvent (nullptr, 75);
    product->timerTick();

    EXPECT_GT (frame ("OutputVULeftAnim"), 0);
    EXPECT_GT (frame ("Delay1VUMeterLeftAnimation") + frame ("Delay2VUMeterLeftAnimation"), 0);
    product->createComponentSnapshot (product->getLocalBounds());   // painting the playing face must not fail
}

TEST_F (CorvaneEditorTest, OptionsWindowDisarmsTheProcessingPagesLearning)
{
    auto* page = dynamic_cast<CorvaneProcessingSettingsComponent*> (product->getProcessingSettingsComponent());
    ASSERT_NE (page, nullptr);
    EXPECT_EQ (product->getOptionsWindow()->getBounds().getWidth(), 1200);
    EXPECT_EQ (product->getOptionsWindow()->getBounds().getHeight(), 540);
    EXPECT_EQ (product->getHostParametersPage()->getList().getRowsPerColumn(), 16);
    EXPECT_GT (product->getHostParametersPage()->getList().getParameterMenu().getNumItems(), 0);

    for (auto open : { true, false })
    {
        set (114, 1);
        page->getPicker (false, 0).getLearnToggle().setToggleState (true, juce::dontSendNotification);

        if (open)
            product->getOptionsWindow()->show();
        else
            product->getOptionsWindow()->close();

        pump (5);
        EXPECT_EQ (value (114), 0) << open;
        EXPECT_FALSE (page->getPicker (false, 0).getLearnToggle().getToggleState()) << open;
    }
}

// Display: keys go where the keyboard focus is, and only a window on the screen has it.
TEST_F (CorvaneEditorTest, ModalWindowsOnDisplayKeepEveryKeyFromTheFace)
{
    SKIP_WITHOUT_DISPLAY();
    editor->addToDesktop (0);
    editor->setVisible (true);
    product->getInstallerWindow()->close();                              // the data folder is empty
    editor->getMidiLearnButton()->grabKeyboardFocus();                   // the window system's answer comes now
    pump (100);
    auto* peer = editor->getPeer();

    // A folder that does not exist, named by a path of more than 300 characters.
    chooser.answer = { presetRoot().getChildFile (juce::String::repeatedString ("A folder that is not there/", 12) + "Preset.cvprst") };

    const auto press = [this, peer] (int key, juce::ModifierKeys modifiers = {})
    {
        peer->handleKeyPress (juce::KeyPress (key, modifiers, 0));
        pump();
    };

    // A chooser takes the focus from the host's window, which gives it back to the face where
    // it was last.
    const struct { const char* what; std::function<ModalComponent* ()> open; bool afterChooser, closesOnReturn; } cases[] =
    {
        { "refusal naming a long path", [this] { editor->savePresetAs ("Presets"); return editor->getSaveFailedAlert(); }, true, true },
        { "options", [this] { editor->getOptionsWindow()->show(); return editor->getOptionsWindow(); }, false, false },
        { "about", [this] { editor->handleControllerEvent (nullptr, BasePluginEditor::aboutEvent); return editor->getAboutWindow(); }, false, false },
        { "MOD 1 retrigger", [this] { product->handleControllerEvent (nullptr, 75); return product->getRetriggerWindow (0); }, false, false },
        { "MOD 2 retrigger", [this] { product->handleControllerEvent (nullptr, 76); return product->getRetriggerWindow (1); }, false, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        editor->getMidiLearnButton()->grabKeyboardFocus();              // a click on the face (its buttons pass the focus on)

        if (c.afterChooser)
            peer->handleFocusLoss();

        auto* modal = c.open();

        if (c.afterChooser)
            peer->handleFocusGain();

        ASSERT_TRUE (modal != nullptr && modal->isShownOverDesktop());
        EXPECT_TRUE (editor->getModalArea().contains (modal->getBounds()));

        press (juce::KeyPress::tabKey);
        EXPECT_TRUE (modal->hasKeyboardFocus (true));
        press (juce::KeyPress::tabKey, juce::ModifierKeys::shiftModifier);
        EXPECT_TRUE (modal->hasKeyboardFocus (false));

        press (juce::KeyPress::returnKey);
        EXPECT_FALSE (plugin->midiControl.isLearning());
        EXPECT_EQ (modal->isVisible(), ! c.closesOnReturn);
        press (juce::KeyPress::escapeKey);
        EXPECT_FALSE (modal->isVisible());
    }

    editor->removeFromDesktop();
}

// Closing the plug-in closes the chooser its editor opened, with the chooser's question or
// its New Folder box, at once, and nothing is written.
TEST_F (CorvaneEditorTest, ClosingThePluginOnDisplayClosesItsChooser)
{
    SKIP_WITHOUT_DISPLAY();
    const std::string previousPath (std::getenv ("PATH") != nullptr ? std::getenv ("PATH") : "");
    const juce::ScopeGuard restore { [&] { setenv ("PATH", previousPath.c_str(), 1); FileDialogs::setChooser (&chooser); } };
    setenv ("PATH", "/nonexistent", 1);                                  // no desktop chooser: the toolkit's
    FileDialogs::setChooser (nullptr);

    const auto findWindow = [] (const juce::String& name) -> juce::Component*
    {
        for (int i = 0; i < juce::Desktop::getInstance().getNumComponents(); ++i)
            if (auto* window = juce::Desktop::getInstance().getComponent (i); window->getName() == name)
                return window;

        return nullptr;
    };

    for (const char* button : { "", "Save", "New Folder" })
    {
        SCOPED_TRACE (button);

        if (plugin == nullptr)
            plugin.reset (dynamic_cast<BasePlugin*> (createPluginFilter()));

        const auto existing = presetRoot().getChildFile ("Default.cvprst");
        ASSERT_TRUE (existing.replaceWithText ("kept"));
        plugin->getEditor()->savePresetAs ("Presets");
        pump (100);
        auto* dialog = findWindow ("Save current presets");
        ASSERT_NE (dialog, nullptr);

        for (auto* child : dialog->getChildren())
            if (auto* b = dynamic_cast<juce::Button*> (child); b != nullptr && b->getButtonText() == button)
                b->triggerClick();

        pump();
        const auto numWindows = juce::Desktop::getInstance().getNumComponents();
        const auto started = std::chrono::steady_clock::now();
        plugin.reset();
        EXPECT_LT (std::chrono::steady_clock::now() - started, std::chrono::seconds (2));
        pump();

        EXPECT_LE (juce::Desktop::getInstance().getNumComponents(), numWindows - (*button != 0 ? 2 : 1));
        EXPECT_EQ (findWindow ("Save current presets"), nullptr);
        EXPECT_EQ (existing.loadFileAsString(), "kept");
    }
}

// Display: a click gives the keyboard focus where JUCE finds a component that takes it.
TEST_F (CorvaneEditorTest, StrayKeysOnDisplayLeaveTheFaceAsItIs)
{
    SKIP_WITHOUT_DISPLAY();
    editor->addToDesktop (0);
    editor->setVisible (true);
    product->getInstallerWindow()->close();                              // the data folder is empty
    pump (100);
    auto* peer = editor->getPeer();

    // A Save as that fails, in a folder that does not exist.
    chooser.answer = { presetRoot().getChildFile ("Not there/Preset.cvprst") };

    const auto click = [this, peer] (juce::Point<int> at)
    {
        const auto time = juce::Time::currentTimeMillis();

        for (auto mods : { juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), juce::ModifierKeys() })
            peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at.toFloat(), mods,
                                    juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation, time);

        pump();
    };

    const auto press = [this, peer] (int key, juce::juce_wchar character)
    {
        peer->handleKeyPress (juce::KeyPress (key, {}, character));
        pump();
    };

    const auto background = juce::Point<int> (600, 8);
    ASSERT_NE (dynamic_cast<GFXPanel*> (editor->getComponentAt (background)), nullptr);
    auto* save = find<juce::Component> ("SavePresetButton");
    ASSERT_NE (save, nullptr);

    // Each case ends with Return and Space: nothing on the face may answer them.
    const struct { const char* what; std::function<void()> before; int chooserRequests; } cases[] =
    {
        { "a click on the background", [&] { click (background); }, 0 },
        { "an alert answered with Return", [&] {
              click (editor->getLocalPoint (save, save->getLocalBounds().getCentre()));
              ASSERT_TRUE (editor->getSaveFailedAlert() != nullptr && editor->getSaveFailedAlert()->isVisible());
              press (juce::KeyPress::returnKey, '\r'); }, 1 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        plugin->midiControl.setLearning (false);
        chooser.requests.clear();
        c.before();
        press (juce::KeyPress::returnKey, '\r');
        press (juce::KeyPress::spaceKey, ' ');

        EXPECT_FALSE (plugin->midiControl.isLearning());
        EXPECT_FALSE (editor->getSaveFailedAlert() != nullptr && editor->getSaveFailedAlert()->isVisible());
        EXPECT_EQ (chooser.requests.size(), c.chooserRequests);
    }

    editor->removeFromDesktop();
}

TEST (ModulatorRetriggerSettings, LeavesItsModeParameterWhenDestroyed)
{
    EnumParameter mode (48, "MOD 1 Retrigger Mode", 1, "Off;Note;Transient");

    {
        ModulatorRetriggerSettings window ("MOD 1 Retrigger Settings", &mode, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        EXPECT_TRUE (window.getMidiPanel().isVisible());
        mode.setIntValue (2, true);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
        EXPECT_TRUE (window.getDetectionPanel().isVisible());
    }

    // A change after the window has gone reaches nobody (a sanitizer build would catch it).
    mode.setIntValue (0, true);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
}
