#include "SkinTestSupport.h"

#include "GFXMidiChannelDisplay.h"
#include "ModWheel.h"
#include "PitchBender.h"

using namespace SkinTest;

namespace
{
    class KnobVariantTest  : public Fixture
    {
    protected:
        // The widgets listen to the plug-in's parameters, so they go first.
        void TearDown() override
        {
            panel.reset();
            Fixture::TearDown();
        }

        Parameter& volume()     { return *plugin->parameterManager.getParameter (juce::String ("Volume")); }

        template <typename Widget>
        Widget& loadLinked (const juce::String& tag)
        {
            panel = loadControls ("<" + tag + " name=\"W\"><size width=\"40\" height=\"40\"/>"
                                  "<links><link as=\"connectedTo\" param=\"Volume\"/></links></" + tag + ">");
            auto* widget = find<Widget> (*panel, "W");
            EXPECT_NE (widget, nullptr);
            return *widget;
        }

        std::unique_ptr<GFXPanel> panel;
    };
}

TEST_F (KnobVariantTest, PitchBenderCentresTheParameterOnZero)
{
    auto& bender = loadLinked<PitchBender> ("PitchBender");

    struct Case { float normalised; double slider; };
    const Case fromParameter[] = { { 0.75f, 0.5 }, { 0.5f, 0.0 }, { 0.0f, -1.0 }, { 1.0f, 1.0 } };

    for (const auto& c : fromParameter)
    {
        volume().setNormalisedValue (c.normalised, false);
        bender.updateFromParameter (&volume());
        EXPECT_NEAR (bender.getValue(), c.slider, 1.0e-6) << c.normalised;
    }

    const Case fromSlider[] = { { 0.0f, -1.0 }, { 0.75f, 0.5 }, { 1.0f, 1.0 } };

    for (const auto& c : fromSlider)
    {
        bender.setValue (c.slider, juce::sendNotificationSync);
        EXPECT_NEAR (volume().getNormalisedValue(), c.normalised, 1.0e-6) << c.slider;
    }
}

TEST_F (KnobVariantTest, ModWheelSpringsBackWhenLetGo)
{
    auto& wheel = loadLinked<ModWheel> ("ModWheel");
    const juce::Point<float> down (20, 20);

    for (auto endY : { 0.0f, 10.0f })
    {
        wheel.mouseDown (mouseEvent (wheel, down, juce::ModifierKeys::leftButtonModifier, down));
        wheel.mouseDrag (mouseEvent (wheel, { 20, endY }, juce::ModifierKeys::leftButtonModifier, down));
        EXPECT_GT (volume().getNormalisedValue(), 0.0f);

        wheel.mouseUp (mouseEvent (wheel, { 20, endY }, juce::ModifierKeys::leftButtonModifier, down));
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

        EXPECT_EQ (wheel.getValue(), 0.0) << endY;
        EXPECT_EQ (volume().getNormalisedValue(), 0.0f) << endY;
    }
}

TEST_F (KnobVariantTest, ChannelDisplayShowsAllOrTheChannel)
{
    struct Case { double value; int channel; int frame; };
    const Case cases[] = {
        { 0.0, 0, 1 }, { 1.0 / 33.0, 0, 1 }, { 1.0 / 16.0, 1, 2 }, { 0.5, 8, 9 }, { 1.0, 16, 17 },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (GFXMidiChannelDisplay::getChannelForValue (c.value), c.channel) << c.value;

        GFXMidiChannelDisplay display ("Channel");
        display.setImage (makeStrip (20, 10, 18), 18);
        display.setSize (20, 10);
        display.setValue (c.value, juce::dontSendNotification);
        EXPECT_EQ (frameShown (display), c.frame) << c.value;

        display.setEnabled (false);
        EXPECT_EQ (frameShown (display), 0) << c.value;
    }
}
