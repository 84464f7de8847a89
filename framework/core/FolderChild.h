#pragma once

#include <juce_core/juce_core.h>

/**
    Paths below a folder for names that come from the disk, an archive, the settings or the
    user, and whole paths read back from the settings, a session or the environment.

    On Linux and macOS, juce::File takes a path that begins with '~' for a path of its own:
    "~" and "~/x" become the home folder, "~name" a user's home folder, and any other "~x" a
    path relative to the process's working folder. getChildFile, getSiblingFile and every call
    that joins names through them (withFileExtension, getNonexistentChildFile) take a name
    that begins with '~' the same way: a preset saved as "~Draft", or an archive entry "~/x",
    would land there instead of in the folder.
*/
struct FolderChild
{
    /** The file or folder that the relative path names below the folder, whatever its first
        character; "." and ".." steps are taken as juce::File::getChildFile takes them.
    */
    static juce::File of (const juce::File& folder, const juce::String& relativePath);

    /** The file of that name beside the given one, as juce::File::getSiblingFile would name it. */
    static juce::File besides (const juce::File& file, const juce::String& name);

    /** The file beside the given one with its extension replaced by the given one (with its
        dot), as juce::File::withFileExtension would name it.
    */
    static juce::File withExtension (const juce::File& file, const juce::String& extension);

    /** A name below the folder where nothing is yet, numbered as
        juce::File::getNonexistentChildFile numbers it.
    */
    static juce::File nonexistentChild (const juce::File& folder, const juce::String& prefix,
                                        const juce::String& suffix, bool putNumbersInBrackets);

    /** The file that a whole path names when it is absolute; none for any other path, one
        that begins with '~' included, since it would depend on the working folder or on
        whose home folder JUCE finds.
    */
    static juce::File fromPath (const juce::String& path);
};
