#pragma once

#include "GFXKnob.h"

/**
    A skin switch: a knob whose value moves in steps of 0.005 and whose drag is
    vertical, horizontal or rotary as the skin's "style" says (rotary by default).
*/
class GFXSwitch  : public GFXKnob
{
public:
    enum Style
    {
        vertical = 0,
        horizontal = 1,
        rotary = 2
    };

    explicit GFXSwitch (const juce::String& name);
    ~GFXSwitch() override = default;

    /** The knob's loader, then "style" in any letter case; another value keeps the style. */
    void loadFromXml (juce::XmlElement* element, SkinSource* source) override;

    void setStyle (Style newStyle);
    Style getStyle() const noexcept                     { return style; }

protected:
    float getNormalisedSliderValue() const override     { return (float) getValue(); }
    juce::Font getPlaceholderFont() const override      { return {}; }

private:
    Style style = rotary;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GFXSwitch)
};
