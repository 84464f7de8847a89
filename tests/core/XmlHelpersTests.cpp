#include <XmlHelpers.h>

#include "../support/FifoWatchdog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <sys/stat.h>

namespace
{
    std::unique_ptr<juce::XmlElement> parse (const char* text)
    {
        auto element = juce::XmlDocument::parse (juce::String (text));
        EXPECT_NE (element, nullptr);
        return element;
    }
}

TEST (XmlHelpers, TagsMatchIgnoringCase)
{
    const auto root = parse ("<pluginPARAMETERS><Param a='1'/><other/><PARAM a='2'/><param a='3'/></pluginPARAMETERS>");

    EXPECT_TRUE (XmlHelpers::hasTagName (*root, "PluginParameters"));
    EXPECT_FALSE (XmlHelpers::hasTagName (*root, "PluginParameter"));

    auto* first = XmlHelpers::getChildByName (*root, "param");
    ASSERT_NE (first, nullptr);
    EXPECT_EQ (first->getStringAttribute ("a"), "1");
    EXPECT_EQ (XmlHelpers::getChildByName (*root, "missing"), nullptr);

    const auto rows = XmlHelpers::getChildrenWithTagName (*root, "param");
    ASSERT_EQ (rows.size(), 3);
    EXPECT_EQ (rows[2]->getStringAttribute ("a"), "3");
}

TEST (XmlHelpers, AttributeNamesMatchIgnoringCaseAndValuesStayAsWritten)
{
    const auto e = parse ("<e NAME='Mixed Case' Index='12abc' MIN='-0.5' Auto='Yes' empty=''/>");

    EXPECT_EQ (XmlHelpers::getStringAttribute (*e, "name"), "Mixed Case");
    EXPECT_EQ (XmlHelpers::getStringAttribute (*e, "missing", "fallback"), "fallback");
    EXPECT_EQ (XmlHelpers::getStringAttribute (*e, "empty", "fallback"), "");
    EXPECT_TRUE (XmlHelpers::hasAttribute (*e, "INDEX"));
    EXPECT_FALSE (XmlHelpers::hasAttribute (*e, "value"));

    EXPECT_EQ (XmlHelpers::getIntAttribute (*e, "index", -1), 12);
    EXPECT_EQ (XmlHelpers::getIntAttribute (*e, "missing", -1), -1);
    EXPECT_EQ (XmlHelpers::getIntAttribute (*e, "name", -1), 0);

    EXPECT_DOUBLE_EQ (XmlHelpers::getDoubleAttribute (*e, "min", 1.0), -0.5);
    EXPECT_DOUBLE_EQ (XmlHelpers::getDoubleAttribute (*e, "max", 1.0), 1.0);

    EXPECT_TRUE (XmlHelpers::getBoolAttribute (*e, "auto"));
    EXPECT_FALSE (XmlHelpers::getBoolAttribute (*e, "name", true));
    EXPECT_TRUE (XmlHelpers::getBoolAttribute (*e, "missing", true));
}

TEST (XmlHelpers, TextJucesParserCannotTakeIsRefusedOnEveryRoad)
{
    const auto nested = [] (int depth, const std::string& open, const std::string& inside = {})
    {
        std::string text;

        for (int i = 0; i < depth; ++i)
            text += open;

        text += inside;

        for (int i = 0; i < depth; ++i)
            text += "</a>";

        return text;
    };

    const auto repeated = [] (int times, const std::string& text)
    {
        std::string all;

        for (int i = 0; i < times; ++i)
            all += text;

        return all;
    };

    const struct { std::string bytes; bool parses; } cases[] = {
        { "<t a='\xC3\xA9'>x</t>",                                       true  },
        { "\xEF\xBB\xBF<t/>",                                            true  },
        { "<?xml version='1.0'?><!-- <?x?> --><?pi ok?><t/>",            true  },
        { "<t>\xFF",                                                     false },
        { "<t a='\xE2\x82'/>",                                           false },
        { "<t>\x80</t>",                                                 false },
        { "<t><?" "?>x",                                                 false },
        { "<t><a/><?pi?></t>",                                           false },
        { "<t a='&amp;&#65;&#x42;&QUOT;'>&lt;&gt;&apos;</t>",             true  },
        { "<t>&#x",                                                      false },
        { "<t>&#x41</t>",                                                false },
        { "<t>&<1>:v&#XA0;</t>",                                         false },
        { "<t>&nbsp;</t>",                                               false },
        { "",                                                            false },
        // nesting: what the parser would recurse through, however the markup hides it
        { nested (XmlHelpers::maximumDepth, "<a>"),                      true  },
        { nested (XmlHelpers::maximumDepth + 1, "<a>"),                  false },
        { repeated (40000, "<a>"),                                       false },
        { nested (300, "<a x=\"/>\" y='>'>"),                          false },
        { nested (300, "< a>"),                                          false },
        { "<r><a \">" + repeated (40000, "<b>"),                         false },
        { "<r>" + repeated (20000, "<a/><b x='1'></b>") + "</r>",         true  },
        { "<r>" + repeated (300, "<a x=1>") + "</r>",                    true  },
        { "<r><!--" + repeated (300, "<a>") + "--></r>",                 true  },
        { "<r><![CDATA[" + repeated (300, "<a>") + "]]></r>",            true  },
        { "<r x=\"" + repeated (300, "<a>") + "\"/>",                   true  },
        { "<r>" + repeated (300, "&lt;a>") + "</r>",                     true  },
    };

    const juce::TemporaryFile temp;

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String::toHexString (c.bytes.data(), (int) std::min<size_t> (c.bytes.size(), 64)));

        const juce::String text (juce::CharPointer_UTF8 (c.bytes.data()), juce::CharPointer_UTF8 (c.bytes.data() + c.bytes.size()));
        EXPECT_EQ (XmlHelpers::parseUntrusted (text) != nullptr, c.parses);

        temp.getFile().replaceWithData (c.bytes.data(), c.bytes.size());
        EXPECT_EQ (XmlHelpers::parseUntrusted (temp.getFile()) != nullptr, c.parses);

        juce::MemoryOutputStream chunk;
        chunk.writeInt (0x21324356);
        chunk.writeInt ((int) c.bytes.size());
        chunk.write (c.bytes.data(), c.bytes.size());
        chunk.writeByte (0);
        EXPECT_EQ (XmlHelpers::parseUntrustedBinary (chunk.getData(), (int) chunk.getDataSize()) != nullptr, c.parses);
        EXPECT_EQ (XmlHelpers::parseUntrustedBinary (chunk.getData(), (int) c.bytes.size() + 7), nullptr);
    }
}

TEST (XmlHelpers, AttributesAreBoundedAndEachLookupWalksThemOnce)
{
    const auto element = [] (int numAttributes, int firstName = 0)
    {
        std::string text = "<Preset";

        for (int i = 0; i < numAttributes; ++i)
            text += " a" + std::to_string (firstName + i) + "=''";

        return text + "/>";
    };

    const auto parse = [] (const std::string& text) { return XmlHelpers::parseUntrusted (juce::String (text)); };
    const auto bound = XmlHelpers::maximumAttributesPerElement;
    ASSERT_EQ (XmlHelpers::maximumAttributeNames, bound);

    EXPECT_NE (parse (element (bound)), nullptr);
    EXPECT_EQ (parse (element (bound + 1)), nullptr);
    EXPECT_EQ (parse (element (40000)), nullptr);
    EXPECT_EQ (parse ("<r>" + element (bound / 2) + element (bound / 2 + 1, bound / 2) + "</r>"), nullptr);
    EXPECT_NE (parse ("<r>" + element (bound / 2) + element (bound / 2) + "</r>"), nullptr);

    // Eight times the attributes take about eight times as long to look up in (sixty-four when
    // each index is walked to from the first attribute). The fastest of three rounds is taken.
    const auto millisecondsToLookUp = [&parse, &element] (int numAttributes)
    {
        const auto xml = parse (element (numAttributes));
        double fastest = 1.0e9;
        int found = 0;

        for (int round = 0; round < 3; ++round)
        {
            const auto start = juce::Time::getMillisecondCounterHiRes();

            for (int i = 0; i < 200; ++i)
                found += XmlHelpers::hasAttribute (*xml, "missing") ? 1 : 0;

            fastest = std::min (fastest, juce::Time::getMillisecondCounterHiRes() - start);
        }

        EXPECT_EQ (found, 0);
        return fastest;
    };

    const auto small = millisecondsToLookUp (bound / 8), large = millisecondsToLookUp (bound);
    EXPECT_LT (large, small * 24) << small << " ms for " << bound / 8 << " attributes, " << large << " ms for " << bound;
}

TEST (XmlHelpers, DocumentsPastTheSizeLimitAreRefusedOnEveryRoad)
{
    const juce::TemporaryFile temp;

    for (const auto size : { XmlHelpers::maximumDocumentSize, XmlHelpers::maximumDocumentSize + 1 })
    {
        const std::string text = "<r>" + std::string ((size_t) size - 7, 'x') + "</r>";
        ASSERT_EQ ((juce::int64) text.size(), size);
        const bool parses = size <= XmlHelpers::maximumDocumentSize;

        EXPECT_EQ (XmlHelpers::parseUntrusted (juce::MemoryBlock (text.data(), text.size())) != nullptr, parses);

        ASSERT_TRUE (temp.getFile().replaceWithData (text.data(), text.size()));
        EXPECT_EQ (XmlHelpers::parseUntrusted (temp.getFile()) != nullptr, parses);
    }
}

TEST (XmlHelpers, OnlyRegularFilesAreRead)
{
    // A map or settings path naming a FIFO must not hold the message thread.
    const juce::TemporaryFile folder;
    ASSERT_TRUE (folder.getFile().createDirectory());
    const auto path = [&folder] (const char* name) { return folder.getFile().getChildFile (name); };
    ASSERT_TRUE (path ("plain.xml").replaceWithText ("<r/>"));
    ASSERT_EQ (::mkfifo (path ("fifo.xml").getFullPathName().toRawUTF8(), 0600), 0);
    ASSERT_TRUE (path ("plain.xml").createSymbolicLink (path ("link.xml"), true));
    ASSERT_TRUE (path ("folder.xml").createDirectory());
    const FifoWatchdog watchdog (path ("fifo.xml").getFullPathName().toStdString());

    const struct { const char* name; bool read; } cases[] =
    {
        { "plain.xml", true }, { "link.xml", true }, { "fifo.xml", false }, { "folder.xml", false }, { "missing.xml", false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (XmlHelpers::parseUntrusted (path (c.name)) != nullptr, c.read) << c.name;

    EXPECT_FALSE (watchdog.hasFreedAReader());
    folder.getFile().deleteRecursively();
}

TEST (XmlHelpers, HostileDocumentsAreReadAboutAsFastAsPlainOnes)
{
    // Openings left without their closers, inside tags and between them, and what JUCE's parser
    // would read in a time growing with the square of the length: each a few megabytes, each
    // read in a small multiple of the time a plain document of that size takes.
    constexpr size_t size = 2 << 20;

    // The head, then the unit again and again (a '#' in it a number counting down), then the tail.
    const auto filled = [] (std::string text, const std::string& unit, const std::string& tail = {})
    {
        for (auto number = size; text.size() + tail.size() < size; --number)
            text += unit.find ('#') == std::string::npos ? unit : std::string (unit).replace (unit.find ('#'), 1, std::to_string (number));

        return text + tail;
    };

    const auto deepest = juce::String::repeatedString ("<a>", XmlHelpers::maximumDepth).toStdString();

    const struct { const char* shape; std::string text; bool parses; } cases[] = {
        { "comment before a name",        filled ("<Preset", " <!--c-#='1'"),         false },
        { "comment after a name",         filled ("<Preset", " c-#<!--='1'"),         false },
        { "comment after '='",            filled ("<Preset", " c-#=<!--\"1\""),       false },
        { "comment between tags",         filled ("<r>", "<!--<a/>"),                 false },
        { "comment before the root",      filled ("", "<!--<a/>"),                    false },
        { "comments closed before it",    filled ("", "<!---->", "<r/>"),             true  },
        { "CDATA inside a tag",           filled ("<r ", "<![CDATA[a='1' "),          false },
        { "CDATA between tags",           filled ("<r>", "<![CDATA[<a/>"),            false },
        { "instruction before the root",  filled ("", "<?p <a/>"),                    false },
        { "instruction inside a tag",     filled ("<r ", "<?p a='1' "),               false },
        { "instruction between tags",     filled ("<r>", "<?p <a/>"),                 false },
        { "DOCTYPE",                      filled ("<!DOCTYPE r [", "<!ENTITY "),      false },
        { "single quote",                 filled ("<r a='", "<a/>"),                  false },
        { "double quote",                 filled ("<r a=\"", "<a/>"),                 false },
        { "closing tag without its '>'",  filled (deepest + "</", "a"),               true  },
        { "references in a value",        filled ("<r a='", "a&lt;", "'/>"),          false },
        { "tag names",                    filled ("<r>", "<a#/>", "</r>"),            false },
    };

    const auto millisecondsToRead = [] (const juce::String& text, bool& parsed)
    {
        const auto start = juce::Time::getMillisecondCounterHiRes();
        parsed = XmlHelpers::parseUntrusted (text) != nullptr;
        return juce::Time::getMillisecondCounterHiRes() - start;
    };

    const juce::String plain (filled ("<r>", "<a x='1'>text</a>", "</r>"));
    bool parsed = false;
    const auto plainTime = std::min (millisecondsToRead (plain, parsed), millisecondsToRead (plain, parsed));
    ASSERT_TRUE (parsed);

    for (const auto& c : cases)
    {
        const auto time = millisecondsToRead (juce::String (c.text), parsed);
        EXPECT_EQ (parsed, c.parses) << c.shape;
        EXPECT_LT (time, 20 * plainTime) << c.shape << ": " << time << " ms, " << plainTime << " ms for a plain document";
    }
}
