#include "CreditsText.h"

namespace
{
    constexpr int restartGap = 5;
}

CreditsText::CreditsText (const juce::String& text)
    : lineCount (juce::StringArray::fromLines (text).size())
{
    if (text.isEmpty())
        lineCount = 0;

    label.setText (text, juce::dontSendNotification);
    label.setColour (juce::Label::backgroundColourId, juce::Colours::black);
    label.setColour (juce::Label::textColourId, juce::Colours::white);
    label.setFont (juce::Font ("Tahoma", "Regular", 13.0f));
    label.setJustificationType (juce::Justification::centredTop);
    label.setInterceptsMouseClicks (false, false);
    addAndMakeVisible (label);
}

CreditsText::~CreditsText()
{
    stopTimer();
}

void CreditsText::addListener (Listener* listener)
{
    listeners.addIfNotAlreadyThere (listener);
}

void CreditsText::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

void CreditsText::restart()
{
    label.setTopLeftPosition (0, getHeight() + restartGap);
}

void CreditsText::resized()
{
    label.setBounds (0, getHeight() + restartGap, getWidth(), static_cast<int> (lineCount * label.getFont().getHeight()));
}

void CreditsText::mouseDown (const juce::MouseEvent&)
{
    for (int i = listeners.size(); --i >= 0;)
        listeners.getUnchecked (i)->creditsClicked (this);
}

void CreditsText::timerCallback()
{
    label.setTopLeftPosition (0, label.getY() - 1);

    if (label.getBottom() < 0)
        restart();
}
