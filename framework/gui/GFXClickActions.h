#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The event uids that a skin button fires for a plain, a Ctrl and a right click, and
    the rule that picks one: Ctrl wins and fires only its own action; a right click
    fires its own action when there is one and acts as a plain click otherwise.
*/
class GFXClickActions
{
public:
    GFXClickActions() = default;

    /** Takes "onClick", "onClickWithCtrl" or "onRightClick" (exact); false for any other type. */
    bool setAction (const juce::String& type, int uid, const juce::String& eventName);

    /** The uid that a click with these modifiers fires, or -1 for none. */
    int getUidForClick (const juce::ModifierKeys& mods) const noexcept;

    /** The event name shown as a tooltip while these modifiers are held. */
    juce::String getTooltipFor (const juce::ModifierKeys& mods) const;

    int clickUid = -1, ctrlClickUid = -1, rightClickUid = -1;
    juce::String clickEventName, ctrlClickEventName;
};
