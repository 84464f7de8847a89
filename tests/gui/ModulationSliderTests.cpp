#include "WindowsTestSupport.h"

#include "ModulationSlider.h"

namespace
{
    bool isRed (juce::Colour c)     { return c.getRed() > 120 && c.getGreen() < 60 && c.getBlue() < 60; }

    /** The columns of the live bar's row that are painted red. */
    juce::Range<int> redBar (ModulationSlider& slider)
    {
        auto image = slider.createComponentSnapshot (slider.getLocalBounds());
        const auto y = juce::roundToInt (slider.getTrackY() + 10.0f);
        auto first = -1, last = -1;

        for (int x = 0; x < image.getWidth(); ++x)
            if (isRed (image.getPixelAt (x, y)))
            {
                if (first < 0)
                    first = x;

                last = x;
            }

        return first < 0 ? juce::Range<int>() : juce::Range<int> (first, last + 1);
    }
}

TEST (ModulationSliderTest, PointerBarAndLabelsFollowTheWholeWidth)
{
    WindowsTest::LookAndFeelScope scope;
    ModulationSlider slider;
    slider.setSize (216, 60);

    EXPECT_FLOAT_EQ (slider.getTrackStart(), 8.0f);
    EXPECT_FLOAT_EQ (slider.getTrackLength(), 200.0f);
    EXPECT_EQ (slider.getLookAndFeel().getSliderThumbRadius (slider), 8);

    // The pointer's tip sits half a pixel right of the value's position.
    for (auto [value, tip] : { std::pair { -1.0, 8.5f }, { 1.0, 208.5f }, { 0.0, 108.5f } })
        EXPECT_FLOAT_EQ (slider.getPositionOfValue (value) + 0.5f, tip) << value;

    const auto labelsBefore = slider.getScaleBoxes();
    const juce::Font font ("Tahoma", "Regular", 13.0f);
    EXPECT_EQ (labelsBefore[2].getCentreX(), 108 - (juce::roundToInt (font.getStringWidthFloat ("0.0")) / 2)
                                                 + labelsBefore[2].getWidth() / 2);
    EXPECT_EQ (labelsBefore[4].getRight(), 208);
    EXPECT_EQ (labelsBefore[0].getX(), 8);

    // The major ticks at -0.5 (2 px) and 0.0 (3 px) are drawn over the bar's ends.
    struct Case { double value; float level; juce::Range<int> bar; };
    const Case cases[] = { { 0.5, -1.0f, { 60, 107 } }, { 0.5, 0.0f, {} }, { -1.0, -1.0f, { 110, 208 } } };

    for (const auto& c : cases)
    {
        slider.setValue (c.value, juce::dontSendNotification);
        slider.setModulationLevel (c.level);
        const auto bar = redBar (slider);
        EXPECT_NEAR (bar.getStart(), c.bar.getStart(), 1) << c.value << " " << c.level;
        EXPECT_NEAR (bar.getEnd(), c.bar.getEnd(), 1) << c.value << " " << c.level;
        EXPECT_EQ (slider.getScaleBoxes(), labelsBefore);
    }
}
