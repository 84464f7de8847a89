#include "DisplayForWindows.h"
#include "WindowsTestSupport.h"

#include "BoolParameter.h"
#include "EnumParameter.h"
#include "NoteParameter.h"
#include "MidiNoteAndChannelComponent.h"

namespace
{
    struct NoteCounter  : public MidiNoteAndChannelComponent::Listener
    {
        void noteChanged (MidiNoteAndChannelComponent*) override    { ++notes; }
        void channelChanged (MidiNoteAndChannelComponent*) override { ++channels; }
        int notes = 0, channels = 0;
    };

    juce::String channelItems()
    {
        juce::StringArray items { "omni" };

        for (int i = 1; i <= 16; ++i)
            items.add (juce::String (i));

        return items.joinIntoString (";");
    }
}

TEST (MidiPickerTest, SelectingANoteShowsItsOctaveAndNotifiesOnce)
{
    WindowsTest::LookAndFeelScope scope;
    NoteParameter note (0, "Note", 60);
    EnumParameter channel (1, "Channel", 0, channelItems());
    BoolParameter learn (2, "Learn", "false");

    MidiNoteAndChannelComponent picker;
    NoteCounter counter;
    picker.addListener (&counter);
    picker.setParameters (&channel, &note, &learn);

    EXPECT_EQ (picker.getNoteText(), "C3");
    EXPECT_EQ (picker.getChannelChooser().getComboBox().getButton().getButtonText(), "All");
    EXPECT_EQ (picker.getWidth(), 135);

    auto& keys = picker.getNotePicker();

    struct Case { int note; int start; int end; const char* text; };
    const Case cases[] = { { 127, 116, 127, "G8" }, { 0, 0, 11, "C-2" }, { 61, 60, 71, "C#3" } };

    for (const auto& c : cases)
    {
        keys.selectNote (c.note);
        EXPECT_EQ (keys.getKeyboard().getRangeStart(), c.start);
        EXPECT_EQ (keys.getKeyboard().getRangeEnd(), c.end);
        EXPECT_EQ (picker.getNoteText(), c.text);
        EXPECT_EQ (note.getIntValue(), c.note);
        EXPECT_TRUE (keys.getKeyboardState().isNoteOn (1, c.note));
    }

    const auto calls = counter.notes;
    keys.selectNote (61);
    EXPECT_EQ (counter.notes, calls);
    EXPECT_EQ (keys.getKeyboardState().isNoteOn (1, 0), false);
}

TEST (MidiPickerTest, OctaveButtonsStopAtTheEnds)
{
    MidiNoteSelectKeyboard keys;

    struct Case { int note; bool up; int start; int end; };
    const Case cases[] = { { 0, false, 0, 11 }, { 127, true, 116, 127 }, { 127, false, 108, 119 },
                           { 5, true, 12, 23 }, { 115, true, 116, 127 } };

    for (const auto& c : cases)
    {
        keys.selectNote (c.note);
        (c.up ? keys.getOctaveUpButton() : keys.getOctaveDownButton()).triggerClick();
        WindowsTest::deliverAsyncUpdates();
        EXPECT_EQ (keys.getKeyboard().getRangeStart(), c.start) << c.note;
        EXPECT_EQ (keys.getKeyboard().getRangeEnd(), c.end) << c.note;
    }
}

// The keyboard finds keys only under a mouse that really is over it: on a desktop.
TEST (MidiPickerOnDisplay, TheSelectedKeyStaysDownAfterAnyRelease)
{
    SKIP_WITHOUT_DISPLAY();
    NoteParameter note (0, "Note", 64);
    MidiNoteSelectKeyboard keys;
    keys.setParameter (&note);
    keys.setHeight (50);
    keys.setVisible (true);
    keys.addToDesktop (0);

    auto& keyboard = keys.getKeyboard();
    const auto c = keyboard.getKeyStartPosition (60) + 2.0f;
    keyboard.mouseDown (WindowsTest::mouseAt (keyboard, (int) c, 45));
    EXPECT_EQ (note.getIntValue(), 60);

    // Released off the keys: nothing under the mouse selects the key again.
    for (auto x : { (int) c, keyboard.getWidth() + 40 })
    {
        keyboard.mouseDown (WindowsTest::mouseAt (keyboard, (int) c, 45));
        keyboard.mouseUp (WindowsTest::mouseAt (keyboard, x, 45));
        EXPECT_TRUE (keys.getKeyboardState().isNoteOn (1, 60)) << x;
    }

    keys.removeFromDesktop();
}

TEST (MidiPickerTest, ChannelAndLearnFollowAndWriteTheirParameters)
{
    WindowsTest::LookAndFeelScope scope;
    NoteParameter note (0, "Note", 60);
    EnumParameter channel (1, "Channel", 3, channelItems());
    BoolParameter learn (2, "Learn", "false");

    MidiNoteAndChannelComponent picker;
    NoteCounter counter;
    picker.addListener (&counter);
    picker.setParameters (&channel, &note, &learn);

    auto& chooser = picker.getChannelChooser().getComboBox();
    EXPECT_EQ (chooser.getButton().getButtonText(), "3");
    EXPECT_EQ (chooser.getMenu().getNumItems(), 17);

    chooser.setSelectedId (16, true);
    EXPECT_EQ (channel.getIntValue(), 16);
    EXPECT_EQ (counter.channels, 1);

    picker.getLearnToggle().triggerClick();
    WindowsTest::deliverAsyncUpdates();
    EXPECT_TRUE (learn.getBoolValue());

    learn.setBoolValue (false, true);
    WindowsTest::deliverAsyncUpdates();
    EXPECT_FALSE (picker.getLearnToggle().getToggleState());
}
