#pragma once

#include "BaseGFXController.h"
#include "GFXClickActions.h"

/**
    A skin push button: frame 0 normal, frame 1 pressed. It fires the event uids of its
    click actions; linked to a boolean parameter it is a momentary switch, holding the
    parameter true exactly while it is pressed, and fires on the press.
*/
class GFXButton  : public BaseGFXController,
                   public juce::Button
{
public:
    /** The name is also the button text; the initial size fits it until the skin gives one. */
    explicit GFXButton (const juce::String& name);
    ~GFXButton() override = default;

    using GUIController::addListener;
    using juce::Button::addListener;
    using GUIController::removeListener;
    using juce::Button::removeListener;

    void setAction (const juce::String& type, int uid, const juce::String& eventName) override;
    void loadFromXml (juce::XmlElement* element, SkinSource* source) override;

    const GFXClickActions& getClickActions() const noexcept    { return actions; }

    /** @internal */
    void clicked (const juce::ModifierKeys& mods) override;
    /** @internal */
    void buttonStateChanged() override;
    /** @internal */
    void mouseEnter (const juce::MouseEvent& e) override;
    /** @internal */
    void modifierKeysChanged (const juce::ModifierKeys& mods) override;
    /** @internal */
    void paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;

private:
    void updateTooltip (const juce::ModifierKeys& mods);
    void paintPlaceholder (juce::Graphics& g, bool pressed);

    bool wasDown = false;
    GFXClickActions actions;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GFXButton)
};
