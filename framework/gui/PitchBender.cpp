#include "PitchBender.h"

PitchBender::PitchBender (const juce::String& name)
    : GFXKnob (name)
{
    setRange (-1.0, 1.0, 0.0);
    setValue (0.0, juce::dontSendNotification);
}

void PitchBender::updateFromParameter (Parameter* changed)
{
    if (changed != nullptr)
        setValue (2.0 * changed->getNormalisedValue() - 1.0, juce::dontSendNotification);
}

void PitchBender::valueChanged()
{
    if (auto* linked = getParameter())
    {
        linked->setNormalisedValue ((float) ((getValue() + 1.0) * 0.5), true);
        sendValueChanged();
    }
}
