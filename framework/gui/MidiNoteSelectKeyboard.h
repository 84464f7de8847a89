#pragma once

#include "ParameterController.h"
#include "ToolbarDrawableButton.h"

#include <juce_audio_utils/juce_audio_utils.h>

/**
    Picks one MIDI note on a one-octave keyboard with octave buttons on either side.
    The selected key stays shown held down; the choice is written to a note parameter.
*/
class MidiNoteSelectKeyboard  : public juce::Component,
                                public juce::Button::Listener,
                                public ParameterController
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void noteChanged (MidiNoteSelectKeyboard*) = 0;
    };

    /** The keys: every press, drag onto and release on a key selects that key's note. */
    class Keyboard  : public juce::MidiKeyboardComponent
    {
    public:
        explicit Keyboard (MidiNoteSelectKeyboard& owner);

        bool mouseDownOnKey (int midiNoteNumber, const juce::MouseEvent&) override;
        bool mouseDraggedToKey (int midiNoteNumber, const juce::MouseEvent&) override;
        void mouseUpOnKey (int midiNoteNumber, const juce::MouseEvent&) override;
        /** @internal */
        void mouseUp (const juce::MouseEvent&) override;

    private:
        MidiNoteSelectKeyboard& owner;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Keyboard)
    };

    static constexpr int keyWidth = 14;
    static constexpr int buttonSize = 18;

    MidiNoteSelectKeyboard();
    ~MidiNoteSelectKeyboard() override;

    /** Binds only on the first call. */
    void setParameter (Parameter* noteParameter);

    /** Shows the note's key held down and its octave; a new note is told to the listeners
        and then written to the parameter. Notes outside 0..127 select nothing visible.
    */
    void selectNote (int note);
    int getSelectedNote() const noexcept                { return selectedNote; }

    /** The keyboard is one octave wide; the picker adds the two buttons. */
    void setHeight (int height);

    Keyboard& getKeyboard() noexcept                    { return keyboard; }
    juce::MidiKeyboardState& getKeyboardState() noexcept { return keyboardState; }
    juce::Button& getOctaveDownButton() noexcept        { return octaveDown; }
    juce::Button& getOctaveUpButton() noexcept          { return octaveUp; }

    /** Adds a listener once; null is ignored. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    //==============================================================================
    void updateFromParameter (Parameter* changed) override;
    void buttonClicked (juce::Button*) override;

    /** @internal */
    void resized() override;

private:
    void showOctaveEndingAt (int top);

    juce::Array<Listener*> listeners;
    int selectedNote = -1;
    juce::MidiKeyboardState keyboardState;
    ToolbarDrawableButton octaveDown, octaveUp;
    Keyboard keyboard;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiNoteSelectKeyboard)
};
