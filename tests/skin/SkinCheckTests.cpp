#include <gtest/gtest.h>

#include "ApplicationDataFolders.h"
#include "Corvane.h"
#include "DefaultLookAndFeel.h"
#include "GFXAnimation.h"
#include "GFXButton.h"
#include "GFXKnob.h"
#include "GFXMultiStateButton.h"
#include "GFXPanel.h"
#include "NumericDisplay.h"
#include "ResourceLoading.h"
#include "SkinSource.h"
#include "TextInput.h"

#include <functional>

namespace
{
    /** Loads the module's built-in skin for the product processor, as its editor does. */
    class SkinCheck  : public ::testing::Test,
                       public SkinSource::Owner
    {
    protected:
        void SetUp() override
        {
            root = juce::File::createTempFile ("corvane-skin");
            root.createDirectory();
            ApplicationDataFolders::setRoot (root);
            plugin = std::make_unique<Corvane>();
            document = juce::XmlDocument::parse (loadXmlFromResource ("skin.xml"));
            ASSERT_NE (document, nullptr);
            panel = SkinSource (*this, {}).createMainPanel();
            ASSERT_NE (panel, nullptr);
        }

        void TearDown() override
        {
            panel.reset();
            plugin.reset();
            ApplicationDataFolders::setRoot ({});
            root.deleteRecursively();
        }

        BasePlugin& getPlugin() const override                          { return *plugin; }
        juce::File getSkinFile (const juce::String& name) const override { return root.getChildFile (name); }

        /** The editors' lookup: a direct child first, then each child's subtree in turn. */
        static juce::Component* find (juce::Component& parent, const juce::String& name)
        {
            for (auto* child : parent.getChildren())
                if (child->getName() == name)
                    return child;

            for (auto* child : parent.getChildren())
                if (auto* found = find (*child, name))
                    return found;

            return nullptr;
        }

        static void forEachElement (const juce::XmlElement& e, const std::function<void (const juce::XmlElement&)>& visit)
        {
            visit (e);

            for (auto* child : e.getChildIterator())
                forEachElement (*child, visit);
        }

        juce::File root;
        std::unique_ptr<Corvane> plugin;
        std::unique_ptr<juce::XmlElement> document;
        std::unique_ptr<GFXPanel> panel;
    };

    enum class Kind { animation, lamp, panel, knob, digits, button, text };

    bool isOfKind (juce::Component* c, Kind kind)
    {
        switch (kind)
        {
            case Kind::animation: return dynamic_cast<GFXAnimation*> (c) != nullptr;
            case Kind::lamp:      return dynamic_cast<GFXMultiStateButton*> (c) != nullptr;
            case Kind::panel:     return dynamic_cast<GFXPanel*> (c) != nullptr;
            case Kind::knob:      return dynamic_cast<GFXKnob*> (c) != nullptr;
            case Kind::digits:    return dynamic_cast<NumericDisplay*> (c) != nullptr;
            case Kind::button:    return dynamic_cast<GFXButton*> (c) != nullptr;
            case Kind::text:      return dynamic_cast<TextInput*> (c) != nullptr;
        }

        return false;
    }

    // Every component the editors bind by name, with the kind they cast it to.
    const std::pair<Kind, const char*> boundNames[] = {
        { Kind::animation, "OutputVULeftAnim OutputVURightAnim OutputClipLeftAnim OutputClipRightAnim "
                           "Delay1VUMeterLeftAnimation Delay1VUMeterRightAnimation Delay2VUMeterLeftAnimation "
                           "Delay2VUMeterRightAnimation Delay3VUMeterLeftAnimation Delay3VUMeterRightAnimation "
                           "Delay4VUMeterLeftAnimation Delay4VUMeterRightAnimation PEAK1MeterAnim PEAK2MeterAnim "
                           "LFO1ResetLED ENV1ResetLED LFO2ResetLED ENV2ResetLED LFO1FreeRateLED LFO1SyncRateLED "
                           "LFO2FreeRateLED LFO2SyncRateLED SignalFlowAnim" },
        { Kind::lamp,      "DelayModeLRSwitch DelayModeMSSwitch Delay1SelectButton Delay2SelectButton Delay3SelectButton "
                           "Delay4SelectButton DelayFilterPreOverdriveSwitch DelayFilterPostOverdriveSwitch "
                           "DelayFilterSwitch DelayFilterLPSwitch DelayFilterBPSwitch DelayFilterHPSwitch "
                           "ModulationSourceLFO1Switch ModulationSourceLFO2Switch ModulationScaleLinearSwitch "
                           "ModulationScaleLogarithmicSwitch DelayPanelSelectSwitch PredelayPanelSelectSwitch "
                           "DelayTimeLeftFullSwitch DelayTimeLeftDotSwitch DelayTimeLeftTripletSwitch "
                           "DelayTimeRightFullSwitch DelayTimeRightDotSwitch DelayTimeRightTripletSwitch "
                           "PredelayTimeLeftFullSwitch PredelayTimeLeftDotSwitch PredelayTimeLeftTripletSwitch "
                           "PredelayTimeRightFullSwitch PredelayTimeRightDotSwitch PredelayTimeRightTripletSwitch "
                           "LFO1ScaleFullSwitch LFO1ScaleDotSwitch LFO1ScaleTripletSwitch LFO2ScaleFullSwitch "
                           "LFO2ScaleDotSwitch LFO2ScaleTripletSwitch MOD1TypeLFOSwitch MOD1TypeENVSwitch "
                           "MOD1TypePEAKSwitch MOD2TypeLFOSwitch MOD2TypeENVSwitch MOD2TypePEAKSwitch "
                           "FXAmountPadlockButton Delay1PadlockButton Delay2PadlockButton Delay3PadlockButton "
                           "Delay4PadlockButton MOD1RetriggerSettings MOD2RetriggerSettings MidiLearnButton" },
        { Kind::panel,     "DelayTimePanel DelayTimePanelSync DelayTimePanelNotSync PredelayTimePanel "
                           "PredelayTimePanelSync PredelayTimePanelNotSync LFO1Panel LFO2Panel LFO1SyncedPanel "
                           "LFO1NotSyncedPanel LFO2SyncedPanel LFO2NotSyncedPanel ENV1Panel PEAK1Panel ENV2Panel PEAK2Panel" },
        { Kind::knob,      "DelayRightTimeKnob DelayRightTimeJoinedKnob PredelayRightTimeKnob PredelayRightTimeJoinedKnob" },
        { Kind::digits,    "DelayTimeRightNominator DelayTimeRightDenominator DelayTimeRightNominatorJoined "
                           "DelayTimeRightDenominatorJoined PredelayTimeRightNominator PredelayTimeRightDenominator "
                           "PredelayTimeRightNominatorJoined PredelayTimeRightDenominatorJoined DelayRightTimeDisplay "
                           "DelayRightTimeJoinedDisplay PredelayRightTimeDisplay PredelayRightTimeJoinedDisplay" },
        { Kind::button,    "RoutingSelectSwitch" },
        { Kind::text,      "PresetNameDisplay" },
    };

    constexpr int viewParameterCount = 47;
}

TEST_F (SkinCheck, EveryNameTheEditorsBindIsThereWithItsKindAndLink)
{
    for (const auto& [kind, names] : boundNames)
    {
        for (const auto& name : juce::StringArray::fromTokens (names, false))
        {
            auto* component = find (*panel, name);
            ASSERT_NE (component, nullptr) << name;
            EXPECT_TRUE (isOfKind (component, kind)) << name;

            // The editor sets its lamps; knobs and displays follow the selected line's view.
            auto* parameter = dynamic_cast<GUIController&> (*component).getParameter();

            if (kind == Kind::lamp)
            {
                EXPECT_EQ (parameter, nullptr) << name;
            }

            if (kind == Kind::knob || kind == Kind::digits)
            {
                EXPECT_TRUE (parameter != nullptr && parameter->getIndex() < viewParameterCount) << name;
            }
        }
    }
}

TEST_F (SkinCheck, EveryLinkNamesAParameterAndEveryActionAnEventAndEveryProductEventIsFired)
{
    const juce::StringArray actionTypes { "onClick", "onClickWithCtrl", "onRightClick" };
    int links = 0;
    juce::StringArray fired;

    forEachElement (*document, [&] (const juce::XmlElement& e)
    {
        if (e.hasTagName ("link"))
        {
            ++links;
            EXPECT_EQ (e.getStringAttribute ("as"), "connectedTo");
            EXPECT_NE (plugin->parameterManager.getParameter (e.getStringAttribute ("param")), nullptr)
                << e.getStringAttribute ("param");
        }

        if (e.hasTagName ("action"))
        {
            fired.add (e.getStringAttribute ("event"));
            EXPECT_TRUE (actionTypes.contains (e.getStringAttribute ("type"))) << e.getStringAttribute ("type");
            EXPECT_NE (plugin->eventsMap.getEventUid (e.getStringAttribute ("event")), -1) << e.getStringAttribute ("event");
        }
    });

    EXPECT_GT (links, 0);

    // The waveform events have no control on this face: its selectors set the waveform directly.
    for (int uid = 0; uid <= 76; ++uid)
    {
        if ((uid < 42 || uid > 46) && (uid < 53 || uid > 57))
        {
            EXPECT_TRUE (fired.contains (plugin->eventsMap.getEventName (uid))) << plugin->eventsMap.getEventName (uid);
        }
    }
}

TEST_F (SkinCheck, EveryPictureIsAResourceOfWholeFrames)
{
    // Buttons with states split their picture by their own count, digits and signs by theirs.
    auto framesOf = [] (const juce::XmlElement& owner, const juce::XmlElement& gfx)
    {
        const auto threeD = owner.getStringAttribute ("style") == "3D";

        if (owner.hasTagName ("digits"))        return 11;
        if (owner.hasTagName ("sign"))          return 2;
        if (owner.hasTagName ("ToggleButton"))  return threeD ? 4 : 2;
        if (owner.hasTagName ("MultiStateButton"))
        {
            const auto states = juce::jmax (2, owner.getIntAttribute ("states", 2));
            return threeD ? 2 * states : states;
        }

        return gfx.getIntAttribute ("framesNum", 1);
    };

    int pictures = 0;

    forEachElement (*document, [&] (const juce::XmlElement& owner)
    {
        for (auto* gfx : owner.getChildWithTagNameIterator ("gfx"))
        {
            ++pictures;
            const auto resource = gfx->getStringAttribute ("resource");
            const auto image = loadImageFromResource (resource);
            const auto frames = framesOf (owner, *gfx);
            ASSERT_TRUE (image.isValid()) << resource;
            EXPECT_GT (frames, 0) << resource;
            EXPECT_EQ (image.getHeight() % juce::jmax (1, frames), 0) << resource << " in " << frames << " frames";
        }
    });

    EXPECT_GT (pictures, 0);
}

TEST_F (SkinCheck, KnobsWithAMidRangeRestShowNoArcThere)
{
    // Pixels of a knob's frame in the lit orange of its value arc.
    auto litPixels = [] (const juce::Image& strip, int frame)
    {
        int lit = 0;

        for (int y = frame * strip.getWidth(); y < (frame + 1) * strip.getWidth(); ++y)
            for (int x = 0; x < strip.getWidth(); ++x)
                if (auto p = strip.getPixelAt (x, y); p.getAlpha() > 200 && p.getRed() > 200 && p.getBlue() < 100)
                    ++lit;

        return lit;
    };

    const std::pair<const char*, bool> cases[] = { { "FeedbackKnob", true }, { "OverdriveColorKnob", true },
                                                    { "StereoSpreadKnob", true }, { "PanningKnob", true },
                                                    { "VolumeKnob", false }, { "FilterCutoffKnob", false } };

    for (const auto& [name, centred] : cases)
    {
        juce::Image strip;
        int frames = 0;

        forEachElement (*document, [&, knobName = juce::String (name)] (const juce::XmlElement& e)
        {
            if (e.hasTagName ("Knob") && e.getStringAttribute ("name") == knobName)
                if (auto* gfx = e.getChildByName ("gfx"))
                {
                    strip = loadImageFromResource (gfx->getStringAttribute ("resource"));
                    frames = gfx->getIntAttribute ("framesNum");
                }
        });

        ASSERT_TRUE (strip.isValid() && frames % 2 == 1) << name;
        const auto low = litPixels (strip, 0), middle = litPixels (strip, frames / 2), high = litPixels (strip, frames - 1);

        // Centred, the arc grows from the top both ways: nothing at rest, alike at the two ends.
        EXPECT_EQ (middle == 0, centred) << name;
        EXPECT_EQ (low > 0, centred) << name;
        EXPECT_NEAR (centred ? low : 2 * middle, high, high / 10) << name;
    }
}

TEST_F (SkinCheck, PanelsTakeFaceCoordinatesAndWindowsHaveRoomAboveTheirButtons)
{
    EXPECT_EQ (panel->getBounds(), juce::Rectangle<int> (0, 0, 1243, 560));

    forEachElement (*document->getChildByName ("Panel"), [] (const juce::XmlElement& e)
    {
        if (! e.hasTagName ("Panel") || e.getStringAttribute ("name") == "MainPanel")
            return;

        const auto* pos = e.getChildByName ("pos");
        const auto* controls = e.getChildByName ("controls");
        ASSERT_TRUE (pos != nullptr && controls != nullptr) << e.getStringAttribute ("name");
        EXPECT_EQ (controls->getIntAttribute ("ofsX"), -pos->getIntAttribute ("left")) << e.getStringAttribute ("name");
        EXPECT_EQ (controls->getIntAttribute ("ofsY"), -pos->getIntAttribute ("top")) << e.getStringAttribute ("name");
    });

    // The retrigger windows (338 x 161) open 163 pixels above their buttons, at their x.
    for (const auto* name : { "MOD1RetriggerSettings", "MOD2RetriggerSettings", "RoutingSelectSwitch" })
    {
        auto* button = find (*panel, name);
        ASSERT_NE (button, nullptr) << name;
        EXPECT_EQ (button->getParentComponent(), panel.get()) << name;
        EXPECT_GE (button->getY(), 163) << name;
        EXPECT_LE (button->getX() + 338, panel->getWidth()) << name;
    }
}

TEST_F (SkinCheck, RendersTheWholeFace)
{
    // Show what the editor shows for a fresh instance: delay times free and joined, LFOs free.
    for (const auto* hidden : { "PredelayTimePanel", "DelayTimePanelSync", "PredelayTimePanelSync", "LFO1SyncedPanel",
                                "LFO2SyncedPanel", "ENV1Panel", "PEAK1Panel", "ENV2Panel", "PEAK2Panel",
                                "DelayRightTimeKnob", "DelayRightTimeDisplay" })
    {
        auto* component = find (*panel, hidden);
        ASSERT_NE (component, nullptr) << hidden;
        component->setVisible (false);
    }

    // Fonts find their typeface through the default look-and-feel, which maps the skin's faces.
    DefaultLookAndFeel lookAndFeel;
    juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel);
    const auto face = panel->createComponentSnapshot (panel->getLocalBounds(), false, 1.0f);
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);

    const juce::File artefact (CORVANE_SKIN_ARTEFACT);
    artefact.getParentDirectory().createDirectory();
    artefact.deleteFile();
    juce::FileOutputStream out (artefact);
    ASSERT_TRUE (out.openedOk());
    EXPECT_TRUE (juce::PNGImageFormat().writeImageToStream (face, out));
    EXPECT_EQ (face.getBounds(), juce::Rectangle<int> (0, 0, 1243, 560));
}
