#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The ranges that a skin is held to. A skin archive comes from outside: numbers far past
    anything a face needs would overflow JUCE's integer geometry or ask for more memory than
    the machine has. A number outside its range is read as the nearest number inside it; a
    document or picture larger than its limit is not read at all (the skin then has no panel,
    the widget its placeholder).
*/
struct SkinLimits
{
    /** Positions and panel offsets, either side of zero. */
    static constexpr int maxCoordinate = 16384;
    /** Widths and heights that a skin gives as numbers. */
    static constexpr int maxLength = 16384;
    /** Digits of a numeric display: as many as a double tells apart. */
    static constexpr int maxDigits = 16;
    /** Place of a numeric display's first digit, either side of the ones: further out the
        scale from a value to its digits would be infinite or nothing. */
    static constexpr int maxPlace = 16;
    /** Values that a display shows or is held between, either side of zero: as far as a
        double still counts in whole steps of its last digit, and well inside a float. */
    static constexpr double maxValue = 1.0e15;
    /** Numbers of a pattern display (notes, numbers, banks and slots), either side of zero. */
    static constexpr int maxPatternNumber = 9999;
    /** States of a multi-state button. */
    static constexpr int maxStates = 1024;
    /** Font heights in pixels. */
    static constexpr int maxFontHeight = 1024;
    /** Bytes of the skin document, and of the inner archive that holds it and the pictures. */
    static constexpr juce::int64 maxDocumentBytes = (juce::int64) 16 << 20;
    static constexpr juce::int64 maxArchiveBytes = (juce::int64) 256 << 20;
    /** Pictures: encoded bytes, a side in pixels and the whole area. */
    static constexpr juce::int64 maxPictureBytes = (juce::int64) 64 << 20;
    static constexpr int maxPictureSide = 65536;
    static constexpr juce::int64 maxPicturePixels = (juce::int64) 16 << 20;

    /** An integer attribute (read as C's atoi reads it) held to [minimum, maximum]. */
    static int readInt (const juce::XmlElement& element, juce::StringRef name, int defaultValue,
                        int minimum, int maximum);

    static int readCoordinate (const juce::XmlElement& element, juce::StringRef name, int defaultValue = 0)
    {
        return readInt (element, name, defaultValue, -maxCoordinate, maxCoordinate);
    }

    static int readLength (const juce::XmlElement& element, juce::StringRef name, int defaultValue = 0)
    {
        return readInt (element, name, defaultValue, 0, maxLength);
    }

    /** A floating-point attribute held to [minimum, maximum]; not-a-number reads as the
        default, which must lie in the range.
    */
    static double readDouble (const juce::XmlElement& element, juce::StringRef name, double defaultValue,
                              double minimum, double maximum);

    static double readValue (const juce::XmlElement& element, juce::StringRef name)
    {
        return readDouble (element, name, 0.0, -maxValue, maxValue);
    }

    /** A floating-point font height held to [0, maxFontHeight]; not-a-number reads as 0. */
    static float readFontHeight (const juce::XmlElement& element, juce::StringRef name);

    /** True when encoded picture bytes are a PNG whose size is within the limits above. */
    static bool isPictureWithinLimits (const void* data, size_t numBytes);
};
