#include "GFXButton.h"

#include "XmlHelpers.h"

GFXButton::GFXButton (const juce::String& name)
    : juce::Button (name)
{
    setClickingTogglesState (false);

    // Return and Space on the face are the host's (its transport, say): a click must not
    // leave them to a button, as JUCE's buttons take the keyboard focus by default.
    setWantsKeyboardFocus (false);

    const auto width = name.isEmpty() ? 18 : (int) juce::Font (12.0f).getStringWidthFloat (name) + 8;
    setSize (width, 18);
}

void GFXButton::setAction (const juce::String& type, int uid, const juce::String& eventName)
{
    actions.setAction (type, uid, eventName);
}

void GFXButton::loadFromXml (juce::XmlElement* element, SkinSource* source)
{
    BaseGFXController::loadFromXml (element, source);

    if (element != nullptr && XmlHelpers::hasTagName (*element, "Button"))
    {
        // A linked button is a momentary switch: it must act when the finger goes down.
        applyClickEvent (*this, getParameter() != nullptr ? juce::String ("onPress")
                                                          : XmlHelpers::getStringAttribute (*element, "clickEvent", "onRelease"));

        const auto autoRepeat = XmlHelpers::getStringAttribute (*element, "autorepeat", "no");

        if (autoRepeat == "yes")
            setRepeatSpeed (1000, 100, -1);
        else if (autoRepeat == "no")
            setRepeatSpeed (0, 0, -1);
    }

    setTopLeftPosition (left, top);

    if (frameWidth > 0 && frameHeight > 0)
        setSize (frameWidth, frameHeight);

    repaint();
}

void GFXButton::clicked (const juce::ModifierKeys& mods)
{
    const auto uid = actions.getUidForClick (mods);

    if (uid != -1)
        sendEvent (uid);
}

void GFXButton::buttonStateChanged()
{
    const auto pressed = getState() == juce::Button::buttonDown;

    const auto changed = pressed != wasDown;
    wasDown = pressed;

    if (auto* linked = getParameter(); linked != nullptr && changed)
    {
        linked->setBoolValue (pressed, true);
        sendValueChanged();
    }
}

void GFXButton::mouseEnter (const juce::MouseEvent& e)
{
    juce::Button::mouseEnter (e);
    updateTooltip (e.mods);
}

void GFXButton::modifierKeysChanged (const juce::ModifierKeys& mods)
{
    juce::Button::modifierKeysChanged (mods);
    updateTooltip (mods);
}

void GFXButton::updateTooltip (const juce::ModifierKeys& mods)
{
    setTooltip (actions.getTooltipFor (mods));
}

//==============================================================================
void GFXButton::paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    const auto pressed = isMouseOver && isButtonDown;

    if (image.isValid())
        drawFrame (g, pressed ? 1 : 0);
    else
        paintPlaceholder (g, pressed);
}

void GFXButton::paintPlaceholder (juce::Graphics& g, bool pressed)
{
    g.fillAll (juce::Colour::greyLevel (pressed ? 0.4f : 0.9f));
    g.setColour (juce::Colours::black);
    g.drawRect (getLocalBounds());

    if (getButtonText().isNotEmpty())
    {
        g.setColour (isEnabled() ? juce::Colours::black : juce::Colour (0xff808080));
        g.setFont (juce::Font (12.0f));
        g.drawText (getButtonText(), getLocalBounds(), juce::Justification::centred, true);
    }
}
