#include "WindowsTestSupport.h"

#include "FloatParameter.h"
#include "IntParameter.h"
#include "TwoValueHorizontalSliderWithLevel.h"

namespace
{
    struct GestureCounter  : public Parameter::Listener
    {
        void parameterChanged (Parameter*) override     {}
        void parameterGestureBegan (Parameter*) override { ++began; }
        void parameterGestureEnded (Parameter*) override { ++ended; }
        int began = 0, ended = 0;
    };
}

TEST (SmallSliderTest, BindsOnceTakesTheRangeAndWritesWithoutEcho)
{
    FloatParameter gain (0, "Gain", 0.0f, 2.0f, 0.5f), other (1, "Other", -4.0f, 4.0f, 1.0f);
    IntParameter steps (2, "Steps", 1, 15, 3);

    HorizontalSlider continuous, whole;
    continuous.setParameter (&gain);
    whole.setParameter (&steps);
    EXPECT_DOUBLE_EQ (continuous.getSlider().getValue(), 0.5);
    EXPECT_DOUBLE_EQ (continuous.getSlider().getInterval(), 0.0);
    EXPECT_DOUBLE_EQ (whole.getSlider().getInterval(), 1.0);
    EXPECT_DOUBLE_EQ (whole.getSlider().getValue(), 3.0);

    // A second call takes the new range but stays with the first parameter.
    continuous.setParameter (&other);
    EXPECT_EQ (continuous.getParameter(), &gain);
    EXPECT_DOUBLE_EQ (continuous.getSlider().getMinimum(), -4.0);

    GestureCounter gestures;
    gain.addListener (&gestures);
    continuous.sliderDragStarted (&continuous.getSlider());
    continuous.getSlider().setValue (1.25, juce::sendNotificationSync);
    continuous.sliderDragEnded (&continuous.getSlider());
    EXPECT_FLOAT_EQ (gain.getValue(), 1.25f);
    EXPECT_FLOAT_EQ (other.getValue(), 1.0f);
    EXPECT_EQ (gestures.began, 1);
    EXPECT_EQ (gestures.ended, 1);

    gain.setValue (0.75f, true);
    WindowsTest::deliverAsyncUpdates();
    EXPECT_DOUBLE_EQ (continuous.getSlider().getValue(), 0.75);
    gain.removeListener (&gestures);
}

TEST (SmallSliderTest, TwoThumbsDriveTheirOwnParametersOnly)
{
    FloatParameter low (0, "Low", 0.0f, 1.0f, 0.2f), high (1, "High", 0.0f, 1.0f, 0.8f);
    TwoValueHorizontalSlider range;

    // Unbound, the base slider's own parameter must not be written.
    range.getSlider().setMinValue (0.1, juce::sendNotificationSync, false);

    range.setParameters (&low, &high);
    EXPECT_DOUBLE_EQ (range.getSlider().getMinValue(), 0.2f);
    EXPECT_DOUBLE_EQ (range.getSlider().getMaxValue(), 0.8f);

    range.getSlider().setMaxValue (0.6, juce::sendNotificationSync, false);
    EXPECT_FLOAT_EQ (high.getValue(), 0.6f);
    EXPECT_FLOAT_EQ (low.getValue(), 0.2f);
    EXPECT_EQ (range.getParameter(), nullptr);

    // A parameter past the other thumb stops there and does not push that thumb along.
    low.setValue (0.7f, true);
    WindowsTest::deliverAsyncUpdates();
    EXPECT_DOUBLE_EQ (range.getSlider().getMinValue(), 0.6f);
    EXPECT_FLOAT_EQ (high.getValue(), 0.6f);
}

TEST (SmallSliderTest, ScaleLabelsStayBetweenTheTrackEndsAndApart)
{
    WindowsTest::LookAndFeelScope scope;
    FloatParameter time (0, "Time", 0.0f, 10.0f, 0.0f);

    juce::StringArray numbers;
    for (int i = 1; i <= 15; ++i)
        numbers.add (juce::String (i));

    // Too many labels for the width drop inner ones rather than overlap.
    struct Case { juce::StringArray labels; bool caption; int width; bool allShown; };
    const Case cases[] = { { { "0", "5", "10" }, false, 200, true }, { { "short", "a much longer label" }, true, 200, true },
                           { { "alone" }, false, 200, true }, { numbers, false, 400, true }, { numbers, true, 150, false } };

    for (const auto& c : cases)
    {
        HorizontalSlider slider;
        slider.setParameter (&time);

        if (c.caption)
            slider.getCaption().setText ("Caption", juce::dontSendNotification);

        slider.setBounds (0, 0, c.width, 60);
        slider.setScaleLabels (c.labels);

        const auto& labels = slider.getScaleLabels();
        EXPECT_EQ (slider.getSlider().getY(), c.caption ? 16 : 0);

        if (labels.size() < 2)
        {
            EXPECT_EQ (labels[0]->getPosition(), juce::Point<int>());
            continue;
        }

        const auto x0 = juce::roundToInt (slider.getSlider().getPositionOfValue (0.0));
        const auto x1 = juce::roundToInt (slider.getSlider().getPositionOfValue (10.0));
        EXPECT_EQ (labels.getFirst()->getX(), x0);
        EXPECT_EQ (labels.getLast()->getRight(), x1);

        EXPECT_TRUE (labels.getFirst()->isVisible() && labels.getLast()->isVisible());
        auto allShown = true;
        const HardLabel* previous = nullptr;

        for (auto* label : labels)
        {
            EXPECT_EQ (label->getY(), c.caption ? 36 : 20);
            allShown = allShown && label->isVisible();

            if (! label->isVisible())
                continue;

            if (previous != nullptr)
            {
                EXPECT_GE (label->getX(), previous->getRight()) << label->getText();
            }

            previous = label;
        }

        EXPECT_EQ (allShown, c.allShown) << c.width;
    }
}

TEST (SmallSliderTest, LevelMarkerClampsAndAHitLightsForOnePeriod)
{
    WindowsTest::LookAndFeelScope scope;
    FloatParameter low (0, "Low", 0.0f, 1.0f, 0.0f), high (1, "High", 0.0f, 1.0f, 1.0f);
    TwoValueHorizontalSliderWithLevel slider;
    slider.setParameters (&low, &high);
    slider.setBounds (0, 0, 120, 20);

    auto& level = slider.getLevel();
    EXPECT_EQ (slider.getIndexOfChildComponent (&level), 0);
    EXPECT_EQ (level.getY(), -2);
    EXPECT_EQ (level.getHeight(), 24);

    for (auto [given, kept] : { std::pair { -1.0f, 0.0f }, { 0.5f, 0.5f }, { 3.0f, 1.0f } })
    {
        slider.setLevel (given);
        EXPECT_FLOAT_EQ (level.getLevel(), kept);
    }

    slider.hit();
    EXPECT_TRUE (level.isHit());
    auto lit = level.createComponentSnapshot (level.getLocalBounds());
    EXPECT_EQ (lit.getPixelAt (2, 5), juce::Colour (0xffff6c00));

    juce::MessageManager::getInstance()->runDispatchLoopUntil (150);
    EXPECT_FALSE (level.isHit());
}
