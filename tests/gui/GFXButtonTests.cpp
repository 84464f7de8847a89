#include "SkinTestSupport.h"

#include "GFXButton.h"
#include "GFXMultiStateButton.h"
#include "GFXToggleButton.h"

using namespace SkinTest;

namespace
{
    class GFXButtonTest  : public Fixture {};

    struct Journal  : public GUIController::Listener
    {
        void controllerValueChanged (GUIController*) override         { entries.add ("value"); }
        void handleControllerEvent (GUIController*, int uid) override  { entries.add ("event " + juce::String (uid)); }
        juce::StringArray entries;
    };

    void press (juce::Component& c, juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier)
    {
        c.mouseDown (mouseEvent (c, { 2.0f, 2.0f }, mods, { 2.0f, 2.0f }));
    }

    void release (juce::Component& c, juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier)
    {
        c.mouseUp (mouseEvent (c, { 2.0f, 2.0f }, mods, { 2.0f, 2.0f }));
    }
}

TEST_F (GFXButtonTest, PicksTheEventOfAClickByItsModifiers)
{
    using MK = juce::ModifierKeys;
    const auto plain = MK (MK::leftButtonModifier), right = MK (MK::rightButtonModifier);
    const auto ctrlRight = MK (MK::rightButtonModifier | MK::ctrlModifier), ctrl = MK (MK::leftButtonModifier | MK::ctrlModifier);

    const juce::String clickAndRight = "<actions><action type=\"onClick\" event=\"Select Line 1\"/>"
                                       "<action type=\"onRightClick\" event=\"Select Line 2\"/></actions>";
    const juce::String ctrlOnly = "<actions><action type=\"onClickWithCtrl\" event=\"Select Line 3\"/></actions>";

    struct Case { const char* tag; juce::String actions; MK mods; const char* fired; };
    const Case cases[] = {
        { "Button", clickAndRight, right, "event 1" },
        { "Button", clickAndRight, ctrlRight, "" },
        { "Button", clickAndRight, plain, "event 0" },
        { "Button", ctrlOnly, plain, "" },
        { "Button", ctrlOnly, right, "" },
        { "Button", ctrlOnly, ctrl, "event 2" },
        { "MultiStateButton", clickAndRight, right, "event 1" },
        { "MultiStateButton", ctrlOnly, ctrl, "event 2" },
        { "ToggleButton", clickAndRight, plain, "" },
    };

    for (const auto& c : cases)
    {
        const auto element = juce::String ("<") + c.tag + " name=\"B\"><size width=\"20\" height=\"20\"/>" + c.actions + "</" + c.tag + ">";
        auto panel = loadControls (element);
        auto* button = find<juce::Button> (*panel, "B");
        Journal journal;
        panel->addListener (&journal);

        press (*button, c.mods);
        release (*button, c.mods);

        EXPECT_EQ (journal.entries.joinIntoString (","), c.fired) << c.tag << " " << c.actions << " " << c.mods.getRawFlags();
    }
}

TEST_F (GFXButtonTest, NoSkinButtonTakesTheKeyboardFocus)
{
    // Return and Space on the face are the host's: a clicked button must not keep them.
    for (const auto* tag : { "Button", "MultiStateButton", "ToggleButton" })
    {
        auto panel = loadControls (juce::String ("<") + tag + " name=\"B\"><size width=\"20\" height=\"20\"/></" + tag + ">");
        auto* button = find<juce::Button> (*panel, "B");
        ASSERT_NE (button, nullptr) << tag;
        EXPECT_FALSE (button->getWantsKeyboardFocus()) << tag;
    }
}

TEST_F (GFXButtonTest, LinkedButtonsWriteTheirParameter)
{
    // A linked push button is momentary and fires on the press whatever its "clickEvent".
    auto panel = loadControls ("<Button name=\"B\" clickEvent=\"onRelease\"><size width=\"20\" height=\"20\"/>"
                               "<links><link as=\"connectedTo\" param=\"Mute\"/></links>"
                               "<actions><action type=\"onClick\" event=\"Select Line 2\"/></actions></Button>"
                               "<ToggleButton name=\"T\"><size width=\"20\" height=\"20\"/>"
                               "<links><link as=\"connectedTo\" param=\"Channel Swap\"/></links></ToggleButton>");
    auto* mute = plugin->parameterManager.getParameter (juce::String ("Mute"));
    Journal journal;
    panel->addListener (&journal);

    press (*find<GFXButton> (*panel, "B"));
    EXPECT_TRUE (mute->getBoolValue());
    release (*find<GFXButton> (*panel, "B"));
    EXPECT_FALSE (mute->getBoolValue());

    press (*find<GFXToggleButton> (*panel, "T"));
    release (*find<GFXToggleButton> (*panel, "T"));
    EXPECT_TRUE (plugin->parameterManager.getParameter (juce::String ("Channel Swap"))->getBoolValue());

    EXPECT_EQ (journal.entries.joinIntoString (","), "value,event 1,value,value");
}

TEST_F (GFXButtonTest, ShowsTheFrameOfItsStateStyleAndEnablement)
{
    auto panel = loadControls (
        "<MultiStateButton name=\"Multi\" style=\"3D\" states=\"4\"><gfx resource=\"Eight.png\"/>"
        "  <links><link as=\"connectedTo\" param=\"Panning\"/></links></MultiStateButton>"
        "<ToggleButton name=\"Toggle\"><gfx resource=\"Two.png\"/>"
        "  <links><link as=\"connectedTo\" param=\"Mute\"/></links></ToggleButton>",
        { { "Eight.png", pngOf (makeStrip (10, 10, 8)) }, { "Two.png", pngOf (makeStrip (10, 10, 2)) } });

    auto* multi = find<GFXMultiStateButton> (*panel, "Multi");
    auto* toggle = find<GFXToggleButton> (*panel, "Toggle");
    auto& manager = plugin->parameterManager;
    EXPECT_EQ (multi->getFramesNum(), 8);

    struct Case { float panning; bool mute, enabled, darkBlink; int multiFrame, toggleFrame; };
    const Case cases[] = {
        { 0.5f, true, true, false, 4, 1 },
        { 0.49f, false, true, false, 2, 0 },
        { 1.0f, true, false, false, 6, 0 },
        { 1.0f, true, true, true, 0, 0 },
    };

    for (const auto& c : cases)
    {
        manager.setParameterNormalisedValue (manager.getParameterIndex ("Panning"), c.panning);
        manager.setParameterBoolValue (manager.getParameterIndex ("Mute"), c.mute);
        pump();
        panel->setEnabled (c.enabled);

        for (auto* blinking : { static_cast<BlinkingComponent*> (multi), static_cast<BlinkingComponent*> (toggle) })
        {
            blinking->startBlinking();
            blinking->setBlinkState (c.darkBlink);
        }

        EXPECT_EQ (frameShown (*multi), c.multiFrame) << c.panning;
        EXPECT_EQ (frameShown (*toggle), c.toggleFrame) << c.panning;

        // Stopped in the dark phase, the state stays but the value shows again.
        multi->stopBlinking();
        EXPECT_EQ (frameShown (*multi), 2 * multi->getState());
    }
}
