#include "WindowsTestSupport.h"

#include "EnumParameter.h"
#include "RadioButtons_V2.h"

namespace
{
    struct SelectionCounter  : public RadioButtons_V2::Listener
    {
        void selectionChanged (RadioButtons_V2*) override   { ++calls; }
        int calls = 0;
    };

    juce::Array<bool> statesOf (RadioButtons_V2& buttons)
    {
        juce::Array<bool> states;

        for (int i = 0; i < buttons.getNumButtons(); ++i)
            states.add (buttons.getButton (i)->getToggleState());

        return states;
    }
}

TEST (RadioButtonsTest, ShowsTheParameterAndClicksWriteIt)
{
    WindowsTest::LookAndFeelScope scope;
    EnumParameter mode (0, "Mode", 1, "Free;Sync;Retrigger");
    RadioButtons_V2 buttons (mode);
    SelectionCounter counter;
    buttons.addListener (&counter);

    EXPECT_EQ (buttons.getPanel().getTitle(), "Mode");
    EXPECT_EQ (statesOf (buttons), (juce::Array<bool> { false, true, false }));
    EXPECT_GT (buttons.getWidth(), 0);

    struct Case { int clicked; int value; int calls; };
    const Case cases[] = { { 2, 2, 1 }, { 2, 2, 2 }, { 0, 0, 3 } };

    for (const auto& c : cases)
    {
        buttons.getButton (c.clicked)->triggerClick();
        WindowsTest::deliverAsyncUpdates();
        EXPECT_EQ (mode.getIntValue(), c.value);
        EXPECT_TRUE (buttons.getButton (c.clicked)->getToggleState());
        EXPECT_EQ (counter.calls, c.calls);
    }

    // A value naming no choice turns every button off and writes nothing back.
    buttons.updateFromParameter (&mode);
    buttons.setSelectedIndex (7, false);
    EXPECT_EQ (statesOf (buttons), (juce::Array<bool> { false, false, false }));
    EXPECT_EQ (mode.getIntValue(), 0);
    EXPECT_EQ (counter.calls, 3);

    mode.setIntValue (1, true);
    WindowsTest::deliverAsyncUpdates();
    EXPECT_EQ (statesOf (buttons), (juce::Array<bool> { false, true, false }));
    EXPECT_EQ (counter.calls, 3);
}

TEST (RadioButtonsTest, ASingleChoiceStaysOn)
{
    EnumParameter only (0, "Only", 0, "One");
    RadioButtons_V2 buttons (only);

    buttons.getButton (0)->triggerClick();
    WindowsTest::deliverAsyncUpdates();
    EXPECT_TRUE (buttons.getButton (0)->getToggleState());
    EXPECT_EQ (only.getIntValue(), 0);
}
