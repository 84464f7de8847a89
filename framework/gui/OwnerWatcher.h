#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    Tells a chooser when the component that opened it leaves the screen for good: it is
    deleted, or it or a window around it is hidden, as a host hides the editor when it
    closes its view. The callback may delete the watcher. It comes at once for a deletion,
    so that nothing of the chooser outlives its owner, and from the message loop for a
    window hidden, since JUCE tells of that while it is still working on the watcher.
*/
class OwnerWatcher  : private juce::ComponentMovementWatcher,
                      private juce::AsyncUpdater
{
public:
    OwnerWatcher (juce::Component& owner, std::function<void()> onGone);

    /** The owner while it lives, else null. */
    juce::Component* getOwner() const noexcept     { return owner.getComponent(); }

private:
    void componentMovedOrResized (bool, bool) override {}
    void componentPeerChanged() override {}
    void componentVisibilityChanged() override;
    void componentBeingDeleted (juce::Component&) override;
    void handleAsyncUpdate() override;

    juce::Component::SafePointer<juce::Component> owner;
    std::function<void()> onGone;

    JUCE_DECLARE_NON_COPYABLE (OwnerWatcher)
};
