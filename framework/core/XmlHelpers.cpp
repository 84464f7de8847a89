#include "XmlHelpers.h"
#include "CaseKey.h"
#include "NumberConversions.h"
#include "RegularFileInputStream.h"
#include "XmlScanner.h"

#include <cctype>
#include <cstring>
#include <string_view>

namespace
{
    // The number juce::AudioProcessor::copyXmlToBinary writes ahead of the text's length.
    constexpr juce::uint32 binaryXmlMagic = 0x21324356;

    // The text's bytes, searched with the length known: a C string search checks, under the
    // address sanitizer's strict string checks, every byte up to the end of the text.
    std::string_view bytesOf (const juce::String& text)
    {
        return { text.toRawUTF8(), text.getNumBytesAsUTF8() };
    }

    size_t skipPast (std::string_view text, size_t start, std::string_view terminator)
    {
        const auto found = text.find (terminator, start);
        return found == std::string_view::npos ? found : found + terminator.size();
    }
}

//==============================================================================
std::unique_ptr<juce::XmlElement> XmlHelpers::parseUntrusted (const juce::String& text)
{
    return parseUntrustedText (text.toRawUTF8(), text.getNumBytesAsUTF8(), false);
}

std::unique_ptr<juce::XmlElement> XmlHelpers::parseUntrusted (const juce::MemoryBlock& data)
{
    return parseUntrustedText (static_cast<const char*> (data.getData()), data.getSize(), false);
}

std::unique_ptr<juce::XmlElement> XmlHelpers::parseUntrusted (const juce::File& file, bool onlyReadOuterElement)
{
    // A FIFO or a device would block the reading thread (the message thread, often) until
    // some writer appears, or never end: only a regular file, or a link to one, is read.
    juce::MemoryBlock data;
    const auto in = RegularFileInputStream::open (file, maximumDocumentSize);

    if (in == nullptr || in->readIntoMemoryBlock (data) != (size_t) in->getTotalLength())
        return {};

    return parseUntrustedText (static_cast<const char*> (data.getData()), data.getSize(), onlyReadOuterElement);
}

std::unique_ptr<juce::XmlElement> XmlHelpers::parseUntrustedBinary (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= 8 || juce::ByteOrder::littleEndianInt (data) != binaryXmlMagic)
        return {};

    const auto length = juce::ByteOrder::littleEndianInt (juce::addBytesToPointer (data, 4));

    if (length > (juce::uint32) sizeInBytes - 8)
        return {};

    return parseUntrustedText (static_cast<const char*> (data) + 8, length, false);
}

std::unique_ptr<juce::XmlElement> XmlHelpers::parseUntrustedText (const char* text, size_t numBytes,
                                                                  bool onlyReadOuterElement)
{
    if (numBytes >= 3 && juce::CharPointer_UTF8::isByteOrderMark (text))
    {
        text += 3;
        numBytes -= 3;
    }

    // Checked on the raw bytes, before any juce::String decodes them: its decoder steps over a
    // sequence's continuation bytes without looking at them.
    if (numBytes == 0 || numBytes > (size_t) maximumDocumentSize
         || ! juce::CharPointer_UTF8::isValidString (text, (int) numBytes))
        return {};

    const juce::String document (juce::CharPointer_UTF8 (text), juce::CharPointer_UTF8 (text + numBytes));

    if (hasInstructionInsideRoot (document) || hasUnsafeReference (document))
        return {};

    // Walked only once the text is known to hold nothing the walk does not follow.
    const auto* start = document.toRawUTF8();
    const auto length = XmlScanner::findLengthRead (start, { maximumDepth, maximumAttributesPerElement, maximumAttributeNames,
                                                             maximumTagNames, (size_t) maximumReferenceCopying });

    if (! length.has_value())
        return {};

    if (*length == document.getNumBytesAsUTF8())
        return juce::XmlDocument (document).getDocumentElement (onlyReadOuterElement);

    // The parser reads nothing after a closing tag without its '>', but would search all that
    // follows for the '>' once for every element still open.
    return juce::XmlDocument (juce::String::fromUTF8 (start, (int) *length)).getDocumentElement (onlyReadOuterElement);
}

bool XmlHelpers::hasInstructionInsideRoot (const juce::String& document)
{
    const auto text = bytesOf (document);
    constexpr auto none = std::string_view::npos;

    // Instructions, comments and declarations may stand before the root; the first other tag
    // starts it. A declaration's inner tags may be taken for the root: that only refuses more.
    for (auto tag = text.find ('<'); tag != none; tag = text.find ('<', tag))
    {
        if (text.compare (tag, 2, "<?") == 0)
            tag = skipPast (text, tag + 2, "?>");
        else if (text.compare (tag, 4, "<!--") == 0)
            tag = skipPast (text, tag + 4, "-->");
        else if (text.compare (tag, 2, "<!") == 0)
            ++tag;
        else
            return text.find ("<?", tag) != none;

        // An unterminated instruction or comment leaves JUCE's parser without a root.
        if (tag == none)
            return false;
    }

    return false;
}

bool XmlHelpers::hasUnsafeReference (const juce::String& document)
{
    const auto text = bytesOf (document);

    // JUCE's parser steps past the end of text after a hexadecimal reference without its ';',
    // and parses the name of an unknown entity as markup, where that reference can lose its ';'.
    for (auto ampersand = text.find ('&'); ampersand != std::string_view::npos; ampersand = text.find ('&', ampersand + 1))
    {
        auto* p = text.data() + ampersand + 1;

        if (*p == '#')
        {
            const bool hexadecimal = (p[1] == 'x' || p[1] == 'X');
            p += hexadecimal ? 2 : 1;
            auto* digits = p;

            while (hexadecimal ? std::isxdigit ((unsigned char) *p) : std::isdigit ((unsigned char) *p))
                ++p;

            if (p == digits || *p != ';')
                return true;
        }
        else
        {
            const juce::CharPointer_UTF8 name (p);
            const auto isNamed = [&name] (const char* known)
            {
                return CaseKey::equalsUpTo (name, known, (int) std::strlen (known));
            };

            if (! (isNamed ("amp;") || isNamed ("lt;") || isNamed ("gt;") || isNamed ("quot;") || isNamed ("apos;")))
                return true;
        }
    }

    return false;
}

//==============================================================================
bool XmlHelpers::hasTagName (const juce::XmlElement& element, juce::StringRef tagName)
{
    return CaseKey::equal (element.getTagName(), tagName);
}

juce::XmlElement* XmlHelpers::getChildByName (const juce::XmlElement& element, juce::StringRef tagName)
{
    for (auto* child : element.getChildIterator())
        if (hasTagName (*child, tagName))
            return child;

    return nullptr;
}

juce::Array<juce::XmlElement*> XmlHelpers::getChildrenWithTagName (const juce::XmlElement& element,
                                                                   juce::StringRef tagName)
{
    juce::Array<juce::XmlElement*> children;

    for (auto* child : element.getChildIterator())
        if (hasTagName (*child, tagName))
            children.add (child);

    return children;
}

juce::StringArray XmlHelpers::getAttributeNames (const juce::XmlElement& element)
{
    // An attribute set is the one reader of an element's attributes that walks them in order.
    juce::NamedValueSet attributes;
    attributes.setFromXmlAttributes (element);

    juce::StringArray names;
    names.ensureStorageAllocated (attributes.size());

    // The set decodes the value of a "base64:" attribute, and keeps it under the rest of the name.
    for (const auto& attribute : attributes)
        names.add (attribute.value.isBinaryData() ? "base64:" + attribute.name.toString() : attribute.name.toString());

    return names;
}

const juce::String* XmlHelpers::findAttribute (const juce::XmlElement& element, juce::StringRef attributeName)
{
    const auto names = getAttributeNames (element);
    const juce::String wanted (attributeName);

    for (int i = 0; i < names.size(); ++i)
        if (CaseKey::equal (names[i], wanted))
            return &element.getAttributeValue (i);

    return nullptr;
}

bool XmlHelpers::hasAttribute (const juce::XmlElement& element, juce::StringRef attributeName)
{
    return findAttribute (element, attributeName) != nullptr;
}

juce::String XmlHelpers::getStringAttribute (const juce::XmlElement& element, juce::StringRef attributeName,
                                             const juce::String& defaultValue)
{
    if (auto* value = findAttribute (element, attributeName))
        return *value;

    return defaultValue;
}

int XmlHelpers::getIntAttribute (const juce::XmlElement& element, juce::StringRef attributeName, int defaultValue)
{
    if (auto* value = findAttribute (element, attributeName))
        return NumberConversions::parseInt (*value);

    return defaultValue;
}

double XmlHelpers::getDoubleAttribute (const juce::XmlElement& element, juce::StringRef attributeName,
                                       double defaultValue)
{
    if (auto* value = findAttribute (element, attributeName))
        return value->getDoubleValue();

    return defaultValue;
}

bool XmlHelpers::getBoolAttribute (const juce::XmlElement& element, juce::StringRef attributeName, bool defaultValue)
{
    if (auto* value = findAttribute (element, attributeName))
    {
        const auto first = *value->getCharPointer().findEndOfWhitespace();
        return first == '1' || first == 't' || first == 'T' || first == 'y' || first == 'Y';
    }

    return defaultValue;
}
