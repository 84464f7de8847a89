#include "TextInput.h"

#include "GFXWidgetFactory.h"
#include "SkinLimits.h"
#include "XmlHelpers.h"

TextInput::TextInput (const juce::String& componentName)
    : juce::Component (componentName)
{
    setColour (juce::TextEditor::backgroundColourId, juce::Colour (0xffe3e3e3));
    setColour (juce::TextEditor::textColourId, juce::Colours::black);
    setColour (juce::TextEditor::highlightColourId, juce::Colour (0xffffa500));
    setColour (juce::TextEditor::highlightedTextColourId, juce::Colours::black);
    setColour (juce::TextEditor::outlineColourId, juce::Colours::white);
    setColour (juce::TextEditor::focusedOutlineColourId, juce::Colour (0xffff4500).withAlpha (0.75f));
}

TextInput::~TextInput() = default;

//==============================================================================
void TextInput::setText (const juce::String& newText)
{
    if (text == newText)
        return;

    text = newText;

    if (editor != nullptr)
        editor->setText (text, false);

    repaint();
}

void TextInput::setFont (const juce::Font& newFont)
{
    if (font == newFont)
        return;

    font = newFont;

    if (editor != nullptr)
    {
        editor->setFont (font);
        editor->applyFontToAllText (font);
        updateEditorIndents();
    }

    repaint();
}

void TextInput::setMargin (int newMargin)
{
    if (margin == newMargin)
        return;

    margin = newMargin;

    if (editor != nullptr)
        updateEditorIndents();

    repaint();
}

void TextInput::addListener (ModalTextEditor::ModalListener* listener)
{
    if (listener != nullptr)
        pendingListeners.addIfNotAlreadyThere (listener);
}

void TextInput::startEditing()
{
    if (editor == nullptr)
        createEditor();

    editor->clear();
    editor->setText (text, false);
    editor->moveCaretToEnd();

    editor->setVisible (true);
    editor->toFront (true);
    editor->grabKeyboardFocus();
    repaint();
}

void TextInput::registerTextInputWidgets (GFXWidgetFactory& factory)
{
    factory.registerWidget ("TextInput", [] (const juce::String& name, SkinSource&)
    {
        return std::make_unique<TextInput> (name);
    });
}

//==============================================================================
void TextInput::updateFromParameter (Parameter* changed)
{
    if (changed != nullptr)
        setText (changed->getText());
}

void TextInput::setAction (const juce::String&, int, const juce::String&)
{
}

void TextInput::loadFromXml (juce::XmlElement* element, SkinSource* source)
{
    GUIController::loadFromXml (element, source);

    if (element == nullptr)
        return;

    setText (XmlHelpers::getStringAttribute (*element, "name"));

    const auto editable = XmlHelpers::getStringAttribute (*element, "editable");

    if (editable == "no")
    {
        editOnClick = editOnDoubleClick = false;
        setInterceptsMouseClicks (false, false);
    }
    else if (editable == "onClick" || editable == "onDoubleClick")
    {
        editOnClick = editable == "onClick";
        editOnDoubleClick = ! editOnClick;
        setInterceptsMouseClicks (true, true);
    }

    if (auto* fontElement = XmlHelpers::getChildByName (*element, "font"))
    {
        juce::Font newFont;
        const auto name = XmlHelpers::getStringAttribute (*fontElement, "name");

        if (name.isNotEmpty())
            newFont.setTypefaceName (name);

        newFont.setHeight (SkinLimits::readFontHeight (*fontElement, "height"));

        // Kerning is a share of the height: past a whole height either way it is no text.
        newFont.setExtraKerningFactor ((float) SkinLimits::readDouble (*fontElement, "extraKerning", 0.0, -1.0, 1.0));

        const auto style = XmlHelpers::getStringAttribute (*fontElement, "style", "plain");

        if (style == "plain")
            newFont.setStyleFlags (juce::Font::plain);
        else if (style == "bold")
            newFont.setStyleFlags (juce::Font::bold);

        setFont (newFont);
    }

    static constexpr std::pair<const char*, int> colourAttributes[] =
    {
        { "textColour",            juce::TextEditor::textColourId },
        { "highlightedTextColour", juce::TextEditor::highlightedTextColourId },
        { "caretColour",           juce::CaretComponent::caretColourId },
        { "backgroundColour",      juce::TextEditor::backgroundColourId },
        { "highlightColour",       juce::TextEditor::highlightColourId },
        { "outlineColour",         juce::TextEditor::outlineColourId },
        { "focusedOutlineColour",  juce::TextEditor::focusedOutlineColourId }
    };

    for (const auto& [attribute, colourId] : colourAttributes)
        if (XmlHelpers::hasAttribute (*element, attribute))
            setColour (colourId, juce::Colour ((juce::uint32) XmlHelpers::getStringAttribute (*element, attribute)
                                                                  .getHexValue32()));

    for (auto* child : element->getChildIterator())
    {
        if (XmlHelpers::hasTagName (*child, "pos"))
            setTopLeftPosition (SkinLimits::readCoordinate (*child, "left"),
                                SkinLimits::readCoordinate (*child, "top"));
        else if (XmlHelpers::hasTagName (*child, "size"))
            setSize (SkinLimits::readLength (*child, "width"),
                     SkinLimits::readLength (*child, "height"));
    }
}

//==============================================================================
void TextInput::modalTextChanged (ModalTextEditor& source)
{
    setText (source.getText());
}

void TextInput::modalTextCommitted (ModalTextEditor&)
{
    if (auto* parameter = getParameter())
    {
        parameter->setText (text, true);
        sendValueChanged();
    }
}

void TextInput::modalEditCancelled (ModalTextEditor& source)
{
    setText (source.getText());
}

void TextInput::modalEditFinished (ModalTextEditor&)
{
    editor->setVisible (false);
    repaint();
}

//==============================================================================
void TextInput::mouseDown (const juce::MouseEvent&)
{
    if (editOnClick)
        startEditing();
}

void TextInput::mouseDoubleClick (const juce::MouseEvent&)
{
    if (editOnDoubleClick)
        startEditing();
}

void TextInput::paint (juce::Graphics& g)
{
    const auto editing = isEditorShowing();
    const auto background = findColour (juce::TextEditor::backgroundColourId);
    const auto outline = findColour (editing ? juce::TextEditor::focusedOutlineColourId
                                             : juce::TextEditor::outlineColourId);
    const auto bounds = getLocalBounds().toFloat();

    if (! background.isTransparent())
    {
        g.setColour (background);

        if (! outline.isTransparent())
        {
            g.fillRoundedRectangle (bounds.reduced (1.0f), 3.5f);
            g.setColour (outline);
            g.drawRoundedRectangle (bounds.reduced (0.5f), 3.5f, 1.0f);
        }
        else
        {
            g.fillRoundedRectangle (bounds, 3.5f);
        }
    }
    else if (! outline.isTransparent())
    {
        g.setColour (outline);
        g.drawRoundedRectangle (bounds.reduced (0.5f), 4.0f, 1.0f);
    }

    // While the editor shows, it draws the text itself.
    if (editing)
        return;

    g.setColour (findColour (juce::TextEditor::textColourId));
    g.setFont (font);
    g.drawText (text, juce::Rectangle<int> (margin, 0, getWidth() - 2 * margin, getHeight()),
                justification, false);
}

void TextInput::resized()
{
    if (editor != nullptr)
    {
        editor->setBounds (getLocalBounds());
        updateEditorIndents();
    }
}

void TextInput::colourChanged()
{
    if (editor != nullptr)
        updateEditorColours();

    repaint();
}

//==============================================================================
void TextInput::createEditor()
{
    editor = std::make_unique<ModalTextEditor> (getName());
    editor->addModalListener (this);

    editor->setBounds (getLocalBounds());
    editor->setFont (font);
    editor->applyFontToAllText (font);
    updateEditorColours();
    updateEditorIndents();

    for (auto* listener : pendingListeners)
        editor->addModalListener (listener);

    pendingListeners.clear();
    addChildComponent (*editor);
}

void TextInput::updateEditorColours()
{
    // Inside the field the editor draws only text, caret and selection, over the field's
    // own painting; floating, it paints a picture of the field beneath them itself.
    for (auto id : { (int) juce::CaretComponent::caretColourId, (int) juce::TextEditor::textColourId,
                     (int) juce::TextEditor::highlightedTextColourId, (int) juce::TextEditor::highlightColourId })
    {
        if (isColourSpecified (id))
            editor->setColour (id, findColour (id));
        else
            editor->removeColour (id);
    }

    for (auto id : { juce::TextEditor::backgroundColourId, juce::TextEditor::outlineColourId,
                     juce::TextEditor::focusedOutlineColourId, juce::TextEditor::shadowColourId })
        editor->setColour (id, juce::Colours::transparentBlack);
}

void TextInput::updateEditorIndents()
{
    editor->setIndents (margin - 1, (int) ((float) (getHeight() - font.getHeight()) * 0.5f));
}

bool TextInput::isEditorShowing() const
{
    return editor != nullptr && editor->isVisible();
}
