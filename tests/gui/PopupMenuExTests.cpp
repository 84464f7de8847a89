#include "WindowsTestSupport.h"

#include "PopupMenuEx.h"

using namespace WindowsTest;

namespace
{
    struct Reports  : public PopupMenuEx::Listener
    {
        void itemChosen (PopupMenuEx*, int id, bool ticked) override
        {
            entries.add ("chosen " + juce::String (id) + (ticked ? " ticked" : ""));
        }

        void menuDismissed (PopupMenuEx*) override  { entries.add ("dismissed"); }

        juce::StringArray entries;
    };

    // Root: 1 "One", sub-menu "Colours" {3 "Red", 4 "Green"}, sub-menu "Sizes" {5 "Small", "Deeper" {6 "Tiny"}}, 7 "Off" disabled.
    PopupMenuEx makeMenu()
    {
        PopupMenuEx colours, sizes, deeper, menu;
        colours.addItem (3, "Red");
        colours.addItem (4, "Green");
        deeper.addItem (6, "Tiny");
        sizes.addItem (5, "Small");
        sizes.addSubMenu ("Deeper", deeper);
        menu.addItem (1, "One");
        menu.addSubMenu ("Colours", colours);
        menu.addSubMenu ("Sizes", sizes);
        menu.addItem (7, "Off", "Switched off");
        menu.findItem (7)->enabled = false;
        return menu;
    }

    int rowY (int row)  { return 9 + 16 * row; }

    void hoverAndOpen (PopupMenuEx& menu, int windowIndex, int row)
    {
        auto* component = menu.getComponent();
        auto* window = component->getWindow (windowIndex);
        window->mouseMove (mouseAt (*window, 10, rowY (row)));
        component->timerCallback();
    }
}

TEST (PopupMenuEx, TicksReachIntoSubMenusAndMarkTheirTitles)
{
    auto menu = makeMenu();
    menu.setItemTicked (3, true, false);
    menu.setItemTicked (5, true, true);

    struct Case { int id; bool ticked; };
    for (auto c : { Case { 1, false }, Case { 3, false }, Case { 4, false }, Case { 5, true }, Case { 6, false } })
        EXPECT_EQ (menu.findItem (c.id)->ticked, c.ticked) << "item " << c.id;

    EXPECT_FALSE (menu.getItem (1)->subMenuHasTicked);
    EXPECT_TRUE (menu.getItem (2)->subMenuHasTicked);
    EXPECT_TRUE (menu.getItem (2)->subMenuHasEnabled);

    menu.setItemTicked (6, true, true);
    EXPECT_FALSE (menu.findItem (5)->ticked);
    EXPECT_TRUE (menu.getItem (2)->subMenuHasTicked) << "a tick two levels down still marks the title";

    EXPECT_EQ (menu.findItem (-1), nullptr) << "sub-menu rows are never found by id";
    EXPECT_EQ (menu.findItem (99), nullptr);
    EXPECT_EQ (menu.findItem (1)->secondText, "One");
    EXPECT_EQ (menu.findItem (7)->secondText, "Switched off");
    EXPECT_EQ (menu.getItem (2)->subMenu->getItem (1)->subMenu->getLevel(), 2);

    PopupMenuEx empty, withEmpty;
    withEmpty.addSubMenu ("Nothing", empty);
    EXPECT_FALSE (withEmpty.getItem (0)->subMenuHasEnabled);
}

TEST (PopupMenuEx, OpensWithinTheCoveredAreaAndSizesToItsItems)
{
    LookAndFeelScope scope;
    const auto font = scope.lookAndFeel.getMenuFont();

    PopupMenuEx three;
    three.addItem (1, "Short");
    three.addItem (2, "A longer entry");
    three.addItem (3, "Mid");
    const int w = 36 + font.getStringWidth ("A longer entry");
    const int h = 56;

    struct Case
    {
        const char* what;
        juce::Rectangle<int> target;
        int placement;
        juce::Point<int> expected;
    };

    const Case cases[] =
    {
        { "below the target", { 100, 50, 80, 20 }, PopupMenuEx::belowTarget, { 100, 70 } },
        { "below, pushed left from the right edge", { 780, 50, 20, 20 }, PopupMenuEx::belowTarget, { 800 - w, 70 } },
        { "below, never left of the cover", { -30, 50, 20, 20 }, PopupMenuEx::belowTarget, { 0, 70 } },
        { "near the bottom, moved up by its height minus 24", { 100, 570, 80, 20 }, PopupMenuEx::belowTarget,
          { 100, 590 + 24 - h } },
        { "beside the target", { 100, 50, 80, 20 }, PopupMenuEx::besideTarget, { 180, 50 } },
        { "beside, flipped to the left", { 760, 50, 30, 20 }, PopupMenuEx::besideTarget, { 760 - w, 50 } },
        { "other placements at the origin", { 100, 50, 80, 20 }, 0, { 0, 0 } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        TestDesktop desktop;
        three.show (&desktop, c.target, c.placement);

        ASSERT_EQ (three.getComponent()->getNumWindows(), 1);
        EXPECT_EQ (three.getComponent()->getBounds(), desktop.getLocalBounds());
        EXPECT_EQ (three.getComponent()->getWindow (0)->getBounds(), juce::Rectangle<int> (c.expected.x, c.expected.y, w, h));
        three.close();
    }

    // A sub-menu that does not fit to the right of its row opens left of its parent window.
    PopupMenuEx sub, root;
    sub.addItem (1, "Sub-menu entry");
    root.addSubMenu ("Open", sub);
    TestDesktop desktop;
    root.show (&desktop, { 780, 10, 20, 20 });
    hoverAndOpen (root, 0, 0);

    auto* parentWindow = root.getComponent()->getWindow (0);
    auto* subWindow = root.getComponent()->getWindow (1);
    ASSERT_NE (subWindow, nullptr);
    EXPECT_EQ (subWindow->getX(), parentWindow->getX() - 5 - subWindow->getWidth());
    EXPECT_EQ (subWindow->getY(), parentWindow->getY());

    // An empty sub-menu opens an empty window.
    PopupMenuEx empty, withEmpty;
    withEmpty.addSubMenu ("Nothing", empty);
    withEmpty.show (&desktop, { 10, 10, 20, 20 });
    hoverAndOpen (withEmpty, 0, 0);
    ASSERT_EQ (withEmpty.getComponent()->getNumWindows(), 2);
    EXPECT_EQ (withEmpty.getComponent()->getWindow (1)->getBounds().getWidth(), 36);
    EXPECT_EQ (withEmpty.getComponent()->getWindow (1)->getBounds().getHeight(), 8);
}

TEST (PopupMenuEx, ChoosesOnPressAndReportsOnceAfterClosing)
{
    LookAndFeelScope scope;

    struct Case
    {
        const char* what;
        std::function<void (PopupMenuEx&)> act;
        juce::StringArray expected;
    };

    const Case cases[] =
    {
        { "a plain item of the first level", [] (PopupMenuEx& m)
          {
              auto* w = m.getComponent()->getWindow (0);
              w->mouseDown (mouseAt (*w, 10, rowY (0)));
          }, { "chosen 1" } },
        { "a ticked item two levels down", [] (PopupMenuEx& m)
          {
              m.setItemTicked (6, true, true);
              hoverAndOpen (m, 0, 2);
              hoverAndOpen (m, 1, 1);
              ASSERT_EQ (m.getComponent()->getNumWindows(), 3);
              auto* w = m.getComponent()->getWindow (2);
              w->mouseDown (mouseAt (*w, 10, rowY (0)));
          }, { "chosen 6 ticked" } },
        { "a disabled item, then outside", [] (PopupMenuEx& m)
          {
              auto* w = m.getComponent()->getWindow (0);
              w->mouseDown (mouseAt (*w, 10, rowY (3)));
              EXPECT_TRUE (m.isOpen());
              m.getComponent()->mouseDown (mouseAt (*m.getComponent(), 700, 500));
          }, { "dismissed" } },
        { "a sub-menu title opens it and chooses nothing", [] (PopupMenuEx& m)
          {
              auto* w = m.getComponent()->getWindow (0);
              w->mouseDown (mouseAt (*w, 10, rowY (1)));
              EXPECT_TRUE (m.getComponent()->isTimerRunning());
              m.getComponent()->timerCallback();
              EXPECT_EQ (m.getComponent()->getNumWindows(), 2);
          }, {} },
        { "passing a sub-menu title on to a plain item opens nothing", [] (PopupMenuEx& m)
          {
              auto* w = m.getComponent()->getWindow (0);
              w->mouseMove (mouseAt (*w, 10, rowY (1)));
              EXPECT_TRUE (m.getComponent()->isTimerRunning());
              w->mouseMove (mouseAt (*w, 10, rowY (0)));
              EXPECT_FALSE (m.getComponent()->isTimerRunning());
          }, {} },
        { "hovering a first-level item closes the deeper levels", [] (PopupMenuEx& m)
          {
              hoverAndOpen (m, 0, 2);
              hoverAndOpen (m, 1, 1);
              hoverAndOpen (m, 0, 0);
              EXPECT_EQ (m.getComponent()->getNumWindows(), 1);
          }, {} },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        TestDesktop desktop;
        auto menu = makeMenu();
        Reports reports;
        menu.addListener (&reports);
        menu.show (&desktop, { 10, 10, 100, 20 });

        c.act (menu);
        EXPECT_TRUE (reports.entries.isEmpty()) << "reports wait for the message loop";

        deliverAsyncUpdates();
        EXPECT_EQ (reports.entries, c.expected);
        EXPECT_EQ (menu.isOpen(), c.expected.isEmpty());
        EXPECT_EQ (desktop.getNumChildComponents() == 0 || ! desktop.getChildComponent (0)->isVisible(),
                   ! c.expected.isEmpty()) << "the cover goes with the menu";
    }
}

TEST (PopupMenuEx, AssigningToAnOpenMenuClosesItsSubMenus)
{
    LookAndFeelScope scope;
    TestDesktop desktop;
    auto menu = makeMenu();
    menu.show (&desktop, { 10, 10, 100, 20 });
    hoverAndOpen (menu, 0, 2);
    hoverAndOpen (menu, 1, 1);
    ASSERT_EQ (menu.getComponent()->getNumWindows(), 3);

    PopupMenuEx replacement;
    replacement.addItem (9, "Only");
    menu = replacement;

    ASSERT_TRUE (menu.isOpen());
    auto* root = menu.getComponent()->getWindow (0);
    EXPECT_EQ (menu.getComponent()->getNumWindows(), 1);
    EXPECT_EQ (root->getHoverItem(), nullptr);
    EXPECT_EQ (root->getLastItem(), nullptr);
    EXPECT_EQ (root->getHeight(), 16 + 8);
    root->createComponentSnapshot (root->getLocalBounds());   // paints the new items only

    auto nested = makeMenu();
    nested = *nested.getItem (2)->subMenu;
    EXPECT_EQ (nested.getNumItems(), 2) << "a menu takes one of its own sub-menus";
    EXPECT_EQ (nested.findItem (6)->owner->getLevel(), 1);

    PopupMenuEx copy (menu);
    EXPECT_EQ (copy.findItem (9)->owner, &copy);
    EXPECT_FALSE (copy.isOpen());
}
