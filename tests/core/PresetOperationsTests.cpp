#include "TestProduct.h"

#include "../support/FifoWatchdog.h"
#include "FilePreset.h"

#include <filesystem>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

namespace
{
    struct PresetRecorder  : public BasePlugin::Listener
    {
        void presetLoaded (PresetCollection*) override     { ++loads; }
        int loads = 0;
    };
}

class PresetOperationsTest  : public PluginFixture
{
protected:
    void SetUp() override
    {
        PluginFixture::SetUp();
        presets = root.getChildFile ("user/Halvorn/Corvane/Presets");
        writePreset ("A", "0.1");
        writePreset ("B", "0.2");
        writePreset ("C", "0.3");
        writePreset ("Sub/D", "0.4");

        plugin = create();
        collection = plugin->getPresetCollection (0);
        plugin->addListener (&recorder);
    }

    void TearDown() override
    {
        plugin->removeListener (&recorder);
        plugin.reset();
        PluginFixture::TearDown();
    }

    juce::File writePreset (const juce::String& name, const juce::String& fx, const juce::String& attributes = {})
    {
        const auto file = presets.getChildFile (name + ".cvprst");
        file.getParentDirectory().createDirectory();
        file.replaceWithText ("<Preset" + attributes + "><param name=\"FX Amount\" value=\"" + fx + "\"/></Preset>");
        return file;
    }

    juce::String path (const juce::String& name) const      { return presets.getChildFile (name + ".cvprst").getFullPathName(); }
    juce::String fx() const                                 { return plugin->parameterManager.getParameterText (TestProduct::fxAmount); }
    juce::String current() const                            { return plugin->getCurrentPresetName (collection); }

    juce::File presets;
    std::unique_ptr<TestProduct> plugin;
    PresetCollection* collection = nullptr;
    PresetRecorder recorder;
};

TEST_F (PresetOperationsTest, LoadingAPresetCompletesItFromTheDefault)
{
    ASSERT_NE (collection, nullptr);
    EXPECT_EQ (collection->getName(), "Presets");
    ASSERT_EQ (collection->getNumPresets(), 4);

    plugin->parameterManager.setParameterText (TestProduct::masterVolume, "0.9");
    plugin->setPresetModified (collection, true);
    plugin->loadPresetFromCollection (collection, path ("B").toUpperCase());

    // Found ignoring case; what the file lacks comes from the default preset.
    EXPECT_EQ (fx(), "0.200000003");
    EXPECT_EQ (plugin->parameterManager.getParameterText (TestProduct::masterVolume), "0.5");
    EXPECT_EQ (plugin->getPresetName(), "B");
    EXPECT_FALSE (plugin->isPresetModified (collection));
    EXPECT_FALSE (plugin->isPresetLoaded (collection));
    EXPECT_EQ (recorder.loads, 1);

    // The current preset is not loaded again; nor are folders, empty or unknown paths.
    plugin->parameterManager.setParameterText (TestProduct::fxAmount, "0.7");
    plugin->loadPresetFromCollection (collection, current());
    plugin->loadPresetFromCollection (collection, presets.getChildFile ("Sub").getFullPathName());
    plugin->loadPresetFromCollection (collection, {});
    plugin->loadPresetFromCollection (collection, path ("Nothing"));
    plugin->loadPresetFromCollection (nullptr, path ("A"));
    EXPECT_EQ (fx(), "0.699999988");
    EXPECT_EQ (recorder.loads, 1);

    // Other collections have no current preset or flags.
    PresetCollection other ("Presets", ".cvprst");
    plugin->setCurrentPresetName (&other, path ("A"));
    plugin->setPresetModified (&other, true);
    EXPECT_EQ (plugin->getCurrentPresetName (&other), "");
    EXPECT_FALSE (plugin->isPresetModified (&other));

    // The current preset's twin in other letter case is another preset, and is loaded.
    writePreset ("b", "0.3");
    collection->refresh();
    plugin->loadPresetFromCollection (collection, path ("b"));
    EXPECT_EQ (current(), path ("b"));
}

TEST_F (PresetOperationsTest, RestoringTheDefaultMarksItLoadedAndLeavesAWayBack)
{
    plugin->loadPresetFromCollection (collection, path ("A"));
    plugin->loadDefaultPreset (collection);
    EXPECT_EQ (fx(), "0.5");
    EXPECT_EQ (plugin->getPresetName(), "Default");
    EXPECT_TRUE (plugin->isPresetLoaded (collection));
    EXPECT_EQ (recorder.loads, 2);

    plugin->loadPresetFromCollection (collection, path ("A"));
    EXPECT_EQ (fx(), "0.100000001");
    EXPECT_FALSE (plugin->isPresetLoaded (collection));
}

TEST_F (PresetOperationsTest, SteppingWrapsAndFindsItsWayFromOutsideTheList)
{
    auto step = [this] (bool next)
    {
        if (next) plugin->selectNextPreset (collection);
        else      plugin->selectPreviousPreset (collection);

        return juce::File (current()).getFileNameWithoutExtension();
    };

    EXPECT_EQ (step (true), "A");       // no current preset: the first
    EXPECT_EQ (step (false), "D");      // before the first: the last (Sub's come after the root's)
    EXPECT_EQ (step (true), "A");       // past the last: the first
    EXPECT_EQ (step (true), "B");

    // A current preset that left the list: its folder's first preset, or the first.
    plugin->setCurrentPresetName (collection, path ("Sub/Gone"));
    EXPECT_EQ (step (false), "D");
    plugin->setCurrentPresetName (collection, presets.getChildFile ("Elsewhere/Gone.cvprst").getFullPathName());
    EXPECT_EQ (step (true), "A");

    plugin->selectNextPreset (nullptr);
    EXPECT_EQ (recorder.loads, 6);
}

TEST_F (PresetOperationsTest, SavingWritesTheUsersOwnPresetAndMakesItCurrent)
{
    plugin->setAuthor ("Ana");
    plugin->parameterManager.setParameterText (TestProduct::fxAmount, "0.25");
    plugin->setPresetModified (collection, true);
    const auto file = presets.getChildFile ("New.cvprst");

    ASSERT_TRUE (plugin->savePresetToFile (collection, file));

    const auto saved = juce::parseXML (file);
    ASSERT_NE (saved, nullptr);
    EXPECT_EQ (saved->getStringAttribute ("author"), "Ana");
    EXPECT_FALSE (saved->hasAttribute ("id"));
    EXPECT_FALSE (saved->hasAttribute ("name"));
    EXPECT_EQ (plugin->getPresetName(), "New");
    EXPECT_EQ (current(), file.getFullPathName());
    EXPECT_FALSE (plugin->isPresetModified (collection));
    EXPECT_TRUE (collection->getPresetPaths().contains (file.getFullPathName()));
    EXPECT_EQ (recorder.loads, 1);

    // Overwriting a factory preset makes it the user's own: no id, the current author.
    const auto factory = writePreset ("Factory", "0.6", " application=\"Corvane\" author=\"Maker\" id=\"F-17\"");
    ASSERT_TRUE (plugin->savePresetToFile (collection, factory));
    const auto overwritten = juce::parseXML (factory);
    EXPECT_EQ (overwritten->getStringAttribute ("author"), "Ana");
    EXPECT_FALSE (overwritten->hasAttribute ("id"));
    EXPECT_FALSE (overwritten->hasAttribute ("application"));

    // Overwriting one of the user's own keeps its application field, with today's author.
    const auto own = writePreset ("Own", "0.6", " application=\"Corvane\" author=\"Old\"");
    ASSERT_TRUE (plugin->savePresetToFile (collection, own));
    EXPECT_EQ (juce::parseXML (own)->getStringAttribute ("application"), "Corvane");
    EXPECT_EQ (juce::parseXML (own)->getStringAttribute ("author"), "Ana");
}

TEST_F (PresetOperationsTest, AFailedSaveChangesNothing)
{
    plugin->loadPresetFromCollection (collection, path ("A"));
    plugin->setPresetModified (collection, true);
    const auto loads = recorder.loads;

    EXPECT_FALSE (plugin->savePresetToFile (collection, presets.getChildFile ("Sub")));
    EXPECT_FALSE (plugin->savePresetToFile (collection, root.getChildFile ("blocker.cvprst").getChildFile ("x.cvprst")));
    EXPECT_FALSE (plugin->savePresetToFile (nullptr, presets.getChildFile ("X.cvprst")));

    // A folder whose name is not UTF-8: JUCE cuts such a path in the wrong places.
    const std::string badFolder = presets.getFullPathName().toStdString() + "/Bad\xc3" "Folder";
    ASSERT_TRUE (std::filesystem::create_directory (badFolder));
    const auto inBadFolder = badFolder + "/Default.cvprst";
    EXPECT_FALSE (plugin->savePresetToFile (collection, juce::File (juce::String::fromUTF8 (inBadFolder.data(), (int) inBadFolder.size()))));
    EXPECT_TRUE (std::filesystem::is_empty (badFolder));

    EXPECT_TRUE (plugin->isPresetModified (collection));
    EXPECT_EQ (current(), path ("A"));
    EXPECT_EQ (plugin->getPresetName(), "A");
    EXPECT_EQ (recorder.loads, loads);
    EXPECT_EQ (collection->getNumPresets(), 4);
}

TEST_F (PresetOperationsTest, AuthorUpdatesTouchOnlyTheUsersOwnPresets)
{
    plugin->setAuthor ("Ana");
    const auto own = writePreset ("Own", "0.6", " author=\"Old\"");
    const auto factory = writePreset ("Factory", "0.6", " author=\"Maker\" id=\"F-17\"");
    const auto factoryText = factory.loadFileAsString();

    EXPECT_TRUE (plugin->updatePresetAuthor (own.getFullPathName()));
    EXPECT_EQ (juce::parseXML (own)->getStringAttribute ("author"), "Ana");
    EXPECT_EQ (juce::parseXML (own)->getChildElement (0)->getStringAttribute ("value"), "0.6");

    EXPECT_FALSE (plugin->updatePresetAuthor (factory.getFullPathName()));
    EXPECT_EQ (factory.loadFileAsString(), factoryText);

    EXPECT_FALSE (plugin->updatePresetAuthor ({}));
    EXPECT_FALSE (plugin->updatePresetAuthor (presets.getFullPathName()));
    EXPECT_FALSE (plugin->updatePresetAuthor ("relative.cvprst"));
}

TEST_F (PresetOperationsTest, OnlyRegularFilesAreReadReplacedOrRated)
{
    const auto regular = writePreset ("Regular", "0.7");
    const auto at = [this] (const char* name)   { return presets.getChildFile (name).getFullPathName().toStdString(); };

    ASSERT_EQ (::mkfifo (at ("Fifo.cvprst").c_str(), 0600), 0);
    ASSERT_TRUE (presets.getChildFile ("Folder.cvprst").createDirectory());
    ASSERT_TRUE (juce::File ("/dev/null").createSymbolicLink (presets.getChildFile ("Device.cvprst"), false));
    ASSERT_TRUE (regular.createSymbolicLink (presets.getChildFile ("Link.cvprst"), false));

    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    at ("Socket.cvprst").copy (address.sun_path, sizeof (address.sun_path) - 1);
    const auto socketFd = ::socket (AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ (::bind (socketFd, reinterpret_cast<const sockaddr*> (&address), sizeof (address)), 0);
    ::close (socketFd);

    // Reading a FIFO waits for a writer; the watchdog is that writer when a read got through.
    const FifoWatchdog watchdog (at ("Fifo.cvprst"));
    plugin->setAuthor ("Ana");

    const struct { const char* name; bool regular; } kinds[] =
    {
        { "Fifo.cvprst", false }, { "Socket.cvprst", false }, { "Folder.cvprst", false },
        { "Device.cvprst", false }, { "Link.cvprst", true }, { "Regular.cvprst", true },
    };

    for (const auto& kind : kinds)
    {
        SCOPED_TRACE (kind.name);
        const auto file = presets.getChildFile (kind.name);
        const auto typeBefore = std::filesystem::symlink_status (at (kind.name)).type();

        FilePreset header;
        EXPECT_EQ (header.loadFromFile (file, plugin->parameterManager, true), kind.regular);
        EXPECT_EQ (Preset::rewriteFileRating (file, 4), kind.regular);
        EXPECT_EQ (plugin->updatePresetAuthor (file.getFullPathName()), kind.regular);
        EXPECT_EQ (plugin->savePresetToFile (collection, file), kind.regular);

        if (! kind.regular)
        {
            EXPECT_EQ (std::filesystem::symlink_status (at (kind.name)).type(), typeBefore);
        }
    }

    EXPECT_FALSE (watchdog.hasFreedAReader());
}

TEST_F (PresetOperationsTest, WritesGoThroughLinksAndLeaveThemLinks)
{
    const auto elsewhere = root.getChildFile ("elsewhere");
    const auto real = [&elsewhere] (const char* name)   { return elsewhere.getChildFile (name).getFullPathName().toStdString(); };
    ASSERT_TRUE (elsewhere.getChildFile ("deep").createDirectory());
    ASSERT_TRUE (elsewhere.getChildFile ("Chained.cvprst").createSymbolicLink (presets.getChildFile ("Hop.cvprst"), false));
    ASSERT_TRUE (elsewhere.getChildFile ("deep").createSymbolicLink (presets.getChildFile ("Deep"), false));

    const struct { const char* link; std::string target; std::string written; bool existing; } cases[] =
    {
        { "Absolute.cvprst", real ("Absolute.cvprst"), real ("Absolute.cvprst"), true },
        { "Relative.cvprst", "../../../../elsewhere/Relative.cvprst", real ("Relative.cvprst"), true },
        { "Chain.cvprst", presets.getChildFile ("Hop.cvprst").getFullPathName().toStdString(), real ("Chained.cvprst"), true },
        { "Deep/Up.cvprst", "../Up.cvprst", real ("Up.cvprst"), true },                      // ".." from the real folder
        { "Dangling.cvprst", real ("New.cvprst"), real ("New.cvprst"), false },
        { "Gone.cvprst", real ("gone/Gone.cvprst"), {}, false },                            // into a missing folder
    };

    plugin->setAuthor ("Ana");
    plugin->parameterManager.setParameterText (TestProduct::fxAmount, "0.55");

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.link);
        const auto link = presets.getChildFile (c.link);
        std::filesystem::create_symlink (c.target, link.getFullPathName().toStdString());

        if (c.existing)
        {
            ASSERT_TRUE (juce::File (c.written).replaceWithText ("<Preset author=\"Old\"><param name=\"FX Amount\" value=\"0.1\"/></Preset>"));
        }

        EXPECT_EQ (plugin->savePresetToFile (collection, link), ! c.written.empty());
        EXPECT_EQ (Preset::rewriteFileRating (link, 4), ! c.written.empty());
        plugin->setAuthor ("Bo");
        EXPECT_EQ (plugin->updatePresetAuthor (link.getFullPathName()), ! c.written.empty());
        plugin->setAuthor ("Ana");

        std::error_code error;
        EXPECT_EQ (std::filesystem::read_symlink (link.getFullPathName().toStdString(), error), c.target);

        if (! c.written.empty())
        {
            const auto saved = juce::parseXML (juce::File (c.written));
            ASSERT_NE (saved, nullptr);
            EXPECT_EQ (saved->getIntAttribute ("rating"), 4);
            EXPECT_EQ (saved->getStringAttribute ("author"), "Bo");
            EXPECT_EQ (saved->getChildByAttribute ("name", "FX Amount")->getStringAttribute ("value"), fx());
        }
    }

    EXPECT_FALSE (elsewhere.getChildFile ("gone").exists());
    EXPECT_EQ (elsewhere.getNumberOfChildFiles (juce::File::findFiles), 5);         // no temporary file left
}
