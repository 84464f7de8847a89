#include "NoteDisplay.h"

#include "MidiNoteNames.h"
#include "SkinSource.h"
#include "SkinLimits.h"
#include "XmlHelpers.h"

namespace
{
    constexpr int notesFrames = 9, tonesFrames = 3, octavesFrames = 13;
}

NoteDisplay::NoteDisplay (const juce::String& name)
    : juce::Component (name)
{
}

void NoteDisplay::updateFromParameter (Parameter* changed)
{
    if (changed == nullptr)
        return;

    const auto newNote = juce::jlimit (0, 127, changed->getIntValue());

    if (newNote != note)
    {
        note = newNote;
        repaint();
    }
}

void NoteDisplay::loadFromXml (juce::XmlElement* element, SkinSource* source)
{
    GUIController::loadFromXml (element, source);

    if (element == nullptr || ! XmlHelpers::hasTagName (*element, "NoteDisplay"))
        return;

    if (auto* size = XmlHelpers::getChildByName (*element, "size"))
    {
        unitWidth = SkinLimits::readLength (*size, "width") / 3;
        unitHeight = SkinLimits::readLength (*size, "height");
    }

    if (auto* gfx = XmlHelpers::getChildByName (*element, "gfx"); gfx != nullptr && source != nullptr)
    {
        const auto load = [gfx, source] (const char* part, juce::Image& target)
        {
            if (auto* child = XmlHelpers::getChildByName (*gfx, part))
                target = source->loadImage (XmlHelpers::getStringAttribute (*child, "resource"));
        };

        load ("notes", notesImage);
        load ("tones", tonesImage);
        load ("octaves", octavesImage);
    }

    if (auto* pos = XmlHelpers::getChildByName (*element, "pos"))
        setTopLeftPosition (SkinLimits::readCoordinate (*pos, "left"), SkinLimits::readCoordinate (*pos, "top"));

    layOutParts();
}

void NoteDisplay::setImages (const juce::Image& notes, const juce::Image& tones, const juce::Image& octaves)
{
    notesImage = notes;
    tonesImage = tones;
    octavesImage = octaves;
    layOutParts();
}

void NoteDisplay::layOutParts()
{
    const auto partSize = [this] (const juce::Image& strip, int frames)
    {
        return strip.isValid() ? juce::Rectangle<int> (strip.getWidth(), strip.getHeight() / frames)
                               : juce::Rectangle<int> (unitWidth, unitHeight);
    };

    notesArea = partSize (notesImage, notesFrames);
    tonesArea = partSize (tonesImage, tonesFrames).withX (notesArea.getWidth());
    octavesArea = partSize (octavesImage, octavesFrames).withX (notesArea.getWidth() + tonesArea.getWidth());

    setSize (notesArea.getWidth() + tonesArea.getWidth() + octavesArea.getWidth(),
             juce::jmax (notesArea.getHeight(), tonesArea.getHeight(), octavesArea.getHeight()));
    repaint();
}

//==============================================================================
int NoteDisplay::getNotesFrame() const      { return noNote ? 8 : 1 + getMidiNoteLetterIndex (note); }
int NoteDisplay::getTonesFrame() const      { return noNote || isNaturalMidiNote (note) ? 2 : 1; }
int NoteDisplay::getOctavesFrame() const    { return noNote ? 12 : 1 + note / 12; }

void NoteDisplay::paint (juce::Graphics& g)
{
    const auto live = isEnabled() && ! isInDarkBlinkPhase();

    paintPart (g, notesImage, notesArea, getNotesFrame(), noNote ? "-" : getMidiNoteLetter (note), live);
    paintPart (g, tonesImage, tonesArea, getTonesFrame(), ! noNote && ! isNaturalMidiNote (note) ? "#" : "-", live);
    paintPart (g, octavesImage, octavesArea, getOctavesFrame(), noNote ? "-" : juce::String (note / 12), live);
}

void NoteDisplay::paintPart (juce::Graphics& g, const juce::Image& strip, juce::Rectangle<int> area,
                             int frame, const juce::String& text, bool live) const
{
    if (strip.isValid())
    {
        const auto shown = live ? frame : 0;
        g.drawImage (strip, area.getX(), area.getY(), area.getWidth(), area.getHeight(),
                     0, shown * area.getHeight(), area.getWidth(), area.getHeight());
        return;
    }

    g.setColour (juce::Colours::white);
    g.fillRect (area);

    if (live)
    {
        g.setColour (juce::Colours::black);
        g.drawFittedText (text, area, juce::Justification::centred, 1, 0.7f);
    }
}

//==============================================================================
void NoteDisplay::mouseDown (const juce::MouseEvent&)
{
    if (! editable)
        return;

    beginParameterGesture();
    dragging = true;
    dragStep = 1.0;
    dragPixelsPerStep = 20;
    dragStartValue = note;
}

void NoteDisplay::mouseDrag (const juce::MouseEvent& e)
{
    if (! editable || ! dragging)
        return;

    // C++ integer division truncates toward zero, as the steps should.
    const auto steps = -(e.getDistanceFromDragStartY() / dragPixelsPerStep);
    const auto value = juce::jlimit (0, 127, (int) (steps * dragStep + dragStartValue));

    if (value != note)
    {
        note = value;

        if (auto* linked = getParameter())
        {
            linked->setIntValue (note, true);
            sendValueChanged();
        }

        repaint();
    }
}

void NoteDisplay::mouseUp (const juce::MouseEvent&)
{
    if (! editable)
        return;

    endParameterGesture();
    dragging = false;
}
