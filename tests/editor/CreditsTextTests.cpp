#include "CreditsText.h"

#include <gtest/gtest.h>

namespace
{
    struct ClickCounter  : CreditsText::Listener
    {
        void creditsClicked (CreditsText*) override     { ++count; }
        int count = 0;
    };
}

TEST (CreditsText, ScrollsUpAndStartsAgainBelowTheArea)
{
    const struct { const char* text; int height; } cases[] = { { "one\ntwo\nthree", 39 }, { "", 0 } };

    for (const auto& c : cases)
    {
        CreditsText credits (c.text);
        credits.setSize (200, 100);
        EXPECT_EQ (credits.getLabel().getBounds(), juce::Rectangle<int> (0, 105, 200, c.height)) << c.text;
    }

    CreditsText credits ("one\ntwo\nthree");
    credits.setSize (200, 100);

    // 144 ticks bring the bottom edge to the top; the 145th starts again from below.
    for (int tick = 0; tick < 144; ++tick)
        credits.timerCallback();

    EXPECT_EQ (credits.getLabel().getY(), 105 - 144);
    credits.timerCallback();
    EXPECT_EQ (credits.getLabel().getY(), 105);

    // A press on the text reaches the area's listeners, each once.
    ClickCounter counter;
    credits.addListener (&counter);
    credits.addListener (&counter);
    bool labelTakesClicks = true, childrenTakeClicks = true;
    credits.getLabel().getInterceptsMouseClicks (labelTakesClicks, childrenTakeClicks);
    EXPECT_FALSE (labelTakesClicks);
    credits.mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                         &credits, &credits, juce::Time(), {}, juce::Time(), 1, false));
    EXPECT_EQ (counter.count, 1);
}
