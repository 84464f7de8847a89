#include "NumberConversions.h"

#include <charconv>
#include <cmath>
#include <limits>

juce::String NumberConversions::toText (double value, int significantDigits)
{
    // std::to_chars does not depend on the C locale, unlike printf, whose decimal
    // separator follows whatever LC_NUMERIC a host has set.
    char buffer[64];
    const auto result = std::to_chars (buffer, buffer + sizeof (buffer), value,
                                       std::chars_format::general,
                                       juce::jlimit (1, 17, significantDigits));
    jassert (result.ec == std::errc());
    return juce::String (buffer, (size_t) (result.ptr - buffer));
}

int NumberConversions::parseInt (const juce::String& text)
{
    auto p = text.getCharPointer();

    while (p.isWhitespace())
        ++p;

    const bool negative = *p == '-';

    if (*p == '-' || *p == '+')
        ++p;

    juce::int64 result = 0;

    for (; p.isDigit(); ++p)
        result = juce::jmin (result * 10 + (*p - '0'), (juce::int64) std::numeric_limits<int>::max() + 1);

    if (negative)
        result = -result;

    return (int) juce::jlimit ((juce::int64) std::numeric_limits<int>::min(),
                               (juce::int64) std::numeric_limits<int>::max(), result);
}

int NumberConversions::truncateToInt (double value) noexcept
{
    if (std::isnan (value))
        return 0;

    if (value <= (double) std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();

    if (value >= (double) std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();

    return (int) value;
}

float NumberConversions::toFloat (double value) noexcept
{
    constexpr auto largest = (double) std::numeric_limits<float>::max();

    if (value > largest && ! std::isinf (value))
        return std::numeric_limits<float>::max();

    if (value < -largest && ! std::isinf (value))
        return -std::numeric_limits<float>::max();

    return (float) value;
}
