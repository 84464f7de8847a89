#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <string>

/**
    The process's working folder, read from the system as bytes, by one rule for whatever
    needs it: JUCE's own reading takes a name that is not UTF-8 past its end, and hands back
    no folder at all where the system cannot name it (a folder removed under the process),
    from which a relative name would lead to the root.
*/
struct WorkingFolder
{
    /** The working folder's name as the system gives it; nothing where the system cannot
        give it, with why in cause ("it has been removed", or the system's reason).
    */
    static std::optional<std::string> read (juce::String& cause);

    /** The working folder where the system can name it in UTF-8 text; none otherwise. */
    static juce::File find();
};
