#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <vector>

/**
    Walks a document's text the way JUCE's XML parser reads it, without building any element,
    to answer what the parsed elements cannot: how deep the parser's recursion would go and how
    many attributes it would make, before it makes them, and where the root's start tag and its
    attributes lie in the text's bytes.

    The text must be valid UTF-8, end in a zero byte, and hold no reference other than those
    XmlHelpers::parseUntrusted lets through; the parser's own reading of any other reference
    is not followed.
*/
class XmlScanner
{
public:
    /** An attribute of a start tag, as byte offsets from the start of the text. */
    struct Attribute
    {
        juce::Range<size_t> name;
        juce::Range<size_t> value;     ///< between the quotes, references left as written
    };

    /** A start tag, as byte offsets from the start of the text. */
    struct StartTag
    {
        juce::Range<size_t> name;
        std::vector<Attribute> attributes;
        size_t end = 0;                ///< where its closing ">" or "/>" stands
    };

    /** Bounds to what the parser builds from a document. */
    struct Limits
    {
        int depth = 0;                  ///< levels of nesting
        int attributesPerElement = 0;   ///< attributes on any one element
        int attributeNames = 0;         ///< different attribute names in the document, compared as written
        int tagNames = 0;               ///< different tag names in the document, compared as written
        size_t referenceCopying = 0;    ///< references in each attribute value times its length in bytes, added up
    };

    /** When what the parser would build from the text stays within the limits, the length of
        the text's start that it reads: it builds the same from that start alone, which ends
        before the text only at a closing tag without its '>' (the parser would search the
        rest of the text for it once for every element still open). Nothing when the text
        passes a limit, or when the parser would stop at an error: it reads on after some of
        its errors, deeper than this walk follows. The walk stops at the first limit passed,
        and takes a time in proportion to the text's length, whatever the text holds.
    */
    static std::optional<size_t> findLengthRead (const char* text, const Limits& limits);

    /** The root element's start tag, when the parser reads it to its end and every attribute
        of it has a quoted value; nothing otherwise.
    */
    static std::optional<StartTag> findRootStartTag (const char* text);
};
