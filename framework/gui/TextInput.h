#pragma once

#include "GUIController.h"
#include "ModalTextEditor.h"

class GFXWidgetFactory;

/**
    A one-line text field that draws its text itself and, when the user asks to edit,
    lays a ModalTextEditor over itself for the typing.

    It is a skin widget (tag "TextInput"), where it can show and set a text parameter,
    and a field that windows build in code. Its colours are JUCE's TextEditor colour
    ids in its own colour table.
*/
class TextInput  : public juce::Component,
                   public GUIController,
                   public ModalTextEditor::ModalListener
{
public:
    explicit TextInput (const juce::String& componentName);
    ~TextInput() override;

    /** Shows another text (and hands it to the editor); the same text does nothing. */
    void setText (const juce::String& newText);
    const juce::String& getText() const noexcept        { return text; }

    void setFont (const juce::Font& newFont);
    const juce::Font& getFont() const noexcept          { return font; }

    /** The space left and right of the text. */
    void setMargin (int newMargin);

    /** Adds a listener of the editor's outcome, once. The editor is made at the first
        edit; listeners added before then are handed to it then.
    */
    void addListener (ModalTextEditor::ModalListener* listener);
    using GUIController::addListener;

    /** Opens the editor over the field with the current text, the caret at its end. */
    void startEditing();

    /** The editor, or null before the first edit. */
    ModalTextEditor* getEditor() const noexcept         { return editor.get(); }

    /** Makes the widget for the skin's "TextInput" elements. */
    static void registerTextInputWidgets (GFXWidgetFactory& factory);

    //==============================================================================
    void updateFromParameter (Parameter* changed) override;
    void setAction (const juce::String& type, int uid, const juce::String& eventName) override;
    void loadFromXml (juce::XmlElement* element, SkinSource* source) override;

    void modalTextChanged (ModalTextEditor&) override;
    void modalTextCommitted (ModalTextEditor&) override;
    void modalEditCancelled (ModalTextEditor&) override;
    void modalEditFinished (ModalTextEditor&) override;

    /** @internal */
    void mouseDown (const juce::MouseEvent&) override;
    /** @internal */
    void mouseDoubleClick (const juce::MouseEvent&) override;
    /** @internal */
    void paint (juce::Graphics&) override;
    /** @internal */
    void resized() override;
    /** @internal */
    void colourChanged() override;

private:
    void createEditor();
    void updateEditorColours();
    void updateEditorIndents();
    bool isEditorShowing() const;

    juce::Array<ModalTextEditor::ModalListener*> pendingListeners;
    juce::String text;
    std::unique_ptr<ModalTextEditor> editor;
    juce::Font font { "Tahoma", 13.0f, juce::Font::plain };
    juce::Justification justification { juce::Justification::centredLeft };
    int margin = 5;
    bool editOnClick = true;
    bool editOnDoubleClick = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextInput)
};
