#include "ImageMidiKeyboard.h"

#include "SkinSource.h"
#include "SkinLimits.h"
#include "XmlHelpers.h"

ImageMidiKeyboard::ImageMidiKeyboard (juce::MidiKeyboardState& state, const juce::String& name)
    : juce::MidiKeyboardComponent (state, juce::MidiKeyboardComponent::horizontalKeyboard),
      keyboardState (state)
{
    initialise (name);
}

// Not delegating: the owned state may only be named once its base has been built.
ImageMidiKeyboard::ImageMidiKeyboard (const juce::String& name)
    : juce::MidiKeyboardComponent (ownedState, juce::MidiKeyboardComponent::horizontalKeyboard),
      keyboardState (ownedState)
{
    initialise (name);
}

void ImageMidiKeyboard::initialise (const juce::String& name)
{
    setName (name);
    // Skin keys sit at fixed places: scrolling would move JUCE's keys under them.
    setScrollButtonsVisible (false);

    for (int i = 0; i < 128; ++i)
        keys[(size_t) i].note = i;
}

void ImageMidiKeyboard::loadFromXml (juce::XmlElement* element, SkinSource* source)
{
    GUIController::loadFromXml (element, source);

    if (element == nullptr || ! XmlHelpers::hasTagName (*element, "MidiKeyboard"))
    {
        setSize (0, 0);
        return;
    }

    int width = 0, height = 0;

    if (auto* size = XmlHelpers::getChildByName (*element, "size"))
    {
        width = SkinLimits::readLength (*size, "width");
        height = SkinLimits::readLength (*size, "height");
    }

    if (auto* pos = XmlHelpers::getChildByName (*element, "pos"))
        setTopLeftPosition (SkinLimits::readCoordinate (*pos, "left"), SkinLimits::readCoordinate (*pos, "top"));

    if (XmlHelpers::hasAttribute (*element, "firstKey") && XmlHelpers::hasAttribute (*element, "lastKey"))
    {
        const auto first = juce::jlimit (0, 127, XmlHelpers::getIntAttribute (*element, "firstKey"));
        const auto last = juce::jlimit (first, 127, XmlHelpers::getIntAttribute (*element, "lastKey"));
        setAvailableRange (first, last);
    }

    if (auto* keysElement = XmlHelpers::getChildByName (*element, "Keys"))
    {
        auto note = getRangeStart();

        for (auto* keyElement : XmlHelpers::getChildrenWithTagName (*keysElement, "Key"))
        {
            if (note > 127)
                break;

            juce::Image strip;
            int framesNum = 0, keyWidth = 0, keyHeight = 0, x = 0, y = 0;

            if (auto* gfx = XmlHelpers::getChildByName (*keyElement, "gfx"); gfx != nullptr && source != nullptr)
            {
                strip = source->loadImage (XmlHelpers::getStringAttribute (*gfx, "resource"));
                framesNum = SkinLimits::readInt (*gfx, "framesNum", 0, 0, SkinLimits::maxStates);
            }

            if (auto* size = XmlHelpers::getChildByName (*keyElement, "size"))
            {
                keyWidth = SkinLimits::readLength (*size, "width");
                keyHeight = SkinLimits::readLength (*size, "height");
            }

            if (auto* pos = XmlHelpers::getChildByName (*keyElement, "pos"))
            {
                x = SkinLimits::readCoordinate (*pos, "left") - getX();
                y = SkinLimits::readCoordinate (*pos, "top") - getY();
            }

            setKeyImage (note++, strip, framesNum, keyWidth, keyHeight,
                         XmlHelpers::getStringAttribute (*keyElement, "left").getIntValue(),
                         XmlHelpers::getStringAttribute (*keyElement, "right").getIntValue(), x, y);
        }
    }

    setSize (width, height);
}

void ImageMidiKeyboard::setKeyImage (int note, const juce::Image& image, int framesNum, int width, int height,
                                     int leftNeighbours, int rightNeighbours, int x, int y)
{
    if (! juce::isPositiveAndBelow (note, 128))
        return;

    auto& key = keys[(size_t) note];
    // Each neighbour doubles the frames a key needs; past a few, the frame number would
    // overflow long before any picture could hold that many frames.
    key.leftNeighbours = juce::jlimit (0, maxNeighbours, leftNeighbours);
    key.rightNeighbours = juce::jlimit (0, maxNeighbours, rightNeighbours);
    key.width = width;
    key.height = height;
    key.x = x;
    key.y = y;

    if (image.isValid())
    {
        key.image = image;
        key.framesNum = juce::jmax (0, framesNum);
        key.downOffset = key.framesNum / 2;
    }

    updateFramesAround (note);
}

//==============================================================================
void ImageMidiKeyboard::setPressed (int note, bool isPressed)
{
    if (juce::isPositiveAndBelow (note, 128) && keys[(size_t) note].pressed != isPressed)
    {
        keys[(size_t) note].pressed = isPressed;
        updateFramesAround (note);
    }
}

void ImageMidiKeyboard::updateFramesAround (int changedNote)
{
    const auto isDown = [this] (int n) { return juce::isPositiveAndBelow (n, 128) && keys[(size_t) n].pressed; };

    for (auto& key : keys)
    {
        if (! key.image.isValid() || changedNote < key.note - key.leftNeighbours || changedNote > key.note + key.rightNeighbours)
            continue;

        // The farthest upper neighbour is the highest bit, the farthest lower one the lowest.
        int mask = 0;

        for (int n = key.note + key.rightNeighbours; n > key.note; --n)
            mask = mask * 2 + (isDown (n) ? 1 : 0);

        for (int n = key.note - 1; n >= key.note - key.leftNeighbours; --n)
            mask = mask * 2 + (isDown (n) ? 1 : 0);

        const auto newFrame = key.pressed ? mask + key.downOffset : mask;

        if (newFrame != key.frame)
        {
            key.frame = newFrame;

            if (key.note >= getRangeStart() && key.note <= getRangeEnd())
            {
                const auto area = getRectangleForKey (key.note).getSmallestIntegerContainer().getIntersection (getLocalBounds());

                if (! area.isEmpty())
                    repaint (area);
            }
        }
    }
}

//==============================================================================
bool ImageMidiKeyboard::mouseDownOnKey (int note, const juce::MouseEvent&)
{
    setPressed (note, true);
    return true;
}

bool ImageMidiKeyboard::mouseDraggedToKey (int note, const juce::MouseEvent&)
{
    setPressed (note, true);
    return true;
}

void ImageMidiKeyboard::timerCallback()
{
    // JUCE keeps its note-changed flag to itself, so every tick compares the whole range.
    for (auto n = getRangeStart(); n <= getRangeEnd(); ++n)
        setPressed (n, keyboardState.isNoteOnForChannels (getMidiChannelsToDisplay(), n));

    juce::MidiKeyboardComponent::timerCallback();
}

//==============================================================================
bool ImageMidiKeyboard::drawKeyImage (int note, juce::Graphics& g) const
{
    if (! juce::isPositiveAndBelow (note, 128) || ! keys[(size_t) note].image.isValid())
        return false;

    const auto& key = keys[(size_t) note];
    // JUCE leaves the separator line's translucent colour set, whose opacity images take.
    g.setOpacity (1.0f);
    g.drawImage (key.image, key.x, key.y, key.width, key.height, 0, key.frame * key.height, key.width, key.height);
    return true;
}

void ImageMidiKeyboard::drawWhiteNote (int note, juce::Graphics& g, juce::Rectangle<float> area, bool isDown,
                                       bool isOver, juce::Colour lineColour, juce::Colour textColour)
{
    if (! drawKeyImage (note, g))
        juce::MidiKeyboardComponent::drawWhiteNote (note, g, area, isDown, isOver, lineColour, textColour);
}

void ImageMidiKeyboard::drawBlackNote (int note, juce::Graphics& g, juce::Rectangle<float> area, bool isDown,
                                       bool isOver, juce::Colour noteFillColour)
{
    if (! drawKeyImage (note, g))
        juce::MidiKeyboardComponent::drawBlackNote (note, g, area, isDown, isOver, noteFillColour);
}

juce::Range<float> ImageMidiKeyboard::getKeyPosition (int note, float targetKeyWidth) const
{
    if (juce::isPositiveAndBelow (note, 128) && keys[(size_t) note].image.isValid())
        return { (float) keys[(size_t) note].x, (float) (keys[(size_t) note].x + keys[(size_t) note].width) };

    return juce::MidiKeyboardComponent::getKeyPosition (note, targetKeyWidth);
}
