#include "ComponentRow.h"
#include "DefaultLookAndFeel.h"
#include "PanelComponent.h"

#include <gtest/gtest.h>

namespace
{
    struct RowCase
    {
        const char* what;
        bool vertical;
        int alignment, gap;
        std::vector<juce::Point<int>> sizes;
        juce::Point<int> resizeFirstTo;                     // (0, 0): no resize
        juce::Point<int> rowSize;
        std::vector<juce::Point<int>> positions;
    };
}

TEST (ComponentRow, SizesItselfToItsChildrenAndPlacesThemByAlignment)
{
    const RowCase cases[] =
    {
        { "horizontal, centred", false, 1, 5, { { 30, 10 }, { 50, 20 } }, {}, { 85, 20 }, { { 0, 5 }, { 35, 0 } } },
        { "horizontal, end", false, 2, 0, { { 30, 10 }, { 50, 20 } }, {}, { 80, 20 }, { { 0, 10 }, { 30, 0 } } },
        { "vertical, end", true, 2, 2, { { 30, 10 }, { 50, 20 } }, {}, { 50, 32 }, { { 20, 0 }, { 0, 12 } } },
        { "vertical, start", true, 0, 4, { { 30, 10 }, { 50, 20 }, { 10, 5 } }, {}, { 50, 43 },
          { { 0, 0 }, { 0, 14 }, { 0, 38 } } },
        { "unknown alignment keeps the previous cross position", false, 7, 0, { { 30, 10 }, { 50, 20 } }, {},
          { 80, 20 }, { { 0, 0 }, { 30, 0 } } },
        { "a child's new size rearranges the row", false, 1, 5, { { 30, 10 }, { 50, 20 } }, { 40, 30 },
          { 95, 30 }, { { 0, 0 }, { 45, 5 } } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);

        ComponentRow row;
        row.setTopLeftPosition (7, 9);
        row.vertical = c.vertical;
        row.alignment = c.alignment;
        row.gap = c.gap;

        std::vector<std::unique_ptr<juce::Component>> children;

        for (const auto& size : c.sizes)
        {
            children.push_back (std::make_unique<juce::Component>());
            children.back()->setSize (size.x, size.y);
            row.addAndMakeVisible (*children.back());
        }

        row.arrangeComponents();

        if (c.resizeFirstTo != juce::Point<int>())
            children.front()->setSize (c.resizeFirstTo.x, c.resizeFirstTo.y);

        EXPECT_EQ (row.getBounds(), juce::Rectangle<int> (7, 9, c.rowSize.x, c.rowSize.y));

        for (size_t i = 0; i < children.size(); ++i)
            EXPECT_EQ (children[i]->getPosition(), c.positions[i]) << "child " << i;
    }
}

TEST (ComponentRow, BecomesEmptyWithoutChildrenAndStopsWatchingRemovedOnes)
{
    ComponentRow row;
    juce::Component child;
    child.setSize (30, 10);
    row.addAndMakeVisible (child);
    EXPECT_EQ (row.getWidth(), 30);

    row.removeChildComponent (&child);
    EXPECT_EQ (row.getBounds(), juce::Rectangle<int>());

    child.setSize (60, 10);
    EXPECT_EQ (row.getBounds(), juce::Rectangle<int>());
}

//==============================================================================
class PanelComponentTest  : public ::testing::Test
{
protected:
    PanelComponentTest()   { juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel); }
    ~PanelComponentTest() override  { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); }

    DefaultLookAndFeel lookAndFeel;
};

TEST_F (PanelComponentTest, FitsItselfAroundItsContentBelowTheTitle)
{
    struct Case { const char* title; int contentWidth, contentHeight; };
    const Case cases[] = { { "Presets", 200, 100 }, { "A title much wider than its content", 40, 20 }, { "", 10, 10 } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.title);

        PanelComponent panel (c.title);
        panel.setTopLeftPosition (3, 4);
        juce::Component content;
        content.setSize (c.contentWidth, c.contentHeight);
        panel.setContentComponent (&content, true);

        const auto font = lookAndFeel.getPanelFont (panel);
        const auto titleHeight = (int) font.getHeight();
        const auto titleWidth = juce::roundToInt (font.getStringWidthFloat (c.title));

        EXPECT_EQ (panel.getBounds(), juce::Rectangle<int> (3, 4, juce::jmax (titleWidth + 20, c.contentWidth + 16),
                                                            titleHeight + 16 + c.contentHeight));
        EXPECT_EQ (content.getPosition(), juce::Point<int> (8, titleHeight + 8));

        content.setSize (c.contentWidth + 30, c.contentHeight + 5);
        EXPECT_EQ (panel.getHeight(), titleHeight + 21 + c.contentHeight);
        EXPECT_EQ (panel.getWidth(), juce::jmax (titleWidth + 20, c.contentWidth + 46));
    }
}

TEST_F (PanelComponentTest, ReplacedContentStaysAliveWithoutParentAndUnfittedPanelKeepsItsSize)
{
    PanelComponent panel ("Options");
    panel.setSize (300, 200);

    juce::Component first, second;
    first.setSize (50, 50);
    second.setSize (80, 40);

    panel.setContentComponent (&first, true);
    panel.setContentComponent (&second, false);
    const auto sizeBefore = panel.getBounds();

    EXPECT_EQ (first.getParentComponent(), nullptr);
    EXPECT_EQ (second.getParentComponent(), &panel);
    EXPECT_TRUE (second.isVisible());

    first.setSize (500, 500);       // no longer the content: must not resize the panel
    second.setSize (90, 45);        // content, but not fitted
    EXPECT_EQ (panel.getBounds(), sizeBefore);
    EXPECT_EQ (second.getPosition(), panel.getContentArea().getPosition());

    panel.setSize (10, 10);         // smaller than the margins: no negative content area
    EXPECT_GE (panel.getContentArea().getWidth(), 0);
    EXPECT_GE (panel.getContentArea().getHeight(), 0);
}
