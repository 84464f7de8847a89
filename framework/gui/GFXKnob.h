#pragma once

#include "BaseGFXController.h"

/**
    A skin knob: a rotary slider on 0..1, turned by dragging vertically, that shows the
    frame of its value and frame 0 while disabled. Linked to a parameter it holds the
    parameter's normalised value: a user drag sets the parameter and tells the host of
    the gesture; a parameter change moves the knob without travelling back.
*/
class GFXKnob  : public BaseGFXController,
                 public juce::Slider
{
public:
    explicit GFXKnob (const juce::String& name);
    ~GFXKnob() override = default;

    using GUIController::addListener;
    using juce::Slider::addListener;
    using GUIController::removeListener;
    using juce::Slider::removeListener;

    void updateFromParameter (Parameter* changed) override;
    void loadFromXml (juce::XmlElement* element, SkinSource* source) override;

    /** @internal */
    void startedDragging() override;
    /** @internal */
    void stoppedDragging() override;
    /** @internal */
    void valueChanged() override;
    /** @internal */
    void paint (juce::Graphics& g) override;

protected:
    /** The place of the value in the slider's range, 0..1. */
    virtual float getNormalisedSliderValue() const;

    /** The outline, the slider as its look-and-feel draws it, and the value and name texts. */
    void paintPlaceholder (juce::Graphics& g, const juce::Font& font);

    virtual juce::Font getPlaceholderFont() const         { return juce::Font (13.0f); }

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GFXKnob)
};
