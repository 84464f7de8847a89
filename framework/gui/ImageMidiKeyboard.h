#pragma once

#include "GUIController.h"

#include <juce_audio_utils/juce_audio_utils.h>

/**
    The skin's piano keyboard (tag "MidiKeyboard"): JUCE's keyboard with every key that
    the skin gives a filmstrip drawn from it at the skin's own place and width. A key's
    frame depends on its own state and on the states of a chosen number of neighbours,
    so that pictures overlapping a pressed neighbour look right. Keys without a strip
    are JUCE's.

    It plays and shows notes through a keyboard state, the caller's or its own.
*/
namespace ImageMidiKeyboardDetail
{
    /** A base before JUCE's keyboard, so that an owned state outlives the keyboard
        that listens to it.
    */
    struct OwnedState
    {
        juce::MidiKeyboardState ownedState;
    };
}

class ImageMidiKeyboard  : private ImageMidiKeyboardDetail::OwnedState,
                           public GUIController,
                           public juce::MidiKeyboardComponent
{
public:
    /** One key's picture and the neighbours whose states pick its frame. */
    struct Key
    {
        int note = 0;
        bool pressed = false;
        int framesNum = 0, width = 0, height = 0;
        int leftNeighbours = 0, rightNeighbours = 0;
        int downOffset = 0, frame = 0;
        juce::Image image;
        int x = 0, y = 0;
    };

    /** A keyboard on a state that outlives it. */
    ImageMidiKeyboard (juce::MidiKeyboardState& state, const juce::String& name);
    /** A keyboard on a state of its own, as the skin panel makes it (without a component name). */
    explicit ImageMidiKeyboard (const juce::String& name = {});
    ~ImageMidiKeyboard() override = default;

    void loadFromXml (juce::XmlElement* element, SkinSource* source) override;
    void setAction (const juce::String&, int, const juce::String&) override {}

    /** The most neighbours on either side whose states pick a key's frame. */
    static constexpr int maxNeighbours = 8;

    /** Gives a key its strip, neighbourhood and place relative to the keyboard. */
    void setKeyImage (int note, const juce::Image& image, int framesNum, int width, int height,
                      int leftNeighbours, int rightNeighbours, int x, int y);

    const Key& getKey (int note) const                  { return keys[(size_t) juce::jlimit (0, 127, note)]; }
    juce::MidiKeyboardState& getKeyboardState() noexcept { return keyboardState; }

    /** @internal */
    void timerCallback() override;

protected:
    void drawWhiteNote (int note, juce::Graphics& g, juce::Rectangle<float> area, bool isDown, bool isOver,
                        juce::Colour lineColour, juce::Colour textColour) override;
    void drawBlackNote (int note, juce::Graphics& g, juce::Rectangle<float> area, bool isDown, bool isOver,
                        juce::Colour noteFillColour) override;
    bool mouseDownOnKey (int note, const juce::MouseEvent& e) override;
    bool mouseDraggedToKey (int note, const juce::MouseEvent& e) override;
    juce::Range<float> getKeyPosition (int note, float targetKeyWidth) const override;

private:
    void initialise (const juce::String& name);
    void setPressed (int note, bool isPressed);
    void updateFramesAround (int changedNote);
    bool drawKeyImage (int note, juce::Graphics& g) const;

    std::array<Key, 128> keys;
    juce::MidiKeyboardState& keyboardState;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ImageMidiKeyboard)
};
