#include "WebLink.h"

#include <algorithm>

extern char** environ;

namespace
{
    juce::StringArray& getBrowsers()
    {
        static juce::StringArray browsers { "xdg-open", "/etc/alternatives/x-www-browser", "firefox", "mozilla",
                                            "google-chrome", "chromium-browser", "opera", "konqueror" };
        return browsers;
    }

    juce::String quotedForShell (const juce::String& word)
    {
        return "'" + word.replace ("'", "'\\''") + "'";
    }

    /** A shell script that tries the browsers with the address, its first argument, in a job
        of its own whose output goes nowhere, and ends without waiting for it.
    */
    std::string makeScript()
    {
        juce::StringArray tries;

        for (auto& browser : getBrowsers())
            tries.add (quotedForShell (browser) + " \"$1\"");

        return ("{ " + tries.joinIntoString (" || ") + "; } > /dev/null &").toStdString();
    }
}

WebLink::WebLink (const juce::String& text, const juce::URL& address)
    : juce::HyperlinkButton (text, address)
{
}

juce::StringArray WebLink::setBrowsers (const juce::StringArray& programs)
{
    return std::exchange (getBrowsers(), programs);
}

void WebLink::clicked()
{
   #if JUCE_LINUX || JUCE_BSD
    const auto url = getURL();

    if (! url.isWellFormed())
        return;

    // The address as JUCE hands it to the browser.
    auto address = url.toString (true);

    if (address.contains ("@") && ! address.contains (":"))
        address = "mailto:" + address;

    std::vector<std::string> environment;

    for (auto** entry = environ; entry != nullptr && *entry != nullptr; ++entry)
        environment.emplace_back (*entry);

    auto starter = std::make_unique<ChildProgram>();

    if (starter->start ("/bin/sh", { "sh", "-c", makeScript(), "sh", address.toStdString() }, environment))
    {
        starters.push_back (std::move (starter));
        startTimer (100);
    }
   #else
    juce::HyperlinkButton::clicked();
   #endif
}

void WebLink::timerCallback()
{
    starters.erase (std::remove_if (starters.begin(), starters.end(), [] (auto& starter) { return starter->hasEnded(); }),
                    starters.end());

    if (starters.empty())
        stopTimer();
}
