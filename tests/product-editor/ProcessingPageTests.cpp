#include "EditorTestSupport.h"

#include "CorvaneProcessingSettingsComponent.h"
#include "ParameterChooserMenu.h"

namespace
{
    int countItems (const PopupMenuEx& menu)
    {
        int count = 0;

        for (int i = 0; i < menu.getNumItems(); ++i)
        {
            auto* item = menu.getItem (i);
            count += item->subMenu != nullptr ? countItems (*item->subMenu) : 1;
        }

        return count;
    }

    PopupMenuEx* subMenu (const PopupMenuEx& menu, const juce::String& name)
    {
        for (int i = 0; i < menu.getNumItems(); ++i)
            if (auto* item = menu.getItem (i); item->subMenu != nullptr && item->text == name)
                return item->subMenu.get();

        return nullptr;
    }

    void collectIds (const PopupMenuEx& menu, juce::Array<int>& ids)
    {
        for (int i = 0; i < menu.getNumItems(); ++i)
        {
            auto* item = menu.getItem (i);

            if (item->subMenu != nullptr)
                collectIds (*item->subMenu, ids);
            else
                ids.add (item->id);
        }
    }
}

using ParameterChooserMenuTest = EditorTest;

TEST_F (ParameterChooserMenuTest, GroupsTheAutomatableParametersOfEachLine)
{
    auto menu = ParameterChooserMenu::create (*plugin);
    EXPECT_EQ (countItems (menu), 197);
    EXPECT_EQ (menu.getItem (0)->id, -1);
    EXPECT_EQ (menu.getItem (0)->text, "- none -");

    // Path, first item id, text, second text's parameter.
    struct Case { juce::StringArray path; int id; juce::String text; };
    const Case cases[] = { { { "Delay 3", "Filter" }, 3006, "Mode" }, { { "Delay 1", "Delay" }, 1013, "Left Time" },
                           { { "MOD2" }, 67, "Modulator Type" }, { { "MOD1", "Peak Follower" }, 64, "Sensitivity" },
                           { { "Master" }, 87, plugin->parameterManager.getParameterName (87) },
                           { { "Misc" }, 112, plugin->parameterManager.getParameterName (112) } };

    for (auto& c : cases)
    {
        const PopupMenuEx* level = &menu;

        for (auto& name : c.path)
            ASSERT_NE (level = subMenu (*level, name), nullptr) << name;

        auto* first = level->getItem (0);
        EXPECT_EQ (first->id, c.id);
        EXPECT_EQ (first->text, c.text);
        EXPECT_EQ (first->secondText, plugin->parameterManager.getParameterName (c.id));
    }

    juce::Array<int> lineIds;
    collectIds (*subMenu (menu, "Delay 3"), lineIds);
    EXPECT_EQ (lineIds.size(), 40);
    for (auto id : lineIds)
        EXPECT_TRUE (id >= 3000 && id <= 3046) << id;

    // A parameter that is not automatable leaves its group, which stays.
    plugin->parameterManager.getParameter (3006)->setAutomatable (false);
    menu = ParameterChooserMenu::create (*plugin);
    auto* filter = subMenu (*subMenu (menu, "Delay 3"), "Filter");
    ASSERT_NE (filter, nullptr);
    EXPECT_EQ (filter->getItem (0)->id, 3007);
    EXPECT_EQ (countItems (menu), 196);
}

using ProductProcessingPageTest = EditorTest;

TEST_F (ProductProcessingPageTest, BindsLaysOutAndDisarmsLearnOnVisibilityChanges)
{
    CorvaneProcessingSettingsComponent page (*plugin);
    page.setLookAndFeel (&editor->getDefaultLookAndFeel());
    page.setBounds (0, 0, 800, 540);

    const auto half = 800 / 2 - 3;
    EXPECT_EQ (page.getDefaultNotePanel().getBounds().getX(), 0);
    EXPECT_EQ (page.getCurrentNotePanel().getX(), half + 6);
    EXPECT_EQ (page.getDefaultNotePanel().getY(), page.getRemainingArea().getY());
    for (auto* panel : { &page.getDefaultNotePanel(), &page.getCurrentNotePanel(), &page.getDefaultLengthPanel(), &page.getCurrentLengthPanel() })
        EXPECT_EQ (panel->getWidth(), half);
    EXPECT_EQ (page.getDefaultLengthPanel().getY(), page.getDefaultNotePanel().getBottom() + 6);
    EXPECT_EQ (page.getDefaultLengthSlider().getWidth(), half - 16);

    // The buffer lengths take whole numbers from 1 to 15 only.
    struct Case { HorizontalSlider* slider; int id; };
    for (auto c : { Case { &page.getDefaultLengthSlider(), 109 }, Case { &page.getCurrentLengthSlider(), 98 } })
    {
        auto& slider = c.slider->getSlider();
        EXPECT_EQ (slider.getMinimum(), 1.0);
        EXPECT_EQ (slider.getMaximum(), 15.0);
        slider.setValue (7.4, juce::sendNotificationSync);
        pump (5);
        EXPECT_EQ (plugin->parameterManager.getParameterIntValue (c.id), 7) << c.id;
    }

    // A learn armed on a picker is switched off when the page is shown or hidden.
    const int learnIds[] = { 116, 117, 114, 115 };

    for (int round = 0; round < 2; ++round)
    {
        for (int i = 0; i < 4; ++i)
        {
            plugin->parameterManager.setParameterBoolValue (learnIds[i], true);
            page.getPicker (i < 2, i % 2).getLearnToggle().setToggleState (true, juce::dontSendNotification);
            page.setVisible (! page.isVisible());
            pump (5);
            EXPECT_FALSE (page.getPicker (i < 2, i % 2).getLearnToggle().getToggleState());
            EXPECT_FALSE (plugin->parameterManager.getParameterBoolValue (learnIds[i])) << learnIds[i];
        }
    }

    page.setLookAndFeel (nullptr);
}
