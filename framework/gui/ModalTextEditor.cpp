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
        setOpaque (true);
        addToDesktop (juce::ComponentPeer::windowIsTemporary);
        captureBackdrop();
        grabKeyboardFocus();

        // The text editor's own focus handling, which this replaces, would select it all.
        selectAll();
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
        setOpaque (false);
        backdrop = {};
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

void ModalTextEditor::paint (juce::Graphics& g)
{
    if (isOnDesktop())
    {
        // Under a picture with see-through parts, a ground that the text reads on.
        g.fillAll (findColour (textColourId).contrasting (1.0f));
        g.drawImage (backdrop, getLocalBounds().toFloat());
    }

    juce::TextEditor::paint (g);
}

void ModalTextEditor::captureBackdrop()
{
    backdrop = {};

    if (savedParent == nullptr)
        return;

    // Taken once the editor has left its parent, so that the picture holds the field
    // as it looks while edited, and not the editor itself.
    auto* top = savedParent->getTopLevelComponent();
    const auto area = top->getLocalArea (savedParent, savedBounds);
    auto scale = juce::Component::getApproximateScaleFactorForComponent (savedParent);

    if (auto* display = juce::Desktop::getInstance().getDisplays().getDisplayForRect (getScreenBounds()))
        scale *= (float) display->scale;

    if (! area.isEmpty())
        backdrop = top->createComponentSnapshot (area, true, scale);
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
