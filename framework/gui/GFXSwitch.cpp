#include "GFXSwitch.h"

#include "CaseKey.h"
#include "XmlHelpers.h"

GFXSwitch::GFXSwitch (const juce::String& name)
    : GFXKnob (name)
{
    setRange (0.0, 1.0, 0.005);
    setValue (0.0, juce::dontSendNotification);
    setSliderStyle (juce::Slider::RotaryVerticalDrag);
}

void GFXSwitch::loadFromXml (juce::XmlElement* element, SkinSource* source)
{
    GFXKnob::loadFromXml (element, source);

    if (element == nullptr)
        return;

    const auto styleName = XmlHelpers::getStringAttribute (*element, "style");

    if (CaseKey::equal (styleName, "Rotary"))
        setStyle (rotary);
    else if (CaseKey::equal (styleName, "Horizontal"))
        setStyle (horizontal);
    else if (CaseKey::equal (styleName, "Vertical"))
        setStyle (vertical);

    repaint();
}

void GFXSwitch::setStyle (Style newStyle)
{
    style = newStyle;

    const auto sliderStyle = style == vertical   ? juce::Slider::LinearVertical
                           : style == horizontal ? juce::Slider::LinearHorizontal
                                                 : juce::Slider::RotaryVerticalDrag;

    // JUCE's setter changes nothing when the style is the same, and repaints and
    // refreshes the look otherwise.
    setSliderStyle (sliderStyle);
}
