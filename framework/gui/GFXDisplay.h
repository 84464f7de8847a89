#pragma once

#include "GUIController.h"

/**
    A one-line text field drawn from a bitmap font (skin tag "Display"): a strip of
    glyphs, one per character code, followed by a highlighted copy of the set that
    marks the character under the caret. It shows its linked parameter's text and
    lets the user type a new one.

    Hosts often keep keyboard input from a plug-in's editor, so while it is edited
    the field leaves its panel for a temporary window of its own at the same place
    on the screen, and returns when the focus goes.
*/
class GFXDisplay  : public GUIController,
                    public juce::Component,
                    private juce::Timer
{
public:
    /** Told when an edit ended with a text other than the one it began with. */
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void displayTextChanged (GFXDisplay* display) = 0;
    };

    explicit GFXDisplay (const juce::String& name);
    ~GFXDisplay() override = default;

    using GUIController::addListener;
    using GUIController::removeListener;
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    void updateFromParameter (Parameter* changed) override;
    void loadFromXml (juce::XmlElement* element, SkinSource* source) override;
    void blinkStateChanged() override;

    void setText (const juce::String& newText);
    juce::String getText() const                        { return text; }

    /** Takes a glyph strip chosen in code (normal set, then highlighted set). */
    void setFontImage (const juce::Image& newImage, int newFontHeight, int newFirstASCII);

    int getCharWidth() const noexcept                   { return charWidth; }
    int getFirstASCII() const noexcept                  { return firstASCII; }
    int getLastASCII() const noexcept                   { return lastASCII; }
    int getCaretPosition() const noexcept               { return caretPosition; }
    int getScrollOffset() const noexcept                { return scrollOffset; }

    /** Centres a text shorter than the field (off by default). */
    bool centreShortText = false;
    /** Highlights the glyph under the caret (on by default). */
    bool showCaret = true;

    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void focusGained (FocusChangeType cause) override;
    /** @internal */
    void focusLost (FocusChangeType cause) override;
    /** @internal */
    bool keyPressed (const juce::KeyPress& key) override;

private:
    void timerCallback() override;
    void updateGlyphRange();
    void scrollToCaret();
    void endEditing();

    juce::Image fontImage;
    int charWidth = 8, fontHeight = 0, firstASCII = 32, lastASCII = 160, charCount = 0;
    bool caretVisible = false;
    int caretPosition = 0, scrollOffset = 0;
    juce::Array<Listener*> displayListeners;
    juce::String shownText, textBeforeEdit;
    juce::Component::SafePointer<juce::Component> parentBeforeEdit;
    juce::Rectangle<int> boundsBeforeEdit;
    juce::String text;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GFXDisplay)
};
