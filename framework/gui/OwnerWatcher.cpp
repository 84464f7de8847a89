#include "OwnerWatcher.h"

OwnerWatcher::OwnerWatcher (juce::Component& ownerToWatch, std::function<void()> callback)
    : ComponentMovementWatcher (&ownerToWatch), owner (&ownerToWatch), onGone (std::move (callback))
{
}

// Called only when the owner stops showing because it or a window around it was hidden.
void OwnerWatcher::componentVisibilityChanged()
{
    if (owner != nullptr && ! owner->isShowing())
        triggerAsyncUpdate();
}

void OwnerWatcher::handleAsyncUpdate()
{
    if (owner == nullptr || ! owner->isShowing())
        onGone();
}

void OwnerWatcher::componentBeingDeleted (juce::Component& component)
{
    const auto isOwner = &component == owner.getComponent();
    ComponentMovementWatcher::componentBeingDeleted (component);

    if (isOwner)
        onGone();
}
