#include "RadioButton.h"

#include "DefaultLookAndFeel.h"

RadioButton::RadioButton (const juce::String& text)
    : juce::TextButton (text)
{
    setClickingTogglesState (true);
    setWantsKeyboardFocus (false);
}

void RadioButton::resizeToFitText()
{
    const auto height = 18;
    const auto font = getLookAndFeel().getTextButtonFont (*this, height);
    setSize (juce::roundToInt (font.getStringWidthFloat (getButtonText()) + 1.2f * height), height);
}

void RadioButton::paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    const auto height = static_cast<float> (getHeight());

    auto base = findColour (juce::TextButton::buttonColourId)
                    .withMultipliedSaturation (hasKeyboardFocus (false) ? 1.3f : 0.9f)
                    .withMultipliedAlpha (isEnabled() ? 0.9f : 0.5f);

    if (isButtonDown)
        base = base.contrasting (0.2f);
    else if (isMouseOver)
        base = base.contrasting (0.1f);

    const auto sphere = juce::Rectangle<float> (0.0f, 0.0f, height, height).reduced (2.0f);

    juce::ColourGradient shade (base.brighter (0.2f), sphere.getCentreX(), sphere.getY(),
                                base.darker (0.25f), sphere.getCentreX(), sphere.getBottom(), false);
    g.setGradientFill (shade);
    g.fillEllipse (sphere);

    // The glass highlight: a pale cap over the sphere's upper half.
    const auto cap = sphere.reduced (sphere.getWidth() * 0.2f, 0.0f)
                           .withTrimmedTop (1.0f).withHeight (sphere.getHeight() * 0.45f);
    g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.75f), cap.getCentreX(), cap.getY(),
                                             juce::Colours::white.withAlpha (0.0f), cap.getCentreX(), cap.getBottom(), false));
    g.fillEllipse (cap);

    g.setColour (juce::Colours::black.withAlpha (0.5f * base.getFloatAlpha()));
    g.drawEllipse (sphere, 0.7f);

    // The chosen one is lit in the accent, as the lamps are: a dark dot read as the one
    // switched off on the dark windows that use these buttons.
    if (getToggleState())
    {
        const auto lit = findColour (DefaultLookAndFeel::accentColourId).withMultipliedAlpha (base.getFloatAlpha());
        const auto disc = juce::Rectangle<float> (0.0f, 0.0f, height, height).reduced (height * 0.25f);

        g.setColour (lit.withMultipliedAlpha (0.35f));
        g.fillEllipse (disc.expanded (1.5f));
        g.setGradientFill (juce::ColourGradient (lit.brighter (0.5f), disc.getCentreX(), disc.getY() + disc.getHeight() * 0.3f,
                                                 lit, disc.getCentreX(), disc.getBottom(), true));
        g.fillEllipse (disc);
    }

    auto textColour = findColour (juce::Label::textColourId);

    if (! isEnabled())
        textColour = textColour.withMultipliedAlpha (0.5f);

    g.setColour (textColour);
    g.setFont (getLookAndFeel().getTextButtonFont (*this, getHeight()));
    g.drawText (getButtonText(),
                getLocalBounds().withTrimmedLeft (juce::roundToInt (1.2f * height)).expanded (2, 0),
                juce::Justification::centredLeft, true);
}
