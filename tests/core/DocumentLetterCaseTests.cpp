#include "EventsMap.h"
#include "ResourceLoading.h"
#include "TestLocale.h"
#include "TestProduct.h"
#include "XmlHelpers.h"

#include <unistd.h>

namespace
{
    /** The name with its ASCII letters all in upper case, or alternately upper and lower. */
    juce::String recasedName (const juce::String& name, bool allUpper)
    {
        juce::String result;
        int position = 0;

        for (auto p = name.getCharPointer(); ! p.isEmpty(); ++position)
        {
            auto c = p.getAndAdvance();
            const auto upper = allUpper || position % 2 == 0;

            if (upper && c >= 'a' && c <= 'z')
                c -= 'a' - 'A';
            else if (! upper && c >= 'A' && c <= 'Z')
                c += 'a' - 'A';

            result << juce::String::charToString (c);
        }

        return result;
    }

    void recase (juce::XmlElement& element, bool allUpper)
    {
        element.setTagName (recasedName (element.getTagName(), allUpper));
        juce::StringPairArray attributes (false);

        for (int i = 0; i < element.getNumAttributes(); ++i)
            attributes.set (element.getAttributeName (i), element.getAttributeValue (i));

        element.removeAllAttributes();

        for (const auto& name : attributes.getAllKeys())
            element.setAttribute (recasedName (name, allUpper), attributes[name]);

        for (auto* child : element.getChildIterator())
            recase (*child, allUpper);
    }

    /** The document with its tag and attribute names in other letter case, its values untouched. */
    juce::String recased (const juce::String& document, bool allUpper)
    {
        auto xml = juce::parseXML (document);
        recase (*xml, allUpper);
        return xml->toString();
    }

    /** The body's answer under the locale, from a child that a fault cannot keep waiting. */
    std::string readIn (const char* locale, const std::function<std::string()>& body)
    {
        const auto answer = TestLocale::run (locale, [&body]
        {
            ::alarm (60);
            return body();
        });

        return answer.value_or ("(no answer in " + std::string (locale) + ")");
    }

    juce::String parameterTexts (const ParameterManager& manager)
    {
        juce::StringArray texts;

        for (int i = 0; i < manager.getNumParameters(); ++i)
            if (auto* p = manager.getParameterAt (i))
                texts.add (juce::String (p->getIndex()) + " " + p->getName() + "=" + p->getText());

        return texts.joinIntoString ("\n");
    }
}

using DocumentLetterCase = PluginFixture;

// A host may run in any locale; in a Turkish one "I" and "i" are two letters to the C library.
TEST_F (DocumentLetterCase, DocumentsWithNamesInOtherLetterCaseReadAsWrittenInEveryLocale)
{
    auto source = create();
    auto* volume = source->parameterManager.getParameter (TestProduct::masterVolume);
    source->setAuthor ("Ina");
    source->midiControl.setDefaultMap (true);
    source->midiControl.setMapPath ("/maps/Indigo.cvccmap");
    source->midiControl.assign (70, volume, true);
    source->assignHostParameter (0, volume);
    source->parameterManager.setParameterText (111, "High");

    Preset preset;
    preset.setName ("Inlet");
    preset.setAuthor ("Ina");
    preset.setVersion ("1.1");
    preset.setRating (4);
    source->parameterManager.capturePreset (preset, TestProduct::presetIds());

    juce::MemoryBlock state;
    source->setPresetModified (source->getPresetCollection (0), false);
    source->getStateInformation (state);
    ASSERT_TRUE (source->saveUserSettings());

    auto reader = create();
    const auto settingsFile = reader->getSettingsFile();
    const auto presetFile = root.getChildFile ("Inlet.cvprst");
    auto* collection = reader->getPresetCollection (0);

    static const char* const kinds[] = { "state", "preset", "MIDI control map", "host-parameter map",
                                         "settings", "events", "parameters table" };

    const std::pair<juce::String, std::function<std::string (const juce::String&)>> readers[] =
    {
        { juce::AudioProcessor::getXmlFromBinary (state.getData(), (int) state.getSize())->toString(),
          [&] (const juce::String& document)
          {
              juce::MemoryBlock chunk;
              juce::AudioProcessor::copyXmlToBinary (*juce::parseXML (document), chunk);
              reader->setPresetModified (collection, true);
              reader->setStateInformation (chunk.getData(), (int) chunk.getSize());
              return std::string (reader->isPresetModified (collection) ? "modified" : "as saved");
          } },
        { preset.createXml (source->parameterManager)->toString(),
          [&] (const juce::String& document)
          {
              presetFile.replaceWithText (document);
              Preset read;
              const auto rerated = Preset::rewriteFileRating (presetFile, 2);
              const auto loaded = read.loadFromFile (presetFile, reader->parameterManager, false);
              juce::String answer;
              answer << (int) rerated << (int) loaded << read.getName() << read.getAuthor() << read.getVersion()
                     << read.getRating() << read.getNumEntries();

              for (int i = 0; i < read.getNumEntries(); ++i)
                  answer << "\n" << read.getEntry (i)->index << "=" << read.getEntry (i)->text;

              return answer.toStdString();
          } },
        { source->midiControl.createMapXml()->toString(),
          [&] (const juce::String& document)
          {
              juce::String answer (reader->midiControl.readMap (juce::parseXML (document).get()) ? "read" : "refused");

              for (int controller = 0; controller < 128; ++controller)
                  if (auto* p = reader->midiControl.getParameterOf (controller))
                      answer << "\n" << controller << "=" << p->getName();

              return answer.toStdString();
          } },
        { source->createHostParametersMapXml()->toString(),
          [&] (const juce::String& document)
          {
              reader->readHostParametersMap (juce::parseXML (document).get());
              juce::String answer;

              for (int slot = 0; slot < reader->getNumHostParameters(); ++slot)
                  answer << "\n" << (reader->getHostSlotParameter (slot) != nullptr ? reader->getHostSlotParameter (slot)->getName() : "-");

              return answer.toStdString();
          } },
        { settingsFile.loadFileAsString(),
          [&] (const juce::String& document)
          {
              settingsFile.replaceWithText (document);
              auto next = create();
              juce::String answer;
              answer << next->getAuthor() << (int) next->midiControl.isDefaultMap() << next->midiControl.getMapPath()
                     << (int) next->hostMapDefault << next->parameterManager.getParameterText (111);
              return answer.toStdString();
          } },
        { loadXmlFromResource ("events.xml"),
          [] (const juce::String& document)
          {
              EventsMap events;
              events.loadFromXml (juce::parseXML (document).get());
              juce::String answer;

              for (int uid = 0; uid < 4096; ++uid)
                  if (events.getEventName (uid).isNotEmpty())
                      answer << "\n" << uid << "=" << events.getEventName (uid);

              return answer.toStdString();
          } },
        { loadXmlFromResource ("parameters.xml"),
          [] (const juce::String& document)
          {
              ParameterManager manager;
              manager.loadFromXml (juce::parseXML (document).get());
              return (manager.getApplication() + "\n" + parameterTexts (manager)).toStdString();
          } },
    };

    static_assert (std::size (kinds) == std::size (readers));

    for (size_t k = 0; k < std::size (readers); ++k)
    {
        const auto& [written, read] = readers[k];
        const auto expected = readIn ("C", [&] { return read (written); });
        EXPECT_NE (expected, readIn ("C", [&] { return read ("<Other application=\"Corvane\" name=\"Corvane\"/>"); }))
            << kinds[k] << ": the document as written reads as no document";

        for (const auto allUpper : { true, false })
        {
            const auto document = recased (written, allUpper);

            for (const auto* locale : { "C", "tr_TR.UTF-8" })
                EXPECT_EQ (readIn (locale, [&] { return read (document); }), expected)
                    << kinds[k] << " with its names in " << (allUpper ? "upper" : "mixed") << " case, in " << locale;
        }
    }
}

// JUCE's parser takes a named reference ignoring case as its locale has it, and any other name
// for an entity of the document's type declaration: the reader lets through only what it knows
// as one of XML's five in every locale.
TEST (DocumentReferences, NamedReferencesInOtherLetterCaseReadAlikeInEveryLocale)
{
    static const std::pair<const char*, const char*> cases[] =
    {
        { "<a v=\"&AMP;&Lt;&gT;&QUOT;&Apos;\"/>", "&<>\"'" },
        { "<a v=\"&apo\xc5\xbf;\"/>", "refused" },     // a long s, an "S" to the C library in a UTF-8 locale only
    };

    for (const auto& [document, expected] : cases)
        for (const auto* locale : { "C", "tr_TR.UTF-8" })
            EXPECT_EQ (readIn (locale, [document = document]
                       {
                           const auto xml = XmlHelpers::parseUntrusted (juce::String::fromUTF8 (document));
                           return xml != nullptr ? xml->getStringAttribute ("v").toStdString() : std::string ("refused");
                       }), expected) << document << " in " << locale;
}
