#include "GFXMidiChannelDisplay.h"

GFXMidiChannelDisplay::GFXMidiChannelDisplay (const juce::String& name)
    : GFXKnob (name)
{
}

int GFXMidiChannelDisplay::getChannelForValue (double normalisedValue)
{
    return juce::jlimit (0, 16, (int) std::floor (16.0 * normalisedValue + 0.5));
}

void GFXMidiChannelDisplay::paint (juce::Graphics& g)
{
    const auto value = getValue();

    if (image.isValid())
    {
        // Frame 0 is the disabled look; the values start at frame 1.
        drawFrame (g, isEnabled() ? 1 + (int) std::floor ((framesNum - 2) * value + 0.5) : 0);
        return;
    }

    const auto channel = getChannelForValue (value);

    g.setFont (juce::Font ("Tahoma", juce::jlimit (0.1f, 10000.0f, 0.75f * (float) getHeight()), juce::Font::plain));
    g.setColour (isEnabled() ? juce::Colours::black : juce::Colour::greyLevel (0.7f));
    g.drawRect (getLocalBounds().toFloat(), 1.0f);
    g.drawFittedText (channel == 0 ? juce::String ("ALL") : juce::String (channel),
                      { 3, 0, getWidth() - 6, getHeight() }, juce::Justification::centred, 1, 0.7f);
}
