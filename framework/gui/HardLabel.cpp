#include "HardLabel.h"

HardLabel::HardLabel (const juce::String& componentName, const juce::String& labelText)
    : juce::Label (componentName, labelText)
{
}

void HardLabel::resizeToFitText (int height)
{
    setSize (getTextWidth(), height < 0 ? getHeight() : height);
}

int HardLabel::getTextWidth (const juce::String& text)
{
    const auto font = getLookAndFeel().getLabelFont (*this);
    const auto& measured = text.isEmpty() ? getText() : text;

    return juce::roundToInt (font.getStringWidthFloat (measured)) + getBorderSize().getLeftAndRight();
}

void HardLabel::paint (juce::Graphics& g)
{
    if (auto* methods = dynamic_cast<LookAndFeelMethods*> (&getLookAndFeel()))
        methods->drawHardLabel (g, *this);
    else
        getLookAndFeel().drawLabel (g, *this);
}
