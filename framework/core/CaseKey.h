#pragma once

#include <juce_core/juce_core.h>

/**
    The one rule for names and words compared ignoring letter case: Unicode's simple case
    folding, as case-insensitive file systems compare names, the same in every locale.

    JUCE's case-blind comparisons go through towupper and so through the host's locale: in
    the C locale only ASCII letters fold, in a Turkish one "I" and "i" are not one letter.
    A plug-in lives in whatever locale its host chose, so every case-blind question (file
    names, XML tags and attributes, words such as "on" and "yes") is asked here instead.
*/
struct CaseKey
{
    /** The character's simple case folding: a lower-case form for most letters, the same
        character for every character that has none (including the dotted capital I, whose
        only folding is Turkish or to two characters).
    */
    static juce::juce_wchar fold (juce::juce_wchar c) noexcept;

    /** The text with each character folded: two texts are one name ignoring case exactly when
        their keys are equal.
    */
    static juce::String of (const juce::String& text);

    static bool equal (const juce::String& a, const juce::String& b) noexcept;

    /** Orders texts by their folded characters, as compareIgnoreCase does by its own rule. */
    static int compare (const juce::String& a, const juce::String& b) noexcept;

    static bool startsWith (const juce::String& text, const juce::String& prefix) noexcept;
    static bool endsWith (const juce::String& text, const juce::String& suffix);

    /** True when the first length characters of text are those of the ASCII word, ignoring case.
        Only ASCII letters stand for the word's: this is asked of XML's named references, which
        must be ones JUCE's parser knows in every locale, and it takes the long s for "s" in some only.
    */
    static bool equalsUpTo (juce::CharPointer_UTF8 text, const char* ascii, int length) noexcept;
};
