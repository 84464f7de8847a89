#pragma once

#include <juce_events/juce_events.h>

/**
    Lets a widget blink: while blinking runs, a timer flips the blink state every
    interval and calls blinkStateChanged, in which a widget repaints. Widgets show
    their resting look (frame 0) in the phase where the state is true.
*/
class BlinkingComponent
{
public:
    BlinkingComponent();
    virtual ~BlinkingComponent();

    /** Called at every start, stop and flip; empty by default. */
    virtual void blinkStateChanged() {}

    /** Clears the state, starts the timer at the blink interval, calls the hook. */
    void startBlinking();
    /** Stops the timer, keeping the state as it was, and calls the hook. */
    void stopBlinking();
    bool isBlinking() const;

    bool getBlinkState() const noexcept                 { return blinkState; }
    void setBlinkState (bool newState) noexcept         { blinkState = newState; }

    /** True in the phase in which a blinking widget hides its value. */
    bool isInDarkBlinkPhase() const                     { return isBlinking() && blinkState; }

    /** Takes effect at the next startBlinking. */
    void setBlinkInterval (int milliseconds) noexcept   { blinkInterval = juce::jmax (1, milliseconds); }
    int getBlinkInterval() const noexcept               { return blinkInterval; }

private:
    class BlinkingComponentTimer  : public juce::Timer
    {
    public:
        explicit BlinkingComponentTimer (BlinkingComponent& c)  : owner (c) {}
        void timerCallback() override;

    private:
        BlinkingComponent& owner;
    };

    bool blinkState = false;
    std::unique_ptr<BlinkingComponentTimer> timer;
    int blinkInterval = 150;

    JUCE_DECLARE_NON_COPYABLE (BlinkingComponent)
};
