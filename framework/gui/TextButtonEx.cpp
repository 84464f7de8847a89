#include "TextButtonEx.h"

#include "DefaultLookAndFeel.h"

TextButtonEx::TextButtonEx (const juce::String& name)
    : juce::Button (name)
{
    setButtonText (name);
    textWidth = (int) font.getStringWidthFloat (getButtonText());
    lookAndFeelChanged();
    applyGeometry();
}

void TextButtonEx::setImages (const juce::Image& image1, const juce::Image& image2, const juce::Image& image3,
                              const juce::Image& image4, const juce::Image& image5, const juce::Image& image6,
                              const juce::Image& image7)
{
    // A null image has a size of 0 x 0, so a missing piece simply takes no room.
    leftMargin = image1.getWidth();
    rightMargin = image3.getWidth();
    height = image1.getHeight();
    images = { image1, image2, image3, image4, image5, image6, image7 };
    applyGeometry();
}

void TextButtonEx::updateTextWidth()
{
    const auto measured = (int) font.getStringWidthFloat (getButtonText());

    if (measured != textWidth)
    {
        textWidth = measured;
        applyGeometry();
    }
}

void TextButtonEx::lookAndFeelChanged()
{
    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        font = lf->getStandardFont();
        updateTextWidth();
        lf->styleTextButtonEx (*this, style);
    }
}

void TextButtonEx::paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    const auto pressed = isButtonDown || getToggleState();
    const auto area = getLocalBounds().reduced (3, 4).toFloat();

    g.setColour (pressed ? juce::Colour (0xffff6c00)
                         : (isMouseOver ? juce::Colour (0xffff9648) : juce::Colour (0xffe0e0e0)));
    g.fillRect (area);
    g.setColour (pressed ? juce::Colour (0xffe0e0e0) : juce::Colour (0xffa0a0a0));
    g.drawRect (area, 1.0f);

    g.setFont (font.withStyle (font.getStyleFlags() & ~juce::Font::bold));
    g.setColour (juce::Colours::black);
    g.drawText (getButtonText(), juce::Rectangle<int> (leftMargin, 0, textWidth, height),
                juce::Justification::centredLeft, false);
}

void TextButtonEx::applyGeometry()
{
    setBounds (getX(), getY(), leftMargin + rightMargin + textWidth, height);
}
