#include "XmlScanner.h"

#include <cstring>
#include <limits>
#include <string_view>
#include <unordered_set>

namespace
{
    using juce::CharPointer_ASCII;

    bool isIdentifierChar (juce::juce_wchar c)
    {
        if (c < 128)
            return juce::CharacterFunctions::isLetterOrDigit ((char) c) || c == '_' || c == '-' || c == ':' || c == '.';

        return juce::CharacterFunctions::isLetterOrDigit (c);
    }

    /** How the parser's reading of one start tag ends. */
    enum class TagEnd
    {
        failed,     ///< no element: an error, nothing left to read, or more attributes than allowed
        closed,     ///< "/>": no children
        cut,        ///< the parser stopped inside the tag (an unquoted value, or the text ended)
        opened      ///< ">": the parser goes on to read its children
    };

    /** The parser's position and the steps it takes, each as JUCE's XmlDocument takes it. */
    struct Walker
    {
        explicit Walker (const char* t) : text (t), p (t) {}

        size_t offset() const noexcept    { return (size_t) (p.getAddress() - text); }

        /** Whitespace, comments and processing instructions. */
        void skipWhitespace()
        {
            for (;;)
            {
                p.incrementToEndOfWhitespace();

                if (p.isEmpty())
                {
                    outOfData = true;
                    return;
                }

                if (*p != '<')
                    return;

                const bool comment = p[1] == '!' && p[2] == '-' && p[3] == '-';

                if (! comment && p[1] != '?')
                    return;

                p += comment ? 4 : 2;
                const auto close = comment ? p.indexOf (CharPointer_ASCII ("-->")) : p.indexOf (CharPointer_ASCII ("?>"));

                if (close < 0)
                {
                    outOfData = true;
                    return;
                }

                p += close + (comment ? 3 : 2);
            }
        }

        juce::CharPointer_UTF8 endOfToken (juce::CharPointer_UTF8 t) const
        {
            while (isIdentifierChar (*t))
                ++t;

            return t;
        }

        /** A document type declaration before the root: the parser counts its brackets. */
        bool skipDocumentType()
        {
            if (p.compareUpTo (CharPointer_ASCII ("<!DOCTYPE"), 9) != 0)
                return true;

            p += 9;

            for (int open = 1; open > 0;)
            {
                const auto c = p.getAndAdvance();

                if (c == 0)
                    return false;

                open += (c == '<' ? 1 : (c == '>' ? -1 : 0));
            }

            return true;
        }

        /** One of the references that XmlHelpers lets through; false for any other. */
        bool skipReference()
        {
            ++p;

            for (auto* named : { "amp;", "quot;", "apos;", "lt;", "gt;" })
            {
                const auto length = (int) std::strlen (named);

                if (p.compareIgnoreCaseUpTo (CharPointer_ASCII (named), length) == 0)
                {
                    p += length;
                    return true;
                }
            }

            if (*p != '#')
                return false;

            const auto end = p.indexOf ((juce::juce_wchar) ';');

            if (end < 0)
                return false;

            p += end + 1;
            return true;
        }

        /** Reads a start tag at the parser's position, noting where its parts lie. */
        TagEnd readStartTag (XmlScanner::StartTag& tag)
        {
            skipWhitespace();

            if (outOfData || *p != '<')
                return TagEnd::failed;

            ++p;

            if (endOfToken (p) == p)
                skipWhitespace();

            const auto nameEnd = endOfToken (p);

            if (nameEnd == p)
                return TagEnd::failed;

            tag.name = { offset(), (size_t) (nameEnd.getAddress() - text) };
            p = nameEnd;

            for (;;)
            {
                skipWhitespace();
                const auto c = *p;

                if (c == '/' && p[1] == '>')
                {
                    tag.end = offset();
                    p += 2;
                    return TagEnd::closed;
                }

                if (c == '>')
                {
                    tag.end = offset();
                    ++p;
                    return TagEnd::opened;
                }

                if (! isIdentifierChar (c))
                    return outOfData ? TagEnd::cut : TagEnd::failed;

                XmlScanner::Attribute attribute;
                attribute.name.setStart (offset());
                p = endOfToken (p);
                attribute.name.setEnd (offset());
                skipWhitespace();

                if (*p != '=')
                    return TagEnd::failed;

                ++p;
                skipWhitespace();
                const auto quote = *p;

                if (quote != '"' && quote != '\'')
                    return TagEnd::cut;

                ++p;
                attribute.value.setStart (offset());

                while (*p != quote)
                {
                    if (p.isEmpty())
                        return TagEnd::failed;

                    if (*p != '&')
                        ++p;
                    else if (! skipReference())
                        return TagEnd::failed;
                }

                attribute.value.setEnd (offset());
                ++p;
                tag.attributes.push_back (attribute);

                if (tag.attributes.size() > maximumAttributes)
                    return TagEnd::failed;
            }
        }

        /** Text between tags, up to the next tag that is no comment; false at an error. */
        bool skipText()
        {
            for (;;)
            {
                if (p.isEmpty())
                    return false;

                if (*p == '<')
                {
                    if (! (p[1] == '!' && p[2] == '-' && p[3] == '-'))
                        return true;

                    p += 4;
                    const auto close = p.indexOf (CharPointer_ASCII ("-->"));

                    if (close < 0)
                        return false;

                    p += close + 3;
                }
                else if (*p == '&')
                {
                    if (! skipReference())
                        return false;
                }
                else
                {
                    ++p;
                }
            }
        }

        /** Up to the root's start tag: what the parser skips before it. */
        bool skipProlog()
        {
            skipWhitespace();
            return ! outOfData && skipDocumentType();
        }

        const char* text;
        juce::CharPointer_UTF8 p;
        bool outOfData = false;
        size_t maximumAttributes = std::numeric_limits<size_t>::max();   ///< on one start tag
    };
}

//==============================================================================
bool XmlScanner::staysWithin (const char* text, const Limits& limits)
{
    Walker walker (text);
    walker.maximumAttributes = (size_t) juce::jmax (0, limits.attributesPerElement);
    auto& p = walker.p;

    if (! walker.skipProlog())
        return true;

    StartTag tag;
    std::unordered_set<std::string_view> names;

    // Reads a start tag and notes its attributes' names; false when the parser would stop at the
    // tag or the document has too many names.
    const auto readStartTag = [&] (TagEnd& end)
    {
        tag.attributes.clear();
        end = walker.readStartTag (tag);

        for (const auto& attribute : tag.attributes)
            names.emplace (text + attribute.name.getStart(), attribute.name.getLength());

        return end != TagEnd::failed && names.size() <= (size_t) juce::jmax (0, limits.attributeNames);
    };

    TagEnd end;

    if (! readStartTag (end))
        return false;

    if (end != TagEnd::opened)
        return limits.depth >= 1;

    int depth = 1;

    while (depth > 0)
    {
        if (depth > limits.depth)
            return false;

        walker.skipWhitespace();

        if (walker.outOfData)
            return false;

        if (*p != '<')
        {
            if (! walker.skipText())
                return false;

            continue;
        }

        if (p[1] == '/')
        {
            // Without its '>', a closing tag ends every element still open.
            const auto close = p.indexOf ((juce::juce_wchar) '>');

            if (close < 0)
                return true;

            p += close + 1;
            --depth;
        }
        else if (p[1] == '!' && (p + 2).compareUpTo (CharPointer_ASCII ("[CDATA["), 7) == 0)
        {
            p += 9;
            const auto close = p.indexOf (CharPointer_ASCII ("]]>"));

            if (close < 0)
                return false;

            p += close + 3;
        }
        else
        {
            if (! readStartTag (end))
                return false;

            if (end == TagEnd::opened)
                ++depth;
        }
    }

    return true;
}

std::optional<XmlScanner::StartTag> XmlScanner::findRootStartTag (const char* text)
{
    Walker walker (text);
    StartTag tag;

    if (! walker.skipProlog())
        return {};

    const auto end = walker.readStartTag (tag);

    if (end != TagEnd::closed && end != TagEnd::opened)
        return {};

    return tag;
}
