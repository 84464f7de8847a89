#include "SkinTestSupport.h"

#include "GFXAnimation.h"
#include "GFXKnob.h"
#include "GFXSwitch.h"

using namespace SkinTest;

namespace
{
    class GFXKnobTest  : public Fixture {};
}

TEST_F (GFXKnobTest, ShowsTheFrameOfItsValue)
{
    struct Case { int frames; float value; bool enabled; int frame; };
    const Case cases[] = {
        { 11, 0.04f, true, 0 }, { 11, 0.05f, true, 1 }, { 11, 1.0f, true, 10 },
        { 121, 0.5f, true, 60 }, { 121, 0.004f, true, 0 }, { 121, 0.005f, true, 1 },
        { 121, 0.5f, false, 0 },
        { 9, 1.7f, true, 8 }, { 9, -0.2f, true, 0 },
    };

    for (const auto& c : cases)
    {
        GFXKnob knob ("Knob");
        GFXAnimation animation ("Animation");
        knob.setImage (makeStrip (20, 10, c.frames), c.frames);
        animation.setImage (makeStrip (20, 10, c.frames), c.frames);

        knob.setSize (20, 10);
        knob.setValue (c.value, juce::dontSendNotification);
        knob.setEnabled (c.enabled);
        animation.setNormalisedValue (c.value);

        EXPECT_EQ (frameShown (knob), c.frame) << c.frames << " " << c.value;

        if (c.enabled)
        {
            EXPECT_EQ (frameShown (animation), c.frame) << c.frames << " " << c.value;
        }
    }
}

TEST_F (GFXKnobTest, DragReportsGestureAndValuesInOrder)
{
    auto panel = loadControls ("<Knob name=\"Linked\"><size width=\"40\" height=\"40\"/>"
                               "<links><link as=\"connectedTo\" param=\"Volume\"/></links></Knob>"
                               "<Switch name=\"Unlinked\"><size width=\"40\" height=\"40\"/></Switch>");

    // Runs of value changes are written once: a drag may take several steps.
    struct Journal  : public GUIController::Listener, public Parameter::Listener
    {
        void parameterChanged (Parameter*) override             { add ("parameter value"); }
        void parameterGestureBegan (Parameter*) override        { add ("parameter began"); }
        void parameterGestureEnded (Parameter*) override        { add ("parameter ended"); }
        void controllerGestureBegan (GUIController*) override   { add ("began"); }
        void controllerGestureEnded (GUIController*) override   { add ("ended"); }
        void controllerValueChanged (GUIController*) override   { add ("value"); }
        void add (const juce::String& e)                        { if (! entries.contains (e) || ! e.endsWith ("value")) entries.add (e); }
        juce::StringArray entries;
    } journal;

    auto* volume = plugin->parameterManager.getParameter (juce::String ("Volume"));
    volume->addListener (&journal);
    panel->addListener (&journal);

    for (auto* name : { "Linked", "Unlinked" })
    {
        auto* slider = find<juce::Slider> (*panel, name);
        const auto before = slider->getValue();
        const juce::Point<float> down (20.0f, 20.0f);

        slider->mouseDown (mouseEvent (*slider, down, juce::ModifierKeys::leftButtonModifier, down));

        for (auto y : { 10.0f, 0.0f })
            slider->mouseDrag (mouseEvent (*slider, { 20.0f, y }, juce::ModifierKeys::leftButtonModifier, down));

        slider->mouseUp (mouseEvent (*slider, { 20.0f, 0.0f }, juce::ModifierKeys::leftButtonModifier, down));
        EXPECT_GT (slider->getValue(), before) << name;
    }

    volume->removeListener (&journal);
    EXPECT_EQ (journal.entries.joinIntoString (", "), "parameter began, began, parameter value, value, parameter ended, ended");
    EXPECT_FLOAT_EQ (volume->getNormalisedValue(), (float) find<GFXKnob> (*panel, "Linked")->getValue());
}

TEST_F (GFXKnobTest, SwitchTakesItsStyleInAnyLetterCaseAndSteps)
{
    struct Case { const char* attribute; juce::Slider::SliderStyle style; };
    const Case cases[] = {
        { "", juce::Slider::RotaryVerticalDrag },
        { " style=\"Vertical\"", juce::Slider::LinearVertical },
        { " style=\"vertical\"", juce::Slider::LinearVertical },
        { " style=\"HORIZONTAL\"", juce::Slider::LinearHorizontal },
        { " style=\"Diagonal\"", juce::Slider::RotaryVerticalDrag },
    };

    for (const auto& c : cases)
    {
        auto panel = loadControls (juce::String ("<Switch name=\"S\"") + c.attribute + "><size width=\"30\" height=\"30\"/></Switch>");
        auto* sw = find<GFXSwitch> (*panel, "S");
        EXPECT_EQ (sw->getSliderStyle(), c.style) << c.attribute;

        sw->setValue (0.1234, juce::sendNotificationSync);
        EXPECT_DOUBLE_EQ (sw->getValue(), 0.125);
    }
}

TEST_F (GFXKnobTest, AnimationFlashesAndDrawsItsPlaceholder)
{
    auto panel = loadControls ("<Animation name=\"One\"><gfx resource=\"Missing.png\"/><size width=\"20\" height=\"20\"/></Animation>"
                               "<Animation name=\"Three\"><gfx resource=\"Missing.png\" framesNum=\"3\"/><size width=\"20\" height=\"20\"/></Animation>"
                               "<Animation name=\"Light\"><gfx resource=\"Light.png\" framesNum=\"2\"/></Animation>",
                               { { "Light.png", pngOf (makeStrip (8, 8, 2)) } });

    // A strip of one frame draws no dot; a lit one of three a dot in the middle.
    auto* one = find<GFXAnimation> (*panel, "One");
    auto* three = find<GFXAnimation> (*panel, "Three");
    three->setFrame (2);
    one->startAnimation (1000);

    for (auto [animation, centre] : { std::pair (one, juce::Colour::greyLevel (0.9f)), std::pair (three, juce::Colours::black) })
        EXPECT_EQ (animation->createComponentSnapshot (animation->getLocalBounds()).getPixelAt (10, 10).toDisplayString (false),
                   centre.toDisplayString (false));

    auto* light = find<GFXAnimation> (*panel, "Light");
    light->startAnimation (20);
    EXPECT_EQ (frameShown (*light), 1);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (200);
    EXPECT_EQ (frameShown (*light), 0);
}
