#include "EditorTestSupport.h"

#include "CorvanePresetBrowser.h"

namespace
{
    class CorvanePresetBrowserTest  : public EditorTest
    {
    protected:
        void SetUp() override
        {
            EditorTest::SetUp();

            if (IsSkipped())
                return;

            corvane = dynamic_cast<Corvane*> (plugin.get());
            ASSERT_NE (corvane, nullptr);
            window = std::make_unique<CorvanePresetBrowser> (*corvane, *presets());
            window->setSize (1200, 540);
            window->refreshBrowser();
            pump();
        }

        void TearDown() override
        {
            window.reset();
            EditorTest::TearDown();
        }

        /** "Feedback" of line 0 to 3. */
        Parameter& feedback (int line) const
        {
            return *corvane->parameterManager.getParameter ((line + 1) * 1000 + 39);
        }

        Corvane* corvane = nullptr;
        std::unique_ptr<CorvanePresetBrowser> window;
    };
}

TEST_F (CorvanePresetBrowserTest, RestoresLinesUnlessTheyAreLocked)
{
    float defaults[CorvanePresetBrowser::numLines];

    for (int line = 0; line < CorvanePresetBrowser::numLines; ++line)
        defaults[line] = feedback (line).getValue();

    struct Case { int lockedLine; int restoreLine; std::array<bool, 4> restored; };   // restoreLine -1: "All lines"
    const Case cases[] = {
        { -1, 2, { false, false, true, false } },
        { 2, 2, { false, false, false, false } },
        { 2, -1, { true, true, false, true } },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.restoreLine);

        for (int line = 0; line < CorvanePresetBrowser::numLines; ++line)
        {
            feedback (line).setValue (defaults[line] > 0.5f ? 0.1f : 0.9f, true);
            corvane->getPadlock (line).setLocked (line == c.lockedLine);
        }

        window->buttonClicked (c.restoreLine < 0 ? &window->getRestoreButton() : &window->getLineRestoreButton (c.restoreLine));

        for (int line = 0; line < CorvanePresetBrowser::numLines; ++line)
            EXPECT_EQ (feedback (line).getValue() == defaults[line], c.restored[(size_t) line]) << "line " << line + 1;
    }
}

TEST_F (CorvanePresetBrowserTest, PadlockButtonsMirrorTheProcessorsPadlocks)
{
    auto& button = window->getLockButton (1);
    auto& padlock = corvane->getPadlock (1);

    struct Case { bool clickHere; bool locked; };
    const Case cases[] = { { true, true }, { false, false }, { false, true }, { true, false } };

    for (auto& c : cases)
    {
        if (c.clickHere)
            window->buttonClicked (&button);
        else
            padlock.toggle();

        pump();
        EXPECT_EQ (padlock.isLocked(), c.locked);
        EXPECT_EQ (button.getToggleState(), c.locked);
    }

    // Gone from the padlock's listeners with the window.
    window.reset();
    padlock.toggle();
    pump();
}

TEST_F (CorvanePresetBrowserTest, StripSitsOnTheBottomLine)
{
    DefaultLookAndFeel lf;
    window->setLookAndFeel (&lf);
    pump();

    auto& allLines = window->getRestoreButton();
    auto& lastLock = window->getLockButton (3);
    const auto buttonFont = lf.getTextButtonFont (lastLock, 20);

    EXPECT_EQ (allLines.getButtonText(), "All lines");
    EXPECT_EQ (lastLock.getWidth(), juce::roundToInt (buttonFont.getStringWidthFloat ("Line 4")) + 36);
    EXPECT_EQ (allLines.getParentComponent()->getY(), window->getOkRow().getY());
    window->setLookAndFeel (nullptr);
}
