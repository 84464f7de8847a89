#include "SkinTestSupport.h"
#include "DisplayForWindows.h"

#include "ImageMidiKeyboard.h"
#include "SkinLimits.h"

using namespace SkinTest;

namespace
{
    class ImageMidiKeyboardTest  : public Fixture {};

    juce::String keyElement (int left, int width, int height, int neighbours = 0)
    {
        return "<Key left=\"" + juce::String (neighbours) + "\" right=\"" + juce::String (neighbours) + "\">"
               "<gfx resource=\"key.png\" framesNum=\"8\"/><size width=\"" + juce::String (width) + "\" height=\""
               + juce::String (height) + "\"/><pos left=\"" + juce::String (left) + "\" top=\"10\"/></Key>";
    }

    /** The panel's keyboards in skin order: they carry no names to find them by. */
    juce::Array<ImageMidiKeyboard*> keyboardsOf (juce::Component& panel)
    {
        juce::Array<ImageMidiKeyboard*> found;

        for (auto* child : panel.getChildren())
        {
            if (auto* keyboard = dynamic_cast<ImageMidiKeyboard*> (child))
                found.add (keyboard);

            found.addArray (keyboardsOf (*child));
        }

        return found;
    }
}

TEST_F (ImageMidiKeyboardTest, FrameFollowsTheKeyAndItsNeighbours)
{
    struct Case { juce::Array<int> down; int frame; };
    const Case cases[] = {
        { {}, 0 }, { { 62 }, 2 }, { { 60 }, 1 }, { { 60, 62 }, 3 },
        { { 61 }, 4 }, { { 61, 60 }, 5 }, { { 61, 62, 60 }, 7 }, { { 59, 63 }, 0 },
    };

    for (const auto& c : cases)
    {
        ImageMidiKeyboard keyboard ("Keys");
        keyboard.setSize (200, 50);
        keyboard.setKeyImage (61, makeStrip (10, 30, 8), 8, 10, 30, 1, 1, 0, 0);

        for (auto note : c.down)
            keyboard.getKeyboardState().noteOn (1, note, 1.0f);

        keyboard.timerCallback();
        EXPECT_EQ (keyboard.getKey (61).frame, c.frame) << c.down.size();

        for (auto note : c.down)
            keyboard.getKeyboardState().noteOff (1, note, 0.0f);

        keyboard.timerCallback();
        EXPECT_EQ (keyboard.getKey (61).frame, 0);
    }
}

TEST_F (ImageMidiKeyboardTest, SkinKeysSitWhereTheSkinPutsThemAndTakeTheHits)
{
    // C, C# and D from the skin, placed in panel coordinates; the keyboard is at (100, 10).
    auto panel = loadControls ("<MidiKeyboard name=\"Keys\" firstKey=\"60\" lastKey=\"62\"><pos left=\"100\" top=\"10\"/>"
                               "<size width=\"40\" height=\"50\"/><Keys>" + keyElement (100, 20, 50)
                               + keyElement (114, 12, 30) + keyElement (120, 20, 50) + "</Keys></MidiKeyboard>"
                               "<MidiKeyboard name=\"Empty\"/>",
                               { { "key.png", pngOf (makeStrip (20, 50, 8)) } });

    const auto keyboards = keyboardsOf (*panel);
    ASSERT_EQ (keyboards.size(), 2);
    auto* keyboard = keyboards[0];
    // The element's name is not the widget's.
    EXPECT_TRUE (keyboard->getName().isEmpty());
    EXPECT_EQ (keyboard->getBounds(), juce::Rectangle<int> (100, 10, 40, 50));
    EXPECT_EQ (keyboard->getKey (61).x, 14);
    // JUCE's own layout answers from the skin's places (hit testing uses the same positions).
    struct Case { int note; juce::Rectangle<float> area; };
    const Case cases[] = { { 60, { 0, 0, 20, 50 } }, { 61, { 14, 0, 12, 35 } }, { 62, { 20, 0, 20, 50 } } };

    for (const auto& c : cases)
        EXPECT_EQ (keyboard->getRectangleForKey (c.note), c.area) << c.note;

    // Every key shows frame 0 of its strip at its own place.
    for (auto x : { 2, 16, 30 })
        EXPECT_EQ (frameShown (*keyboard, x, 5), 0) << x;

    EXPECT_EQ (keyboards[1]->getBounds().getWidth(), 0);
}

TEST_F (ImageMidiKeyboardTest, SkinNumbersFarPastAnyFaceAreHeldToSaneRanges)
{
    // Neighbour counts that would shift a frame number past an int, sizes and places near the int limit.
    auto panel = loadControls ("<MidiKeyboard firstKey=\"60\" lastKey=\"62\"><pos left=\"2147483000\" top=\"-2147483000\"/>"
                               "<size width=\"2147483647\" height=\"50\"/><Keys><Key left=\"2147483647\" right=\"40\">"
                               "<gfx resource=\"key.png\" framesNum=\"2147483647\"/><size width=\"2147483647\" height=\"2147483647\"/>"
                               "<pos left=\"-2147483000\" top=\"10\"/></Key></Keys></MidiKeyboard>",
                               { { "key.png", pngOf (makeStrip (20, 50, 8)) } });

    const auto keyboards = keyboardsOf (*panel);
    ASSERT_EQ (keyboards.size(), 1);
    auto* keyboard = keyboards[0];

    for (auto note = 40; note < 110; ++note)
        keyboard->getKeyboardState().noteOn (1, note, 1.0f);

    keyboard->timerCallback();
    const auto& key = keyboard->getKey (60);
    EXPECT_LE (key.leftNeighbours + key.rightNeighbours, 2 * ImageMidiKeyboard::maxNeighbours);
    EXPECT_LE (keyboard->getWidth(), SkinLimits::maxLength);
    EXPECT_LE (key.framesNum, SkinLimits::maxStates);
    juce::Image canvas (juce::Image::ARGB, 64, 64, true);
    juce::Graphics g (canvas);
    keyboard->paintEntireComponent (g, false);
}

TEST_F (ImageMidiKeyboardTest, HitsFindTheSkinKeysOnDisplay)
{
    SKIP_WITHOUT_DISPLAY();

    auto panel = loadControls ("<MidiKeyboard name=\"Keys\" firstKey=\"60\" lastKey=\"62\"><pos left=\"100\" top=\"10\"/>"
                               "<size width=\"40\" height=\"50\"/><Keys>" + keyElement (100, 20, 50)
                               + keyElement (114, 12, 30) + keyElement (120, 20, 50) + "</Keys></MidiKeyboard>",
                               { { "key.png", pngOf (makeStrip (20, 50, 8)) } });

    // JUCE asks the window which component is frontmost at the point.
    panel->setBounds (0, 0, 200, 100);
    panel->addToDesktop (0);
    panel->setVisible (true);
    auto* keyboard = keyboardsOf (*panel)[0];
    ASSERT_NE (keyboard, nullptr);

    struct Case { juce::Point<float> at; int note; };
    const Case cases[] = {
        { { 5, 45 }, 60 }, { { 18, 10 }, 61 }, { { 18, 45 }, 60 }, { { 25, 10 }, 61 },
        { { 30, 10 }, 62 }, { { 35, 45 }, 62 },
    };

    for (const auto& c : cases)
        EXPECT_EQ (keyboard->getNoteAndVelocityAtPosition (c.at).note, c.note) << c.at.toString();
}
