#include "WindowsTestSupport.h"

#include "AlertWindow.h"
#include "WindowComponent.h"

using namespace WindowsTest;

namespace
{
    struct Results  : public Halvorn::AlertWindow::Caller
    {
        void alertResult (Halvorn::AlertWindow*, int result) override  { codes.add (result); }
        juce::Array<int> codes;
    };
}

TEST (WindowComponent, FrameArithmetic)
{
    LookAndFeelScope scope;

    struct Case
    {
        const char* what;
        bool titleBar, border, closable;
        int titleBarHeight;
        juce::Point<int> content;
        juce::Rectangle<int> window, contentBounds, closeButton;
        bool closeVisible;
    };

    const Case cases[] =
    {
        { "minimum size", true, true, true, 31, { 100, 50 }, { 0, 0, 250, 120 }, { 9, 37, 232, 71 }, { 224, 5, 20, 20 }, true },
        { "content plus the frame", true, true, true, 31, { 400, 300 }, { 0, 0, 418, 352 }, { 9, 37, 400, 303 },
          { 392, 5, 20, 20 }, true },
        { "low title bar", true, true, true, 17, { 400, 300 }, { 0, 0, 418, 338 }, { 9, 23, 400, 303 },
          { 400, 0, 17, 17 }, true },
        { "no title bar hides the close button", false, true, true, 31, { 400, 300 }, { 0, 0, 418, 318 },
          { 9, 9, 400, 297 }, { 392, 5, 20, 20 }, false },
        { "not closable", true, true, false, 31, { 400, 300 }, { 0, 0, 418, 352 }, { 9, 37, 400, 303 },
          { 392, 5, 20, 20 }, false },
        { "no border", true, false, true, 31, { 400, 300 }, { 0, 0, 412, 346 }, { 6, 37, 400, 300 },
          { 386, 5, 20, 20 }, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        WindowComponent window;
        window.hasTitleBar = c.titleBar;
        window.hasBorder = c.border;
        window.closable = c.closable;
        window.titleBarHeight = c.titleBarHeight;
        window.updateCloseButton();
        window.setContentSize (c.content.x, c.content.y);

        EXPECT_EQ (window.getBounds(), c.window);
        EXPECT_EQ (window.getContentBounds(), c.contentBounds);
        EXPECT_EQ (window.getCloseButton().isVisible(), c.closeVisible);

        if (c.titleBar)
            EXPECT_EQ (window.getCloseButton().getBounds(), c.closeButton);
        else
            EXPECT_TRUE (window.getTitleBarArea().isEmpty() && window.getTitleTextArea().isEmpty());
    }
}

TEST (ModalComponent, ShowsCentredOverACoverAndClosesWithIt)
{
    LookAndFeelScope scope;
    TestDesktop desktop (801, 600);
    juce::Component page;
    desktop.addAndMakeVisible (page);

    WindowComponent window;
    window.setSize (300, 200);
    page.addChildComponent (window);

    window.show();
    auto* cover = window.getParentComponent();
    ASSERT_NE (cover, &page) << "the window moves onto a cover in the desktop";
    EXPECT_EQ (cover->getParentComponent(), &desktop);
    EXPECT_EQ (cover->getBounds(), desktop.getLocalBounds());
    EXPECT_TRUE (cover->isVisible() && window.isVisible() && window.isShownOverDesktop());
    EXPECT_EQ (window.getPosition(), juce::Point<int> (250, 200));

    window.setTopLeftPosition (10, 10);
    window.show();
    EXPECT_EQ (window.getPosition(), juce::Point<int> (10, 10)) << "showing a shown window does not re-centre it";

    window.buttonClicked (&window.getCloseButton());
    EXPECT_FALSE (cover->isVisible() || window.isVisible());
    EXPECT_EQ (cover->getParentComponent(), &desktop) << "stays attached for the next show";

    window.show();
    EXPECT_EQ (window.getPosition(), juce::Point<int> (250, 200));

    page.addChildComponent (window);
    EXPECT_EQ (desktop.getIndexOfChildComponent (cover), -1) << "a window moved elsewhere leaves no cover";

    // Without a desktop the component just becomes visible where it stands.
    juce::Component plain;
    WindowComponent loose;
    plain.addChildComponent (loose);
    loose.show();
    EXPECT_EQ (loose.getParentComponent(), &plain);
    EXPECT_TRUE (loose.isVisible());
}

TEST (AlertWindow, ButtonsReportTheirCodes)
{
    LookAndFeelScope scope;
    const auto font = scope.lookAndFeel.getStandardFont();

    using Alert = Halvorn::AlertWindow;
    using Creator = std::unique_ptr<Alert> (*) (const juce::String&, const juce::String&, Alert::Caller*);

    // Return presses the first button, Escape the one that answers no (-1: none, the alert
    // closes unanswered as by its close button).
    struct Case
    {
        Creator create;
        juce::StringArray texts;
        juce::Array<int> codes;
        int onReturn, onEscape;
    };

    const Case cases[] =
    {
        { Alert::createOk, { "OK" }, { 3 }, 3, 3 },
        { Alert::createYesNo, { "Yes", "No" }, { 2, 1 }, 2, 1 },
        { Alert::createYesCancel, { "Yes", "Cancel" }, { 2, 0 }, 2, 0 },
        { Alert::createSaveOverwriteDiscard, { "Save as", "Overwrite", "Discard" }, { 5, 4, 6 }, 5, -1 },
        { Alert::createReplaceCancel, { "Replace", "Cancel" }, { 7, 0 }, 7, 0 },
    };

    for (const auto& c : cases)
    {
        for (int pressed = 0; pressed < c.texts.size(); ++pressed)
        {
            SCOPED_TRACE (c.texts[pressed]);
            TestDesktop desktop;
            Results results;
            auto alert = c.create ("Title", "Message", &results);
            desktop.addChildComponent (*alert);
            alert->show();

            ASSERT_EQ (alert->getNumButtons(), c.texts.size());
            auto& row = alert->getButtonRow();

            for (int i = 0; i < c.texts.size(); ++i)
            {
                auto* b = alert->getButton (i);
                EXPECT_EQ (b->getButtonText(), c.texts[i]);
                EXPECT_EQ (b->getHeight(), 22);
                EXPECT_EQ (b->getWidth(), font.getStringWidth (c.texts[i]) + 22);

                if (i > 0)
                {
                    EXPECT_EQ (b->getX(), alert->getButton (i - 1)->getRight() + 6);
                }
            }

            EXPECT_EQ (row.getRight(), alert->getContentBounds().getRight());
            EXPECT_EQ (row.getBottom(), alert->getContentBounds().getBottom());
            EXPECT_EQ (alert->getMessageLabel().getBottom(), row.getY() - 10);
            EXPECT_EQ (alert->getHeight(), 120) << "13 + 22 + 10 + 52 is under the minimum";
            EXPECT_EQ (alert->getWidth(), juce::jmax (250, juce::jmax ((int) font.getStringWidthFloat ("Message"), row.getWidth()) + 18));

            alert->buttonClicked (alert->getButton (pressed));
            EXPECT_EQ (results.codes, juce::Array<int> { c.codes[pressed] });
            EXPECT_FALSE (alert->isVisible() || alert->getParentComponent()->isVisible());
        }

        for (auto [key, expected] : { std::pair (juce::KeyPress::returnKey, c.onReturn), std::pair (juce::KeyPress::escapeKey, c.onEscape) })
        {
            TestDesktop desktop;
            Results results;
            auto alert = c.create ("Title", "Message", &results);
            desktop.addChildComponent (*alert);
            alert->show();

            EXPECT_TRUE (alert->keyPressed (juce::KeyPress (key)));
            deliverAsyncUpdates();
            EXPECT_EQ (results.codes, expected < 0 ? juce::Array<int>() : juce::Array<int> { expected }) << c.texts[0] << " " << key;
            EXPECT_FALSE (alert->isVisible());
        }
    }

    Results results;
    auto alert = Alert::createYesNo ("Title", "Message", &results);
    alert->buttonClicked (&alert->getCloseButton());
    EXPECT_TRUE (results.codes.isEmpty()) << "closing the window answers nothing";

    alert->userData.add ("preset");
    EXPECT_EQ (alert->getUserValue (0), juce::var ("preset"));
    EXPECT_TRUE (alert->getUserValue (1).isVoid());
    EXPECT_TRUE (alert->getUserValue (-1).isVoid());
    EXPECT_TRUE (alert->dimsBackground());
}

TEST (AlertWindow, DrawsOverTheEditor)
{
    LookAndFeelScope scope;
    TestDesktop desktop (480, 240);
    auto alert = Halvorn::AlertWindow::createSaveOverwriteDiscard ("Unsaved preset",
                                                                    "The preset \"Long Echoes\" has changed.", nullptr);
    desktop.addChildComponent (*alert);
    alert->show();

    auto image = desktop.createComponentSnapshot (desktop.getLocalBounds());
    const auto titleBar = image.getPixelAt (alert->getX() + 30, alert->getY() + 29);
    const auto body = image.getPixelAt (alert->getX() + 100, alert->getY() + 40);
    const auto veil = image.getPixelAt (2, 2);

    EXPECT_EQ (titleBar, juce::Colours::black);
    EXPECT_EQ (body.getRed(), 0xC5);
    EXPECT_GT (veil.getFloatAlpha(), 0.2f) << "the cover washes the editor";
}

TEST (AlertWindow, LongMessagesBreakIntoLinesInsideTheEditor)
{
    LookAndFeelScope scope;
    const auto font = scope.lookAndFeel.getStandardFont();
    const auto path = juce::String::repeatedString ("/Presets of a user with a rather long name", 8);

    // whole: the label has room for every line the text needs at its width.
    const struct { juce::String message; bool whole; } cases[] =
    {
        { "The preset could not be saved to '" + path + "': its folder does not exist.", true },
        { juce::String::repeatedString ("x", 400), true },                     // nowhere to break
        { juce::String::repeatedString (path + " ", 40), false },              // more than the editor holds
    };

    for (const auto& c : cases)
    {
        TestDesktop desktop (1243, 576);
        auto alert = Halvorn::AlertWindow::createOk ("Corvane", c.message, nullptr);
        desktop.addChildComponent (*alert);
        alert->show();

        auto* ok = alert->getButton (0);
        const auto& label = alert->getMessageLabel();
        const auto linesNeeded = std::ceil (font.getStringWidthFloat (c.message) / (float) (label.getWidth() - 10));
        EXPECT_TRUE (desktop.getLocalBounds().reduced (20).contains (alert->getBounds())) << c.message.length();
        EXPECT_TRUE (alert->getContentBounds().contains (alert->getLocalArea (ok, ok->getLocalBounds())));
        EXPECT_TRUE (! c.whole || (float) label.getHeight() >= linesNeeded * font.getHeight()) << c.message.length();
    }
}
