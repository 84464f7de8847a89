#include "WindowsTestSupport.h"

#include "StatusBar.h"

using namespace WindowsTest;

TEST (StatusBar, PrioritiesDecideWhichMessageShows)
{
    enum Op { temporary, permanent, clear, timerFires };

    struct Step
    {
        Op op;
        const char* text;
        int priority;
        const char* shown;
        int shownPriority;
        bool clearPending;
    };

    struct Case
    {
        const char* what;
        std::vector<Step> steps;
    };

    const Case cases[] =
    {
        { "a lower priority waits for the clear", {
            { temporary, "Cutoff 3", 6, "Cutoff 3", 6, true },
            { temporary, "Learnt", 5, "Cutoff 3", 6, true },
            { timerFires, "", 0, "", 0, false },
            { temporary, "Learnt", 5, "Learnt", 5, true } } },
        { "the same text is ignored even above, and keeps its clock", {
            { temporary, "Saved", 6, "Saved", 6, true },
            { permanent, "Saved", 7, "Saved", 6, true } } },
        { "equal priority replaces", {
            { temporary, "One", 4, "One", 4, true },
            { temporary, "Two", 4, "Two", 4, true } } },
        { "a permanent message cancels a pending clear", {
            { temporary, "Loading", 4, "Loading", 4, true },
            { permanent, "Error", 4, "Error", 4, false },
            { timerFires, "", 0, "", 0, false } } },
        { "a permanent message at 0 stays until replaced", {
            { permanent, "Hint", 0, "Hint", 0, false },
            { temporary, "Other", 0, "Other", 0, true } } },
        { "clearing lets any priority write", {
            { permanent, "Important", 7, "Important", 7, false },
            { clear, "", 0, "", 0, false },
            { temporary, "Minor", 0, "Minor", 0, true } } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        StatusBar bar;

        for (size_t i = 0; i < c.steps.size(); ++i)
        {
            const auto& s = c.steps[i];
            SCOPED_TRACE ("step " + std::to_string (i));

            switch (s.op)
            {
                case temporary:     bar.showTemporaryMessage (s.text, s.priority); break;
                case permanent:     bar.showMessage (s.text, s.priority); break;
                case clear:         bar.clearMessage(); break;
                case timerFires:    static_cast<juce::Timer&> (bar).timerCallback(); break;
            }

            EXPECT_EQ (bar.getText(), juce::String (s.shown));
            EXPECT_EQ (bar.getPriority(), s.shownPriority);
            EXPECT_EQ (bar.isClearPending(), s.clearPending);

            if (s.clearPending)
            {
                EXPECT_EQ (bar.getTimerInterval(), 3000);
            }
        }
    }
}

TEST (StatusBar, TakesItsHeightAndFontFromTheLookAndFeel)
{
    DefaultLookAndFeel lookAndFeel;
    StatusBar bar;
    bar.setBounds (0, 600, 800, 40);
    bar.setLookAndFeel (&lookAndFeel);
    EXPECT_EQ (bar.getBounds(), juce::Rectangle<int> (0, 600, 800, 16));

    bar.showMessage ("Ready", 0);
    auto image = bar.createComponentSnapshot (bar.getLocalBounds());
    EXPECT_EQ (image.getPixelAt (2, 8), juce::Colour (0xFF444444));
    bar.setLookAndFeel (nullptr);
}
