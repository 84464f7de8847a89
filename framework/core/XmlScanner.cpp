#include "XmlScanner.h"
#include "CaseKey.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>
#include <unordered_set>
#include <vector>

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

        /** How many characters on from the position the closer (a literal) first stands, or -1
            when the rest of the text holds none. The walk never steps back, so a closer found
            missing is not searched for again: however many openings wait for it, the text is
            passed over once.
        */
        int find (const char* closer)
        {
            if (std::find (missingClosers.begin(), missingClosers.end(), closer) != missingClosers.end())
                return -1;

            const auto index = p.indexOf (CharPointer_ASCII (closer));

            if (index < 0)
                missingClosers.emplace_back (closer);

            return index;
        }

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
                const auto close = find (comment ? "-->" : "?>");

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

                if (CaseKey::equalsUpTo (p, named, length))
                {
                    p += length;
                    return true;
                }
            }

            if (*p != '#')
                return false;

            const auto end = find (";");

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

                // Out of text (past a comment left open), the parser takes the opening quote for
                // the whole value and reads what the value holds as more of the tag: the walk
                // follows it no further.
                if (outOfData)
                    return TagEnd::failed;

                ++p;
                attribute.value.setStart (offset());
                size_t references = 0;

                while (*p != quote)
                {
                    if (p.isEmpty())
                        return TagEnd::failed;

                    if (*p != '&')
                        ++p;
                    else if (skipReference())
                        ++references;
                    else
                        return TagEnd::failed;
                }

                attribute.value.setEnd (offset());
                referenceCopying += references * attribute.value.getLength();
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
                    const auto close = find ("-->");

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
        std::vector<std::string_view> missingClosers;                    ///< none of them stands past the position

        /** The parser builds an attribute's value by appending to it, and JUCE's strings grow
            by no more than each append needs: every reference copies the value read so far.
            Its length in bytes times its references, added up over every value read.
        */
        size_t referenceCopying = 0;
    };
}

//==============================================================================
std::optional<size_t> XmlScanner::findLengthRead (const char* text, const Limits& limits)
{
    Walker walker (text);
    walker.maximumAttributes = (size_t) juce::jmax (0, limits.attributesPerElement);
    auto& p = walker.p;

    if (! walker.skipProlog())
        return std::strlen (text);

    StartTag tag;
    std::unordered_set<std::string_view> names, tagNames;

    // Reads a start tag and notes its names; false when the parser would stop at the tag or the
    // document passes a limit. JUCE keeps tag and attribute names alike in one sorted pool.
    const auto readStartTag = [&] (TagEnd& end)
    {
        tag.attributes.clear();
        end = walker.readStartTag (tag);

        if (end == TagEnd::failed)
            return false;

        tagNames.emplace (text + tag.name.getStart(), tag.name.getLength());

        for (const auto& attribute : tag.attributes)
            names.emplace (text + attribute.name.getStart(), attribute.name.getLength());

        return names.size() <= (size_t) juce::jmax (0, limits.attributeNames)
                && tagNames.size() <= (size_t) juce::jmax (0, limits.tagNames)
                && walker.referenceCopying <= limits.referenceCopying;
    };

    TagEnd end;

    if (! readStartTag (end))
        return {};

    if (end != TagEnd::opened)
        return limits.depth >= 1 ? std::optional<size_t> (std::strlen (text)) : std::nullopt;

    int depth = 1;

    while (depth > 0)
    {
        if (depth > limits.depth)
            return {};

        walker.skipWhitespace();

        if (walker.outOfData)
            return {};

        if (*p != '<')
        {
            if (! walker.skipText())
                return {};

            continue;
        }

        if (p[1] == '/')
        {
            // Without its '>', a closing tag ends every element still open, and the parser
            // reads nothing after it.
            const auto close = walker.find (">");

            if (close < 0)
                return walker.offset() + 2;

            p += close + 1;
            --depth;
        }
        else if (p[1] == '!' && (p + 2).compareUpTo (CharPointer_ASCII ("[CDATA["), 7) == 0)
        {
            p += 9;
            const auto close = walker.find ("]]>");

            if (close < 0)
                return {};

            p += close + 3;
        }
        else
        {
            if (! readStartTag (end))
                return {};

            if (end == TagEnd::opened)
                ++depth;
        }
    }

    return std::strlen (text);
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
