#include "Parameter.h"

Parameter::Parameter (int parameterIndex, const juce::String& parameterName)
    : index (parameterIndex), name (parameterName)
{
}

Parameter::~Parameter() = default;

//==============================================================================
void Parameter::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void Parameter::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

void Parameter::addAsyncListener (Listener* listener)
{
    if (listener != nullptr)
        asyncListeners.addIfNotAlreadyThere (listener);
}

void Parameter::removeAsyncListener (Listener* listener)
{
    asyncListeners.removeFirstMatchingValue (listener);
}

//==============================================================================
template <typename Callback>
void Parameter::callLastAddedFirst (const juce::Array<Listener*>& list, Callback&& callback)
{
    // The size is read again before every call: a listener may remove itself (or
    // another one) while it is called without ending the walk or running past the end.
    // The walk only reads the list, so the audio and message threads may notify at
    // once; juce::ListenerList may record a walk in the list, so it serves only lists
    // that the message thread alone calls.
    for (auto i = list.size();;)
    {
        if (--i >= list.size())
            i = list.size() - 1;

        if (i < 0)
            break;

        callback (*list.getUnchecked (i));
    }
}

void Parameter::notifyListeners()
{
    callLastAddedFirst (listeners, [this] (Listener& l) { l.parameterChanged (this); });
}

void Parameter::beginChangeGesture()
{
    callLastAddedFirst (listeners, [this] (Listener& l) { l.parameterGestureBegan (this); });
}

void Parameter::endChangeGesture()
{
    callLastAddedFirst (listeners, [this] (Listener& l) { l.parameterGestureEnded (this); });
}

void Parameter::handleAsyncUpdate()
{
    callLastAddedFirst (asyncListeners, [this] (Listener& l) { l.parameterChanged (this); });
}

void Parameter::valueChanged (bool notify)
{
    if (! notify)
        return;

    notifyListeners();
    triggerAsyncUpdate();
}
