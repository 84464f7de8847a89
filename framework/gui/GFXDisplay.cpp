#include "GFXDisplay.h"

#include "SkinSource.h"
#include "SkinLimits.h"
#include "XmlHelpers.h"

GFXDisplay::GFXDisplay (const juce::String& name)
    : juce::Component (name)
{
    setOpaque (true);
    setWantsKeyboardFocus (true);
    startTimer (250);
}

void GFXDisplay::addListener (Listener* listener)
{
    if (listener != nullptr)
        displayListeners.addIfNotAlreadyThere (listener);
}

void GFXDisplay::removeListener (Listener* listener)
{
    displayListeners.removeFirstMatchingValue (listener);
}

void GFXDisplay::updateFromParameter (Parameter* changed)
{
    if (changed != nullptr)
        setText (changed->getText());
}

void GFXDisplay::setText (const juce::String& newText)
{
    text = shownText = newText;
    repaint();
}

//==============================================================================
static juce::Colour colourFromSkin (const juce::String& argbText)
{
    return juce::Colour ((juce::uint32) argbText.getHexValue32());
}

void GFXDisplay::loadFromXml (juce::XmlElement* element, SkinSource* source)
{
    GUIController::loadFromXml (element, source);

    if (element == nullptr)
        return;

    setText (XmlHelpers::getStringAttribute (*element, "name"));
    setColour (juce::CaretComponent::caretColourId, colourFromSkin (XmlHelpers::getStringAttribute (*element, "caretColour", "0")));
    setColour (juce::TextEditor::backgroundColourId, colourFromSkin (XmlHelpers::getStringAttribute (*element, "backgroundColour", "0")));

    if (XmlHelpers::getStringAttribute (*element, "readonly", "no") == "yes")
        setEnabled (false);

    for (auto* child : element->getChildIterator())
    {
        if (XmlHelpers::hasTagName (*child, "gfx"))
        {
            const auto resource = XmlHelpers::getStringAttribute (*child, "resource");
            const auto loaded = source != nullptr ? source->loadImage (resource) : juce::Image();

            if (loaded.isValid())
                fontImage = loaded;

            fontHeight = SkinLimits::readInt (*child, "fontHeight", 0, 0, SkinLimits::maxFontHeight);
            firstASCII = (int) XmlHelpers::getStringAttribute (*child, "firstASCII", " ")[0];
            updateGlyphRange();
        }
        else if (XmlHelpers::hasTagName (*child, "pos"))
        {
            setTopLeftPosition (SkinLimits::readCoordinate (*child, "left"), SkinLimits::readCoordinate (*child, "top"));
        }
        else if (XmlHelpers::hasTagName (*child, "size"))
        {
            setSize (SkinLimits::readLength (*child, "width"), SkinLimits::readLength (*child, "height"));
        }
    }

    updateGlyphRange();
}

void GFXDisplay::setFontImage (const juce::Image& newImage, int newFontHeight, int newFirstASCII)
{
    fontImage = newImage;
    fontHeight = newFontHeight;
    firstASCII = newFirstASCII;
    updateGlyphRange();
}

void GFXDisplay::updateGlyphRange()
{
    if (fontImage.isValid())
    {
        charWidth = fontImage.getWidth();
        // A strip cut short shows its whole glyphs only.
        lastASCII = fontHeight < 1 ? firstASCII : fontImage.getHeight() / (fontHeight * 2) + firstASCII - 1;
        charCount = lastASCII - firstASCII + 1;
    }

    repaint();
}

//==============================================================================
void GFXDisplay::paint (juce::Graphics& g)
{
    g.fillAll (findColour (juce::TextEditor::backgroundColourId));

    if (! fontImage.isValid())
    {
        g.setColour (juce::Colours::black);
        g.drawText (shownText, getLocalBounds(), juce::Justification::centredLeft, true);
        return;
    }

    if (charWidth < 1 || fontHeight < 1)
        return;

    const auto y = (getHeight() - fontHeight) / 2;
    const auto cells = getWidth() / charWidth;
    const auto x0 = (getWidth() - cells * charWidth) / 2;
    const auto caretShown = showCaret && caretVisible && hasKeyboardFocus (false);
    const auto length = shownText.length();

    auto i = scrollOffset;

    if (centreShortText && cells > length)
        i -= (cells - length) / 2;

    for (int cell = 0; cell < cells; ++cell, ++i)
    {
        // Codes beyond 127 count as negative, as the glyph strips were drawn for 8-bit text.
        const auto c = (int) (signed char) (0 <= i && i < length ? shownText[i] : ' ');
        const auto glyph = c < firstASCII ? 0 : juce::jmin (c, lastASCII) - firstASCII;
        auto sourceY = glyph * fontHeight;

        if (caretShown && i == caretPosition)
            sourceY += charCount * fontHeight;

        g.drawImage (fontImage, x0 + cell * charWidth, y, charWidth, fontHeight, 0, sourceY, charWidth, fontHeight);
    }
}

//==============================================================================
void GFXDisplay::focusGained (FocusChangeType cause)
{
    if (! isOnDesktop())
    {
        auto* parent = getParentComponent();

        if (cause == focusChangedByMouseClick && parent != nullptr)
        {
            caretPosition = text.length();
            scrollToCaret();
            startTimer (500);
            textBeforeEdit = text;
            parentBeforeEdit = parent;
            boundsBeforeEdit = getBounds();

            const auto screenBounds = getScreenBounds();
            parent->removeChildComponent (this);
            setBounds (screenBounds);
            addToDesktop (juce::ComponentPeer::windowIsTemporary);
            setVisible (true);
            grabKeyboardFocus();
        }
        else
        {
            moveKeyboardFocusToSibling (true);
        }
    }

    repaint();
}

void GFXDisplay::focusLost (FocusChangeType)
{
    endEditing();
}

void GFXDisplay::endEditing()
{
    if (isOnDesktop() && parentBeforeEdit != nullptr)
    {
        caretPosition = scrollOffset = 0;
        scrollToCaret();
        removeFromDesktop();
        setBounds (boundsBeforeEdit);
        parentBeforeEdit->addAndMakeVisible (this);
        stopTimer();
        moveKeyboardFocusToSibling (true);
    }

    if (text != textBeforeEdit)
    {
        // Later edits compare with what the listeners have now been told.
        textBeforeEdit = text;

        for (int i = displayListeners.size(); --i >= 0;)
            if (auto* listener = displayListeners[i])
                listener->displayTextChanged (this);
    }

    repaint();
}

bool GFXDisplay::keyPressed (const juce::KeyPress& key)
{
    const auto plain = ! (key.getModifiers().isShiftDown() || key.getModifiers().isCtrlDown() || key.getModifiers().isAltDown());
    const auto code = key.getKeyCode();

    if (plain && code == juce::KeyPress::returnKey)
    {
        endEditing();
        return true;
    }

    if (plain && code == juce::KeyPress::escapeKey)
    {
        setText (textBeforeEdit);
        endEditing();
        return true;
    }

    if (plain && code == juce::KeyPress::backspaceKey)
    {
        if (caretPosition > 0)
            setText (text.substring (0, caretPosition - 1) + text.substring (caretPosition));

        --caretPosition;
    }
    else if (plain && code == juce::KeyPress::deleteKey)
        setText (text.substring (0, caretPosition) + text.substring (caretPosition + 1));
    else if (plain && code == juce::KeyPress::homeKey)
        caretPosition = 0;
    else if (plain && code == juce::KeyPress::endKey)
        caretPosition = text.length();
    else if (plain && code == juce::KeyPress::leftKey)
        --caretPosition;
    else if (plain && code == juce::KeyPress::rightKey)
        ++caretPosition;
    else if (firstASCII <= code && code <= lastASCII && key.getTextCharacter() != 0)
    {
        setText (text.substring (0, caretPosition) + juce::String::charToString (key.getTextCharacter())
                 + text.substring (caretPosition));
        ++caretPosition;
    }

    caretPosition = juce::jlimit (0, text.length(), caretPosition);
    scrollToCaret();
    startTimer (500);
    caretVisible = true;
    repaint();
    return true;
}

void GFXDisplay::scrollToCaret()
{
    const auto cells = charWidth > 0 ? getWidth() / charWidth : 0;
    const auto leftOfCaret = juce::jmax (0, caretPosition - 1);

    if (cells - 1 + scrollOffset >= caretPosition + 1)
    {
        if (scrollOffset >= caretPosition)
            scrollOffset = leftOfCaret;
    }
    else
    {
        scrollOffset = caretPosition + 1 - cells + (caretPosition < text.length() ? 1 : 0);

        if (scrollOffset >= caretPosition)
            scrollOffset = leftOfCaret;
    }
}

void GFXDisplay::timerCallback()
{
    if (hasKeyboardFocus (true))
    {
        caretVisible = ! caretVisible;
        repaint();
    }
}

void GFXDisplay::blinkStateChanged()
{
    shownText = isInDarkBlinkPhase() ? juce::String() : text;
    repaint();
}
