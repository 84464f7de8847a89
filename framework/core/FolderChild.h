#pragma once

#include <juce_core/juce_core.h>

/**
    Paths below a folder for names that come from the disk, an archive or the user.

    On Linux and macOS, juce::File::getChildFile takes a name that begins with '~' for an
    absolute path: "~" and "~/x" become the home folder, "~name" a user's home folder, and
    any other "~x" a path relative to the process's working folder. A preset saved as "~Draft",
    or an archive entry "~/x", would land there instead of in the folder.
*/
struct FolderChild
{
    /** The file or folder that the relative path names below the folder, whatever its first
        character; "." and ".." steps are taken as juce::File::getChildFile takes them.
    */
    static juce::File of (const juce::File& folder, const juce::String& relativePath);

    /** The file of that name beside the given one, as juce::File::getSiblingFile would name it. */
    static juce::File besides (const juce::File& file, const juce::String& name);
};
