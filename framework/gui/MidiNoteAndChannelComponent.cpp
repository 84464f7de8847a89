#include "MidiNoteAndChannelComponent.h"

#include "DefaultLookAndFeel.h"
#include "EnumParameter.h"

namespace
{
    constexpr int chooserHeight = 18;
    constexpr int readOutWidth = 30;
    constexpr int learnIcon = 20;
}

MidiNoteAndChannelComponent::MidiNoteAndChannelComponent()
    : learnToggle ("MIDI learn"),
      noteLabel ({}, "Note:")
{
    if (auto icon = getStandardIcon (learnIcon))
    {
        // The toggle's red background shows learning; a red icon would vanish on it.
        icon->replaceColour (juce::Colours::red, juce::Colours::black);
        learnToggle.setImages (icon.get());
    }

    learnToggle.setSize (chooserHeight, chooserHeight);
    learnToggle.setClickingTogglesState (true);
    learnToggle.setColour (juce::TextButton::buttonOnColourId, juce::Colours::red);

    noteLabel.setJustificationType (juce::Justification::centredRight);

    channelChooser.getComboBox().addListener (this);
    notePicker.addListener (this);

    addAndMakeVisible (channelChooser);
    addAndMakeVisible (notePicker);
    addAndMakeVisible (learnToggle);
    addAndMakeVisible (noteLabel);
    lookAndFeelChanged();
}

MidiNoteAndChannelComponent::~MidiNoteAndChannelComponent()
{
    channelChooser.getComboBox().removeListener (this);
    notePicker.removeListener (this);
}

void MidiNoteAndChannelComponent::setParameters (EnumParameter* channel, Parameter* note, Parameter* learn)
{
    channelChooser.setParameter (channel);
    notePicker.setParameter (note);
    learnToggle.setParameter (learn);
}

juce::String MidiNoteAndChannelComponent::getNoteText() const
{
    const auto note = notePicker.getSelectedNote();

    if (! juce::isPositiveAndBelow (note, 128))
        return {};

    return juce::MidiMessage::getMidiNoteName (note, true, true, 3);
}

juce::Rectangle<int> MidiNoteAndChannelComponent::getReadOutArea() const
{
    return { noteLabel.getRight(), noteLabel.getY(), readOutWidth, noteLabel.getHeight() };
}

void MidiNoteAndChannelComponent::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void MidiNoteAndChannelComponent::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

//==============================================================================
void MidiNoteAndChannelComponent::selectionChanged (ComboBoxButton*)
{
    for (int i = listeners.size(); --i >= 0;)
        listeners.getUnchecked (i)->channelChanged (this);
}

void MidiNoteAndChannelComponent::noteChanged (MidiNoteSelectKeyboard*)
{
    repaint (getReadOutArea());

    for (int i = listeners.size(); --i >= 0;)
        listeners.getUnchecked (i)->noteChanged (this);
}

void MidiNoteAndChannelComponent::paint (juce::Graphics& g)
{
    g.setFont (readOutFont);
    g.setColour (findColour (juce::Label::textColourId));
    g.drawText (getNoteText(), getReadOutArea(), juce::Justification::centredLeft, true);
}

void MidiNoteAndChannelComponent::resized()
{
    noteLabel.resizeToFitText (chooserHeight);
    channelChooser.setSize (channelChooser.getWidth(), chooserHeight);

    notePicker.setHeight (50);
    notePicker.setTopLeftPosition (0, chooserHeight + 3);

    const auto keysEnd = notePicker.getRight() - MidiNoteSelectKeyboard::buttonSize;
    channelChooser.setTopLeftPosition (keysEnd - channelChooser.getWidth(), 0);
    learnToggle.setTopLeftPosition (keysEnd - learnToggle.getWidth(), notePicker.getBottom() + 3);

    const auto lineWidth = noteLabel.getWidth() + readOutWidth;
    const auto space = notePicker.getWidth() - learnToggle.getWidth();
    noteLabel.setTopLeftPosition (notePicker.getX() + (space - lineWidth) / 2, learnToggle.getY());

    setSize (notePicker.getWidth(), learnToggle.getBottom());
}

void MidiNoteAndChannelComponent::lookAndFeelChanged()
{
    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
        readOutFont = lf->getStandardFont();

    noteLabel.setColour (juce::Label::textColourId, getLookAndFeel().findColour (juce::Label::textColourId));
    resized();
}
