#pragma once

#include "BaseGFXController.h"

/**
    A skin panel: draws its background image (or a light grey without one) and holds
    the widgets of its "controls" element, which it creates through the
    GFXWidgetFactory in document order, so later elements lie on top. The "controls"
    offsets move every child, which lets a nested panel take coordinates of the
    whole skin.
*/
class GFXPanel  : public BaseGFXController,
                  public juce::Component
{
public:
    explicit GFXPanel (const juce::String& name);
    ~GFXPanel() override;

    /** Adds the listener to the panel and to every widget in it, nested panels included. */
    void addListener (GUIController::Listener* listener) override;

    void loadFromXml (juce::XmlElement* element, SkinSource* source) override;

    bool isTransparent() const noexcept                 { return transparent; }

    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void focusOfChildComponentChanged (FocusChangeType) override;

private:
    void createWidgets (const juce::XmlElement& controls, SkinSource* source);

    bool transparent = false;
    juce::OwnedArray<juce::Component> widgets;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GFXPanel)
};
