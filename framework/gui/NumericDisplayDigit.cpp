#include "NumericDisplayDigit.h"

NumericDisplayDigit::NumericDisplayDigit (int width, int height, bool isIntegerPlace, const juce::Image& digitImage)
    : integerPlace (isIntegerPlace), image (digitImage)
{
    setInterceptsMouseClicks (false, false);
    setSize (width, height);
}

void NumericDisplayDigit::setDigit (int newDigit, bool shouldBeBlank)
{
    if (newDigit != digit || shouldBeBlank != blank)
    {
        digit = newDigit;
        blank = shouldBeBlank;
        repaint();
    }
}

void NumericDisplayDigit::paint (juce::Graphics& g)
{
    const auto dark = ! isEnabled() || isInDarkBlinkPhase();

    if (image.isValid())
    {
        const auto frameHeight = image.getHeight() / 11;
        const auto frame = dark || blank ? 0 : juce::jlimit (1, 10, digit + 1);
        g.drawImage (image, 0, 0, getWidth(), getHeight(), 0, frame * frameHeight, image.getWidth(), frameHeight);
        return;
    }

    if (dark)
    {
        g.fillAll (juce::Colours::black);
        return;
    }

    g.fillAll (integerPlace ? juce::Colours::white : juce::Colour (0xffcccccc));

    if (! blank)
    {
        g.setColour (juce::Colours::black);
        g.setFont (juce::Font ((float) getHeight()));
        g.drawFittedText (juce::String (digit), getLocalBounds(), juce::Justification::centred, 1, 0.7f);
    }
}
