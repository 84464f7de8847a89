#include "SkinTestSupport.h"

#include "GFXRocker.h"

using namespace SkinTest;

namespace
{
    class GFXRockerTest  : public Fixture {};

    struct Events  : public GUIController::Listener
    {
        void handleControllerEvent (GUIController*, int uid) override   { uids.add (uid); }
        juce::Array<int> uids;
    };
}

TEST_F (GFXRockerTest, PressedHalfFiresItsEventAndShowsUntilRelease)
{
    // Events "Select Line" less 1, more 2, less with control 3, more with control 4;
    // the horizontal rocker has no control variants.
    auto panel = loadControls ("<Rocker name=\"Up\"><size width=\"20\" height=\"40\"/>"
                               "<actions><action type=\"onLessClick\" event=\"Select Line 1\"/><action type=\"onMoreClick\" event=\"Select Line 2\"/>"
                               "<action type=\"onLessClickWithCtrl\" event=\"Select Line 3\"/><action type=\"onMoreClickWithCtrl\" event=\"Select Line 4\"/></actions></Rocker>"
                               "<Rocker name=\"Across\" type=\"horizontal\"><size width=\"40\" height=\"20\"/>"
                               "<actions><action type=\"onLessClick\" event=\"Select Line 1\"/><action type=\"onMoreClick\" event=\"Select Line 2\"/></actions></Rocker>");

    struct Case { const char* rocker; juce::Point<float> at; bool ctrl, fires, more, ctrlEvent; };
    const Case cases[] = {
        { "Up", { 10, 19 }, false, true, true, false }, { "Up", { 10, 20 }, false, true, false, false },
        { "Up", { 10, 0 }, true, true, true, true },    { "Up", { 10, 39 }, true, true, false, true },
        { "Across", { 20, 10 }, false, true, false, false }, { "Across", { 21, 10 }, false, true, true, false },
        { "Across", { 21, 10 }, true, false, true, false },
    };

    for (const auto& c : cases)
    {
        auto* rocker = find<GFXRocker> (*panel, c.rocker);
        ASSERT_NE (rocker, nullptr);

        Events events;
        rocker->addListener (&events);

        const auto mods = c.ctrl ? juce::ModifierKeys (juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::leftButtonModifier)
                                 : juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier);
        rocker->mouseDown (mouseEvent (*rocker, c.at, mods, c.at));
        EXPECT_EQ (rocker->getState(), c.more ? GFXRocker::morePressed : GFXRocker::lessPressed) << c.rocker << " " << c.at.toString();
        EXPECT_EQ (events.uids.size(), c.fires ? 1 : 0) << c.rocker << " " << c.at.toString();

        rocker->mouseUp (mouseEvent (*rocker, c.at, mods, c.at));
        EXPECT_EQ (rocker->getState(), GFXRocker::atRest);
        EXPECT_EQ (events.uids.size(), c.fires ? 1 : 0) << "a release fires nothing";
        rocker->removeListener (&events);

        if (c.fires)
        {
            const auto line = (c.more ? 2 : 1) + (c.ctrlEvent ? 2 : 0);
            EXPECT_EQ (events.uids[0], plugin->eventsMap.getEventUid ("Select Line " + juce::String (line))) << c.rocker;
        }
    }
}

TEST_F (GFXRockerTest, DrawsTheFrameOfItsStateOrTheRestFrame)
{
    GFXRocker rocker ("Rocker");
    rocker.setImage (makeStrip (20, 40, 3), 3);
    rocker.setSize (20, 40);

    const auto press = [&rocker] (float y) { rocker.mouseDown (mouseEvent (rocker, { 5, y }, juce::ModifierKeys::leftButtonModifier, { 5, y })); };

    EXPECT_EQ (frameShown (rocker), 1);
    press (5);
    EXPECT_EQ (frameShown (rocker), 2);
    rocker.showRest = true;
    EXPECT_EQ (frameShown (rocker), 1);
    press (35);
    EXPECT_EQ (frameShown (rocker), 0);
}
