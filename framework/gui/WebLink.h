#pragma once

#include "ChildProgram.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

/**
    A hyperlink button that opens its address in the desktop's browser through ChildProgram.

    JUCE's own starts the browser with every descriptor of the host and never collects the
    shell that starts it. Here the browsers are tried in turn, as JUCE tries them, by a shell
    that starts them in the background and ends at once: the shell is followed to its end and
    collected, and the browser, which is the user's, goes on when the editor or the host closes.
*/
class WebLink  : public juce::HyperlinkButton,
                 private juce::Timer
{
public:
    WebLink (const juce::String& text, const juce::URL& address);

    /** Sets the browsers tried in turn, each given the address, until one opens it; returns
        the ones set before. Tests put a stand-in in place of the desktop's.
    */
    static juce::StringArray setBrowsers (const juce::StringArray& programs);

    /** @internal */
    void clicked() override;

private:
    void timerCallback() override;

    std::vector<std::unique_ptr<ChildProgram>> starters;

    JUCE_DECLARE_NON_COPYABLE (WebLink)
};
