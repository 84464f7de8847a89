#include "GFXClickActions.h"

bool GFXClickActions::setAction (const juce::String& type, int uid, const juce::String& eventName)
{
    if (type == "onClick")
    {
        clickUid = uid;
        clickEventName = eventName;
    }
    else if (type == "onClickWithCtrl")
    {
        ctrlClickUid = uid;
        ctrlClickEventName = eventName;
    }
    else if (type == "onRightClick")
    {
        rightClickUid = uid;
    }
    else
    {
        return false;
    }

    return true;
}

int GFXClickActions::getUidForClick (const juce::ModifierKeys& mods) const noexcept
{
    if (mods.isCtrlDown())
        return ctrlClickUid;

    if (mods.isRightButtonDown() && rightClickUid != -1)
        return rightClickUid;

    return clickUid;
}

juce::String GFXClickActions::getTooltipFor (const juce::ModifierKeys& mods) const
{
    return mods.isCtrlDown() && ctrlClickUid != -1 ? ctrlClickEventName : clickEventName;
}
