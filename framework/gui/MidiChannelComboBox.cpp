#include "MidiChannelComboBox.h"

#include "EnumParameter.h"

MidiChannelComboBox::MidiChannelComboBox()
    : label ({}, "MIDI channel")
{
    label.setJustificationType (juce::Justification::centredRight);
    fillMenu();
    addAndMakeVisible (label);
    addAndMakeVisible (comboBox);
}

void MidiChannelComboBox::setParameter (EnumParameter* channelParameter)
{
    if (channelParameter == nullptr || comboBox.getParameter() != nullptr)
        return;

    // Binding lists the parameter's own item texts; the chooser shows its own instead.
    comboBox.setItems (*channelParameter);
    fillMenu();
}

void MidiChannelComboBox::fillMenu()
{
    PopupMenuEx channels;
    channels.addItem (0, "All");

    for (int channel = 1; channel <= 16; ++channel)
        channels.addItem (channel, juce::String (channel));

    comboBox.getMenu() = channels;
    comboBox.updateText();
}

void MidiChannelComboBox::resized()
{
    const auto height = getHeight();

    label.resizeToFitText (height);
    label.setTopLeftPosition (0, 0);
    comboBox.changeWidthToFitText (height);
    comboBox.setTopLeftPosition (label.getRight(), 0);
    setSize (label.getWidth() + comboBox.getWidth(), height);
}

void MidiChannelComboBox::lookAndFeelChanged()
{
    label.setColour (juce::Label::textColourId, getLookAndFeel().findColour (juce::Label::textColourId));
}
