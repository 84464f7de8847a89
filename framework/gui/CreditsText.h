#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    An area in which a multi-line text scrolls upwards, one pixel per timer tick, starting
    again from just below the area once it has left the top. Its owner starts and stops the
    timer; a press anywhere in it, the text included, is reported to the listeners.
*/
class CreditsText  : public juce::Component,
                     public juce::Timer
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void creditsClicked (CreditsText*) = 0;
    };

    explicit CreditsText (const juce::String& text);
    ~CreditsText() override;

    /** Adds a listener once. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    /** The label holding the whole text, which the timer moves. */
    juce::Label& getLabel() noexcept                { return label; }

    /** Puts the text back just below the area. */
    void restart();

    //==============================================================================
    /** @internal */
    void resized() override;
    /** @internal */
    void mouseDown (const juce::MouseEvent&) override;
    /** @internal */
    void timerCallback() override;

private:
    juce::Label label;
    int lineCount = 0;
    juce::Array<Listener*> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CreditsText)
};
