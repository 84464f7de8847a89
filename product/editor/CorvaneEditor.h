#pragma once

#include "BasePluginEditor.h"
#include "Corvane.h"
#include "ParameterPadlock.h"

/**
    The Corvane editor: the framework editor bound to the delay's processor.

    It follows the processor's padlocks and the line clipboard (the framework editor follows
    the MIDI learn state),
    and refreshes its line display when a line is copied or pasted. The skin binding
    and the product's own windows build on this.
*/
class CorvaneEditor  : public BasePluginEditor,
                       public ParameterPadlock::Listener,
                       public Corvane::Listener
{
public:
    explicit CorvaneEditor (Corvane& processor);
    ~CorvaneEditor() override;

    Corvane& getProcessor() noexcept                { return corvane; }

    /** How often the line display was refreshed (a line copied or pasted). */
    int getNumLineDisplayRefreshes() const noexcept { return numLineDisplayRefreshes; }

    //==============================================================================
    void padlockChanged (ParameterPadlock* padlock) override;
    void lineCopied() override;
    void linePasted (Corvane* processor) override;

private:
    void refreshLineDisplay();

    Corvane& corvane;
    int numLineDisplayRefreshes = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CorvaneEditor)
};
