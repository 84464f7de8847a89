#include "ResourceLoading.h"

#include <WindowsResources.h>

std::unique_ptr<juce::MemoryBlock> loadResourceData (const juce::String& fileName)
{
    const auto module = win32::getCurrentModuleInstanceHandle();

    const auto dot = fileName.lastIndexOfChar ('.');
    const auto name = dot >= 0 ? fileName.substring (0, dot) : juce::String();
    const auto type = dot >= 0 ? fileName.substring (dot + 1) : juce::String();

    const auto resource = win32::FindResourceA (module, name.toRawUTF8(), type.toRawUTF8());

    if (resource == nullptr)
        return nullptr;

    const auto size = win32::SizeofResource (module, resource);

    if (size == 0)
        return nullptr;

    const auto loaded = win32::LoadResource (module, resource);

    if (loaded == nullptr)
        return nullptr;

    const auto* data = win32::LockResource (loaded);

    if (data == nullptr)
    {
        win32::FreeResource (loaded);
        return nullptr;
    }

    auto block = std::make_unique<juce::MemoryBlock> (data, (size_t) size);
    win32::FreeResource (loaded);
    return block;
}

juce::String loadXmlFromResource (const juce::String& fileName)
{
    if (auto data = loadResourceData (fileName))
        return juce::String::fromUTF8 (static_cast<const char*> (data->getData()), (int) data->getSize());

    return {};
}

juce::Image loadImageFromResource (const juce::String& fileName)
{
    if (auto data = loadResourceData (fileName))
        return juce::ImageFileFormat::loadFrom (data->getData(), data->getSize());

    return {};
}
