#include "WorkingFolder.h"
#include "StrictUtf8.h"

#include <cerrno>
#include <filesystem>

std::optional<std::string> WorkingFolder::read (juce::String& cause)
{
    std::error_code error;
    auto name = std::filesystem::current_path (error).native();

    if (! error)
        return name;

    cause = error.value() == ENOENT ? juce::String ("it has been removed") : juce::String (error.message());
    return {};
}

juce::File WorkingFolder::find()
{
    juce::String cause;

    if (const auto name = read (cause))
        if (const auto text = StrictUtf8::toString (*name))
            return juce::File (*text);

    return {};
}
