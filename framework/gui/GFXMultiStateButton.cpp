#include "GFXMultiStateButton.h"

#include "SkinSource.h"
#include "SkinLimits.h"
#include "XmlHelpers.h"

GFXMultiStateButton::GFXMultiStateButton (const juce::String& name)
    : juce::Button (name)
{
    setClickingTogglesState (false);

    // Return and Space on the face are the host's (its transport, say): a click must not
    // leave them to a button, as JUCE's buttons take the keyboard focus by default.
    setWantsKeyboardFocus (false);
}

void GFXMultiStateButton::setAction (const juce::String& type, int uid, const juce::String& eventName)
{
    actions.setAction (type, uid, eventName);
}

void GFXMultiStateButton::updateFromParameter (Parameter* changed)
{
    if (changed == nullptr)
        return;

    const auto value = juce::jlimit (0.0f, 1.0f, changed->getNormalisedValue());
    setState ((int) std::floor ((float) (states - 1) * value + 0.5f));
}

void GFXMultiStateButton::setState (int newState)
{
    newState = juce::jlimit (0, states - 1, newState);

    if (newState != state)
    {
        state = newState;
        repaint();
    }
}

void GFXMultiStateButton::loadFromXml (juce::XmlElement* element, SkinSource* source)
{
    GUIController::loadFromXml (element, source);

    if (element == nullptr)
        return;

    loadPosition (element);
    loadSize (element);

    if (XmlHelpers::hasTagName (*element, "MultiStateButton"))
    {
        style = readButtonStyle (*element, style);

        if (XmlHelpers::hasAttribute (*element, "states"))
        {
            const auto numStates = XmlHelpers::getIntAttribute (*element, "states");

            if (numStates >= 2)
                states = juce::jmin (numStates, SkinLimits::maxStates);
        }

        if (auto* gfx = XmlHelpers::getChildByName (*element, "gfx"); gfx != nullptr && source != nullptr)
        {
            auto loaded = source->loadImage (XmlHelpers::getStringAttribute (*gfx, "resource"));

            if (loaded.isValid())
                setImage (loaded, style == 1 ? 2 * states : states);
        }

        applyClickEvent (*this, XmlHelpers::getStringAttribute (*element, "clickEvent", "onRelease"));
        setRadioGroupId (XmlHelpers::getIntAttribute (*element, "radioGroupId"));
    }

    repaint();
}

void GFXMultiStateButton::sizeChanged()
{
    setSize (frameWidth, frameHeight);
}

void GFXMultiStateButton::positionChanged()
{
    setTopLeftPosition (left, top);
}

void GFXMultiStateButton::blinkStateChanged()
{
    repaint();
}

void GFXMultiStateButton::clicked (const juce::ModifierKeys& mods)
{
    const auto uid = actions.getUidForClick (mods);

    if (uid != -1)
        sendEvent (uid);
}

//==============================================================================
int GFXMultiStateButton::getFrameToShow (bool pressed) const
{
    const auto pressedOffset = pressed ? 1 : 0;

    if (isInDarkBlinkPhase())
        return style == 1 ? pressedOffset : 0;

    return style == 1 ? 2 * state + pressedOffset : state;
}

void GFXMultiStateButton::paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    const auto pressed = isMouseOver && isButtonDown;

    if (image.isValid())
        drawFrame (g, getFrameToShow (pressed));
    else
        paintPlaceholder (g, pressed);
}

void GFXMultiStateButton::paintPlaceholder (juce::Graphics& g, bool pressed)
{
    const juce::Rectangle<int> square (juce::jmax (0, (getWidth() - 16) / 2), juce::jmax (0, (getHeight() - 16) / 2), 16, 16);

    g.setColour (juce::Colour::greyLevel (pressed ? 0.4f : 0.9f));
    g.fillRect (square);
    g.setColour (juce::Colours::black);
    g.drawRect (square);

    const auto diameter = (float) state / (float) (states - 1) * 10.0f + 2.0f;
    g.fillEllipse (juce::Rectangle<float> (diameter, diameter).withCentre (square.toFloat().getCentre()));
}
