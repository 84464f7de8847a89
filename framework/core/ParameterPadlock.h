#pragma once

#include <juce_events/juce_events.h>

class Parameter;

/**
    Marks a set of parameters as locked or unlocked by the user, so that loading a
    preset leaves them alone, and tells its listeners on the message thread when it is
    switched.

    Which parameters a padlock covers is the subclass's business; isIndexLocked and
    isParameterLocked answer coverage only, and the caller tests isLocked separately.
    The flag is an atomic word, so any thread may read it.
*/
class ParameterPadlock : public juce::AsyncUpdater
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void padlockChanged (ParameterPadlock* padlock) = 0;
    };

    ParameterPadlock() = default;

    /** Adds a listener once; null is ignored. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    bool isLocked() const noexcept          { return locked.load() != 0; }

    /** Flips the flag; the listeners hear of it once, on the message thread. */
    void toggle();

    /** Sets the flag; when it changed, the listeners hear of it on the message thread. */
    void setLocked (bool shouldBeLocked);

    /** Whether the padlock covers the parameter with this index. */
    virtual bool isIndexLocked (int index) const = 0;
    /** Whether the padlock covers this parameter; false for null. */
    virtual bool isParameterLocked (const Parameter* parameter) const = 0;

    /** @internal */
    void handleAsyncUpdate() override;

private:
    juce::ListenerList<Listener> listeners;
    std::atomic<int> locked { 0 };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ParameterPadlock)
};
