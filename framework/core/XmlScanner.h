#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <vector>

/**
    Walks a document's text the way JUCE's XML parser reads it, without building any element,
    to answer what the parsed elements cannot: how deep the parser's recursion would go, and
    where the root's start tag and its attributes lie in the text's bytes.

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

    /** The depth of the deepest element that the parser would read, or -1 when the parser
        would stop at an error: it reads on after some of its errors, deeper than this walk
        follows. The walk stops as soon as the depth passes the limit, and answers that depth.
    */
    static int getNestingDepth (const char* text, int limit);

    /** The root element's start tag, when the parser reads it to its end and every attribute
        of it has a quoted value; nothing otherwise.
    */
    static std::optional<StartTag> findRootStartTag (const char* text);
};
