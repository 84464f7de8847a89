#include "GFXToggleButton.h"

#include "SkinSource.h"
#include "XmlHelpers.h"

GFXToggleButton::GFXToggleButton (const juce::String& name)
    : juce::Button (name)
{
    setClickingTogglesState (true);

    // Return and Space on the face are the host's (its transport, say): a click must not
    // leave them to a button, as JUCE's buttons take the keyboard focus by default.
    setWantsKeyboardFocus (false);
}

void GFXToggleButton::updateFromParameter (Parameter* changed)
{
    if (changed != nullptr)
        setToggleState (changed->getBoolValue(), juce::dontSendNotification);
}

void GFXToggleButton::loadFromXml (juce::XmlElement* element, SkinSource* source)
{
    GUIController::loadFromXml (element, source);

    if (element == nullptr)
        return;

    loadPosition (element);
    loadSize (element);

    if (XmlHelpers::hasTagName (*element, "ToggleButton"))
    {
        style = readButtonStyle (*element, style);

        if (auto* gfx = XmlHelpers::getChildByName (*element, "gfx"); gfx != nullptr && source != nullptr)
        {
            auto loaded = source->loadImage (XmlHelpers::getStringAttribute (*gfx, "resource"));

            if (loaded.isValid())
                setImage (loaded, style == 1 ? 4 : 2);
        }

        applyClickEvent (*this, XmlHelpers::getStringAttribute (*element, "clickEvent", "onRelease"));
        setRadioGroupId (XmlHelpers::getIntAttribute (*element, "radioGroupId"));
    }

    repaint();
}

void GFXToggleButton::sizeChanged()
{
    setSize (frameWidth, frameHeight);
}

void GFXToggleButton::positionChanged()
{
    setTopLeftPosition (left, top);
}

void GFXToggleButton::blinkStateChanged()
{
    repaint();
}

void GFXToggleButton::clicked()
{
    if (auto* linked = getParameter())
    {
        linked->setBoolValue (getToggleState(), true);
        sendValueChanged();
    }
}

//==============================================================================
int GFXToggleButton::getFrameToShow (bool pressed) const
{
    if (! isEnabled() || isInDarkBlinkPhase())
        return 0;

    const auto on = getToggleState();

    if (framesNum == 2)
        return on ? 1 : 0;

    if (framesNum == 4)
        return (on ? 2 : 0) + (pressed ? 1 : 0);

    return 0;
}

void GFXToggleButton::paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    if (image.isValid())
        drawFrame (g, getFrameToShow (isMouseOver && isButtonDown));
    else
        paintPlaceholder (g);
}

void GFXToggleButton::paintPlaceholder (juce::Graphics& g)
{
    auto bounds = getLocalBounds();

    g.setColour (juce::Colour::greyLevel (0.7f));
    g.drawRect (bounds);

    g.setColour (juce::Colours::black);
    g.drawFittedText (getToggleState() ? "On" : "Off", bounds.removeFromTop (16), juce::Justification::centredTop, 2, 0.7f);

    if (auto* linked = getParameter())
        g.drawFittedText (linked->getName(), bounds.removeFromBottom (16), juce::Justification::centredBottom, 2, 0.7f);

    const auto side = 0.75f * (float) juce::jmin (getWidth(), getHeight() - 32);

    if (side <= 0.0f)
        return;

    const auto square = juce::Rectangle<float> (side, side).withCentre (getLocalBounds().toFloat().getCentre());

    if (isEnabled() && ! isInDarkBlinkPhase() && getToggleState())
        g.fillRect (square);
    else
        g.drawRect (square, 1.0f);
}
