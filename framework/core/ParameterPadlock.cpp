#include "ParameterPadlock.h"

void ParameterPadlock::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void ParameterPadlock::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

void ParameterPadlock::toggle()
{
    locked.fetch_xor (1);
    triggerAsyncUpdate();
}

void ParameterPadlock::setLocked (bool shouldBeLocked)
{
    if (locked.exchange (shouldBeLocked ? 1 : 0) != (shouldBeLocked ? 1 : 0))
        triggerAsyncUpdate();
}

void ParameterPadlock::handleAsyncUpdate()
{
    // Last added first; a listener may remove itself while it is called.
    for (int i = listeners.size(); --i >= 0;)
        if (auto* listener = listeners[i])
            listener->padlockChanged (this);
}
