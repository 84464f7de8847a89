#include "GFXAnimation.h"

GFXAnimation::GFXAnimation (const juce::String& name)
    : juce::Component (name)
{
}

void GFXAnimation::updateFromParameter (Parameter* changed)
{
    if (changed != nullptr)
        setNormalisedValue (changed->getNormalisedValue());
}

void GFXAnimation::loadFromXml (juce::XmlElement* element, SkinSource* source)
{
    BaseGFXController::loadFromXml (element, source);
    setFrame (0);
    repaint();
}

void GFXAnimation::sizeChanged()
{
    setSize (frameWidth, frameHeight);
}

void GFXAnimation::positionChanged()
{
    setTopLeftPosition (left, top);
}

void GFXAnimation::blinkStateChanged()
{
    repaint();
}

void GFXAnimation::setNormalisedValue (float value)
{
    setFrame (getFrameForValue (value));
}

void GFXAnimation::setFrame (int newFrame)
{
    newFrame = juce::jlimit (0, juce::jmax (1, framesNum) - 1, newFrame);

    if (newFrame != frame)
    {
        frame = newFrame;
        repaint();
    }
}

void GFXAnimation::startAnimation (int intervalMs)
{
    // Not through setFrame: a light is lit even when the skin gave it one frame too
    // few; drawing keeps the frame inside the strip.
    if (frame != 1)
    {
        frame = 1;
        repaint();
    }

    startTimer (intervalMs);
}

void GFXAnimation::timerCallback()
{
    stopTimer();
    setFrame (0);
}

//==============================================================================
void GFXAnimation::paint (juce::Graphics& g)
{
    if (image.isValid())
        drawFrame (g, isInDarkBlinkPhase() ? 0 : frame);
    else
        paintPlaceholder (g);
}

void GFXAnimation::paintPlaceholder (juce::Graphics& g)
{
    const juce::Rectangle<int> square (juce::jmax (0, (getWidth() - 16) / 2), juce::jmax (0, (getHeight() - 16) / 2), 16, 16);

    g.setColour (juce::Colour::greyLevel (0.9f));
    g.fillRect (square);
    g.setColour (juce::Colours::black);
    g.drawRect (square);

    // A strip of one frame has no value to show.
    if (framesNum > 1)
    {
        const auto diameter = (float) frame / (float) (framesNum - 1) * 10.0f;
        g.fillEllipse (juce::Rectangle<float> (diameter, diameter).withCentre (square.toFloat().getCentre()));
    }
}
