#pragma once

#include "BaseGFXController.h"

/**
    A two-way rocker switch (skin tag "Rocker"): pressing one half fires its "more" or
    "less" event, with a variant of each for a press with the control key. It has no
    value; its filmstrip shows less pressed, at rest and more pressed.
*/
class GFXRocker  : public BaseGFXController,
                   public juce::Component
{
public:
    enum Orientation
    {
        vertical = 0,       // top half "more"
        horizontal = 1      // right half "more"
    };

    enum State
    {
        lessPressed = 0,
        atRest = 1,
        morePressed = 2
    };

    explicit GFXRocker (const juce::String& name);
    ~GFXRocker() override = default;

    /** Takes "onLessClick", "onMoreClick", "onLessClickWithCtrl" and "onMoreClickWithCtrl". */
    void setAction (const juce::String& type, int uid, const juce::String& eventName) override;

    /** The filmstrip, size and position, then "type" ("vertical" or "horizontal"). */
    void loadFromXml (juce::XmlElement* element, SkinSource* source) override;

    void setOrientation (Orientation newOrientation)    { orientation = newOrientation; }
    int getState() const noexcept                       { return state; }

    /** Draws the rest frame whatever the state while set; a press or release clears it. */
    bool showRest = false;

    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void mouseDown (const juce::MouseEvent& e) override;
    /** @internal */
    void mouseUp (const juce::MouseEvent& e) override;

private:
    Orientation orientation = vertical;
    int lessUid = -1, moreUid = -1, lessCtrlUid = -1, moreCtrlUid = -1;
    int state = atRest;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GFXRocker)
};
