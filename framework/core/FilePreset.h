#pragma once

#include "Preset.h"

/**
    A preset bound to a file, as the preset collection hands them out.

    Its name is always its file's name without the extension: the "name" attribute of
    the file is neither trusted on reading nor written.
*/
class FilePreset : public Preset
{
public:
    FilePreset() = default;

    /** Binds the preset to a file and names it after the file. */
    void setFile (const juce::File& file);
    juce::File getFile() const                  { return juce::File (path); }
    const juce::String& getPath() const noexcept { return path; }

    bool loadFromFile (const juce::File& file, const ParameterManager& manager, bool headerOnly) override;
    bool saveToFile (const juce::File& file, const ParameterManager& manager) override;

private:
    juce::String path;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FilePreset)
};
