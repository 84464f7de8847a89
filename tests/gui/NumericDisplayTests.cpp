#include "SkinTestSupport.h"

#include "NumericDisplay.h"

using namespace SkinTest;

namespace
{
    class NumericDisplayTest  : public Fixture {};

    const juce::String fraction = "digitsNum=\"2\" firstDigitOrder=\"10\" minValue=\"1\" maxValue=\"32\" control=\"continous\"";
    const juce::String milliseconds = "digitsNum=\"6\" firstDigitOrder=\"1000\" minValue=\"0.0\" maxValue=\"1000.0\"";

    /** The digits as text, "_" for a blank place, "-" in front while the sign is lit. */
    juce::String shownDigits (const NumericDisplay& display)
    {
        juce::String text = display.getSign() != nullptr && display.getSign()->isNegative() ? "-" : "";

        for (int i = 0; i < display.getNumDigits(); ++i)
            text << (display.getDigit (i)->isBlank() ? juce::String ("_") : juce::String (display.getDigit (i)->getDigit()));

        return text;
    }
}

TEST_F (NumericDisplayTest, ShowsClampedValuesWithBlankLeadingPlaces)
{
    struct Case { juce::String attributes; double value; const char* shown; };
    const Case cases[] = {
        { fraction, 7.0, "_7" }, { fraction, 32.0, "32" }, { fraction, 40.0, "32" }, { fraction, 0.0, "_1" },
        { "digitsNum=\"2\" firstDigitOrder=\"10\" maxValue=\"32\"", 0.0, "_0" },
        { milliseconds, 12.5, "__1250" }, { milliseconds, 0.1, "___010" }, { milliseconds, 999.99, "_99999" },
        { "digitsNum=\"2\" firstDigitOrder=\"10\" minValue=\"-10\" maxValue=\"10\"", -3.0, "-_3" },
        { "digitsNum=\"2\" firstDigitOrder=\"10\" minValue=\"-10\" maxValue=\"10\"", 0.0, "_0" },
        { "digitsNum=\"3\" firstDigitOrder=\"50\" maxValue=\"999\"", 7.0, "__7" },
        // A skin is outside input: no digit count below one.
        { "digitsNum=\"0\" maxValue=\"9\"", 4.0, "4" },
        { "digitsNum=\"-2\" firstDigitOrder=\"nothing\" maxValue=\"9\"", 5.0, "5" },
    };

    for (const auto& c : cases)
    {
        auto panel = loadControls ("<NumericDisplay name=\"N\" " + c.attributes + "><size width=\"60\" height=\"20\"/></NumericDisplay>");
        auto* display = find<NumericDisplay> (*panel, "N");
        display->setValue (c.value, false);
        EXPECT_EQ (shownDigits (*display), c.shown) << c.attributes << " " << c.value;
    }

    // With strips, a lit digit d shows frame d + 1 and a blank one frame 0.
    auto panel = loadControls ("<NumericDisplay name=\"N\" " + fraction + "><digits resource=\"Digits.png\"/></NumericDisplay>",
                               { { "Digits.png", pngOf (makeStrip (10, 16, 11)) } });
    auto* display = find<NumericDisplay> (*panel, "N");
    display->setValue (7.0, false);
    EXPECT_EQ (display->getBounds(), juce::Rectangle<int> (0, 0, 20, 16));
    EXPECT_EQ (frameShown (*display, 2, 2), 0);
    EXPECT_EQ (frameShown (*display, 12, 2), 8);
}

TEST_F (NumericDisplayTest, DragStepsByThePlaceGrabbed)
{
    struct Case { juce::String attributes; double start; float grabX; float dragY; double result; };
    const Case cases[] = {
        { fraction, 20.0, 5.0f, -9.0f, 20.0 },
        { fraction, 20.0, 5.0f, -10.0f, 21.0 },
        { fraction, 20.0, 55.0f, 25.0f, 18.0 },
        { milliseconds, 500.0, 35.0f, -10.0f, 501.0 },
        { milliseconds, 500.0, 5.0f, -10.0f, 1000.0 },
        { milliseconds, 500.0, 55.0f, -20.0f, 500.02 },
    };

    for (const auto& c : cases)
    {
        auto panel = loadControls ("<NumericDisplay name=\"N\" " + c.attributes + "><size width=\"60\" height=\"20\"/>"
                                   "<links><link as=\"connectedTo\" param=\"Delay Left Time Linear\"/></links></NumericDisplay>");
        auto* display = find<NumericDisplay> (*panel, "N");
        display->setValue (c.start, false);

        struct Journal  : public GUIController::Listener
        {
            void controllerGestureBegan (GUIController*) override   { entries.add ("began"); }
            void controllerGestureEnded (GUIController*) override   { entries.add ("ended"); }
            void controllerValueChanged (GUIController*) override   { entries.add ("value"); }
            juce::StringArray entries;
        } journal;

        panel->addListener (&journal);

        const juce::Point<float> down (c.grabX, 10.0f);
        display->mouseDown (mouseEvent (*display, down, juce::ModifierKeys::leftButtonModifier, down));
        display->mouseDrag (mouseEvent (*display, down.translated (0.0f, c.dragY), juce::ModifierKeys::leftButtonModifier, down));
        display->mouseUp (mouseEvent (*display, down.translated (0.0f, c.dragY), juce::ModifierKeys::leftButtonModifier, down));

        EXPECT_NEAR (display->getValue(), c.result, 1.0e-9) << c.attributes << " " << c.grabX << " " << c.dragY;
        EXPECT_EQ (journal.entries.joinIntoString (","), c.result == c.start ? "began,ended" : "began,value,ended");
    }
}

// A skin is outside input: numbers that are no numbers, or far out of any range, are held to
// sane ones, so that every value still turns into digits.
TEST_F (NumericDisplayTest, HoldsSkinNumbersThatAreNoNumbersOrFarOutOfRange)
{
    constexpr auto asLoaded = std::numeric_limits<double>::quiet_NaN();
    constexpr auto infinity = std::numeric_limits<double>::infinity();

    struct Case { juce::String attributes; double value, held; };
    const Case cases[] = {
        { "digitsNum=\"16\" firstDigitOrder=\"1e-300\" maxValue=\"9\"", 0.0, 0.0 },
        { "digitsNum=\"16\" firstDigitOrder=\"1e-300\" minValue=\"-9\" maxValue=\"9\"", -3.0, -3.0 },
        { "digitsNum=\"2\" firstDigitOrder=\"1e300\" maxValue=\"32\"", 7.0, 7.0 },
        { "digitsNum=\"2\" firstDigitOrder=\"inf\" maxValue=\"32\"", 7.0, 7.0 },
        { "digitsNum=\"6\" firstDigitOrder=\"1000\" minValue=\"nan\" maxValue=\"1000\"", asLoaded, 0.0 },
        { "digitsNum=\"6\" firstDigitOrder=\"1000\" minValue=\"-inf\" maxValue=\"inf\"", infinity, 1.0e15 },
        { "digitsNum=\"6\" firstDigitOrder=\"1000\" minValue=\"-1e308\" maxValue=\"1e308\"", -infinity, -1.0e15 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.attributes);
        auto panel = loadControls ("<NumericDisplay name=\"N\" " + c.attributes + "><size width=\"160\" height=\"20\"/></NumericDisplay>");
        auto* display = find<NumericDisplay> (*panel, "N");

        if (! std::isnan (c.value))
            display->setValue (c.value, false);

        EXPECT_EQ (display->getValue(), c.held);

        for (int i = 0; i < display->getNumDigits(); ++i)
            EXPECT_GE (display->getDigit (i)->getDigit(), 0) << shownDigits (*display);

        // A drag steps by a place value that is a number too.
        const juce::Point<float> down (5.0f, 10.0f);
        display->mouseDown (mouseEvent (*display, down, juce::ModifierKeys::leftButtonModifier, down));
        display->mouseDrag (mouseEvent (*display, down.translated (0.0f, -30.0f), juce::ModifierKeys::leftButtonModifier, down));
        display->mouseUp (mouseEvent (*display, down.translated (0.0f, -30.0f), juce::ModifierKeys::leftButtonModifier, down));
        EXPECT_TRUE (std::isfinite (display->getValue()));
    }
}
