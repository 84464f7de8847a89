#include "GFXKnob.h"

GFXKnob::GFXKnob (const juce::String& name)
    : juce::Slider (name)
{
    setSliderStyle (juce::Slider::RotaryVerticalDrag);
    setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    setRange (0.0, 1.0, 0.0);
    setValue (0.0, juce::dontSendNotification);
}

void GFXKnob::updateFromParameter (Parameter* changed)
{
    if (changed != nullptr)
        setValue (changed->getNormalisedValue(), juce::dontSendNotification);
}

void GFXKnob::loadFromXml (juce::XmlElement* element, SkinSource* source)
{
    BaseGFXController::loadFromXml (element, source);
    setTopLeftPosition (left, top);
    setSize (frameWidth, frameHeight);
    repaint();
}

void GFXKnob::startedDragging()
{
    beginParameterGesture();
}

void GFXKnob::stoppedDragging()
{
    endParameterGesture();
}

void GFXKnob::valueChanged()
{
    if (auto* linked = getParameter())
    {
        linked->setNormalisedValue ((float) getValue(), true);
        sendValueChanged();
    }
}

//==============================================================================
float GFXKnob::getNormalisedSliderValue() const
{
    const auto range = getMaximum() - getMinimum();
    return range > 0.0 ? (float) ((getValue() - getMinimum()) / range) : 0.0f;
}

void GFXKnob::paint (juce::Graphics& g)
{
    if (image.isValid())
        drawFrame (g, isEnabled() ? getFrameForValue (getNormalisedSliderValue()) : 0);
    else
        paintPlaceholder (g, getPlaceholderFont());
}

void GFXKnob::paintPlaceholder (juce::Graphics& g, const juce::Font& font)
{
    auto* linked = getParameter();
    const auto valueText = linked != nullptr ? linked->getText() : getTextFromValue (getValue());
    const auto nameText = linked != nullptr ? linked->getName() : juce::String();

    g.setColour (juce::Colour::greyLevel (0.7f));
    g.drawRect (getLocalBounds());

    juce::Slider::paint (g);

    auto bounds = getLocalBounds();
    const auto lineHeight = juce::roundToInt (font.getHeight());

    g.setColour (juce::Colours::black);
    g.setFont (font);
    g.drawFittedText (valueText, bounds.removeFromTop (lineHeight * 2), juce::Justification::centredTop, 2, 0.7f);
    g.drawFittedText (nameText, bounds.removeFromBottom (lineHeight * 2), juce::Justification::centredBottom, 2, 0.7f);
}
