#include <gtest/gtest.h>

#include "FilePreset.h"
#include "Parameter.h"
#include "ParameterManager.h"

namespace
{
    std::unique_ptr<ParameterManager> makeManager()
    {
        auto manager = std::make_unique<ParameterManager>();
        const auto table = juce::parseXML (R"(<PluginParameters application="Corvane">
            <param index="0" name="Mute" type="state" value="Off" auto="true"/>
            <param index="1" name="Panning" type="float" value="0.25" auto="true"/>
            <param index="2" name="Volume" type="float" value="0.75" auto="true"/>
            <param index="10" name="Filter Type" type="enum" enum="Off;LP;BP;HP" value="BP" auto="true"/>
            <param index="97" name="Preset Name" type="string" value="Default"/>
        </PluginParameters>)");
        manager->loadFromXml (table.get());
        return manager;
    }

    juce::String crlf (juce::String text)
    {
        return text.replace ("\n", "\r\n");
    }

    juce::SparseSet<int> rangeSet (int start, int end)
    {
        juce::SparseSet<int> set;
        set.addRange ({ start, end });
        return set;
    }

    std::unique_ptr<Preset> presetWithIndices (int start, int end, const juce::String& textPrefix)
    {
        auto preset = std::make_unique<Preset>();

        for (int i = start; i < end; ++i)
            preset->addEntry (new Preset::Entry { i, textPrefix + juce::String (i) });

        return preset;
    }

    struct PresetFiles : public ::testing::Test
    {
        void SetUp() override
        {
            folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                         .getNonexistentChildFile ("corvane-preset-tests", {});
            ASSERT_TRUE (folder.createDirectory().wasOk());
        }

        void TearDown() override { folder.deleteRecursively(); }

        juce::File folder;
        std::unique_ptr<ParameterManager> manager = makeManager();
    };
}

//==============================================================================
TEST_F (PresetFiles, WritesTheFileFormatByteForByte)
{
    Preset preset;
    preset.setName ("Warm");
    preset.setId ("w-1");
    preset.setAuthor ("Ann");
    preset.setVersion ("1.1");
    preset.setCategory ("Pads");
    preset.setApplication ("Corvane");
    preset.setRating (4);
    manager->capturePreset (preset, rangeSet (0, 3));
    preset.setExtraData (juce::parseXML ("<Browser stars=\"4\"/>"));

    const auto file = folder.getChildFile ("Warm.cvprst");
    ASSERT_TRUE (preset.saveToFile (file, *manager));

    EXPECT_EQ (file.loadFileAsString(), crlf (R"(<?xml version="1.0" encoding="UTF-8"?>

<Preset name="Warm" application="Corvane" category="Pads" version="1.1"
        author="Ann" id="w-1" rating="4">
  <param name="Mute" value="off"/>
  <param name="Panning" value="0.25"/>
  <param name="Volume" value="0.75"/>
  <ExtraData>
    <Browser stars="4"/>
  </ExtraData>
</Preset>
)"));
}

TEST_F (PresetFiles, WritesOnlyTheHeaderFieldsThatAreSet)
{
    Preset preset;
    const auto xml = preset.createXml (*manager);

    EXPECT_EQ (xml->getNumAttributes(), 0);
    EXPECT_EQ (xml->getNumChildElements(), 0);
    EXPECT_EQ (preset.getRating(), 3);
    EXPECT_FALSE (preset.hasRating());
}

TEST_F (PresetFiles, ReadsNamesIgnoringCaseAndDropsUnknownParameters)
{
    const auto xml = juce::parseXML (R"(<PRESET NAME="Odd" Application="Corvane" CATEGORY="Pads" Version="1.0"
                                               Author="Me" ID="42" Rating="5">
        <Param NAME="Volume" Value="0.5"/>
        <param name="No Such Parameter" value="1"/>
        <PARAM name="Mute" value="on"/>
        <param name="Volume" value="0.6"/>
    </PRESET>)");

    Preset preset;
    preset.loadFromXml (xml.get(), *manager, false);

    EXPECT_EQ (preset.getName(), "Odd");
    EXPECT_EQ (preset.getApplication(), "Corvane");
    EXPECT_EQ (preset.getCategory(), "Pads");
    EXPECT_EQ (preset.getVersion(), "1.0");
    EXPECT_EQ (preset.getAuthor(), "Me");
    EXPECT_EQ (preset.getId(), "42");
    EXPECT_EQ (preset.getRating(), 5);
    EXPECT_TRUE (preset.hasRating());

    // File order, duplicates included.
    ASSERT_EQ (preset.getNumEntries(), 3);
    EXPECT_EQ (preset.getEntry (0)->index, 2);
    EXPECT_EQ (preset.getEntry (0)->text, "0.5");
    EXPECT_EQ (preset.getEntry (1)->index, 0);
    EXPECT_EQ (preset.getEntry (2)->text, "0.6");
}

TEST_F (PresetFiles, IgnoresRatingsOutsideOneToFive)
{
    for (auto* rating : { "0", "6", "-1", "x" })
    {
        Preset preset;
        const auto xml = juce::parseXML (juce::String ("<Preset rating=\"") + rating + "\"/>");
        preset.loadFromXml (xml.get(), *manager, false);

        EXPECT_EQ (preset.getRating(), 3) << rating;
        EXPECT_FALSE (preset.hasRating()) << rating;
        EXPECT_FALSE (preset.createXml (*manager)->hasAttribute ("rating"));
    }
}

TEST_F (PresetFiles, HeaderOnlyReadingSkipsTheValues)
{
    const auto file = folder.getChildFile ("Header.cvprst");
    file.replaceWithText (R"(<?xml version="1.0"?><Preset author="Ann" rating="2"><param name="Volume" value="0.1"/></Preset>)");

    Preset preset;
    ASSERT_TRUE (preset.loadFromFile (file, *manager, true));
    EXPECT_EQ (preset.getAuthor(), "Ann");
    EXPECT_EQ (preset.getRating(), 2);
    EXPECT_EQ (preset.getNumEntries(), 0);
}

TEST_F (PresetFiles, BrokenFilesLeaveThePresetAlone)
{
    Preset preset;
    preset.setAuthor ("Kept");
    preset.addEntry (new Preset::Entry { 2, "0.3" });

    EXPECT_FALSE (preset.loadFromFile (folder.getChildFile ("Missing.cvprst"), *manager, false));

    const auto garbage = folder.getChildFile ("Garbage.cvprst");
    garbage.replaceWithText ("<Preset name=\"x\"><param");
    EXPECT_FALSE (preset.loadFromFile (garbage, *manager, false));

    for (const std::string text : { "<Preset author=\"Bob\"><param name=\"Volume\" value=\"0.1\"/></Preset>\xFF",
                                    "<Preset author=\"Bob\"><param name=\"Volume\" value=\"0.1\"/><?" "?>x" })
    {
        garbage.replaceWithData (text.data(), text.size());
        EXPECT_FALSE (preset.loadFromFile (garbage, *manager, false));
        EXPECT_FALSE (preset.loadFromFile (garbage, *manager, true));
    }

    EXPECT_EQ (preset.getAuthor(), "Kept");
    EXPECT_EQ (preset.getNumEntries(), 1);

    // Another root: the values go, the header stays.
    const auto other = folder.getChildFile ("Other.cvprst");
    other.replaceWithText ("<Settings author=\"Bob\"/>");
    EXPECT_FALSE (preset.loadFromFile (other, *manager, false));
    EXPECT_EQ (preset.getAuthor(), "Kept");
    EXPECT_EQ (preset.getNumEntries(), 0);
}

TEST_F (PresetFiles, ExtraDataRoundTripsUnchanged)
{
    const auto original = folder.getChildFile ("Stars.cvprst");
    original.replaceWithText (crlf (R"(<?xml version="1.0" encoding="UTF-8"?>

<Preset version="1.1" rating="2">
  <param name="Volume" value="0.5"/>
  <ExtraData>
    <Browser stars="2"/>
    <Notes text="hi"/>
  </ExtraData>
</Preset>
)"));
    const auto expected = original.loadFileAsString();

    // What the browser does each time a star is clicked: load, save back.
    for (int i = 0; i < 3; ++i)
    {
        FilePreset preset;
        ASSERT_TRUE (preset.loadFromFile (original, *manager, false));
        ASSERT_TRUE (preset.saveToFile (original, *manager));
    }

    EXPECT_EQ (original.loadFileAsString(), expected);
}

TEST_F (PresetFiles, SavingReportsAFailedWrite)
{
    const auto notAFolder = folder.getChildFile ("plain-file");
    notAFolder.replaceWithText ("x");

    Preset preset;
    preset.addEntry (new Preset::Entry { 2, "0.5" });
    EXPECT_FALSE (preset.saveToFile (notAFolder.getChildFile ("Lost.cvprst"), *manager));
    EXPECT_TRUE (preset.saveToFile (folder.getChildFile ("Kept.cvprst"), *manager));
}

TEST_F (PresetFiles, FilePresetIsNamedAfterItsFile)
{
    const auto file = folder.getChildFile ("My Patch.cvprst");

    FilePreset saved;
    saved.setName ("Something Else");
    saved.addEntry (new Preset::Entry { 0, "on" });
    ASSERT_TRUE (saved.saveToFile (file, *manager));

    EXPECT_FALSE (juce::parseXML (file)->hasAttribute ("name"));
    EXPECT_EQ (saved.getName(), "My Patch");
    EXPECT_EQ (saved.getFile(), file);

    file.replaceWithText ("<Preset name=\"Liar\"><param name=\"Mute\" value=\"on\"/></Preset>");
    FilePreset loaded;
    ASSERT_TRUE (loaded.loadFromFile (file, *manager, false));
    EXPECT_EQ (loaded.getName(), "My Patch");
    EXPECT_EQ (loaded.getPath(), file.getFullPathName());
}

TEST_F (PresetFiles, RewritesOnlyAuthorAndId)
{
    const auto file = folder.getChildFile ("Author.cvprst");
    file.replaceWithText (R"(<?xml version="1.0" encoding="UTF-8"?>
<Preset AUTHOR="Old" category="Pads" id="7"><param name="Volume" value="0.1"/><ExtraData><X/></ExtraData></Preset>)");

    Preset preset;
    preset.setAuthor ("New");
    ASSERT_TRUE (preset.rewriteFileAuthor (file));

    const auto xml = juce::parseXML (file);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getAttributeName (0), "AUTHOR");
    EXPECT_EQ (xml->getAttributeValue (0), "New");
    EXPECT_EQ (xml->getStringAttribute ("category"), "Pads");
    EXPECT_FALSE (xml->hasAttribute ("id"));
    EXPECT_EQ (xml->getChildByName ("param")->getStringAttribute ("value"), "0.1");
    EXPECT_NE (xml->getChildByName ("ExtraData")->getChildByName ("X"), nullptr);

    preset.setAuthor ({});
    preset.setId ("8");
    ASSERT_TRUE (preset.rewriteFileAuthor (file));
    const auto again = juce::parseXML (file);
    EXPECT_FALSE (again->hasAttribute ("AUTHOR"));
    EXPECT_FALSE (again->hasAttribute ("author"));
    EXPECT_EQ (again->getStringAttribute ("id"), "8");

    const auto notPreset = folder.getChildFile ("Other.xml");
    notPreset.replaceWithText ("<Settings author=\"x\"/>");
    EXPECT_FALSE (preset.rewriteFileAuthor (notPreset));
    EXPECT_EQ (notPreset.loadFileAsString(), "<Settings author=\"x\"/>");
}

//==============================================================================
TEST (PresetEntries, AddMissingEntriesAppendsOnlyWhatIsLacking)
{
    auto line = presetWithIndices (0, 47, "line ");
    const auto full = presetWithIndices (0, 126, "full ");

    line->addMissingEntries (*full);

    ASSERT_EQ (line->getNumEntries(), 126);

    for (int i = 0; i < 47; ++i)
        EXPECT_EQ (line->getEntry (i)->text, "line " + juce::String (i));

    for (int i = 47; i < 126; ++i)
    {
        EXPECT_EQ (line->getEntry (i)->index, i);
        EXPECT_EQ (line->getEntry (i)->text, "full " + juce::String (i));
    }

    EXPECT_EQ (line->getIndices().size(), 126);
}

TEST (PresetEntries, AddMissingEntriesWithGapsOnBothSides)
{
    Preset preset;
    preset.addEntry (new Preset::Entry { 5, "a" });
    preset.addEntry (new Preset::Entry { 1000, "b" });

    Preset other;
    for (int index : { 1000, 3, 5, 2000 })
        other.addEntry (new Preset::Entry { index, "o" });

    preset.addMissingEntries (other);

    ASSERT_EQ (preset.getNumEntries(), 4);
    EXPECT_EQ (preset.getEntry (2)->index, 3);
    EXPECT_EQ (preset.getEntry (3)->index, 2000);
    EXPECT_EQ (preset.getEntry (1)->text, "b");
}

TEST (PresetEntries, NullsAreIgnoredAndClearEmptiesTheIndices)
{
    Preset preset;
    preset.addEntry (static_cast<Preset::Entry*> (nullptr));
    preset.addEntry (static_cast<const Parameter*> (nullptr));
    EXPECT_EQ (preset.getNumEntries(), 0);

    preset.addEntry (new Preset::Entry { 4, "x" });
    preset.clearEntries();
    EXPECT_EQ (preset.getNumEntries(), 0);
    EXPECT_FALSE (preset.containsIndex (4));
}

TEST (PresetEntries, CapturePresetTakesTheRangesInIndexOrder)
{
    auto manager = makeManager();

    Preset preset;
    preset.addEntry (new Preset::Entry { 97, "stale" });

    juce::SparseSet<int> ids;
    ids.addRange ({ 10, 11 });
    ids.addRange ({ 0, 3 });
    manager->capturePreset (preset, ids);

    ASSERT_EQ (preset.getNumEntries(), 4);
    EXPECT_EQ (preset.getEntry (0)->index, 0);
    EXPECT_EQ (preset.getEntry (0)->text, "off");
    EXPECT_EQ (preset.getEntry (3)->index, 10);
    EXPECT_EQ (preset.getEntry (3)->text, "BP");
    EXPECT_FALSE (preset.containsIndex (97));
    EXPECT_FALSE (preset.containsIndex (5));
}
