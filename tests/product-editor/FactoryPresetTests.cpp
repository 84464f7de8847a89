#include "ApplicationDataFolders.h"
#include "Corvane.h"
#include "FactoryPresetCheck.h"
#include "ParameterManager.h"

#include <gtest/gtest.h>

namespace
{
    juce::File archive (const char* kind)
    {
        return juce::File (CORVANE_FACTORY_PRESETS_DIR).getChildFile ("Corvane Factory Presets v1.1 - " + juce::String (kind) + ".zip");
    }

    struct ProcessorOnOwnRoot
    {
        ProcessorOnOwnRoot()    { ApplicationDataFolders::setRoot (root); }
        ~ProcessorOnOwnRoot()   { processor.reset(); ApplicationDataFolders::setRoot ({}); root.deleteRecursively(); }

        juce::File root { juce::File::createTempFile ("factory-preset-tests") };
        std::unique_ptr<Corvane> processor { std::make_unique<Corvane>() };
    };
}

TEST (FactoryPresets, ValueTextsAreCheckedAgainstTheirParameters)
{
    ProcessorOnOwnRoot fixture;
    auto& manager = fixture.processor->parameterManager;

    const struct { const char* parameter; const char* text; bool valid; } cases[] =
    {
        { "Line 1 Filter Type", "LP", true },
        { "Line 1 Filter Type", "Low Pass", false },
        { "Line 2 Mute", "on", true },
        { "Line 2 Mute", "maybe", false },
        { "Line 1 Feedback", "0.6", true },
        { "Line 1 Feedback", "1.5", false },
        { "Line 1 Feedback", "loud", false },
        { "Line 3 Delay Left Time Linear", "620", true },
        { "Line 3 Delay Left Duration Denominator", "64", false },
        { "Delay Lines Routing", "Mixed 4", true },
    };

    for (const auto& c : cases)
    {
        auto* parameter = manager.getParameter (manager.getParameterIndex (c.parameter));
        ASSERT_NE (parameter, nullptr) << c.parameter;
        EXPECT_EQ (FactoryPresetCheck::isValidText (*parameter, c.text), c.valid) << c.parameter << " = " << c.text;
    }
}

TEST (FactoryPresets, ArchivesHoldSoundFactoryPresetsInCategoryFolders)
{
    ProcessorOnOwnRoot fixture;
    juce::StringArray fullPaths;

    for (auto* kind : { "full", "update" })
    {
        juce::ZipFile zip (archive (kind));
        ASSERT_GT (zip.getNumEntries(), 0) << archive (kind).getFullPathName();

        for (int i = 0; i < zip.getNumEntries(); ++i)
        {
            const auto path = zip.getEntry (i)->filename;
            EXPECT_TRUE (path.startsWith ("Presets/") && path.endsWith (".cvprst")
                         && path.fromFirstOccurrenceOf ("Presets/", false, false).containsChar ('/')) << path;

            std::unique_ptr<juce::InputStream> stream (zip.createStreamForEntry (i));
            ASSERT_NE (stream, nullptr);
            const auto xml = juce::parseXML (stream->readEntireStreamAsString());
            ASSERT_NE (xml, nullptr) << path;
            EXPECT_EQ (FactoryPresetCheck::findProblems (*xml, *fixture.processor).joinIntoString ("\n"), "");
            EXPECT_EQ (xml->getNumChildElements(), 213) << path;

            if (juce::String (kind) == "full")
                fullPaths.add (path);
            else
                EXPECT_TRUE (fullPaths.contains (path)) << path << " is new but not in the full archive";
        }
    }

    EXPECT_GE (fullPaths.size(), 20);
}

TEST (FactoryPresets, AnImpulseThroughEachComesBackWithAnEcho)
{
    ProcessorOnOwnRoot fixture;
    auto& processor = *fixture.processor;
    FactoryPresetCheck::connectEngine (processor);

    // The check itself: a preset that only scales its input (the limiter's look-ahead moving it
    // included) is caught, one with a line heard is not.
    const struct { std::vector<std::pair<const char*, const char*>> changes; bool wet; } cases[] =
    {
        { {}, true },
        { { { "FX Amount", "0" } }, false },
        { { { "FX Amount", "0" }, { "Limiter Active", "on" } }, false },
        { { { "Delay Lines Routing", "Serial" } }, false },
        { { { "Delay Lines Routing", "Serial" }, { "Line 2 Volume", "0.7" }, { "Line 3 Volume", "0.7" }, { "Line 4 Volume", "0.7" } }, true },
    };

    for (const auto& c : cases)
    {
        const auto preset = processor.getDefaultPreset (nullptr)->createXml (processor.parameterManager);

        for (const auto& [name, value] : c.changes)
        {
            auto* param = preset->getChildByAttribute ("name", name);
            ASSERT_NE (param, nullptr) << name;
            param->setAttribute ("value", value);
        }

        EXPECT_EQ (FactoryPresetCheck::rendersWetSignal (*preset, processor), c.wet)
            << (c.changes.empty() ? "default" : c.changes.back().first);
    }

    juce::ZipFile zip (archive ("full"));

    for (int i = 0; i < zip.getNumEntries(); ++i)
    {
        std::unique_ptr<juce::InputStream> stream (zip.createStreamForEntry (i));
        const auto xml = juce::parseXML (stream->readEntireStreamAsString());
        ASSERT_NE (xml, nullptr);
        EXPECT_TRUE (FactoryPresetCheck::rendersWetSignal (*xml, processor)) << zip.getEntry (i)->filename;
    }
}
