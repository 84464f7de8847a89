#include "FolderChild.h"

juce::File FolderChild::of (const juce::File& folder, const juce::String& relativePath)
{
    // A leading "./" keeps getChildFile from reading the name as an absolute path.
    return relativePath.startsWithChar ('~') ? folder.getChildFile ("./" + relativePath) : folder.getChildFile (relativePath);
}

juce::File FolderChild::besides (const juce::File& file, const juce::String& name)
{
    return of (file.getParentDirectory(), name);
}
