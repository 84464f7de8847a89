#include "TestProduct.h"

namespace
{
    juce::StringArray childTags (const juce::XmlElement& element)
    {
        juce::StringArray tags;

        for (auto* child : element.getChildIterator())
            tags.add (child->getTagName());

        return tags;
    }
}

using UserSettingsTest = PluginFixture;

TEST_F (UserSettingsTest, FoldersLieBelowTheDataRoot)
{
    auto plugin = create();

    EXPECT_EQ (plugin->getUserDataFolder(), root.getChildFile ("user/Halvorn/Corvane"));
    EXPECT_EQ (plugin->getCommonDataFolder(), root.getChildFile ("common/Halvorn/Corvane"));
    EXPECT_EQ (plugin->getSettingsFile(), root.getChildFile ("user/Halvorn/Corvane/Corvane.ini"));

    // The product registered its preset folder, which was made on the way.
    EXPECT_TRUE (plugin->getFolder ("presetDirectory").isDirectory());
    EXPECT_FALSE (plugin->addFolder ("presetDirectory", root.getChildFile ("elsewhere")));
    EXPECT_EQ (plugin->getFolder ("presetDirectory"), root.getChildFile ("user/Halvorn/Corvane/Presets"));
    EXPECT_EQ (plugin->getFolder ("unknown"), juce::File());

    // A folder that cannot be made is still registered.
    const auto blocker = root.getChildFile ("blocker");
    blocker.replaceWithText ("a file");
    EXPECT_TRUE (plugin->addFolder ("blocked", blocker.getChildFile ("below")));
    EXPECT_EQ (plugin->getFolder ("blocked"), blocker.getChildFile ("below"));
}

TEST_F (UserSettingsTest, TheEnvironmentCanMoveTheDataRoot)
{
    ApplicationDataFolders::setRoot ({});
    const auto system = ApplicationDataFolders::getUserFolder();

    setenv ("CORVANE_DATA_ROOT", root.getFullPathName().toRawUTF8(), 1);
    EXPECT_EQ (ApplicationDataFolders::getUserFolder(), root.getChildFile ("user"));
    EXPECT_EQ (ApplicationDataFolders::getCommonFolder(), root.getChildFile ("common"));

    // A relative root would depend on the host's working folder.
    setenv ("CORVANE_DATA_ROOT", "relative/root", 1);
    EXPECT_EQ (ApplicationDataFolders::getUserFolder(), system);

    unsetenv ("CORVANE_DATA_ROOT");
    ApplicationDataFolders::setRoot (root);
}

TEST_F (UserSettingsTest, SettingsAreWrittenWithTheirChildrenInOrder)
{
    auto plugin = create();
    plugin->setAuthor ("Ana");
    plugin->midiControl.setDefaultMap (true);
    plugin->midiControl.setMapPath ("/maps/cc.cvccmap");
    plugin->parameterManager.setParameterText (111, "High");
    plugin->productSetting = "42";
    ASSERT_TRUE (plugin->saveUserSettings());

    const auto settings = juce::parseXML (plugin->getSettingsFile());
    ASSERT_NE (settings, nullptr);
    EXPECT_EQ (settings->getStringAttribute ("application"), "Corvane");
    EXPECT_EQ (childTags (*settings).joinIntoString (","), "Presets,MidiControlMap,HostParametersMap,Preset,Editor,Product");

    auto line = [] (const juce::XmlElement* e) { return e->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader()); };
    EXPECT_EQ (line (settings->getChildElement (0)), "<Presets><Author name=\"Ana\"/></Presets>");
    EXPECT_EQ (line (settings->getChildElement (1)), "<MidiControlMap default=\"yes\" file=\"/maps/cc.cvccmap\"/>");
    EXPECT_EQ (line (settings->getChildElement (2)), "<HostParametersMap default=\"no\"/>");
    EXPECT_EQ (line (settings->getChildElement (3)),
               "<Preset name=\"DefaultProcessingQuality\">"
               "<param name=\"Default Real-time Processing Quality\" value=\"Normal\"/>"
               "<param name=\"Default Offline Processing Quality\" value=\"High\"/>"
               "</Preset>");
    EXPECT_EQ (line (settings->getChildElement (4)), "<Editor/>");

    // Read back by the next instance.
    plugin.reset();
    auto next = create();
    EXPECT_EQ (next->getAuthor(), "Ana");
    EXPECT_TRUE (next->midiControl.isDefaultMap());
    EXPECT_EQ (next->midiControl.getMapPath(), "/maps/cc.cvccmap");
    EXPECT_EQ (next->parameterManager.getParameterText (111), "High");
    EXPECT_EQ (next->parameterManager.getParameterText (100), "High");
    EXPECT_EQ (next->productSetting, "42");
}

TEST_F (UserSettingsTest, SettingsAreReadIgnoringLetterCaseWhereTheFormatSaysSo)
{
    const auto file = root.getChildFile ("user/Halvorn/Corvane/Corvane.ini");
    file.getParentDirectory().createDirectory();
    file.replaceWithText ("<usersettings APPLICATION=\"CORVANE\">"
                          "  <PRESETS><author NAME=\"Bo\"/></PRESETS>"
                          "  <midicontrolmap DEFAULT=\"YES\"/>"
                          "  <HostParametersMap default=\"1\" file=\"relative.cvhpmap\"/>"
                          "  <preset name=\"defaultprocessingquality\"><param name=\"Default Real-time Processing Quality\" value=\"Low\"/></preset>"
                          "  <PRESET name=\"DefaultProcessingQuality\">"
                          "    <param name=\"Default Real-time Processing Quality\" value=\"Ultra\"/>"
                          "    <param name=\"FX Amount\" value=\"0.9\"/>"
                          "  </PRESET>"
                          "</usersettings>");

    auto plugin = create();
    EXPECT_EQ (plugin->getAuthor(), "Bo");
    EXPECT_TRUE (plugin->midiControl.isDefaultMap());
    EXPECT_FALSE (plugin->hostMapDefault);
    EXPECT_EQ (plugin->hostMapPath, "relative.cvhpmap");

    // Only the exact preset name counts, and only its quality entries.
    EXPECT_EQ (plugin->parameterManager.getParameterText (110), "Ultra");
    EXPECT_EQ (plugin->parameterManager.getParameterText (99), "Ultra");
    EXPECT_EQ (plugin->parameterManager.getParameterText (TestProduct::fxAmount), "0.5");
}

TEST_F (UserSettingsTest, ForeignOrBrokenSettingsLeaveTheDefaults)
{
    const auto file = root.getChildFile ("user/Halvorn/Corvane/Corvane.ini");
    file.getParentDirectory().createDirectory();

    for (auto* text : { "<UserSettings application=\"Other\"><Presets><Author name=\"X\"/></Presets></UserSettings>",
                        "<UserSettings><Presets><Author name=\"X\"/></Presets></UserSettings>",
                        "<UserSettings application=\"Corvane\"><Presets><Author name=\"X\"/>",
                        "<UserSettings application=\"Corvane\"><Presets><Author name=\"X\"/></Presets></UserSettings>\xFF",
                        "<UserSettings application=\"Corvane\"><Presets><Author name=\"X\"/></Presets><?" "?>x",
                        "" })
    {
        file.replaceWithData (text, std::strlen (text));
        auto plugin = create();
        EXPECT_EQ (plugin->getAuthor(), "") << text;
        EXPECT_TRUE (plugin->log.contains ("default settings"));
        EXPECT_NE (plugin->getHostSlotParameter (22), nullptr);
    }
}

TEST_F (UserSettingsTest, AnEmptyAuthorRoundTripsAndAFailedWriteIsReported)
{
    {
        auto plugin = create();
        plugin->setAuthor ("Someone");
    }
    {
        auto plugin = create();
        plugin->setAuthor ({});
        ASSERT_TRUE (plugin->saveUserSettings());
        EXPECT_TRUE (plugin->getSettingsFile().loadFileAsString().contains ("<Author name=\"\"/>"));
    }

    auto plugin = create();
    EXPECT_EQ (plugin->getAuthor(), "");

    // A folder where the file should be: the old content is not lost either.
    const auto settingsFile = plugin->getSettingsFile();
    settingsFile.deleteFile();
    settingsFile.createDirectory();
    EXPECT_FALSE (plugin->saveUserSettings());
    EXPECT_TRUE (settingsFile.isDirectory());
    settingsFile.deleteRecursively();
}

TEST_F (UserSettingsTest, AMapPathThatBeginsWithATildeNamesNoFile)
{
    // JUCE takes "~/x" for a file in the home folder and "~x" for one in the working folder,
    // which depend on who runs the host and from where: such a path from the settings loads no map.
    const auto home = root.getChildFile ("home");
    ASSERT_TRUE (home.createDirectory().wasOk());
    const auto previousFolder = juce::File::getCurrentWorkingDirectory();
    const juce::String previousHome (std::getenv ("HOME"));
    const juce::ScopeGuard restore { [&] { previousFolder.setAsCurrentWorkingDirectory(); setenv ("HOME", previousHome.toRawUTF8(), 1); } };
    ASSERT_TRUE (home.setAsCurrentWorkingDirectory());
    setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);

    const juce::String map ("<HostParametersMap name=\"Corvane\"><assign hostParam=\"1\" pluginParam=\"Master Volume\"/></HostParametersMap>");
    ASSERT_TRUE (home.getChildFile ("Map.cvhpmap").replaceWithText (map));
    ASSERT_TRUE (home.getChildFile ("./~Map.cvhpmap").replaceWithText (map));
    const auto settings = root.getChildFile ("user/Halvorn/Corvane/Corvane.ini");
    ASSERT_TRUE (settings.getParentDirectory().createDirectory().wasOk());

    for (const auto* path : { "~/Map.cvhpmap", "~Map.cvhpmap" })
    {
        SCOPED_TRACE (path);
        ASSERT_TRUE (settings.replaceWithText ("<UserSettings application=\"Corvane\"><HostParametersMap default=\"yes\" file=\""
                                               + juce::String (path) + "\"/></UserSettings>"));
        EXPECT_EQ (create()->getHostSlotParameter (0), nullptr);
    }
}
