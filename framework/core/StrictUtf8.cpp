#include "StrictUtf8.h"

#include <cstdint>

int StrictUtf8::getSequenceLength (const char* bytes, size_t numBytes, size_t start) noexcept
{
    const auto lead = (unsigned char) bytes[start];

    if (lead < 0x80)
        return lead != 0 ? 1 : 0;

    const int length = lead >= 0xf0 ? 4 : (lead >= 0xe0 ? 3 : (lead >= 0xc0 ? 2 : 0));

    if (length == 0 || lead > 0xf4 || (size_t) length > numBytes - start)
        return 0;

    auto code = (std::uint32_t) (lead & (0x7f >> length));

    for (int i = 1; i < length; ++i)
    {
        const auto next = (unsigned char) bytes[start + (size_t) i];

        if ((next & 0xc0) != 0x80)
            return 0;

        code = (code << 6) | (next & 0x3f);
    }

    static constexpr std::uint32_t smallest[] = { 0, 0, 0x80, 0x800, 0x10000 };

    if (code < smallest[length] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
        return 0;

    return length;
}

bool StrictUtf8::isValid (const char* bytes, size_t numBytes) noexcept
{
    for (size_t i = 0; i < numBytes;)
    {
        const auto length = getSequenceLength (bytes, numBytes, i);

        if (length == 0)
            return false;

        i += (size_t) length;
    }

    return true;
}

juce::String StrictUtf8::withInvalidBytesMarked (const char* bytes, size_t numBytes)
{
    juce::String shown;

    for (size_t i = 0; i < numBytes;)
    {
        const auto length = getSequenceLength (bytes, numBytes, i);

        if (length > 0)
            shown += juce::String::fromUTF8 (bytes + i, length);
        else
            shown += juce::String::charToString ((juce::juce_wchar) 0xfffd);

        i += (size_t) juce::jmax (1, length);
    }

    return shown;
}

std::optional<juce::String> StrictUtf8::toString (std::string_view bytes)
{
    if (! isValid (bytes.data(), bytes.size()))
        return std::nullopt;

    return juce::String::fromUTF8 (bytes.data(), (int) bytes.size());
}

juce::String StrictUtf8::escaped (std::string_view bytes)
{
    juce::String shown;

    for (size_t i = 0; i < bytes.size();)
    {
        const auto length = getSequenceLength (bytes.data(), bytes.size(), i);

        if (length > 0)
            shown += juce::String::fromUTF8 (bytes.data() + i, length);
        else
            shown += "\\x" + juce::String::toHexString ((int) (unsigned char) bytes[i]).paddedLeft ('0', 2);

        i += (size_t) juce::jmax (1, length);
    }

    return shown;
}
