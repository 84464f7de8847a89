#pragma once

#include "MidiChannelComboBox.h"
#include "MidiNoteSelectKeyboard.h"

/**
    Picks the note and channel that retrigger something: the channel chooser over a
    one-octave note keyboard, the chosen note's name, and a MIDI-learn toggle.
*/
class MidiNoteAndChannelComponent  : public juce::Component,
                                     public ComboBoxButton::Listener,
                                     public MidiNoteSelectKeyboard::Listener
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void noteChanged (MidiNoteAndChannelComponent*) = 0;
        virtual void channelChanged (MidiNoteAndChannelComponent*) = 0;
    };

    MidiNoteAndChannelComponent();
    ~MidiNoteAndChannelComponent() override;

    /** Binds each control that is not bound yet to its parameter; null ones are skipped. */
    void setParameters (EnumParameter* channel, Parameter* note, Parameter* learn);

    MidiChannelComboBox& getChannelChooser() noexcept   { return channelChooser; }
    MidiNoteSelectKeyboard& getNotePicker() noexcept    { return notePicker; }
    ToolbarDrawableButton& getLearnToggle() noexcept    { return learnToggle; }

    /** The selected note's name with middle C in octave 3 ("C3"); empty for none. */
    juce::String getNoteText() const;
    /** Where the note's name is drawn. */
    juce::Rectangle<int> getReadOutArea() const;

    /** Adds a listener once; null is ignored. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    //==============================================================================
    void selectionChanged (ComboBoxButton*) override;
    void noteChanged (MidiNoteSelectKeyboard*) override;

    /** @internal */
    void paint (juce::Graphics&) override;
    /** @internal */
    void resized() override;
    /** @internal */
    void lookAndFeelChanged() override;

private:
    MidiChannelComboBox channelChooser;
    MidiNoteSelectKeyboard notePicker;
    ToolbarDrawableButton learnToggle;
    HardLabel noteLabel;
    juce::Font readOutFont;
    juce::Array<Listener*> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiNoteAndChannelComponent)
};
