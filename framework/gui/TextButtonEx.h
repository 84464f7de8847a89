#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A flat text button of the framework's windows whose width follows its text.

    Under DefaultLookAndFeel the look-and-feel gives it its font and styles it through
    setImages(), whose images set the margins and the height; under any other
    look-and-feel it keeps JUCE's default font and a 10 + text + 10 by 20 geometry.
*/
class TextButtonEx  : public juce::Button
{
public:
    explicit TextButtonEx (const juce::String& name);

    /** Takes seven images from the look-and-feel: the first one's width and height give
        the left margin and the height, the third one's width the right margin.
    */
    void setImages (const juce::Image& image1, const juce::Image& image2, const juce::Image& image3,
                    const juce::Image& image4, const juce::Image& image5, const juce::Image& image6,
                    const juce::Image& image7);

    /** Measures the text again and, when its width changed, resizes the button. */
    void updateTextWidth();

    /** The number the look-and-feel is given when it styles the button. */
    int getStyle() const noexcept                       { return style; }

    int getTextWidth() const noexcept                   { return textWidth; }
    int getLeftMargin() const noexcept                  { return leftMargin; }
    int getRightMargin() const noexcept                 { return rightMargin; }
    const juce::Font& getFont() const noexcept          { return font; }
    const juce::Image& getImage (int index) const       { return images[(size_t) index]; }

    //==============================================================================
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void paintButton (juce::Graphics&, bool isMouseOver, bool isButtonDown) override;

private:
    void applyGeometry();

    std::array<juce::Image, 7> images;
    int textWidth = 0;
    int leftMargin = 10;
    int rightMargin = 10;
    int height = 20;
    juce::Font font;
    int style = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextButtonEx)
};
