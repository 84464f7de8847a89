#include "ModalTextEditor.h"

ModalTextEditor::ModalTextEditor (const juce::String& componentName)
    : juce::TextEditor (componentName, 0)
{
    setPopupMenuEnabled (false);
    setSelectAllWhenFocused (true);
    setWantsKeyboardFocus (true);
    addListener (this);
}

ModalTextEditor::~ModalTextEditor()
{
    removeListener (this);
}

void ModalTextEditor::addModalListener (ModalListener* listener)
{
    if (listener != nullptr)
        modalListeners.addIfNotAlreadyThere (listener);
}

void ModalTextEditor::removeModalListener (ModalListener* listener)
{
    modalListeners.removeFirstMatchingValue (listener);
}

void ModalTextEditor::focusGained (FocusChangeType)
{
    if (! isOnDesktop())
    {
        savedText = getText();
        savedBounds = getBounds();
        savedParent = getParentComponent();

        // Inside a host's window the keys may never reach a child component; a window of
        // our own at the same place on the screen receives them itself.
        addToDesktop (juce::ComponentPeer::windowIsTemporary);
        grabKeyboardFocus();
    }

    repaint();
}

void ModalTextEditor::focusLost (FocusChangeType)
{
    const juce::Component::SafePointer<ModalTextEditor> safeThis (this);
    const auto wasEditing = isOnDesktop();

    if (wasEditing && savedParent != nullptr)
    {
        savedParent->addChildComponent (this);
        setBounds (savedBounds);
        setHighlightedRegion ({});
    }

    if (getText() != savedText)
    {
        savedText = getText();
        callModalListeners ([this] (ModalListener& l) { l.modalTextCommitted (*this); });

        if (safeThis == nullptr)
            return;
    }

    if (wasEditing)
    {
        callModalListeners ([this] (ModalListener& l) { l.modalEditFinished (*this); });

        if (safeThis == nullptr)
            return;
    }

    repaint();
}

void ModalTextEditor::textEditorTextChanged (juce::TextEditor&)
{
    callModalListeners ([this] (ModalListener& l) { l.modalTextChanged (*this); });
}

void ModalTextEditor::textEditorReturnKeyPressed (juce::TextEditor&)
{
    endEditing();
}

void ModalTextEditor::textEditorEscapeKeyPressed (juce::TextEditor&)
{
    const juce::Component::SafePointer<ModalTextEditor> safeThis (this);

    setText (savedText, false);
    endEditing();

    if (safeThis != nullptr)
        callModalListeners ([this] (ModalListener& l) { l.modalEditCancelled (*this); });
}

void ModalTextEditor::endEditing()
{
    const juce::Component::SafePointer<ModalTextEditor> safeThis (this);

    focusLost (focusChangedDirectly);

    // Back in its parent the editor would keep the focus, and the next click into it
    // would not start a new edit.
    if (safeThis != nullptr && hasKeyboardFocus (false))
        giveAwayKeyboardFocus();
}

template <typename Callback>
void ModalTextEditor::callModalListeners (Callback&& callback)
{
    // A listener may remove itself or others, or delete this editor, while it is called.
    const juce::Component::SafePointer<ModalTextEditor> safeThis (this);
    const auto listenersNow = modalListeners;

    for (int i = listenersNow.size(); --i >= 0;)
    {
        if (safeThis == nullptr)
            return;

        if (modalListeners.contains (listenersNow.getUnchecked (i)))
            callback (*listenersNow.getUnchecked (i));
    }
}
