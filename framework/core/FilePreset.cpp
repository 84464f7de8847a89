#include "FilePreset.h"

void FilePreset::setFile (const juce::File& file)
{
    path = file.getFullPathName();
    setName (file.getFileNameWithoutExtension());
}

bool FilePreset::loadFromFile (const juce::File& file, const ParameterManager& manager, bool headerOnly)
{
    const bool loaded = Preset::loadFromFile (file, manager, headerOnly);
    setFile (file);
    return loaded;
}

bool FilePreset::saveToFile (const juce::File& file, const ParameterManager& manager)
{
    setName ({});
    const bool saved = Preset::saveToFile (file, manager);
    setFile (file);
    return saved;
}
