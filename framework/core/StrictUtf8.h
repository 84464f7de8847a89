#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>
#include <optional>
#include <string_view>

/**
    Strict reading of UTF-8 in names that come from outside (folder listings, archive entries).
    JUCE's own reading takes overlong forms, which decode to "." or "/", and reads past a
    sequence cut off at the end; these accept only well-formed sequences: no overlong form, no
    surrogate, nothing above U+10FFFF and no zero byte.
*/
struct StrictUtf8
{
    /** The length of the well-formed sequence that starts at start, or 0 when none does. */
    static int getSequenceLength (const char* bytes, size_t numBytes, size_t start) noexcept;

    /** True when the bytes are all well-formed sequences. */
    static bool isValid (const char* bytes, size_t numBytes) noexcept;

    /** The text as the user may be shown it: each byte that is no part of a well-formed
        sequence becomes U+FFFD.
    */
    static juce::String withInvalidBytesMarked (const char* bytes, size_t numBytes);

    /** The one way a name the system hands over (a directory entry, a link target, a resolved
        path, the working folder, an environment variable) becomes a juce::String: nothing when
        its bytes are not well-formed UTF-8, since JUCE's own conversion writes past its buffer
        on them.
    */
    static std::optional<juce::String> toString (std::string_view bytes);

    /** The bytes as a user is shown a name that toString refuses: each byte that is no part of
        a well-formed sequence written as \xNN, so that the user sees what is there.
    */
    static juce::String escaped (std::string_view bytes);
};
