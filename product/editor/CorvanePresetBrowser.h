#pragma once

#include "Corvane.h"
#include "PresetBrowserWindow.h"
#include "TextButtonWithIcon.h"

/**
    The product's preset browser: the framework's browser window with a strip on its
    bottom line that restores the defaults of all lines or of one line, and locks lines
    against every preset the processor applies. The padlock buttons mirror the
    processor's padlocks, wherever those are switched.
*/
class CorvanePresetBrowser  : public PresetBrowserWindow,
                              public ParameterPadlock::Listener
{
public:
    static constexpr int numLines = 4;

    CorvanePresetBrowser (Corvane& processor, PresetCollection& collection);
    ~CorvanePresetBrowser() override;

    /** Line 0 to 3's restore button. */
    juce::TextButton& getLineRestoreButton (int line)       { return *restoreButtons[line]; }
    /** Line 0 to 3's padlock button. */
    TextButtonWithIcon& getLockButton (int line)            { return *lockButtons[line]; }

    void buttonClicked (juce::Button*) override;
    void padlockChanged (ParameterPadlock*) override;

    /** @internal */
    void resized() override;
    /** @internal */
    void lookAndFeelChanged() override;

private:
    void sizeLabel (juce::Label& label);

    Corvane& processor;
    ComponentRow restoreRow, lockRow;
    juce::Label restoreLabel { "restoreLabel", "Restore default:" }, lockLabel { "lockLabel", "Lines locking:" };
    juce::OwnedArray<juce::TextButton> restoreButtons;
    juce::OwnedArray<TextButtonWithIcon> lockButtons;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CorvanePresetBrowser)
};
