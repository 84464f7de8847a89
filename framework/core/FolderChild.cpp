#include "FolderChild.h"

namespace
{
    /** The name as JUCE's joining calls must be given it to keep it below their folder. */
    juce::String asChildName (const juce::String& relativePath)
    {
        // A leading "./" keeps getChildFile from reading the name as an absolute path.
        return relativePath.startsWithChar ('~') ? "./" + relativePath : relativePath;
    }
}

juce::File FolderChild::of (const juce::File& folder, const juce::String& relativePath)
{
    return folder.getChildFile (asChildName (relativePath));
}

juce::File FolderChild::besides (const juce::File& file, const juce::String& name)
{
    return of (file.getParentDirectory(), name);
}

juce::File FolderChild::withExtension (const juce::File& file, const juce::String& extension)
{
    return besides (file, file.getFileNameWithoutExtension() + extension);
}

juce::File FolderChild::nonexistentChild (const juce::File& folder, const juce::String& prefix,
                                          const juce::String& suffix, bool putNumbersInBrackets)
{
    return folder.getNonexistentChildFile (asChildName (prefix), suffix, putNumbersInBrackets);
}

juce::File FolderChild::fromPath (const juce::String& path)
{
    return juce::File::isAbsolutePath (path) && ! path.startsWithChar ('~') ? juce::File (path) : juce::File();
}
