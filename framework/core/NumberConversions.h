#pragma once

#include <juce_core/juce_core.h>

/**
    Number conversions shared by the parameters and every reader and writer of the
    framework's documents: texts with a given number of significant digits, C-style
    integer reading, and narrowing conversions that never invoke undefined behaviour.
*/
struct NumberConversions
{
    /** The value in general notation with at most the given number of significant
        digits and no trailing zeros, always with a '.' as the decimal point (as
        printf's "%.9g" in the C locale: 0.5 gives "0.5", 1000 gives "1000", 0.1f
        widened to double gives "0.100000001" with nine digits).
    */
    static juce::String toText (double value, int significantDigits);

    /** The leading decimal integer of the text as C's atoi reads it (leading blanks
        and a sign allowed; 0 when the text starts with no number). Values beyond the
        int range are clamped instead of overflowing.
    */
    static int parseInt (const juce::String& text);

    /** The value truncated toward zero, clamped to the int range; NaN gives 0. */
    static int truncateToInt (double value) noexcept;

    /** The value as a float, with magnitudes beyond the float range clamped to the
        largest finite float of that sign (infinities and NaN pass through).
    */
    static float toFloat (double value) noexcept;
};
