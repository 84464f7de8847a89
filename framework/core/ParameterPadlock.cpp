#include "ParameterPadlock.h"

void ParameterPadlock::addListener (Listener* listener)
{
    listeners.add (listener);
}

void ParameterPadlock::removeListener (Listener* listener)
{
    listeners.remove (listener);
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
    listeners.call (&Listener::padlockChanged, this);
}
