#include "GUIController.h"

#include "BasePlugin.h"
#include "SkinSource.h"
#include "XmlHelpers.h"

GUIController::GUIController() = default;

GUIController::~GUIController()
{
    if (parameter != nullptr)
        parameter->removeAsyncListener (this);
}

//==============================================================================
void GUIController::parameterChanged (Parameter* changed)
{
    updateFromParameter (changed);
}

void GUIController::setAction (const juce::String&, int, const juce::String&)
{
}

void GUIController::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void GUIController::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

//==============================================================================
void GUIController::loadFromXml (juce::XmlElement* element, SkinSource* source)
{
    if (element == nullptr || source == nullptr)
        return;

    auto& plugin = source->getPlugin();

    if (auto* links = XmlHelpers::getChildByName (*element, "links"))
    {
        for (auto* link : XmlHelpers::getChildrenWithTagName (*links, "link"))
        {
            auto* found = plugin.parameterManager.getParameter (XmlHelpers::getStringAttribute (*link, "param"));

            if (found != nullptr && XmlHelpers::getStringAttribute (*link, "as") == "connectedTo")
                linkTo (found);
        }
    }

    if (auto* actions = XmlHelpers::getChildByName (*element, "actions"))
    {
        for (auto* action : XmlHelpers::getChildrenWithTagName (*actions, "action"))
        {
            const auto type = XmlHelpers::getStringAttribute (*action, "type");
            const auto uid = plugin.eventsMap.getEventUid (XmlHelpers::getStringAttribute (*action, "event"));

            if (type.isNotEmpty() && uid != -1)
                setAction (type, uid, plugin.eventsMap.getEventDisplayName (uid));
        }
    }
}

void GUIController::linkTo (Parameter* newParameter)
{
    if (parameter != nullptr)
        parameter->removeAsyncListener (this);

    parameter = newParameter;
    parameter->addAsyncListener (this);
}

//==============================================================================
template <typename Callback>
void GUIController::callListeners (Callback&& callback)
{
    // The size is read again before every call, so a listener may remove itself (or
    // another one) while it is called without ending the walk or running past the end.
    for (auto i = listeners.size();;)
    {
        if (--i >= listeners.size())
            i = listeners.size() - 1;

        if (i < 0)
            break;

        callback (*listeners.getUnchecked (i));
    }
}

void GUIController::sendGestureBegan()
{
    callListeners ([this] (Listener& l) { l.controllerGestureBegan (this); });
}

void GUIController::sendGestureEnded()
{
    callListeners ([this] (Listener& l) { l.controllerGestureEnded (this); });
}

void GUIController::sendValueChanged()
{
    callListeners ([this] (Listener& l) { l.controllerValueChanged (this); });
}

void GUIController::sendEvent (int uid)
{
    callListeners ([this, uid] (Listener& l) { l.handleControllerEvent (this, uid); });
}

void GUIController::beginParameterGesture()
{
    if (parameter == nullptr)
        return;

    parameter->beginChangeGesture();
    sendGestureBegan();
}

void GUIController::endParameterGesture()
{
    if (parameter == nullptr)
        return;

    parameter->endChangeGesture();
    sendGestureEnded();
}
