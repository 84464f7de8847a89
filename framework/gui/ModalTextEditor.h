#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A one-line text editor that edits a text in place over another component.

    While it has the keyboard focus it leaves its parent and floats as a temporary
    window at the same place on the screen, so that it gets the keys itself even inside
    a host's window; when editing ends (Return, Escape or the focus going elsewhere) it
    goes back into its parent at its old bounds and tells its modal listeners what came
    of it. An edit starts with the whole text selected, so that typing replaces it.

    While it floats it paints a picture of what lay under it, on an opaque ground: a
    window that lets its parent show through shows black on a display without
    compositing, and nothing promises what it shows elsewhere.
*/
class ModalTextEditor  : public juce::TextEditor,
                         private juce::TextEditor::Listener
{
public:
    /** Told what came of an edit; every operation does nothing by default. */
    class ModalListener
    {
    public:
        virtual ~ModalListener() = default;

        /** The user changed the text while editing. */
        virtual void modalTextChanged (ModalTextEditor&) {}
        /** Editing ended with a text that differs from the one it started with. */
        virtual void modalTextCommitted (ModalTextEditor&) {}
        /** Escape was pressed; the text of the start has been put back. */
        virtual void modalEditCancelled (ModalTextEditor&) {}
        /** The editor is back inside its parent. */
        virtual void modalEditFinished (ModalTextEditor&) {}
    };

    explicit ModalTextEditor (const juce::String& componentName = {});
    ~ModalTextEditor() override;

    /** Adds a listener once. Listeners are called last added first, and may remove
        themselves while they are called.
    */
    void addModalListener (ModalListener* listener);
    void removeModalListener (ModalListener* listener);

    /** True while the editor floats on the desktop for an edit. */
    bool isEditing() const                              { return isOnDesktop(); }

    //==============================================================================
    /** Starts an edit. It takes the place of the text editor's own focus handling, which
        it does not call: the edit's listeners, not the text editor's, hear of its end. */
    void focusGained (FocusChangeType) override;
    /** Ends an edit (also run by Return and Escape); see focusGained. */
    void focusLost (FocusChangeType) override;
    /** @internal */
    void paint (juce::Graphics&) override;

private:
    void textEditorTextChanged (juce::TextEditor&) override;
    void textEditorReturnKeyPressed (juce::TextEditor&) override;
    void textEditorEscapeKeyPressed (juce::TextEditor&) override;

    void endEditing();
    void captureBackdrop();

    template <typename Callback>
    void callModalListeners (Callback&& callback);

    juce::Array<ModalListener*> modalListeners;
    juce::Component::SafePointer<juce::Component> savedParent;
    juce::Rectangle<int> savedBounds;
    juce::String savedText;
    juce::Image backdrop;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModalTextEditor)
};
