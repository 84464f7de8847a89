#include "ComboBoxButton.h"
#include "ComboBoxEx.h"
#include "DefaultLookAndFeel.h"

#include <gtest/gtest.h>

namespace
{
    struct Counter  : ComboBoxButton::Listener
    {
        void selectionChanged (ComboBoxButton*) override    { ++count; }
        int count = 0;
    };
}

TEST (ComboBoxButton, ShowsTheChosenItemAndFitsItsWidth)
{
    DefaultLookAndFeel lookAndFeel;
    ComboBoxButton box;
    box.setLookAndFeel (&lookAndFeel);
    box.setBounds (5, 7, 100, 20);
    EXPECT_EQ (box.getButton().getButtonText(), "---");

    // An empty menu gives the least width; the height stays with -1.
    box.changeWidthToFitText (-1);
    EXPECT_EQ (box.getBounds(), juce::Rectangle<int> (5, 7, 40, 20));

    box.getMenu().addItem (0, "Low");
    box.getMenu().addItem (1, "A rather long choice");
    box.setSelectedId (1, false);
    EXPECT_EQ (box.getButton().getButtonText(), "A rather long choice");
    EXPECT_TRUE (box.getMenu().findItem (1)->ticked);
    EXPECT_FALSE (box.getMenu().findItem (0)->ticked);

    const auto font = lookAndFeel.getTextButtonFont (box.getButton(), 24);
    box.changeWidthToFitText (24);
    EXPECT_EQ (box.getWidth(), juce::roundToInt (font.getStringWidthFloat ("A rather long choice")) + 24 - 6 + static_cast<int> (0.833 * 24));
    EXPECT_EQ (box.getHeight(), 24);

    box.setSelectedId (7, false);
    EXPECT_EQ (box.getButton().getButtonText(), "---");
    box.setLookAndFeel (nullptr);
}

TEST (ComboBoxButton, AChoiceInASharedMenuReachesOnlyTheChooserThatOpenedIt)
{
    PopupMenuEx shared;
    shared.addItem (0, "Zero");
    shared.addItem (1, "One");
    shared.addItem (2, "Two");

    juce::Component parent;
    ComboBoxButton first, second;
    Counter firstCounter, secondCounter;
    first.addListener (&firstCounter);
    first.addListener (&firstCounter);
    second.addListener (&secondCounter);

    for (auto* box : { &first, &second })
    {
        parent.addAndMakeVisible (box);
        box->setSharedMenu (&shared);
        box->setSelectedId (0, false);
    }

    first.getButton().triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_TRUE (first.getButton().getToggleState());

    // The menu reports to every chooser registered with it.
    for (auto* box : { &first, &second })
        box->itemChosen (&shared, 2, false);

    EXPECT_EQ (first.getSelectedId(), 2);
    EXPECT_EQ (second.getSelectedId(), 0);
    EXPECT_EQ (firstCounter.count, 1);
    EXPECT_EQ (secondCounter.count, 0);
    EXPECT_FALSE (first.getButton().getToggleState());

    // The item already chosen: no listener call, but the button goes out.
    first.getButton().triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    first.itemChosen (&shared, 2, false);
    EXPECT_EQ (firstCounter.count, 1);
    EXPECT_FALSE (first.getButton().getToggleState());
    shared.close();
}

TEST (ComboBoxEx, ShowsDisabledAndMissingItemsInItalics)
{
    ComboBoxEx box;
    // Nothing chosen yet: the placeholder, before the owner fills the menu.
    EXPECT_EQ (box.getText(), "---");
    EXPECT_TRUE (box.getFont().isItalic());

    box.getMenu().addItem (0, "On");
    box.getMenu().addItem (1, "Off");
    box.getMenu().findItem (1)->enabled = false;

    const struct { int id; const char* text; bool italic; } cases[] = { { -1, "---", true }, { 0, "On", false }, { 1, "Off", true } };

    for (const auto& c : cases)
    {
        box.setSelectedId (c.id, false);
        box.updateText();
        EXPECT_EQ (box.getText(), c.text);
        EXPECT_EQ (box.getFont().isItalic(), c.italic) << c.id;
    }
}
