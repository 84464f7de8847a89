#include "NumericDisplaySign.h"

NumericDisplaySign::NumericDisplaySign (int width, int height, const juce::Image& signImage)
    : image (signImage)
{
    setInterceptsMouseClicks (false, false);
    setSize (width, height);
}

void NumericDisplaySign::setNegative (bool shouldBeNegative)
{
    if (shouldBeNegative != negative)
    {
        negative = shouldBeNegative;
        repaint();
    }
}

void NumericDisplaySign::paint (juce::Graphics& g)
{
    const auto dark = ! isEnabled() || isInDarkBlinkPhase();

    if (image.isValid())
    {
        const auto frameHeight = image.getHeight() / 2;
        const auto frame = ! dark && negative ? 1 : 0;
        g.drawImage (image, 0, 0, getWidth(), getHeight(), 0, frame * frameHeight, image.getWidth(), frameHeight);
        return;
    }

    if (dark)
    {
        g.fillAll (juce::Colours::black);
        return;
    }

    g.fillAll (juce::Colours::white);

    if (negative)
    {
        g.setColour (juce::Colours::black);
        g.setFont (juce::Font ((float) getHeight()));
        g.drawFittedText ("-", getLocalBounds(), juce::Justification::centred, 1, 0.7f);
    }
}
