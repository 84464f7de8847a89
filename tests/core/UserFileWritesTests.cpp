#include "TestProduct.h"

#include "FilePreset.h"

#include "../support/RowsAsUser.h"

#include <csignal>
#include <filesystem>
#include <functional>
#include <set>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;

using UserFileWritesTest = PluginFixture;

namespace
{
    /** Cuts every file the process writes at a size, as a disk that fills up does, for the
        life of the object; the system then says so through the write instead of a signal.
    */
    struct ScopedFileSizeLimit
    {
        explicit ScopedFileSizeLimit (rlim_t bytes)  : handler (std::signal (SIGXFSZ, SIG_IGN))
        {
            ::getrlimit (RLIMIT_FSIZE, &previous);
            const rlimit limit { bytes, previous.rlim_max };
            ::setrlimit (RLIMIT_FSIZE, &limit);
        }

        ~ScopedFileSizeLimit()
        {
            ::setrlimit (RLIMIT_FSIZE, &previous);
            std::signal (SIGXFSZ, handler);
        }

        rlimit previous {};
        void (*handler) (int);
    };

    std::set<std::string> namesIn (const juce::File& folder)
    {
        std::set<std::string> names;

        for (const auto& entry : fs::directory_iterator (folder.getFullPathName().toStdString()))
            names.insert (entry.path().filename().string());

        return names;
    }
}

TEST_F (UserFileWritesTest, EveryWriterGoesThroughLinksAndLeavesSpecialFilesAlone)
{
    auto plugin = create();
    const auto userFolder = plugin->getUserDataFolder();
    const auto elsewhere = root.getChildFile ("elsewhere");
    ASSERT_TRUE (elsewhere.createDirectory().wasOk());
    const auto real = elsewhere.getChildFile ("real").getFullPathName().toStdString();

    const struct { const char* name; juce::File file; std::function<bool()> write; } writers[] =
    {
        { "MIDI map", root.getChildFile ("Map.cvccmap"), [&] { return plugin->midiControl.saveMapFile (root.getChildFile ("Map.cvccmap")); } },
        { "host map", root.getChildFile ("Map.cvhpmap"), [&] { return plugin->saveHostParametersMapFile (root.getChildFile ("Map.cvhpmap")); } },
        { "settings", plugin->getSettingsFile(), [&] { return plugin->saveUserSettings(); } },
        { "state dump", userFolder.getChildFile ("Corvane.dump"), [&] { return plugin->writeStateDump(); } },
    };

    // What stands at the writer's path, and whether the write goes through to the real file.
    const struct { const char* kind; std::string linkTarget; bool written; } kinds[] =
    {
        { "absolute link", real, true },
        { "relative link", "relative", true },
        { "chained link", elsewhere.getChildFile ("hop").getFullPathName().toStdString(), true },
        { "link to a device", "/dev/null", false },
        { "dangling link", elsewhere.getChildFile ("none").getFullPathName().toStdString(), false },
        { "link loop", "loop", false },
        { "FIFO", {}, false },
    };

    fs::create_symlink (real, elsewhere.getChildFile ("hop").getFullPathName().toStdString());

    for (const auto& writer : writers)
    {
        for (const auto& kind : kinds)
        {
            SCOPED_TRACE (juce::String (writer.name) + " onto a " + kind.kind);
            const fs::path path (writer.file.getFullPathName().toStdString());
            fs::remove (path);
            ASSERT_TRUE (juce::File (real).replaceWithText ("old"));

            const auto linkTarget = kind.linkTarget == "relative" ? fs::relative (real, path.parent_path())
                                  : kind.linkTarget == "loop"     ? path
                                                                  : fs::path (kind.linkTarget);
            if (kind.linkTarget.empty())
            {
                ASSERT_EQ (::mkfifo (path.c_str(), 0600), 0);
            }
            else
            {
                fs::create_symlink (linkTarget, path);
            }

            const auto typeBefore = fs::symlink_status (path).type();

            EXPECT_EQ (writer.write(), kind.written);
            EXPECT_EQ (fs::symlink_status (path).type(), typeBefore);
            EXPECT_EQ (juce::File (real).loadFileAsString().startsWith ("<?xml"), kind.written);
            EXPECT_FALSE (elsewhere.getChildFile ("none").exists());

            if (! kind.linkTarget.empty())
            {
                std::error_code error;
                EXPECT_EQ (fs::read_symlink (path, error), linkTarget);
            }
        }

        fs::remove (writer.file.getFullPathName().toStdString());
    }

    // No temporary file is left beside the real one.
    EXPECT_EQ (std::distance (fs::directory_iterator (elsewhere.getFullPathName().toStdString()), fs::directory_iterator()), 2);
}

TEST_F (UserFileWritesTest, AWriteCutShortFailsAndLeavesTheOldFileWhole)
{
    auto plugin = create();
    auto* collection = plugin->getPresetCollection (0);
    const auto preset = root.getChildFile ("Own.cvprst"), rated = root.getChildFile ("Rated.cvprst"), authored = root.getChildFile ("Authored.cvprst");
    const auto installed = root.getChildFile ("Installed.cvprst");
    const std::string archived (20000, 'x');

    const struct { const char* name; juce::File file; std::function<bool()> write; } writers[] =
    {
        { "preset", preset, [&] { return plugin->savePresetToFile (collection, preset); } },
        { "rating", rated, [&] { return Preset::rewriteFileRating (rated, 4); } },
        { "author", authored, [&] { return plugin->updatePresetAuthor (authored.getFullPathName()); } },
        { "MIDI map", root.getChildFile ("Map.cvccmap"), [&] { return plugin->midiControl.saveMapFile (root.getChildFile ("Map.cvccmap")); } },
        { "host map", root.getChildFile ("Map.cvhpmap"), [&] { return plugin->saveHostParametersMapFile (root.getChildFile ("Map.cvhpmap")); } },
        { "settings", plugin->getSettingsFile(), [&] { return plugin->saveUserSettings(); } },
        { "state dump", plugin->getUserDataFolder().getChildFile ("Corvane.dump"), [&] { return plugin->writeStateDump(); } },
        { "installed preset", installed, [&]
          {
              AtomicFileWriter writer (installed);
              return writer.getStream() != nullptr && writer.getStream()->write (archived.data(), archived.size())
                  && writer.commit() == AtomicFileWriter::Outcome::written;
          } },
    };

    ASSERT_TRUE (plugin->savePresetToFile (collection, rated) && plugin->savePresetToFile (collection, authored));

    for (const auto& writer : writers)
    {
        SCOPED_TRACE (writer.name);
        plugin->setAuthor (juce::String (writer.name) + " author");
        ASSERT_TRUE (writer.write());

        // The file as a whole write leaves it, and a limit that cuts the next one in half.
        juce::MemoryBlock old;
        ASSERT_TRUE (writer.file.loadFileAsData (old));
        const auto names = namesIn (writer.file.getParentDirectory());
        plugin->setAuthor (juce::String (writer.name) + " writer");
        bool written;

        {
            const ScopedFileSizeLimit limit ((rlim_t) old.getSize() / 2);
            written = writer.write();
        }

        EXPECT_FALSE (written);
        juce::MemoryBlock after;
        EXPECT_TRUE (writer.file.loadFileAsData (after) && after == old);
        EXPECT_EQ (namesIn (writer.file.getParentDirectory()), names);
    }
}

TEST_F (UserFileWritesTest, SettingsThatCannotBeReadAreKeptAndTheUserIsTold)
{
    const auto settings = root.getChildFile ("user/Halvorn/Corvane/Corvane.ini");
    const auto firstKept = settings.getSiblingFile ("Corvane (damaged).ini");
    const fs::path path (settings.getFullPathName().toStdString());
    const juce::String full ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n<UserSettings application=\"Corvane\">\n"
                             "  <Presets>\n    <Author name=\"Ana\"/>\n  </Presets>\n"
                             "  <MidiControlMap default=\"yes\" file=\"/home/ana/maps/Keys.cvccmap\"/>\n</UserSettings>\n");
    ASSERT_TRUE (settings.getParentDirectory().createDirectory().wasOk());

    // A file that cannot be read needs an ordinary user: the superuser reads any. A link in the
    // place of the kept copy would lead to the new settings once they are written.
    const struct { const char* name; juce::String text; fs::perms mode; bool isFolder; const char* keptAs; bool leftAlone; bool asUser; } cases[] =
    {
        { "cut short", full.substring (0, 150), fs::perms (0644), false, "Corvane (damaged).ini", false, false },
        { "not to be read", full, fs::perms::none, false, nullptr, true, true },
        { "a folder", {}, fs::perms (0755), true, nullptr, true, false },
        { "cut short, the kept name a link to it", full.substring (0, 150), fs::perms (0644), false, "Corvane (damaged) (2).ini", false, false },
    };

    for (const auto& c : cases)
    {
        if (! RowsAsUser::runsRow (c.asUser))
            continue;

        SCOPED_TRACE (c.name);
        fs::remove_all (path);

        for (const auto* name : { "Corvane (damaged).ini", "Corvane (damaged) (2).ini" })
            fs::remove (settings.getSiblingFile (name).getFullPathName().toStdString());

        if (c.isFolder)
        {
            ASSERT_TRUE (settings.createDirectory().wasOk());
        }
        else
        {
            ASSERT_TRUE (settings.replaceWithText (c.text, false, false, "\n"));
        }

        if (c.keptAs != nullptr && firstKept.getFileName() != c.keptAs)
            fs::create_symlink ("Corvane.ini", firstKept.getFullPathName().toStdString());

        fs::permissions (path, c.mode);
        juce::String told;
        {
            auto plugin = create();
            told = plugin->getEditor()->getStatusBar()->getText();
            EXPECT_EQ (plugin->getAuthor(), c.text == full && ! c.leftAlone ? "Ana" : "");
        }

        const auto kept = c.keptAs != nullptr ? settings.getSiblingFile (c.keptAs) : juce::File();
        EXPECT_EQ (fs::status (path).permissions(), c.mode);
        EXPECT_TRUE (kept == juce::File() || (! kept.isSymbolicLink() && kept.loadFileAsString() == c.text));

        if (! c.isFolder)
        {
            fs::permissions (path, fs::perms (0644));
            EXPECT_EQ (settings.loadFileAsString() == c.text, c.leftAlone);
            EXPECT_TRUE (juce::parseXML (settings) != nullptr || c.leftAlone);
        }

        EXPECT_TRUE (told.contains (settings.getFullPathName())) << told;
        EXPECT_TRUE (told.contains (kept != juce::File() ? "kept as '" + kept.getFullPathName() + "'" : "left as it is")) << told;
    }

    RowsAsUser::runInChild();
}

TEST_F (UserFileWritesTest, PresetsOverTheSizeLimitAreRefusedBeforeTheyAreRead)
{
    auto plugin = create();
    const auto huge = root.getChildFile ("Huge.cvprst");
    ASSERT_TRUE (huge.replaceWithText ("<Preset author=\"Old\">"));
    fs::resize_file (huge.getFullPathName().toStdString(), (std::uintmax_t) 1 << 30);      // sparse: no disk taken

    FilePreset header;
    const struct { const char* reader; std::function<bool()> read; } readers[] =
    {
        { "header", [&] { return header.loadFromFile (huge, plugin->parameterManager, true); } },
        { "rating", [&] { return Preset::rewriteFileRating (huge, 4); } },
        { "author", [&] { return plugin->updatePresetAuthor (huge.getFullPathName()); } },
    };

    for (const auto& r : readers)
    {
        SCOPED_TRACE (r.reader);
        const auto started = juce::Time::getMillisecondCounterHiRes();
        EXPECT_FALSE (r.read());
        EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - started, 1000.0);      // reading it all takes seconds
    }

    EXPECT_EQ (huge.getSize(), (juce::int64) 1 << 30);
}

TEST_F (UserFileWritesTest, TheFixtureRemovesEverythingATestMade)
{
    const auto folder = root.getChildFile ("user/Halvorn/Corvane/Presets");
    ASSERT_TRUE (folder.createDirectory().wasOk());
    ASSERT_EQ (::mkfifo (folder.getChildFile ("Fifo.cvprst").getFullPathName().toRawUTF8(), 0600), 0);

    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    folder.getChildFile ("Socket.cvprst").getFullPathName().toStdString().copy (address.sun_path, sizeof (address.sun_path) - 1);
    const auto socketFd = ::socket (AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ (::bind (socketFd, reinterpret_cast<const sockaddr*> (&address), sizeof (address)), 0);
    ::close (socketFd);

    const auto made = root;
    TearDown();
    EXPECT_FALSE (made.exists());
    SetUp();
}
