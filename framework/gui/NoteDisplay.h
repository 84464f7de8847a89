#pragma once

#include "GUIController.h"

/**
    A skin widget (tag "NoteDisplay") that shows a MIDI note as letter, sharp sign and
    octave, each part from a filmstrip of its own or as text, and changes the linked
    parameter's note when dragged vertically: 20 pixels up raise it by one.
*/
class NoteDisplay  : public GUIController,
                     public juce::Component
{
public:
    explicit NoteDisplay (const juce::String& name);
    ~NoteDisplay() override = default;

    void updateFromParameter (Parameter* changed) override;
    void loadFromXml (juce::XmlElement* element, SkinSource* source) override;
    void blinkStateChanged() override                   { repaint(); }

    int getNote() const noexcept                        { return note; }

    /** Takes the three filmstrips chosen in code (9, 3 and 13 frames) and lays them out. */
    void setImages (const juce::Image& notes, const juce::Image& tones, const juce::Image& octaves);

    /** The frames of the letter, sign and octave strips that show the current note. */
    int getNotesFrame() const;
    int getTonesFrame() const;
    int getOctavesFrame() const;

    /** Dragging changes the note while set. */
    bool editable = true;
    /** Shows the frames (or "-") meant for no note instead of the value. */
    bool noNote = false;

    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void mouseDown (const juce::MouseEvent& e) override;
    /** @internal */
    void mouseDrag (const juce::MouseEvent& e) override;
    /** @internal */
    void mouseUp (const juce::MouseEvent& e) override;

private:
    void layOutParts();
    void paintPart (juce::Graphics& g, const juce::Image& strip, juce::Rectangle<int> area,
                    int frame, const juce::String& text, bool live) const;

    juce::Image notesImage, tonesImage, octavesImage;
    juce::Rectangle<int> notesArea { 0, 0, 10, 16 }, tonesArea { 0, 0, 10, 16 }, octavesArea { 0, 0, 10, 16 };
    int unitWidth = 10, unitHeight = 16;
    double dragStartValue = 0.0, dragStep = 1.0;
    int dragPixelsPerStep = 20;
    bool dragging = false;
    int note = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NoteDisplay)
};
