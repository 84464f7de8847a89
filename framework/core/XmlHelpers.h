#pragma once

#include <juce_core/juce_core.h>

/**
    Reading the framework's XML documents, whose tag and attribute names are compared
    ignoring case by CaseKey, alike in every locale (JUCE's own lookups compare attribute
    names exactly, and tags through the host's locale, asserting on a tag that differs only
    in case). Attribute values are returned as they stand.

    Every document that comes from outside the plug-in (state chunks, presets, maps, user
    settings, skins) is parsed through parseUntrusted, never by JUCE's parser directly:
    JUCE's parser reads past the end of text that is not valid UTF-8 or that ends in a broken
    reference, never returns from a processing instruction inside an element, and recurses once
    for every level of nesting, so that a deep enough document overflows the stack.
*/
struct XmlHelpers
{
    /** Parses a document from outside, or gives null for text that is no XML, is not valid
        UTF-8, holds "<?" after its root element starts, holds a reference other than a
        character reference or one of XML's five named entities, nests its elements more
        than maximumDepth deep, holds more than maximumAttributesPerElement attributes on one
        element, more than maximumAttributeNames different attribute names or more than
        maximumTagNames different tag names, holds attribute values whose references would
        cost more than maximumReferenceCopying, or is longer than maximumDocumentSize.
        A leading byte-order mark is skipped. However the text is made, it is passed over a
        few times at most.
    */
    static std::unique_ptr<juce::XmlElement> parseUntrusted (const juce::String& text);

    /** Parses a document's bytes from outside as parseUntrusted does with its text. */
    static std::unique_ptr<juce::XmlElement> parseUntrusted (const juce::MemoryBlock& data);

    /** Parses a document file from outside as parseUntrusted does with its text; null when the
        file cannot be read, is not a regular file (a FIFO would block the read), or is longer
        than maximumDocumentSize, which is checked before it is read. The whole file is checked even when only the outer element is read.
    */
    static std::unique_ptr<juce::XmlElement> parseUntrusted (const juce::File& file,
                                                             bool onlyReadOuterElement = false);

    /** Parses a document kept in JUCE's binary XML form (as juce::AudioProcessor::copyXmlToBinary
        writes it); null for data not in that form, for text that parseUntrusted refuses, and
        for data shorter than the text its header declares (JUCE's own reader parses whatever
        part is there, and accepts a document whose last closing tag was cut).
    */
    static std::unique_ptr<juce::XmlElement> parseUntrustedBinary (const void* data, int sizeInBytes);

    /** Far deeper than any document the framework writes (a preset's values lie three levels
        down in a state document), and far shallower than the parser's recursion can go.
    */
    static constexpr int maximumDepth = 256;

    /** The size of the largest document from outside that is read, whatever it holds: a preset,
        a state, settings, a map or a skin (the framework's own stay below 100 kB). Every reader
        of presets and states holds to this one limit, so a file one of them reads, all read.
    */
    static constexpr juce::int64 maximumDocumentSize = (juce::int64) 16 * 1024 * 1024;

    /** Far more attributes than any element of the framework's documents holds (the widest, a
        skin's, holds 9): an attribute is looked up by walking them all.
    */
    static constexpr int maximumAttributesPerElement = 4096;

    /** Far more different attribute names than any document of the framework uses (a skin, 30).
        JUCE keeps every attribute name in one sorted pool for the whole process, and each new
        name moves the names after it, so that parsing slows with the square of their number.
    */
    static constexpr int maximumAttributeNames = 4096;

    /** Far more different tag names than any document of the framework uses (a skin, 20): they
        go into the same pool as attribute names.
    */
    static constexpr int maximumTagNames = 4096;

    /** JUCE's parser copies the part of an attribute's value it has read at each reference in
        the value, so that reading a value costs about its length in bytes times its references
        (JUCE writes every character outside ASCII as a reference). Over a document this adds
        up to at most as many bytes as sixteen documents of the largest size hold, copied in a
        small part of the time a plain reading of one takes; the framework's own documents,
        whose values are short, come nowhere near.
    */
    static constexpr juce::int64 maximumReferenceCopying = 16 * maximumDocumentSize;

    /** True when the element's tag equals the name, ignoring case. */
    static bool hasTagName (const juce::XmlElement& element, juce::StringRef tagName);

    /** The first child element whose tag equals the name ignoring case, or null. */
    static juce::XmlElement* getChildByName (const juce::XmlElement& element, juce::StringRef tagName);

    /** Every child element whose tag equals the name ignoring case, in document order. */
    static juce::Array<juce::XmlElement*> getChildrenWithTagName (const juce::XmlElement& element,
                                                                  juce::StringRef tagName);

    /** The element's attribute names in document order, read in one walk of its attributes
        (JUCE's access by index starts from the first attribute every time).
    */
    static juce::StringArray getAttributeNames (const juce::XmlElement& element);

    /** True when the element has an attribute of that name, ignoring case. */
    static bool hasAttribute (const juce::XmlElement& element, juce::StringRef attributeName);

    /** The value of the first attribute of that name (ignoring case), or the default. */
    static juce::String getStringAttribute (const juce::XmlElement& element, juce::StringRef attributeName,
                                            const juce::String& defaultValue = {});

    /** The attribute read as C's atoi reads a text, or the default when it is missing. */
    static int getIntAttribute (const juce::XmlElement& element, juce::StringRef attributeName,
                                int defaultValue = 0);

    /** The attribute's number (0 for a text that is none), or the default when it is missing. */
    static double getDoubleAttribute (const juce::XmlElement& element, juce::StringRef attributeName,
                                      double defaultValue = 0.0);

    /** True for a value starting with '1', 't', 'T', 'y' or 'Y' (as JUCE reads booleans),
        or the default when the attribute is missing.
    */
    static bool getBoolAttribute (const juce::XmlElement& element, juce::StringRef attributeName,
                                  bool defaultValue = false);

private:
    static std::unique_ptr<juce::XmlElement> parseUntrustedText (const char* text, size_t numBytes,
                                                                 bool onlyReadOuterElement);
    static bool hasInstructionInsideRoot (const juce::String& document);
    static bool hasUnsafeReference (const juce::String& document);
    static const juce::String* findAttribute (const juce::XmlElement& element, juce::StringRef attributeName);
};
