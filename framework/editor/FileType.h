#pragma once

#include "FolderChild.h"

#include <juce_core/juce_core.h>

/**
    The file kind a settings page opens and saves: its extension (with the leading point),
    which every saved file gets, and the wildcard its dialogs filter with.
*/
class FileType
{
public:
    juce::String extension;
    juce::String wildcard;

    /** True for a path that names an existing folder, which can never be a file of this kind. */
    static bool namesFolder (const juce::String& path)
    {
        return FolderChild::fromPath (path).isDirectory();
    }
};
