#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The one-line message strip at the bottom of the editor. Messages compete by priority:
    a different text at the shown priority or above replaces the shown one; a temporary
    message clears itself after three seconds, after which any priority may write again.
*/
class StatusBar  : public juce::Component,
                   public juce::Timer
{
public:
    StatusBar();

    /** Shows the text for three seconds (restarting the clock) unless it is the text
        already shown or its priority is below the shown one.
    */
    void showTemporaryMessage (const juce::String& text, int priority);

    /** As showTemporaryMessage, but the text stays until replaced or cleared. */
    void showMessage (const juce::String& text, int priority);

    /** Empties the bar and lets any priority write again. */
    void clearMessage();

    const juce::String& getText() const noexcept    { return text; }
    int getPriority() const noexcept                { return priority; }
    bool isClearPending() const                     { return isTimerRunning(); }

    void lookAndFeelChanged() override;
    void paint (juce::Graphics&) override;

private:
    bool accept (const juce::String& newText, int newPriority);
    void timerCallback() override;

    juce::Font font;
    juce::String text;
    int priority = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StatusBar)
};
