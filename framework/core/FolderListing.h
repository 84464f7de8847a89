#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <string>
#include <vector>

/** A folder's entries as the system lists them, read as bytes: JUCE's own iterator decodes a name that is not UTF-8 past its buffer. */
struct FolderListing
{
    struct Entry
    {
        std::string bytes;                 ///< the entry's name as the file system holds it
        std::optional<juce::String> name;  ///< the name, or none when it is not well-formed UTF-8
        bool isFolder = false;             ///< a folder, or a link that leads to one
        bool isLink = false;
        bool isFile = false;               ///< a regular file, or a link that leads to one
    };

    /** Every entry but "." and "..", in the system's order; empty when the folder can't be read. */
    static std::vector<Entry> list (const juce::File& folder);
};
