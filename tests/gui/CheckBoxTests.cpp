#include "WindowsTestSupport.h"

#include "BoolParameter.h"
#include "DefaultResourceCheckBox.h"

using namespace WindowsTest;

namespace
{
    struct Changes  : public DefaultResourceCheckBox::Listener
    {
        void stateChanged (DefaultResourceCheckBox*) override  { ++count; }
        int count = 0;
    };
}

TEST (CheckBox_V2, FollowsAndWritesItsParameter)
{
    LookAndFeelScope scope;
    BoolParameter parameter (0, "Bypass", "Off");
    CheckBox_V2 box;
    ASSERT_TRUE (box.setParameter (&parameter));
    EXPECT_FALSE (box.setParameter (&parameter)) << "bound once";

    struct Case
    {
        const char* what;
        std::function<void()> act;
        bool expected;
    };

    const Case cases[] =
    {
        { "a click writes the parameter", [&] { box.triggerClick(); deliverAsyncUpdates(); }, true },
        { "the parameter sets the box", [&] { parameter.setBoolValue (false, true); deliverAsyncUpdates(); }, false },
        { "a quiet toggle still writes back", [&] { box.setToggleState (true, juce::dontSendNotification); }, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        c.act();
        EXPECT_EQ (box.getToggleState(), c.expected);
        EXPECT_EQ (parameter.getBoolValue(), c.expected);
        EXPECT_EQ (box.getTick()->isVisible(), c.expected);
    }

    box.setButtonText ("Use my own map");
    box.setSize (10, 20);
    box.changeWidthToFitText (-1);
    const auto font = scope.lookAndFeel.getStandardFont();
    EXPECT_EQ (box.getWidth(), juce::roundToInt (font.getStringWidthFloat ("Use my own map")) + 24);
    EXPECT_EQ (box.getHeight(), 20);
}

TEST (DefaultResourceCheckBox, EnablesThePathWhileTicked)
{
    LookAndFeelScope scope;
    juce::Component page;
    DefaultResourceCheckBox choice;
    page.addAndMakeVisible (choice);
    Changes changes;
    choice.addListener (&changes);
    choice.addListener (&changes);
    choice.getCheckBox().setButtonText ("Custom map");
    choice.setBounds (0, 0, 400, 22);

    EXPECT_FALSE (choice.getPathComponent().isEnabled());
    EXPECT_EQ (choice.getPathComponent().getX(), choice.getCheckBox().getWidth() + 6);
    EXPECT_EQ (choice.getPathComponent().getRight(), 400);

    choice.getCheckBox().triggerClick();
    deliverAsyncUpdates();
    EXPECT_TRUE (choice.getPathComponent().isEnabled());
    EXPECT_EQ (changes.count, 1);

    choice.getPathComponent().setPath ("/maps/mine", true);
    EXPECT_EQ (changes.count, 2);
}
