#pragma once

#include "BaseGFXController.h"
#include "GFXClickActions.h"

/**
    A skin button that shows one of n states, taken from its parameter's normalised
    value or set by the editor, and fires the event uids of its click actions; the
    editor that receives the event decides what a click does. Style "2D" has one frame
    per state, "3D" a normal and a pressed frame per state.
*/
class GFXMultiStateButton  : public BaseGFXController,
                             public juce::Button
{
public:
    explicit GFXMultiStateButton (const juce::String& name);
    ~GFXMultiStateButton() override = default;

    using GUIController::addListener;
    using juce::Button::addListener;
    using GUIController::removeListener;
    using juce::Button::removeListener;
    using juce::Button::setState;

    void setAction (const juce::String& type, int uid, const juce::String& eventName) override;
    void updateFromParameter (Parameter* changed) override;
    void loadFromXml (juce::XmlElement* element, SkinSource* source) override;
    void sizeChanged() override;
    void positionChanged() override;
    void blinkStateChanged() override;

    /** Shows a state (kept inside 0 .. states - 1); repaints when it changed. */
    void setState (int newState);
    int getState() const noexcept                       { return state; }
    int getNumStates() const noexcept                   { return states; }
    /** 0 for "2D", 1 for "3D". */
    int getStyle() const noexcept                       { return style; }

    const GFXClickActions& getClickActions() const noexcept    { return actions; }

    /** @internal */
    void clicked (const juce::ModifierKeys& mods) override;
    /** @internal */
    void paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;

private:
    int getFrameToShow (bool pressed) const;
    void paintPlaceholder (juce::Graphics& g, bool pressed);

    int style = 0, state = 0, states = 2;
    GFXClickActions actions;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GFXMultiStateButton)
};
