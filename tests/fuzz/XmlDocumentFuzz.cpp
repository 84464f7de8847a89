// The one parser every document from outside goes through.

#include "XmlHelpers.h"

#include <cstdint>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    // JUCE's String reads the first byte even of an empty range.
    const auto* text = reinterpret_cast<const char*> (data);
    XmlHelpers::parseUntrusted (size > 0 ? juce::String (juce::CharPointer_UTF8 (text), juce::CharPointer_UTF8 (text + size))
                                         : juce::String());
    XmlHelpers::parseUntrustedBinary (data, (int) juce::jmin (size, (size_t) std::numeric_limits<int>::max()));
    return 0;
}
