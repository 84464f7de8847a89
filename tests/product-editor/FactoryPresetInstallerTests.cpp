#include "ApplicationDataFolders.h"
#include "CorvaneEditor.h"
#include "FolderChild.h"
#include "InstallFactoryPresetsWindow.h"

#include "../support/FifoWatchdog.h"
#include "../support/RowsAsUser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace
{
    /** Processors on a data root of the test's own, so that the machine-wide folder is one
        the test may write.
    */
    class InstallerTest  : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            if (! juce::File::getSpecialLocation (juce::File::userHomeDirectory).getFullPathName().contains ("test-home"))
                GTEST_SKIP() << "HOME is not a test folder: run this through ctest";

            root = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("installer-root");
            root.deleteRecursively();
            ApplicationDataFolders::setRoot (root);
        }

        void TearDown() override
        {
            processor.reset();
            ApplicationDataFolders::setRoot ({});
            root.deleteRecursively();
        }

        CorvaneEditor& createProcessor()
        {
            processor.reset();
            processor.reset (dynamic_cast<Corvane*> (createPluginFilter()));
            return *dynamic_cast<CorvaneEditor*> (processor->getEditor());
        }

        juce::File commonFolder() const     { return root.getChildFile ("common/Halvorn/Corvane"); }
        juce::File userFolder() const       { return root.getChildFile ("user/Halvorn/Corvane"); }

        void writeArchive (const juce::String& name, const juce::StringArray& entries) const
        {
            juce::ZipFile::Builder builder;

            for (const auto& entry : entries)
                builder.addEntry (new juce::MemoryInputStream (juce::MemoryBlock (entry.toRawUTF8(), (size_t) entry.length()), true),
                                  5, entry, juce::Time::getCurrentTime());

            commonFolder().createDirectory();
            juce::FileOutputStream out (commonFolder().getChildFile (name));
            out.setPosition (0);
            out.truncate();
            ASSERT_TRUE (builder.writeToStream (out, nullptr));
        }

        static void runToEnd (CorvaneEditor::InstallFactoryPresetsWindow& window, int maxWaitMs = 2000)
        {
            window.buttonClicked (&window.getStartButton());
            EXPECT_FALSE (window.getStartButton().isEnabled());

            for (int i = 0; i < maxWaitMs / 10 && ! window.getOkButton().isVisible(); ++i)
                juce::MessageManager::getInstance()->runDispatchLoopUntil (10);

            EXPECT_TRUE (window.getOkButton().isVisible() && window.getOkButton().isEnabled());
            EXPECT_FALSE (window.getStartButton().isVisible());
        }

        juce::File root;
        std::unique_ptr<Corvane> processor;
    };
}

TEST_F (InstallerTest, InstallsTheArchiveForTheInstalledVersion)
{
    const auto full = commonFolder().getChildFile ("Corvane Factory Presets v1.1 - full.zip");

    // Nothing installed and no archive: the full one is asked for, and its absence reported.
    {
        auto* window = createProcessor().getInstallerWindow();
        ASSERT_NE (window, nullptr);
        EXPECT_TRUE (window->isVisible());
        EXPECT_EQ (window->getTitle(), "Presets initalization");
        EXPECT_EQ (window->getMessageLabel().getText(), "Factory presets need to be installed now.\nIt will take just a while...");
        EXPECT_EQ (window->getArchivePath(), full.getFullPathName());

        runToEnd (*window);
        EXPECT_EQ (window->getFileLabel().getText(),
                   "Error: Installation file with factory presets not found.\n" + full.getFullPathName());
        EXPECT_TRUE (processor->factoryPresetsNeedInstalling());
    }

    // With the archive: every entry is unpacked, the version is recorded and saved.
    writeArchive (full.getFileName(), { "Presets/Ambient/Wide Wash.cvprst", "Presets/Ambient/Shimmer Bed.cvprst",
                                        "Presets/Rhythmic/Dotted Eighth.cvprst", "Presets/Rhythmic/Ping Pong.cvprst" });
    {
        auto* window = createProcessor().getInstallerWindow();
        ASSERT_NE (window, nullptr);
        runToEnd (*window);

        EXPECT_EQ (window->getProgress(), 100);
        EXPECT_TRUE (window->getCompletedLabel().isVisible());
        EXPECT_FALSE (window->getFileLabel().isVisible());
        EXPECT_FALSE (window->getProgressLabel().isVisible());
        EXPECT_TRUE (userFolder().getChildFile ("Presets/Rhythmic/Ping Pong.cvprst").existsAsFile());
        EXPECT_EQ (processor->getInstalledFactoryPresetsVersion(), "1.1");

        window->buttonClicked (&window->getOkButton());
        EXPECT_FALSE (window->isVisible());
    }

    // The next editor has nothing to install; an older installation is offered the update.
    EXPECT_EQ (createProcessor().getInstallerWindow(), nullptr);

    processor.reset();
    auto settings = juce::parseXML (userFolder().getChildFile ("Corvane.ini"));
    ASSERT_NE (settings, nullptr);
    auto* installed = settings->getChildByName ("Presets") != nullptr ? settings->getChildByName ("Presets")->getChildByName ("Installed") : nullptr;
    ASSERT_NE (installed, nullptr);
    installed->setAttribute ("version", "1.0");
    ASSERT_TRUE (settings->writeTo (userFolder().getChildFile ("Corvane.ini")));

    auto* update = createProcessor().getInstallerWindow();
    ASSERT_NE (update, nullptr);
    EXPECT_EQ (update->getMessageLabel().getText(), "New presets (v1.1) need to be installed now.\nIt will take just a while...");
    EXPECT_EQ (update->getArchivePath(), commonFolder().getChildFile ("Corvane Factory Presets v1.1 - update.zip").getFullPathName());
}

namespace
{
    /** An archive entry as a hostile archive may hold it: any name bytes, a link, a bomb. */
    struct RawEntry
    {
        std::string name, data;
        bool link = false, deflate = false;
    };

    /** Writes the archive format by hand, since JUCE's writer makes neither links from memory
        nor names that are not valid UTF-8.
    */
    juce::MemoryBlock zipOf (const std::vector<RawEntry>& entries)
    {
        juce::MemoryOutputStream out, directory;

        for (const auto& e : entries)
        {
            juce::MemoryBlock stored;

            if (e.deflate)
            {
                juce::MemoryOutputStream packed (stored, false);
                juce::GZIPCompressorOutputStream z (packed, 9, juce::GZIPCompressorOutputStream::windowBitsRaw);
                z.write (e.data.data(), e.data.size());
                z.flush();
            }
            else
            {
                stored.append (e.data.data(), e.data.size());
            }

            const auto offset = (int) out.getPosition();
            const auto header = [&] (juce::OutputStream& s, bool central)
            {
                s.writeInt (central ? 0x02014b50 : 0x04034b50);

                if (central)
                    s.writeShort (0x031e);                          // made on Unix

                s.writeShort (20);
                s.writeShort (0);
                s.writeShort (e.deflate ? 8 : 0);
                s.writeShort (0);
                s.writeShort (0x5721);                              // a date after 1980
                s.writeInt (0);
                s.writeInt ((int) stored.getSize());
                s.writeInt ((int) e.data.size());
                s.writeShort ((short) e.name.size());
                s.writeShort (0);

                if (central)
                {
                    s.writeShort (0);
                    s.writeShort (0);
                    s.writeShort (0);
                    s.writeInt (e.link ? (int) 0xa1ff0000u : (int) 0x81a40000u);
                    s.writeInt (offset);
                }

                s.write (e.name.data(), e.name.size());
            };

            header (out, false);
            out << stored;
            header (directory, true);
        }

        const auto directoryStart = (int) out.getPosition();
        out << directory.getMemoryBlock();
        out.writeInt (0x06054b50);
        out.writeShort (0);
        out.writeShort (0);
        out.writeShort ((short) entries.size());
        out.writeShort ((short) entries.size());
        out.writeInt ((int) directory.getDataSize());
        out.writeInt (directoryStart);
        out.writeShort (0);
        return out.getMemoryBlock();
    }

    /** Every file and link below the folder with what it holds or points to. */
    std::map<juce::String, juce::String> contentsOf (const juce::File& folder)
    {
        std::map<juce::String, juce::String> contents;

        for (const auto& entry : juce::RangedDirectoryIterator (folder, true, "*", juce::File::findFilesAndDirectories))
        {
            const auto& f = entry.getFile();
            contents[f.getRelativePathFrom (folder)] = f.isSymbolicLink() ? "link to " + f.getNativeLinkedTarget()
                                                      : f.isDirectory()    ? juce::String ("folder")
                                                                           : f.loadFileAsString();
        }

        return contents;
    }
}

TEST_F (InstallerTest, WritesOnlyBelowTheUserFolderAndStopsAtTheLimits)
{
    const auto skipped = juce::String ("Operation completed.\n");
    const auto tooLarge = "Error: The factory presets would take more than 64 MB unpacked.\nThe installation has been stopped.";
    const auto tooMany = "Error: The factory presets archive holds more than 4096 entries.\nThe installation has been stopped.";

    // The outcome is the stop message, or null for an installation that skips entries for the reason given.
    struct Case { const char* what; std::function<std::vector<RawEntry> (const juce::File& outside)> entries; const char* outcome; const char* skipped = nullptr; };
    const Case cases[] = {
        { "a link to an outside file, then a file of that name", [] (const juce::File& outside) {
              return std::vector<RawEntry> { { "Presets/Evil.cvprst", outside.getChildFile ("victim.txt").getFullPathName().toStdString(), true },
                                             { "Presets/Evil.cvprst", "pwned" },
                                             { "Presets/New.cvprst", outside.getChildFile ("new.txt").getFullPathName().toStdString(), true },
                                             { "Presets/New.cvprst", "pwned" } }; }, nullptr, "2 entries were skipped: 2 links." },
        { "a link to an outside folder, then entries below it", [] (const juce::File& outside) {
              return std::vector<RawEntry> { { "Presets/Out", outside.getFullPathName().toStdString(), true },
                                             { "Presets/Out/victim.txt", "pwned" },
                                             { "Presets/Out/new.txt", "pwned" } }; }, nullptr, "1 entry was skipped: a link." },
        { "absolute and escaping paths", [] (const juce::File& outside) {
              return std::vector<RawEntry> { { outside.getChildFile ("new.txt").getFullPathName().toStdString(), "pwned" },
                                             { "../outside/new.txt", "pwned" },
                                             { "Presets/../../outside/victim.txt", "pwned" },
                                             { "..\\outside\\new.txt", "pwned" },
                                             { "C:new.txt", "pwned" } }; }, nullptr, "5 entries were skipped: 5 paths outside the presets folder." },
        { "names that are not valid UTF-8", [] (const juce::File&) {
              return std::vector<RawEntry> { { "Presets/Caf\xe9/Wash.cvprst", "x" },
                                             { "Presets/\xc0\xae\xc0\xae/\xc0\xae\xc0\xae/outside/new.txt", "pwned" },
                                             { "Presets/Cut\xe2\x82", "x" } }; }, nullptr, "3 entries were skipped: 3 names that are not UTF-8 text." },
        { "entries whose paths differ only in letter case", [] (const juce::File&) {
              return std::vector<RawEntry> { { "Presets/GOOD.cvprst", "x" }, { "presets/good.CVPRST", "x" } }; },
          nullptr, "2 entries were skipped: 2 names other entries have in other letter case." },
        { "an archive that unpacks past the limit", [] (const juce::File&) {
              return std::vector<RawEntry> { { "Presets/Bomb.cvprst", std::string ((size_t) 70 << 20, ' '), false, true } }; }, tooLarge },
        { "an archive of more entries than the limit", [] (const juce::File&) {
              std::vector<RawEntry> entries;

              for (int i = 0; i < 4096; ++i)
                  entries.push_back ({ "Presets/Empty " + std::to_string (i) + ".cvprst", {} });

              return entries; }, tooMany },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        processor.reset();
        root.deleteRecursively();
        const auto outside = root.getChildFile ("outside");
        ASSERT_TRUE (outside.createDirectory());
        ASSERT_TRUE (outside.getChildFile ("victim.txt").replaceWithText ("mine"));
        const auto outsideBefore = contentsOf (outside);

        auto entries = c.entries (outside);
        entries.insert (entries.begin(), RawEntry { "Presets/Good.cvprst", "<Preset/>" });
        commonFolder().createDirectory();
        const auto archive = zipOf (entries);
        ASSERT_TRUE (commonFolder().getChildFile ("Corvane Factory Presets v1.1 - full.zip").replaceWithData (archive.getData(), archive.getSize()));

        auto* window = createProcessor().getInstallerWindow();
        ASSERT_NE (window, nullptr);
        runToEnd (*window, 60000);

        EXPECT_EQ (contentsOf (outside), outsideBefore);
        // An archive of too many entries is refused before anything is written.
        EXPECT_EQ (userFolder().getChildFile ("Presets/Good.cvprst").existsAsFile(), c.outcome != tooMany);

        for (const auto& [path, content] : contentsOf (userFolder()))
            EXPECT_FALSE (content.startsWith ("link to ")) << path;

        if (c.outcome != nullptr)
        {
            EXPECT_EQ (window->getFileLabel().getText(), c.outcome);
            EXPECT_FALSE (userFolder().getChildFile ("Presets/Bomb.cvprst").exists());
            EXPECT_TRUE (processor->factoryPresetsNeedInstalling());
        }
        else
        {
            EXPECT_EQ (window->getCompletedLabel().getText(), skipped + c.skipped);
            EXPECT_FALSE (processor->factoryPresetsNeedInstalling());
        }
    }
}

TEST_F (InstallerTest, FollowsTheUsersLinksAndRecordsOnlyPresetsWritten)
{
    const auto full = commonFolder().getChildFile ("Corvane Factory Presets v1.1 - full.zip");

    // A Presets folder kept elsewhere through a link, holding a link to a file of the user's.
    const auto elsewhere = root.getChildFile ("Other disk/My Presets");
    ASSERT_TRUE (elsewhere.createDirectory().wasOk());
    ASSERT_TRUE (elsewhere.getSiblingFile ("Kept.cvprst").replaceWithText ("mine"));
    ASSERT_TRUE (userFolder().createDirectory().wasOk());
    ASSERT_TRUE (elsewhere.createSymbolicLink (userFolder().getChildFile ("Presets"), true));
    ASSERT_TRUE (elsewhere.getSiblingFile ("Kept.cvprst").createSymbolicLink (elsewhere.getChildFile ("Linked.cvprst"), true));

    auto archive = zipOf ({ { "Presets/Ambient/Wide Wash.cvprst", "<Preset/>" }, { "Presets/Linked.cvprst", "factory" } });
    ASSERT_TRUE (commonFolder().createDirectory().wasOk());
    {
        auto* window = createProcessor().getInstallerWindow();
        ASSERT_NE (window, nullptr);
        ASSERT_TRUE (juce::File (window->getArchivePath()).replaceWithData (archive.getData(), archive.getSize()));
        runToEnd (*window);

        EXPECT_EQ (window->getCompletedLabel().getText(), "Operation completed.");
        EXPECT_EQ (elsewhere.getChildFile ("Ambient/Wide Wash.cvprst").loadFileAsString(), "<Preset/>");
        EXPECT_EQ (elsewhere.getSiblingFile ("Kept.cvprst").loadFileAsString(), "factory");
        EXPECT_TRUE (userFolder().getChildFile ("Presets").isSymbolicLink());
        EXPECT_TRUE (elsewhere.getChildFile ("Linked.cvprst").isSymbolicLink());
        EXPECT_FALSE (processor->factoryPresetsNeedInstalling());
    }

    // An archive of which nothing can be written records nothing, and is offered again.
    processor.reset();
    root.deleteRecursively();
    archive = zipOf ({ { "Presets/Evil.cvprst", "/tmp/x", true }, { "../Escaping.cvprst", "<Preset/>" } });
    ASSERT_TRUE (commonFolder().createDirectory().wasOk());
    ASSERT_TRUE (full.replaceWithData (archive.getData(), archive.getSize()));
    {
        auto* window = createProcessor().getInstallerWindow();
        ASSERT_NE (window, nullptr);
        runToEnd (*window);

        EXPECT_FALSE (window->getCompletedLabel().isVisible());
        EXPECT_EQ (window->getFileLabel().getText(), "Error: No factory preset could be written into " + userFolder().getFullPathName()
                                                     + ".\nThe installation will be offered again.");
        EXPECT_TRUE (processor->factoryPresetsNeedInstalling());
    }

    processor.reset();
    EXPECT_FALSE (userFolder().getChildFile ("Corvane.ini").loadFileAsString().contains ("Installed"));
    auto* again = createProcessor().getInstallerWindow();
    ASSERT_NE (again, nullptr);
    EXPECT_EQ (again->getArchivePath(), full.getFullPathName());
}

TEST_F (InstallerTest, KeepsEntriesWhoseNamesBeginWithATildeInTheUserFolder)
{
    // JUCE reads such names as the home folder, a user's home or a path in the working folder.
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    const auto previous = juce::File::getCurrentWorkingDirectory();
    ASSERT_TRUE (home.setAsCurrentWorkingDirectory());

    const char* names[] = { "Presets/~0.cvprst", "~/Home.cvprst", "Presets/~/Sub.cvprst" };
    const auto archive = zipOf ({ { names[0], "<Preset/>" }, { names[1], "<Preset/>" }, { names[2], "<Preset/>" } });
    ASSERT_TRUE (commonFolder().createDirectory().wasOk());
    ASSERT_TRUE (commonFolder().getChildFile ("Corvane Factory Presets v1.1 - full.zip").replaceWithData (archive.getData(), archive.getSize()));
    auto* window = createProcessor().getInstallerWindow();
    ASSERT_NE (window, nullptr);
    runToEnd (*window);

    for (const auto* name : names)
        EXPECT_TRUE (FolderChild::of (userFolder(), name).existsAsFile()) << name;

    EXPECT_FALSE (home.getChildFile ("~0.cvprst").exists() || home.getChildFile ("Home.cvprst").exists()
                  || home.getChildFile ("Sub.cvprst").exists());
    previous.setAsCurrentWorkingDirectory();
}

TEST_F (InstallerTest, ThePresetsOfTheUsersFoldersNamedInOtherCaseStayListed)
{
    // The user's own folders and presets whose names differ from the factory set's only in case.
    const juce::StringArray users { "basic/One", "basic/Two", "basic/Three", "clean slapback", "AMBIENT/Deep" };

    for (const auto& name : users)
        ASSERT_TRUE (FolderChild::of (userFolder(), "Presets/" + name + ".cvprst").getParentDirectory().createDirectory().wasOk()
                     && FolderChild::of (userFolder(), "Presets/" + name + ".cvprst").replaceWithText ("<Preset author=\"me\"/>"));

    const auto archive = zipOf ({ { "Presets/Basic/Bright.cvprst", "<Preset/>" }, { "Presets/Clean Slapback.cvprst", "<Preset/>" },
                                  { "Presets/Ambient/Wide.cvprst", "<Preset/>" } });
    ASSERT_TRUE (commonFolder().createDirectory().wasOk());
    ASSERT_TRUE (commonFolder().getChildFile ("Corvane Factory Presets v1.1 - full.zip").replaceWithData (archive.getData(), archive.getSize()));
    auto* window = createProcessor().getInstallerWindow();
    ASSERT_NE (window, nullptr);
    runToEnd (*window);
    EXPECT_EQ (window->getCompletedLabel().getText(), "Operation completed.");

    // Whatever the disk made of the names, the plug-in lists every preset on it.
    auto* collection = processor->getPresetCollection ("Presets");
    ASSERT_NE (collection, nullptr);
    collection->refresh();
    std::set<juce::String> onDisk, listed;

    for (fs::recursive_directory_iterator it (userFolder().getChildFile ("Presets").getFullPathName().toStdString()), end; it != end; ++it)
        if (it->is_regular_file())
            onDisk.insert (juce::String (juce::CharPointer_UTF8 (it->path().c_str())));

    for (const auto& path : collection->getPresetPaths())
        listed.insert (path);

    EXPECT_EQ (listed, onDisk);
    EXPECT_EQ (onDisk.size(), (size_t) (users.size() + 3));
}

TEST_F (InstallerTest, RefusesAnArchiveItCannotReadAtOnce)
{
    const juce::String unreadable ("Error: The factory presets archive is not a ZIP file of at most 64 MB.\nThe installation will be offered again.");

    const struct { const char* what; std::function<void (const juce::File&)> make; bool fifo; } cases[] =
    {
        { "a FIFO", [] (const juce::File& f) { ASSERT_EQ (::mkfifo (f.getFullPathName().toRawUTF8(), 0600), 0); }, true },
        { "a link to a device", [] (const juce::File& f) { ASSERT_TRUE (juce::File ("/dev/zero").createSymbolicLink (f, true)); }, false },
        { "random bytes", [] (const juce::File& f) {
              juce::MemoryBlock noise (65536);
              juce::Random (41).fillBitsRandomly (noise.getData(), noise.getSize());
              ASSERT_TRUE (f.replaceWithData (noise.getData(), noise.getSize())); }, false },
        { "a sparse file one byte over the limit", [] (const juce::File& f) {
              ASSERT_TRUE (f.create().wasOk());
              ASSERT_EQ (::truncate (f.getFullPathName().toRawUTF8(), FactoryPresetUnpacker::defaultSizeLimit + 1), 0); }, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        processor.reset();
        root.deleteRecursively();
        ASSERT_TRUE (commonFolder().createDirectory().wasOk());
        const auto archive = commonFolder().getChildFile ("Corvane Factory Presets v1.1 - full.zip");
        c.make (archive);
        std::optional<FifoWatchdog> watchdog;

        if (c.fifo)
            watchdog.emplace (archive.getFullPathName().toStdString());

        // Closed at once after "Start", the window ends well within its 5 s bound.
        auto* window = createProcessor().getInstallerWindow();
        ASSERT_NE (window, nullptr);
        window->buttonClicked (&window->getStartButton());
        auto started = juce::Time::getMillisecondCounterHiRes();
        processor.reset();
        EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - started, 1000.0);

        // Else the outcome comes at once, and records nothing.
        window = createProcessor().getInstallerWindow();
        ASSERT_NE (window, nullptr);
        started = juce::Time::getMillisecondCounterHiRes();
        runToEnd (*window);
        EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - started, 1000.0);
        EXPECT_EQ (window->getFileLabel().getText(), unreadable);
        EXPECT_TRUE (processor->factoryPresetsNeedInstalling());
        EXPECT_FALSE (watchdog.has_value() && watchdog->hasFreedAReader());
    }
}

TEST_F (InstallerTest, AnInstanceClosedLaterKeepsWhatAnotherRecorded)
{
    // What the other instance records while the first is open, and what the first changes itself.
    const struct { const char* what; bool installs; juce::String othersAuthor, ownAuthor, author; } cases[] =
    {
        { "the installation", true, {}, {}, "Ana" },
        { "an author", false, "Bo", {}, "Bo" },
        { "both, the first changing the author too", true, "Bo", "Cy", "Cy" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        processor.reset();
        root.deleteRecursively();
        ASSERT_TRUE (userFolder().getChildFile ("Presets").createDirectory().wasOk());
        ASSERT_TRUE (userFolder().getChildFile ("Presets/Clean Slapback.cvprst").replaceWithText ("<Preset/>"));
        ASSERT_TRUE (userFolder().getChildFile ("Corvane.ini").replaceWithText ("<UserSettings application=\"Corvane\"><Presets><Author name=\"Ana\"/></Presets></UserSettings>"));

        createProcessor();
        std::unique_ptr<Corvane> other (dynamic_cast<Corvane*> (createPluginFilter()));

        if (c.installs)
            other->setFactoryPresetsInstalled();

        if (c.othersAuthor.isNotEmpty())
            other->setAuthor (c.othersAuthor);

        other.reset();

        if (c.ownAuthor.isNotEmpty())
            processor->setAuthor (c.ownAuthor);

        EXPECT_EQ (createProcessor().getInstallerWindow() == nullptr, c.installs);
        EXPECT_EQ (processor->getAuthor(), c.author);
    }
}

TEST_F (InstallerTest, SettingsThatCannotBeReadDoNotOfferTheInstallationAgain)
{
    // A factory preset the user has edited since it was installed, and settings that recorded it.
    const juce::String edited ("<Preset name=\"Clean Slapback\" edited=\"yes\"/>");
    const auto settings = userFolder().getChildFile ("Corvane.ini");
    const auto preset = userFolder().getChildFile ("Presets/Clean Slapback.cvprst");

    // A file of mode 000 needs an ordinary user: the superuser reads any.
    const struct { const char* what; bool asUser; std::function<void()> spoil; } cases[] =
    {
        { "a file that cannot be read", true, [&] { fs::permissions (settings.getFullPathName().toStdString(), fs::perms::none); } },
        { "a damaged file with no name left for its copy", false, [&] {
              ASSERT_TRUE (settings.replaceWithText ("<UserSettings"));

              for (int n = 1; n < 100; ++n)
                  ASSERT_TRUE (settings.getSiblingFile ("Corvane (damaged)" + (n == 1 ? juce::String() : " (" + juce::String (n) + ")") + ".ini")
                                   .replaceWithText ("another"));
          } },
        { "a damaged file, kept under a second name", false, [&] { ASSERT_TRUE (settings.replaceWithText ("<UserSettings")); } },
    };

    for (const auto& c : cases)
    {
        if (! RowsAsUser::runsRow (c.asUser))
            continue;

        SCOPED_TRACE (c.what);
        processor.reset();
        root.deleteRecursively();
        writeArchive ("Corvane Factory Presets v1.1 - full.zip", { "Presets/Clean Slapback.cvprst" });
        ASSERT_TRUE (preset.getParentDirectory().createDirectory().wasOk());
        ASSERT_TRUE (preset.replaceWithText (edited));
        ASSERT_TRUE (settings.replaceWithText ("<UserSettings application=\"Corvane\"><Presets><Installed version=\"1.1\"/></Presets></UserSettings>"));
        c.spoil();

        // Neither this start nor the next offers what would replace the user's preset.
        for (int start = 0; start < 2; ++start)
            EXPECT_EQ (createProcessor().getInstallerWindow(), nullptr) << start;

        processor.reset();
        EXPECT_EQ (preset.loadFileAsString(), edited);
        fs::permissions (settings.getFullPathName().toStdString(), fs::perms (0644));
    }

    processor.reset();
    RowsAsUser::runInChild();
}

TEST_F (InstallerTest, AnswersReturnAndShowsItsWholeOutcomeWhateverThePathsLength)
{
    // Data folders whose paths take several lines of the label when shown whole.
    const auto base = root;
    root = root.getChildFile (juce::String::repeatedString ("A data folder with a long name/", 8));
    ApplicationDataFolders::setRoot (root);

    const struct { const char* what; bool withArchive; juce::String first, last; } cases[] =
    {
        { "no archive", false, "Error: Installation file with factory presets not found.\n", "/Corvane Factory Presets v1.1 - full.zip" },
        { "nothing written", true, "Error: No factory preset could be written into ", "/Corvane.\nThe installation will be offered again." },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        processor.reset();
        root.deleteRecursively();

        if (c.withArchive)
        {
            const auto archive = zipOf ({ { "../Escaping.cvprst", "<Preset/>" } });
            ASSERT_TRUE (commonFolder().createDirectory().wasOk());
            ASSERT_TRUE (commonFolder().getChildFile ("Corvane Factory Presets v1.1 - full.zip").replaceWithData (archive.getData(), archive.getSize()));
        }

        // Return answers "Start", then "OK".
        auto* window = createProcessor().getInstallerWindow();
        ASSERT_NE (window, nullptr);
        EXPECT_TRUE (window->keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));

        for (int i = 0; i < 200 && ! window->getOkButton().isVisible(); ++i)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (10);

        // Laid out as the label draws it, the message fits the label.
        auto& label = window->getFileLabel();
        const auto text = label.getText();
        const auto area = label.getLookAndFeel().getLabelBorderSize (label).subtractedFrom (label.getLocalBounds()).toFloat();
        juce::GlyphArrangement glyphs;
        glyphs.addJustifiedText (label.getLookAndFeel().getLabelFont (label), text, 0.0f, 0.0f, area.getWidth(), juce::Justification::left);

        EXPECT_TRUE (text.startsWith (c.first) && text.endsWith (c.last)) << text;
        EXPECT_LE (glyphs.getBoundingBox (0, -1, false).getHeight(), area.getHeight()) << text;

        EXPECT_TRUE (window->keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
        EXPECT_FALSE (window->isVisible());
    }

    processor.reset();
    base.deleteRecursively();
}
