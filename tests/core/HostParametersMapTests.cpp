#include "ResourceLoading.h"
#include "XmlHelpers.h"
#include "TestProduct.h"

namespace
{
    juce::String singleLine (const juce::XmlElement& element)
    {
        return element.toString (juce::XmlElement::TextFormat().singleLine().withoutHeader());
    }

    void readMap (BasePlugin& plugin, const juce::String& text)
    {
        const auto xml = juce::parseXML (text);
        ASSERT_NE (xml, nullptr);
        plugin.readHostParametersMap (xml.get());
    }

    juce::StringArray slotNames (BasePlugin& plugin)
    {
        juce::StringArray names;

        for (int slot = 0; slot < plugin.getNumHostParameters(); ++slot)
            if (auto* p = plugin.getHostSlotParameter (slot))
                names.add (juce::String (slot + 1) + "=" + p->getName());

        return names;
    }
}

using HostParametersMapTest = PluginFixture;

TEST_F (HostParametersMapTest, TheBuiltInMapFillsEverySlotAndWritesBackUnchanged)
{
    auto plugin = create();

    const auto builtIn = juce::parseXML (loadXmlFromResource ("default.cvhpmap"));
    ASSERT_NE (builtIn, nullptr);
    const auto assigns = XmlHelpers::getChildrenWithTagName (*builtIn, "assign");
    ASSERT_EQ (assigns.size(), 128);

    for (int slot = 0; slot < 128; ++slot)
    {
        auto* p = plugin->getHostSlotParameter (slot);
        ASSERT_NE (p, nullptr) << "slot " << slot + 1;
        EXPECT_EQ (p->getName(), assigns[slot]->getStringAttribute ("pluginParam"));
    }

    // The irregular orders of the table are kept slot for slot.
    EXPECT_EQ (plugin->getHostSlotParameter (78)->getName(), "Line 4 Modulation Time");
    EXPECT_EQ (plugin->getHostSlotParameter (113)->getName(), "Line 4 Delay Left Duration Denominator");
    EXPECT_EQ (plugin->getHostSlotParameter (125)->getName(), "PEAK 1 Attack");

    const auto written = plugin->createHostParametersMapXml();
    EXPECT_TRUE (written->isEquivalentTo (builtIn.get(), false));
}

TEST_F (HostParametersMapTest, ReadingFollowsTheDocumentsRules)
{
    auto plugin = create();

    // Another product, "application" instead of "name", or another root: the map stays.
    for (auto* text : { "<HostParametersMap name=\"Other\"/>",
                        "<HostParametersMap application=\"Corvane\"/>",
                        "<MidiControlMap name=\"Corvane\"/>" })
    {
        readMap (*plugin, text);
        EXPECT_EQ (slotNames (*plugin).size(), 128) << text;
    }

    readMap (*plugin, "<hostparametersmap NAME=\"CORVANE\">"
                      "  <assign hostParam=\"0\" pluginParam=\"FX Amount\"/>"
                      "  <assign hostParam=\"129\" pluginParam=\"Master Volume\"/>"
                      "  <assign hostParam=\"-4\" pluginParam=\"Limiter Threshold\"/>"
                      "  <assign hostParam=\"x\" pluginParam=\"LFO 1 Rate\"/>"
                      "  <ASSIGN HOSTPARAM=\"7\" PLUGINPARAM=\"FX Amount\"/>"
                      "  <assign hostParam=\"8\" pluginParam=\"Delay Lines Routing\"/>"
                      "  <assign hostParam=\"9\" pluginParam=\"No Such Parameter\"/>"
                      "  <assign hostParam=\"3 and more\" pluginParam=\"Master Volume\"/>"
                      "  <assign hostParam=\"5\" pluginParam=\"Limiter Active\"/>"
                      "  <assign hostParam=\"6\" pluginParam=\"Limiter Active\"/>"
                      "  <assign hostParam=\"4\" pluginParam=\"LFO 2 Rate\"/>"
                      "  <assign hostParam=\"200\" pluginParam=\"LFO 2 Rate\"/>"
                      "</hostparametersmap>");

    // Out-of-range slots, a parameter that is not automatable and an unknown name put
    // nothing on a slot; a parameter moves to its last line; a line out of range takes
    // a parameter off the slot an earlier line gave it.
    EXPECT_EQ (slotNames (*plugin).joinIntoString (","), "3=Master Volume,6=Limiter Active,7=FX Amount");
}

TEST_F (HostParametersMapTest, MapFilesAreWrittenByteForByteAndReadBack)
{
    auto plugin = create();
    plugin->clearHostParametersMap();
    EXPECT_EQ (singleLine (*plugin->createHostParametersMapXml()), "<HostParametersMap name=\"Corvane\"/>");

    plugin->assignHostParameter (9, plugin->parameterManager.getParameter ("Line 2 Feedback"));
    plugin->assignHostParameter (0, plugin->parameterManager.getParameter (TestProduct::fxAmount));

    const auto file = root.getChildFile ("maps").getChildFile ("mine" + juce::String (".cvhpmap"));
    ASSERT_TRUE (plugin->saveHostParametersMapFile (file));
    EXPECT_EQ (file.loadFileAsString(),
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n"
               "<HostParametersMap name=\"Corvane\">\r\n"
               "  <assign hostParam=\"1\" pluginParam=\"FX Amount\"/>\r\n"
               "  <assign hostParam=\"10\" pluginParam=\"Line 2 Feedback\"/>\r\n"
               "</HostParametersMap>\r\n");

    auto other = create();
    ASSERT_TRUE (other->loadHostParametersMapFile (file));
    EXPECT_EQ (slotNames (*other).joinIntoString (","), "1=FX Amount,10=Line 2 Feedback");

    // Missing, unreadable and foreign files change nothing.
    EXPECT_FALSE (other->loadHostParametersMapFile (root.getChildFile ("missing.cvhpmap")));
    EXPECT_FALSE (other->loadHostParametersMapFile (root));
    const auto broken = root.getChildFile ("broken.cvhpmap");
    broken.replaceWithText ("<HostParametersMap name=\"Corvane\"><assign hostParam=\"2\"");
    EXPECT_FALSE (other->loadHostParametersMapFile (broken));

    for (const std::string unsafe : { "\xFF", "<?" "?>x" })
    {
        const auto text = file.loadFileAsString().upToLastOccurrenceOf ("</", false, false).toStdString() + unsafe;
        broken.replaceWithData (text.data(), text.size());
        EXPECT_FALSE (other->loadHostParametersMapFile (broken));
    }

    EXPECT_EQ (slotNames (*other).size(), 2);

    // A file that cannot be written is reported.
    const auto blocker = root.getChildFile ("blocker");
    blocker.replaceWithText ("a file");
    EXPECT_FALSE (plugin->saveHostParametersMapFile (blocker.getChildFile ("x.cvhpmap")));
    EXPECT_FALSE (plugin->saveHostParametersMapFile (root));
    EXPECT_EQ (makeWildcard (".cvhpmap"), "*.cvhpmap");
}

TEST_F (HostParametersMapTest, StartUpLoadsTheUsersMapsWhenTheSettingsAskForThem)
{
    const auto mapFile = root.getChildFile ("user.cvhpmap");
    mapFile.replaceWithText ("<HostParametersMap name=\"Corvane\"><assign hostParam=\"2\" pluginParam=\"FX Amount\"/></HostParametersMap>");
    const auto midiMapFile = root.getChildFile ("user.cvccmap");
    midiMapFile.replaceWithText ("<MidiControlMap name=\"Corvane\"><assign CC=\"7\" param=\"Master Volume\"/></MidiControlMap>");

    {
        auto plugin = create();
        plugin->hostMapDefault = true;
        plugin->setHostParametersMapFile (mapFile.getFullPathName());
        plugin->midiControl.setDefaultMap (true);
        plugin->midiControl.setMapPath (midiMapFile.getFullPathName());
    }

    {
        auto plugin = create();
        EXPECT_EQ (slotNames (*plugin).joinIntoString (","), "2=FX Amount");
        EXPECT_EQ (plugin->hostMapPath, mapFile.getFullPathName());
        ASSERT_NE (plugin->midiControl.getParameterOf (7), nullptr);
        EXPECT_EQ (plugin->midiControl.getParameterOf (7)->getName(), "Master Volume");
    }

    // When the user's file is gone there is no fallback to the built-in map.
    mapFile.deleteFile();
    auto plugin = create();
    EXPECT_TRUE (plugin->hostMapDefault);
    EXPECT_TRUE (slotNames (*plugin).isEmpty());
}
