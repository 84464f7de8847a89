#pragma once

#include "AtomicFileWriter.h"
#include "FileDialogs.h"
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

    /** The file a save writes for the chosen one: the extension replaces the chosen name's own. */
    juce::File fileToWrite (const juce::File& chosen) const
    {
        return FolderChild::withExtension (chosen, extension);
    }

    /** True when the file to write is there but is not the one the chooser asked about, so
        that the extension step would replace a file the user never chose without asking.
    */
    static bool needsOverwriteQuestion (const juce::File& file, const juce::File& warnedAbout)
    {
        return file != warnedAbout && (file.exists() || file.isSymbolicLink());
    }

    /** What a map page says when its map could not be written to the file. */
    static juce::String getWriteFailureText (const juce::File& file)
    {
        return "The map could not be written to \"" + file.getFullPathName() + "\""
                 + (AtomicFileWriter::isNameTooLong (file) ? ": " + AtomicFileWriter::getNameTooLongText() : juce::String()) + ".";
    }

    /** What a map page says when the chooser's answer is refused; the action is "loaded" or "saved". */
    static juce::String getRefusalText (const juce::String& action)
    {
        return "The map could not be " + action + ": " + FileDialogs::refusalReason;
    }
};
