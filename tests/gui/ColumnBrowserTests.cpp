#include "WindowsTestSupport.h"

#include "ColumnBrowserListColumn.h"

namespace
{
    struct Log
    {
        juce::StringArray events;
        bool ontoAllowed = true;
    };

    /** A column of a tree three levels deep with four items per folder. */
    struct TreeColumn  : public ColumnBrowser::ListColumn
    {
        TreeColumn (ColumnBrowser& b, juce::Array<int> p, Log& l) : ListColumn (b), path (p), log (l) {}

        juce::String name() const
        {
            juce::StringArray parts;

            for (auto i : path)
                parts.add (juce::String (i));

            return "/" + parts.joinIntoString ("/");
        }

        bool isDescendantOf (Column* c) override
        {
            auto* other = dynamic_cast<TreeColumn*> (c);
            return other != nullptr && other->path.size() < path.size()
                     && juce::Array<int> (path.begin(), other->path.size()) == other->path;
        }

        bool isChildOf (Column* c) override
        {
            auto* other = dynamic_cast<TreeColumn*> (c);
            return other != nullptr && isDescendantOf (c) && other->path.size() == path.size() - 1;
        }

        Column* createParentColumn() override
        {
            if (path.isEmpty())
                return nullptr;

            auto parent = path;
            parent.removeLast();
            return new TreeColumn (getBrowser(), parent, log);
        }

        int getNumItems() override                      { return 4; }
        juce::String getItemText (int i) override       { return "Item " + juce::String (i); }
        bool isItemFolder (int) override                { return path.size() < 3; }

        Column* createColumnForItem (int i) override
        {
            if (path.size() >= 3)
                return nullptr;

            auto child = path;
            child.add (i);
            return new TreeColumn (getBrowser(), child, log);
        }

        void itemOpened (int i) override                { log.events.add ("open " + name() + " " + juce::String (i)); }
        void renameItem (int i, const juce::String& t) override { log.events.add ("rename " + juce::String (i) + " " + t); }
        bool canDropOntoItem (ListColumn&, int) override { return log.ontoAllowed; }
        void dropIntoColumn (ListColumn&) override      { log.events.add ("into"); }
        void dropOntoItem (ListColumn&, int r) override  { log.events.add ("onto " + juce::String (r)); }
        void dropBeforeItem (ListColumn&, int r) override { log.events.add ("before " + juce::String (r)); }
        void dropAfterItem (ListColumn&, int r) override { log.events.add ("after " + juce::String (r)); }

        juce::Array<int> path;
        Log& log;
    };

    struct TreeBrowser  : public ColumnBrowser
    {
        TreeBrowser()                                   { setSize (900, 300); }
        Column* makeRootColumn() override               { return new TreeColumn (*this, {}, log); }

        TreeColumn& column (int i)                      { return *dynamic_cast<TreeColumn*> (getColumn (i)); }

        juce::StringArray names()
        {
            juce::StringArray result;

            for (int i = 0; i < getNumColumns(); ++i)
                result.add (column (i).name());

            return result;
        }

        Log log;
    };

    juce::MouseEvent dragEvent (juce::Component& c, int downX, int x)
    {
        const auto now = juce::Time::getCurrentTime();
        const juce::Point<float> p ((float) x, 10.0f), down ((float) downX, 10.0f);
        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), p,
                                 juce::ModifierKeys::leftButtonModifier, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                 &c, &c, now, down, now, 1, false);
    }

    juce::DragAndDropTarget::SourceDetails dragFrom (ColumnBrowser::ListColumn& source, const juce::String& text,
                                                     int x, int y)
    {
        return { text, &source.getList(), { x, y } };
    }
}

TEST (ColumnBrowserTest, OpeningAnItemClosesTheOtherBranchAndKeepsTheWidthOfItsPlace)
{
    WindowsTest::LookAndFeelScope scope;
    TreeBrowser browser;
    browser.refresh();
    EXPECT_EQ (browser.names(), juce::StringArray { "/" });
    EXPECT_TRUE (browser.column (0).isActive());

    browser.column (0).getList().selectRow (1);
    browser.column (1).getList().selectRow (2);
    EXPECT_EQ (browser.names(), juce::StringArray ({ "/", "/1", "/1/2" }));
    EXPECT_TRUE (browser.column (1).isActive());
    EXPECT_FALSE (browser.column (0).isActive());

    struct Case { int closedWidth; int expected; };

    for (const auto& c : { Case { 260, 260 }, Case { 40, 100 } })
    {
        browser.column (1).setSize (c.closedWidth, browser.column (1).getHeight());
        browser.updateLayout();
        browser.column (0).getList().selectRow (3);
        EXPECT_EQ (browser.names(), juce::StringArray ({ "/", "/3" }));
        EXPECT_EQ (browser.column (1).getWidth(), c.expected);
        EXPECT_EQ (browser.column (1).getX(), browser.column (0).getWidth());
        browser.column (0).getList().selectRow (1);
    }

    EXPECT_EQ (browser.log.events.size(), 6);
}

TEST (ColumnBrowserTest, ADeepColumnBringsItsMissingAncestorsOnce)
{
    TreeBrowser browser;
    browser.openColumnAfter (new TreeColumn (browser, { 1, 2, 0 }, browser.log));
    EXPECT_EQ (browser.names(), juce::StringArray ({ "/", "/1", "/1/2", "/1/2/0" }));

    browser.openColumnAfter (new TreeColumn (browser, { 1, 3 }, browser.log));
    EXPECT_EQ (browser.names(), juce::StringArray ({ "/", "/1", "/1/3" }));

    browser.openColumnAfter (nullptr);
    EXPECT_EQ (browser.getNumColumns(), 3);
}

TEST (ColumnBrowserTest, TheGripResizesNoNarrowerThanTheMinimum)
{
    TreeBrowser browser;
    browser.refresh();
    auto& root = browser.column (0);

    for (auto [delta, expected] : { std::pair { 50, 250 }, { -180, 100 } })
    {
        root.setSize (200, root.getHeight());
        const auto grip = root.getWidth() - 3;
        root.mouseDown (dragEvent (root, grip, grip));
        root.mouseDrag (dragEvent (root, grip, grip + delta));
        root.mouseUp (dragEvent (root, grip, grip + delta));
        EXPECT_EQ (root.getWidth(), expected);
        EXPECT_EQ (browser.getTotalWidth(), expected);
    }

    // A press inside the list area resizes nothing.
    root.mouseDown (dragEvent (root, 50, 50));
    root.mouseDrag (dragEvent (root, 50, 150));
    EXPECT_EQ (root.getWidth(), 100);
}

TEST (ColumnBrowserTest, ClicksAndArrowKeysOpenItemsButABackgroundClickOpensNone)
{
    TreeBrowser browser;
    browser.refresh();
    browser.column (0).getList().selectRow (0);
    browser.column (0).getList().selectRow (2, false, false); // both selected: Left goes back to the last
    browser.column (1).getList().selectRow (1);
    browser.log.events.clear();

    // An item of an inactive column opens even when it is selected already.
    browser.column (0).getList().listBoxItemClicked (2, WindowsTest::mouseAt (browser, 0, 0));
    EXPECT_EQ (browser.log.events, juce::StringArray { "open / 2" });
    EXPECT_TRUE (browser.column (0).isActive());
    EXPECT_EQ (browser.names(), juce::StringArray ({ "/", "/2" }));

    struct Case { int column; int key; juce::StringArray opened; int columnsAfter; };
    const Case cases[] = {
        { 0, juce::KeyPress::leftKey,  {},                      2 },
        { 0, juce::KeyPress::rightKey, { "open /2 0" },         3 },
        { 1, juce::KeyPress::leftKey,  { "open / 2" },          2 },
        { 1, juce::KeyPress::rightKey, {},                      2 },
    };

    for (const auto& c : cases)
    {
        browser.log.events.clear();
        EXPECT_TRUE (browser.column (c.column).getList().keyPressed (juce::KeyPress (c.key)));
        EXPECT_EQ (browser.log.events, c.opened);
        EXPECT_EQ (browser.getNumColumns(), c.columnsAfter);
    }

    browser.log.events.clear();
    browser.column (0).getList().backgroundClicked (WindowsTest::mouseAt (browser, 0, 0));
    EXPECT_EQ (browser.names(), juce::StringArray { "/" });
    EXPECT_EQ (browser.column (0).getList().getNumSelectedRows(), 0);
    EXPECT_TRUE (browser.log.events.isEmpty());
}

TEST (ColumnBrowserTest, DropsAreOnlyTakenFromListsOfTheSameBrowser)
{
    TreeBrowser browser, elsewhere;
    browser.refresh();
    elsewhere.refresh();
    browser.column (0).getList().selectRow (0);
    auto& source = browser.column (0);
    auto& target = browser.column (1);

    EXPECT_TRUE (target.isInterestedInDragSource (dragFrom (source, "ListColumn", 20, 20)));
    EXPECT_FALSE (target.isInterestedInDragSource (dragFrom (source, "Files", 20, 20)));
    EXPECT_FALSE (target.isInterestedInDragSource (dragFrom (elsewhere.column (0), "ListColumn", 20, 20)));
    EXPECT_FALSE (target.isInterestedInDragSource ({ "ListColumn", &browser, { 20, 20 } }));

    // The list starts 4 px into the column; rows are 20 px high.
    struct Case { bool onto; int offset; int mode; const char* dropped; };
    const Case cases[] = {
        { true,  2,  3, "before 1" }, { true, 10, 2, "onto 1" }, { true, 17, 4, "after 1" },
        { false, 5,  3, "before 1" }, { false, 15, 4, "after 1" },
    };

    for (const auto& c : cases)
    {
        browser.log.ontoAllowed = c.onto;
        browser.log.events.clear();
        const auto details = dragFrom (source, "ListColumn", 30, 4 + 20 + c.offset);
        target.itemDragEnter (details);
        EXPECT_EQ (target.getDropMode(), c.mode) << c.offset;
        EXPECT_EQ (target.getDropRow(), 1);
        target.itemDropped (details);
        EXPECT_EQ (browser.log.events, juce::StringArray { c.dropped });
        EXPECT_EQ (target.getDropMode(), 0);
    }

    // Below the last row the items go into the column itself.
    browser.log.events.clear();
    const auto below = dragFrom (source, "ListColumn", 30, 4 + 20 * 6);
    target.itemDragMove (below);
    EXPECT_EQ (target.getDropMode(), 1);
    target.itemDropped (below);
    EXPECT_EQ (browser.log.events, juce::StringArray { "into" });
}

TEST (ColumnBrowserTest, HoveringOverAFolderForHalfASecondOpensIt)
{
    TreeBrowser browser;
    browser.refresh();
    browser.column (0).getList().selectRow (0);
    auto& source = browser.column (0);
    auto& target = browser.column (1);
    browser.log.ontoAllowed = true;

    for (auto stay : { false, true })
    {
        browser.log.events.clear();
        target.itemDragEnter (dragFrom (source, "ListColumn", 30, 4 + 40 + 10));

        if (! stay)
            target.itemDragMove (dragFrom (source, "ListColumn", 30, 4 + 40 + 2));

        juce::MessageManager::getInstance()->runDispatchLoopUntil (700);
        target.itemDragExit (dragFrom (source, "ListColumn", 0, 0));
        EXPECT_EQ (browser.log.events, stay ? juce::StringArray { "open /0 2" } : juce::StringArray()) << stay;
    }

    EXPECT_EQ (browser.names(), juce::StringArray ({ "/", "/0", "/0/2" }));
}

TEST (ColumnBrowserTest, ACommittedNameRenamesTheItemOfItsRow)
{
    TreeBrowser browser;
    browser.refresh();
    auto& list = browser.column (0).getList();
    auto* row = dynamic_cast<ColumnBrowser::ListColumn::ItemComponent*> (list.getComponentForRowNumber (3));
    ASSERT_NE (row, nullptr);
    EXPECT_EQ (row->getNameField().getText(), "Item 3");
    EXPECT_TRUE (row->isFolder());

    ModalTextEditor editor;
    row->getNameField().setText ("Renamed");
    row->modalTextCommitted (editor);
    EXPECT_EQ (browser.log.events, juce::StringArray { "rename 3 Renamed" });
}
