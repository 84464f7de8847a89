#include "DisplayForWindows.h"
#include "ModalTextEditor.h"

#include <gtest/gtest.h>

namespace
{
    struct RecordingListener  : public ModalTextEditor::ModalListener
    {
        void modalTextChanged (ModalTextEditor&) override    { calls.add ("changed"); }
        void modalTextCommitted (ModalTextEditor& e) override { calls.add ("committed:" + e.getText()); }
        void modalEditCancelled (ModalTextEditor&) override  { calls.add ("cancelled"); }
        void modalEditFinished (ModalTextEditor&) override   { calls.add ("finished"); }

        juce::StringArray calls;
    };

    void pumpMessages()
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (30);
    }

    void type (juce::TextEditor& editor, const juce::String& keys)
    {
        for (auto c : keys)
            editor.keyPressed (juce::KeyPress (0, juce::ModifierKeys(), c));

        pumpMessages();
    }

    void press (juce::TextEditor& editor, int keyCode)
    {
        editor.keyPressed (juce::KeyPress (keyCode));
        pumpMessages();
    }
}

// Display: the editor floats as a window of its own while it has the keyboard focus.
TEST (ModalTextEditorOnDisplay, ReportsChangesCommitsAndCancelsAndReturnsToItsParent)
{
    SKIP_WITHOUT_DISPLAY();

    enum Ending { returnKey, escapeKey, focusElsewhere };
    struct Case { const char* what; const char* typed; Ending ending; juce::StringArray expected; const char* finalText; };
    const Case cases[] =
    {
        { "typed then Return", "ab", returnKey, { "changed", "changed", "committed:Initab", "finished" }, "Initab" },
        { "Return without a change", "", returnKey, { "finished" }, "Init" },
        { "typed then Escape", "ab", escapeKey, { "changed", "changed", "finished", "cancelled" }, "Init" },
        { "typed then the focus goes elsewhere", "x", focusElsewhere, { "changed", "committed:Initx", "finished" },
          "Initx" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);

        juce::Component window, elsewhere;
        window.setBounds (100, 100, 300, 100);
        elsewhere.setWantsKeyboardFocus (true);
        window.addAndMakeVisible (elsewhere);
        elsewhere.setBounds (0, 60, 300, 40);

        ModalTextEditor editor ("field");
        window.addAndMakeVisible (editor);
        editor.setBounds (10, 20, 200, 24);
        editor.setText ("Init", false);

        window.addToDesktop (0);
        window.setVisible (true);
        pumpMessages();

        RecordingListener listener;
        editor.addModalListener (&listener);

        editor.grabKeyboardFocus();
        pumpMessages();
        ASSERT_TRUE (editor.isEditing());
        EXPECT_EQ (editor.getParentComponent(), nullptr);

        editor.moveCaretToEnd();
        type (editor, c.typed);

        if (c.ending == returnKey)
            press (editor, juce::KeyPress::returnKey);
        else if (c.ending == escapeKey)
            press (editor, juce::KeyPress::escapeKey);
        else
            elsewhere.grabKeyboardFocus();

        pumpMessages();

        EXPECT_EQ (listener.calls, c.expected);
        EXPECT_EQ (editor.getText(), c.finalText);
        EXPECT_FALSE (editor.isEditing());
        EXPECT_EQ (editor.getParentComponent(), &window);
        EXPECT_EQ (editor.getBounds(), juce::Rectangle<int> (10, 20, 200, 24));

        // The committed text is the new reference: a second edit without a change commits nothing.
        listener.calls.clear();
        editor.grabKeyboardFocus();
        pumpMessages();
        ASSERT_TRUE (editor.isEditing());
        press (editor, juce::KeyPress::returnKey);
        EXPECT_EQ (listener.calls, juce::StringArray ("finished"));

        editor.removeModalListener (&listener);
        window.removeFromDesktop();
    }
}

// The edit's own focus handling stands in for the text editor's: the text editor's focus-loss
// notification never reaches a listener of the text editor.
TEST (ModalTextEditor, EndsAnEditWithoutTheTextEditorsOwnFocusNotification)
{
    struct FocusListener  : public juce::TextEditor::Listener
    {
        void textEditorFocusLost (juce::TextEditor&) override { ++focusLost; }
        int focusLost = 0;
    };

    juce::Component parent;
    ModalTextEditor editor ("edit");
    parent.addAndMakeVisible (editor);
    editor.setText ("Init", false);
    FocusListener listener;
    editor.addListener (&listener);
    RecordingListener modal;
    editor.addModalListener (&modal);

    type (editor, "x");
    press (editor, juce::KeyPress::returnKey);
    EXPECT_EQ (modal.calls, juce::StringArray ({ "changed", "committed:Initx" }));
    EXPECT_EQ (listener.focusLost, 0);
    editor.removeListener (&listener);
}
