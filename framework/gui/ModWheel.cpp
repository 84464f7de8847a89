#include "ModWheel.h"

ModWheel::ModWheel (const juce::String& name)
    : GFXKnob (name)
{
}

void ModWheel::stoppedDragging()
{
    GFXKnob::stoppedDragging();

    // Asynchronous, so the parameter hears of the return after the gesture ended.
    setValue (0.0, juce::sendNotificationAsync);
}
