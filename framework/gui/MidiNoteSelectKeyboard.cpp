#include "MidiNoteSelectKeyboard.h"

namespace
{
    constexpr int keyboardChannel = 1;
}

MidiNoteSelectKeyboard::Keyboard::Keyboard (MidiNoteSelectKeyboard& o)
    : juce::MidiKeyboardComponent (o.getKeyboardState(), juce::MidiKeyboardComponent::horizontalKeyboard),
      owner (o)
{
    setAvailableRange (0, 11);
    setKeyWidth ((float) MidiNoteSelectKeyboard::keyWidth);
    setScrollButtonsVisible (false);
}

bool MidiNoteSelectKeyboard::Keyboard::mouseDownOnKey (int note, const juce::MouseEvent&)
{
    owner.selectNote (note);
    return true;
}

bool MidiNoteSelectKeyboard::Keyboard::mouseDraggedToKey (int note, const juce::MouseEvent&)
{
    owner.selectNote (note);
    return true;
}

void MidiNoteSelectKeyboard::Keyboard::mouseUpOnKey (int note, const juce::MouseEvent&)
{
    owner.selectNote (note);
}

void MidiNoteSelectKeyboard::Keyboard::mouseUp (const juce::MouseEvent& e)
{
    juce::MidiKeyboardComponent::mouseUp (e);

    // Releasing the mouse lets go of the key under it, and a release off the keys
    // selects nothing: the selected key must still show held down.
    const auto selected = owner.getSelectedNote();

    if (juce::isPositiveAndBelow (selected, 128))
        owner.getKeyboardState().noteOn (keyboardChannel, selected, 1.0f);
}

//==============================================================================
MidiNoteSelectKeyboard::MidiNoteSelectKeyboard()
    : octaveDown ("Octave down", 7),
      octaveUp ("Octave up", 8),
      keyboard (*this)
{
    for (auto* button : { &octaveDown, &octaveUp })
    {
        button->setSize (buttonSize, buttonSize);
        button->addListener (this);
        addAndMakeVisible (button);
    }

    addAndMakeVisible (keyboard);
}

MidiNoteSelectKeyboard::~MidiNoteSelectKeyboard()
{
    octaveDown.removeListener (this);
    octaveUp.removeListener (this);
}

void MidiNoteSelectKeyboard::setParameter (Parameter* noteParameter)
{
    bindToParameter (noteParameter);
}

void MidiNoteSelectKeyboard::selectNote (int note)
{
    if (juce::isPositiveAndBelow (selectedNote, 128))
        keyboardState.noteOff (keyboardChannel, selectedNote, 0.0f);

    const auto shown = juce::isPositiveAndBelow (note, 128);

    if (shown)
        keyboardState.noteOn (keyboardChannel, note, 1.0f);

    if (note != selectedNote)
    {
        selectedNote = note;

        for (int i = listeners.size(); --i >= 0;)
            listeners.getUnchecked (i)->noteChanged (this);

        if (auto* parameter = getParameter())
            parameter->setIntValue (note, true);
    }

    if (shown)
        showOctaveEndingAt (juce::jmin (12 * (note / 12) + 11, 127));
}

void MidiNoteSelectKeyboard::setHeight (int height)
{
    keyboard.setSize (7 * keyWidth + 1, height);
    setSize (keyboard.getWidth() + 2 * buttonSize, height);
}

void MidiNoteSelectKeyboard::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void MidiNoteSelectKeyboard::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

//==============================================================================
void MidiNoteSelectKeyboard::updateFromParameter (Parameter* changed)
{
    if (changed != nullptr)
        selectNote (changed->getIntValue());
}

void MidiNoteSelectKeyboard::buttonClicked (juce::Button* button)
{
    if (button == &octaveDown)
    {
        const auto octave = keyboard.getRangeEnd() / 12 - 1;
        showOctaveEndingAt (octave >= 0 ? 12 * juce::jmin (octave, 127) + 11 : 11);
    }
    else if (button == &octaveUp)
    {
        const auto octave = juce::jlimit (0, 127, keyboard.getRangeStart() / 12 + 1);
        showOctaveEndingAt (juce::jmin (12 * octave + 11, 127));
    }
}

void MidiNoteSelectKeyboard::showOctaveEndingAt (int top)
{
    keyboard.setAvailableRange (top - 11, top);
}

void MidiNoteSelectKeyboard::resized()
{
    const auto width = getWidth(), height = getHeight();
    const auto buttonY = height / 2 - buttonSize / 2;

    keyboard.setBounds (buttonSize, 0, keyboard.getWidth(), height);
    octaveDown.setTopLeftPosition (0, buttonY);
    octaveUp.setTopLeftPosition (width - buttonSize, buttonY);
}
