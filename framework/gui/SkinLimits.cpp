#include "SkinLimits.h"

#include "XmlHelpers.h"

int SkinLimits::readInt (const juce::XmlElement& element, juce::StringRef name, int defaultValue,
                         int minimum, int maximum)
{
    return juce::jlimit (minimum, maximum, XmlHelpers::getIntAttribute (element, name, defaultValue));
}

double SkinLimits::readDouble (const juce::XmlElement& element, juce::StringRef name, double defaultValue,
                              double minimum, double maximum)
{
    const auto value = XmlHelpers::getDoubleAttribute (element, name, defaultValue);
    return std::isnan (value) ? defaultValue : juce::jlimit (minimum, maximum, value);
}

float SkinLimits::readFontHeight (const juce::XmlElement& element, juce::StringRef name)
{
    return (float) readDouble (element, name, 0.0, 0.0, (double) maxFontHeight);
}

bool SkinLimits::isPictureWithinLimits (const void* data, size_t numBytes)
{
    // The size stands in the PNG header's first chunk, which must come first: JUCE would
    // otherwise allocate whatever a header asks for before it reads a single row.
    static constexpr unsigned char signature[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R' };
    const auto* bytes = static_cast<const unsigned char*> (data);

    if (numBytes < 24 || (juce::int64) numBytes > maxPictureBytes || std::memcmp (bytes, signature, sizeof (signature)) != 0)
        return false;

    const auto width = (juce::int64) juce::ByteOrder::bigEndianInt (bytes + 16);
    const auto height = (juce::int64) juce::ByteOrder::bigEndianInt (bytes + 20);

    return width > 0 && height > 0 && width <= maxPictureSide && height <= maxPictureSide
            && width * height <= maxPicturePixels;
}
