#pragma once

#include "BaseGFXController.h"

/**
    A skin two-state button mirroring a boolean parameter. Style "2D" has the frames
    off and on, "3D" off, off pressed, on, on pressed. It shows frame 0 while disabled
    or in the dark blink phase. Actions are not used.
*/
class GFXToggleButton  : public BaseGFXController,
                         public juce::Button
{
public:
    explicit GFXToggleButton (const juce::String& name);
    ~GFXToggleButton() override = default;

    using GUIController::addListener;
    using juce::Button::addListener;
    using GUIController::removeListener;
    using juce::Button::removeListener;

    void updateFromParameter (Parameter* changed) override;
    void loadFromXml (juce::XmlElement* element, SkinSource* source) override;
    void sizeChanged() override;
    void positionChanged() override;
    void blinkStateChanged() override;

    /** 0 for "2D", 1 for "3D". */
    int getStyle() const noexcept                       { return style; }

    /** @internal */
    void clicked() override;
    /** @internal */
    void paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;

private:
    int getFrameToShow (bool pressed) const;
    void paintPlaceholder (juce::Graphics& g);

    int style = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GFXToggleButton)
};
