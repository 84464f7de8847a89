#pragma once

#include <juce_graphics/juce_graphics.h>

/**
    Paints every picture of the built-in skin: the filmstrips of the widgets (frames
    stacked from top to bottom, each as wide as the image) and the section artwork of
    the face. All pictures share one palette, one typeface family and one knob style,
    so the face reads as one instrument.

    Text is drawn with DejaVu Sans loaded from the font files given to the constructor,
    so the pictures come out the same on every machine that builds them.
*/
class SkinArtist
{
public:
    /** Loads the regular and bold typefaces; throws std::runtime_error when a file
        cannot be read as a font.
    */
    SkinArtist (const juce::File& regularFontFile, const juce::File& boldFontFile);

    /** Colours of the face, shared with the writer and the layout. */
    struct Palette
    {
        static const juce::Colour moduleEdge, title, caption, accent, accentDim,
                                  lcd, lcdInk, red, green;
    };

    juce::Font font (float height, bool bold = false, float kerning = 0.0f) const;

    /** A rotary knob: track, value arc, cap and pointer. The arc grows from the lowest
        position, or from the top for a control whose neutral setting is mid-range.
        Frame k shows the value k / (frames - 1).
    */
    juce::Image knob (int size, int frames, bool fromCentre = false) const;

    /** A rotary selector of items.size() positions; each frame also prints its item. */
    juce::Image selector (int width, int height, const juce::StringArray& items) const;

    /** A lit-when-on push button: off, off pressed, on, on pressed. */
    juce::Image ledButton (int width, int height, const juce::String& text, juce::Colour lit) const;

    /** A momentary button: normal, pressed. */
    juce::Image pushButton (int width, int height, const juce::String& text) const;

    /** The big numbered line selector: off, off pressed, on, on pressed. */
    juce::Image lineButton (int size, int line) const;

    /** A padlock lamp: open (off), open pressed, closed (on), closed pressed. */
    juce::Image padlockButton (int width, int height) const;

    /** A liquid-crystal digit: frame 0 blank, frames 1 to 10 the digits 0 to 9.
        With a decimal point the digit carries the point to its right.
    */
    juce::Image digit (int width, int height, bool decimalPoint) const;

    /** A segment meter: frame k lights the first k segments. */
    juce::Image meter (int width, int height, int segments, bool vertical) const;

    /** A round lamp: off, lit. */
    juce::Image lamp (int size, juce::Colour lit) const;

    /** The signal-flow picture: frame = 8 loop + 4 filter on + 2 overdrive on + post. */
    juce::Image signalFlow (int width, int height) const;

    /** The routing picture, one frame per routing of the four lines. */
    juce::Image routing (int width, int height, const juce::StringArray& names) const;

    /** The modulator's wave window, one frame per waveform item. */
    juce::Image waveWindow (int width, int height, const juce::StringArray& waveforms) const;

    //==============================================================================
    /** Artwork of the face's sections, drawn onto a panel picture. */
    void paintFace (juce::Graphics& g, juce::Rectangle<int> area) const;
    void paintModule (juce::Graphics& g, juce::Rectangle<float> area, const juce::String& title) const;
    void paintCaption (juce::Graphics& g, juce::Rectangle<float> area, const juce::String& text,
                       juce::Justification justification) const;
    void paintWell (juce::Graphics& g, juce::Rectangle<float> area) const;
    void paintLcd (juce::Graphics& g, juce::Rectangle<float> area) const;
    void paintBrand (juce::Graphics& g, juce::Rectangle<float> area) const;
    void paintDivider (juce::Graphics& g, juce::Rectangle<float> area) const;

private:
    void paintKnobBody (juce::Graphics& g, juce::Rectangle<float> area, float proportion,
                        bool withArc, bool fromCentre = false) const;
    void paintButtonBody (juce::Graphics& g, juce::Rectangle<float> area, bool pressed) const;
    void paintWave (juce::Graphics& g, juce::Rectangle<float> area, int waveform, float thickness) const;

    juce::Typeface::Ptr regular, bold;
};
