#include <gtest/gtest.h>

#include "FileTransfer.h"
#include "FolderChild.h"
#include "ParameterManager.h"
#include "PresetCollection.h"
#include "TestFolder.h"
#include "TestLocale.h"
#include "TestProduct.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <thread>

#include <sys/mount.h>

namespace
{
    /** Compares two names as the names of files in one folder. */
    int compareNames (const juce::String& a, const juce::String& b)
    {
        return PresetCollection::compareFileNames (juce::File ("/p/" + a + ".cvprst"), juce::File ("/p/" + b + ".cvprst"));
    }

    /** The same for names written as UTF-8 literals. */
    int compareNames (const char* a, const char* b)
    {
        return compareNames (juce::String::fromUTF8 (a), juce::String::fromUTF8 (b));
    }

    int sign (int value) { return (value > 0) - (value < 0); }

    struct Listener : public PresetCollection::Listener
    {
        void presetCollectionChanged (PresetCollection*) override { ++calls; }
        int calls = 0;
    };

    /** Points HOME at another folder for the life of the object. */
    struct ScopedHome
    {
        explicit ScopedHome (const juce::File& home) : previous (std::getenv ("HOME"))
        {
            setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
        }

        ~ScopedHome() { setenv ("HOME", previous.toRawUTF8(), 1); }

        juce::String previous;
    };

    /** A tmpfs, standing for a second disk, or a second mount of a folder, at a folder for the
        life of the object; isMounted() is false where the system lets no test mount.
    */
    struct ScopedMount
    {
        ScopedMount (const juce::File& at, const char* options, const juce::File& bindOf = {})
            : place (at)
        {
            mounted = place.createDirectory().wasOk()
                   && (bindOf == juce::File() ? ::mount ("tmpfs", place.getFullPathName().toRawUTF8(), "tmpfs", 0, options)
                                              : ::mount (bindOf.getFullPathName().toRawUTF8(), place.getFullPathName().toRawUTF8(), nullptr, MS_BIND, nullptr)) == 0;
            reason = mounted ? "" : std::strerror (errno);
        }

        ~ScopedMount() { if (mounted) ::umount2 (place.getFullPathName().toRawUTF8(), MNT_DETACH); }

        bool isMounted() const noexcept { return mounted; }

        juce::File place;
        bool mounted;
        std::string reason;
    };

    struct PresetTree : public ::testing::Test
    {
        void SetUp() override
        {
            base = juce::File::getSpecialLocation (juce::File::tempDirectory)
                       .getNonexistentChildFile ("corvane-collection-tests", {});
            root = base.getChildFile ("Presets");
            ASSERT_TRUE (root.createDirectory().wasOk());

            for (auto* path : { "Pad 10", "Pad 2", "Pad 1", "B/Bass", "a/Lead", "a/Deep/Sub", "B/Keys" })
                preset (path).replaceWithText ("<Preset><param name=\"Volume\" value=\"0.5\"/></Preset>");

            root.getChildFile ("notes.txt").replaceWithText ("not a preset");
            collection.addListener (&listener);
            collection.setRootFolder (root.getFullPathName());
        }

        // JUCE's own listing cannot read every name a test leaves behind.
        void TearDown() override { std::filesystem::remove_all (base.getFullPathName().toStdString()); }

        juce::File preset (const juce::String& relativePath) const
        {
            auto file = FolderChild::of (root, relativePath + ".cvprst");
            file.getParentDirectory().createDirectory();
            return file;
        }

        juce::String path (const juce::String& relativePath) const { return preset (relativePath).getFullPathName(); }
        juce::String folder (const juce::String& relativePath) const { return FolderChild::of (root, relativePath).getFullPathName(); }

        juce::StringArray relativeList() const
        {
            juce::StringArray names;

            for (auto& p : collection.getPresetPaths())
                names.add (juce::File (p).getRelativePathFrom (root).upToLastOccurrenceOf (".", false, false));

            return names;
        }

        void pumpMessages() { juce::MessageManager::getInstance()->runDispatchLoopUntil (50); }

        juce::File base, root;
        PresetCollection collection { "Presets", ".cvprst" };
        Listener listener;
        std::unique_ptr<ParameterManager> manager = std::make_unique<ParameterManager>();
    };
}

//==============================================================================
TEST (NaturalOrder, ExamplesHold)
{
    EXPECT_LT (compareNames ("Pad 2", "Pad 10"), 0);
    EXPECT_GT (compareNames ("Pad 10", "Pad 2"), 0);
    EXPECT_EQ (compareNames ("pad", "Pad"), 0);
    EXPECT_EQ (compareNames ("Pad 1 A", "Pad 1 B"), 0);
    EXPECT_LT (compareNames ("Pad", "Pad 2"), 0);
    EXPECT_LT (compareNames ("_x", "a"), 0);
    EXPECT_LT (compareNames ("a", "B"), 0);
    EXPECT_LT (compareNames ("Pad 9", "Pad a"), 0);
    EXPECT_LT (compareNames ("Pad 007", "Pad 8"), 0);
    EXPECT_EQ (compareNames ("Pad 05", "Pad 5"), 0);
    EXPECT_LT (compareNames ("Pad 0", "Pad 1"), 0);
}

TEST (NaturalOrder, EqualNamesCompareEqualBothWays)
{
    EXPECT_EQ (compareNames ("Pad", "Pad"), 0);
    EXPECT_EQ (compareNames ("", ""), 0);
    EXPECT_EQ (compareNames ("Pad 2", "Pad 2"), 0);
}

TEST (NaturalOrder, IsAntisymmetric)
{
    juce::StringArray names;

    for (auto* name : { "", "a", "A", "pa", "Pa", "Pb", "Pad", "Pad 1", "Pad 01", "Pad 10", "_x", "-y",
                        "x9", "x10", "Zed", "0", "00", "007", "Échos", "Delay", "b c", "b-c", "日本" })
        names.add (juce::String::fromUTF8 (name));

    for (auto& a : names)
        for (auto& b : names)
            EXPECT_EQ (sign (compareNames (a, b)), -sign (compareNames (b, a))) << a << " / " << b;
}

TEST (NaturalOrder, AccentedLettersAreLetters)
{
    EXPECT_GT (compareNames ("Échos", "Delay"), 0);
    EXPECT_EQ (compareNames ("écho", "Écho"), 0);
    EXPECT_GT (compareNames ("Échos", "_x"), 0);
}

TEST (NaturalOrder, SortingInconsistentNamesStaysInBounds)
{
    PresetCollection::Folder folder ("/p");
    juce::StringArray names;

    for (int i = 0; i < 200; ++i)
        folder.addPreset ("/p/" + juce::String (i % 3 == 0 ? "pa" : (i % 3 == 1 ? "Pa" : "Pb")) + juce::String::repeatedString ("x", i % 7) + juce::String (i) + ".cvprst", false);

    folder.sortPresets();
    EXPECT_EQ (folder.getNumPresets(), 200);
}

//==============================================================================
TEST_F (PresetTree, ListsTheTreeInNaturalOrder)
{
    EXPECT_EQ (relativeList(), juce::StringArray ({ "Pad 1", "Pad 2", "Pad 10", "a/Lead", "a/Deep/Sub", "B/Bass", "B/Keys" }));

    const auto& top = collection.getRoot();
    ASSERT_EQ (top.getNumSubFolders(), 2);
    EXPECT_EQ (top.getSubFolderPath (0), folder ("a"));
    EXPECT_EQ (top.getSubFolderPath (1), folder ("B"));
    EXPECT_EQ (top.getSubFolderPath (2), juce::String());
    EXPECT_EQ (top.getPresetPath (3), juce::String());
    EXPECT_EQ (top.indexOfSubFolder (folder ("b")), -1);
    EXPECT_EQ (top.indexOfSubFolder (folder ("c")), -1);

    EXPECT_EQ (collection.getPresetName (0), path ("Pad 1"));
    EXPECT_EQ (collection.getPresetName (7), juce::String());
    EXPECT_EQ (collection.getPresetName (-1), juce::String());
    EXPECT_EQ (collection.getRootFolder(), root);
    EXPECT_EQ (collection.getName(), "Presets");
}

TEST_F (PresetTree, FindsFoldersByTheirSpellingFirstThenIgnoringCase)
{
    EXPECT_EQ (collection.findFolder (root.getFullPathName()), &collection.getRoot());
    ASSERT_NE (collection.findFolder (folder ("A/DEEP")), nullptr);
    EXPECT_EQ (collection.findFolder (folder ("a/Deep"))->getPresetPath (0), path ("a/Deep/Sub"));
    EXPECT_EQ (collection.findFolder (folder ("nowhere")), nullptr);

    // Folders whose names differ only in case are two folders, each with its own presets.
    preset ("b/Other").replaceWithText ("<Preset/>");
    collection.refresh();
    EXPECT_EQ (collection.getRoot().getNumSubFolders(), 3);
    EXPECT_EQ (collection.findFolder (folder ("b"))->getNumPresets(), 1);
    EXPECT_EQ (collection.findFolder (folder ("B"))->getNumPresets(), 2);
}

TEST_F (PresetTree, DisplayPathUsesBackslashes)
{
    EXPECT_EQ (collection.getDisplayPath (path ("a/Deep/Sub")), "Presets\\a\\Deep\\Sub.cvprst");
    EXPECT_EQ (collection.getDisplayPath (path ("Pad 1")), "Presets\\Pad 1.cvprst");
}

TEST_F (PresetTree, ChangesAreAnnouncedOnceOnTheMessageThread)
{
    pumpMessages();
    listener.calls = 0;

    collection.createFolder (root.getFullPathName());
    collection.duplicatePreset (path ("Pad 1"));
    collection.refresh();
    EXPECT_EQ (listener.calls, 0);

    pumpMessages();
    EXPECT_EQ (listener.calls, 1);

    collection.removeListener (&listener);
    collection.refresh();
    pumpMessages();
    EXPECT_EQ (listener.calls, 1);
}

TEST_F (PresetTree, CachesLoadedPresetsUntilTheTreeChanges)
{
    auto* first = collection.getPreset (0, *manager);
    ASSERT_NE (first, nullptr);
    EXPECT_EQ (first->getName(), "Pad 1");
    EXPECT_EQ (collection.getPreset (0, *manager), first);
    EXPECT_EQ (collection.getPreset (7, *manager), nullptr);

    preset ("Pad 1").replaceWithText ("<Preset author=\"Changed\"/>");
    EXPECT_EQ (collection.getPreset (0, *manager)->getAuthor(), juce::String());

    collection.refresh();
    EXPECT_EQ (collection.getPreset (0, *manager)->getAuthor(), "Changed");

    // A file that is no preset still gives a preset, with no values.
    preset ("Pad 2").replaceWithText ("garbage");
    collection.refresh();
    auto* broken = collection.getPreset (1, *manager);
    ASSERT_NE (broken, nullptr);
    EXPECT_EQ (broken->getName(), "Pad 2");
    EXPECT_EQ (broken->getNumEntries(), 0);
}

TEST_F (PresetTree, AnUnusableRootGivesAnEmptyTree)
{
    collection.setRootFolder (folder ("does not exist"));
    EXPECT_EQ (collection.getNumPresets(), 0);
    EXPECT_EQ (collection.createFolder (folder ("does not exist")), juce::String());

    collection.setRootFolder ({});
    EXPECT_EQ (collection.getNumPresets(), 0);
    EXPECT_EQ (collection.getDisplayPath ("relative"), "relative");
}

TEST_F (PresetTree, AddsASavedFileWithoutRescanning)
{
    preset ("Unregistered").replaceWithText ("<Preset/>");
    preset ("New/Deeper/Saved").replaceWithText ("<Preset/>");

    collection.addPresetFile (path ("New/Deeper/Saved"));
    collection.addPresetFile (path ("Pad 1"));
    collection.addPresetFile (base.getChildFile ("Outside.cvprst").getFullPathName());
    collection.addPresetFile (folder ("a"));

    EXPECT_EQ (relativeList(), juce::StringArray ({ "Pad 1", "Pad 2", "Pad 10", "a/Lead", "a/Deep/Sub", "B/Bass", "B/Keys",
                                                    "New/Deeper/Saved" }));
    EXPECT_NE (collection.findFolder (folder ("New/Deeper")), nullptr);
}

//==============================================================================
TEST_F (PresetTree, CreatesNumberedNewFolders)
{
    const auto first = collection.createFolder (folder ("a"));
    const auto second = collection.createFolder (folder ("a"));

    EXPECT_EQ (first, folder ("a/New folder"));
    EXPECT_EQ (second, folder ("a/New folder(2)"));
    EXPECT_TRUE (juce::File (second).isDirectory());
    EXPECT_EQ (collection.findFolder (folder ("a"))->indexOfSubFolder (second), 2);

    EXPECT_EQ (collection.createFolder (base.getFullPathName()), juce::String());
    EXPECT_EQ (collection.createFolder (path ("Pad 1")), juce::String());
}

TEST_F (PresetTree, DuplicatesUnderNumberedNames)
{
    preset ("Deep").replaceWithText ("<Preset author=\"X\"/>");
    std::filesystem::permissions (path ("Deep").toStdString(), std::filesystem::perms (0600));
    collection.refresh();

    EXPECT_EQ (collection.duplicatePreset (path ("Deep")), path ("Deep(2)"));
    EXPECT_EQ (collection.duplicatePreset (path ("Deep")), path ("Deep(3)"));
    EXPECT_EQ (preset ("Deep(3)").loadFileAsString(), "<Preset author=\"X\"/>");
    EXPECT_EQ (std::filesystem::status (path ("Deep(3)").toStdString()).permissions(), std::filesystem::perms (0600));
    EXPECT_TRUE (collection.getPresetPaths().contains (path ("Deep(2)")));

    // A copy is written as a preset is: a link that leads nowhere is not replaced, and a file
    // larger than any preset is not read.
    std::filesystem::create_symlink ("Nowhere.cvprst", path ("Deep(4)").toStdString());
    EXPECT_EQ (collection.duplicatePreset (path ("Deep")), juce::String());
    EXPECT_TRUE (preset ("Deep(4)").isSymbolicLink() && ! preset ("Nowhere").exists());

    std::filesystem::resize_file (path ("Pad 1").toStdString(), (std::uintmax_t) 1 << 25);     // sparse: no disk taken
    EXPECT_EQ (collection.duplicatePreset (path ("Pad 1")), juce::String());
    EXPECT_FALSE (preset ("Pad 1(2)").exists());

    EXPECT_EQ (collection.duplicatePreset (folder ("a")), juce::String());
    EXPECT_EQ (collection.duplicatePreset (root.getChildFile ("notes.txt").getFullPathName()), juce::String());
}

TEST_F (PresetTree, RenamesPresetsInTheirFolder)
{
    EXPECT_EQ (collection.renamePreset (path ("a/Lead"), "Lead 2"), path ("a/Lead 2"));
    EXPECT_FALSE (preset ("a/Lead").exists());
    EXPECT_TRUE (collection.getPresetPaths().contains (path ("a/Lead 2")));
    EXPECT_FALSE (collection.getPresetPaths().contains (path ("a/Lead")));

    const auto before = collection.getPresetPaths();

    for (auto* refused : { "Pad 2", "../Escaped", "sub/Name", "sub\\Name", "", "  " })
    {
        EXPECT_EQ (collection.renamePreset (path ("Pad 1"), refused), juce::String()) << refused;
        EXPECT_TRUE (preset ("Pad 1").existsAsFile());
    }

    EXPECT_EQ (collection.getPresetPaths(), before);
    EXPECT_EQ (collection.renamePreset (path ("Missing"), "Other"), juce::String());
}

TEST_F (PresetTree, KeepsNamesThatBeginWithATildeInTheTree)
{
    // JUCE reads such names as the home folder, a user's home or a path in the working folder.
    const auto home = base.getChildFile ("home");
    ASSERT_TRUE (home.createDirectory());
    const ScopedHome scopedHome (home);
    const auto previous = juce::File::getCurrentWorkingDirectory();
    ASSERT_TRUE (home.setAsCurrentWorkingDirectory());

    preset ("~Draft").replaceWithText ("<Preset/>");
    preset ("~old/~Pad").replaceWithText ("<Preset/>");
    collection.refresh();
    EXPECT_TRUE (relativeList().contains ("~Draft") && relativeList().contains ("~old/~Pad")) << relativeList().joinIntoString (", ");

    EXPECT_EQ (collection.renamePreset (path ("~Draft"), "~"), path ("~"));
    EXPECT_EQ (collection.renameFolder (folder ("~old"), "~new"), folder ("~new"));
    EXPECT_TRUE (preset ("~").existsAsFile() && preset ("~new/~Pad").existsAsFile());
    EXPECT_EQ (home.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
    previous.setAsCurrentWorkingDirectory();
}

TEST_F (PresetTree, RenamesFoldersAndRescansThem)
{
    EXPECT_EQ (collection.renameFolder (folder ("a"), "Z"), folder ("Z"));
    EXPECT_EQ (relativeList(), juce::StringArray ({ "Pad 1", "Pad 2", "Pad 10", "B/Bass", "B/Keys", "Z/Lead", "Z/Deep/Sub" }));

    EXPECT_EQ (collection.renameFolder (folder ("Z"), "B"), juce::String());
    EXPECT_EQ (collection.renameFolder (folder ("Z"), "x/y"), juce::String());
    EXPECT_EQ (collection.renameFolder (folder ("Z"), "x\\y"), juce::String());
    EXPECT_EQ (collection.renameFolder (root.getFullPathName(), "Elsewhere"), juce::String());
    EXPECT_TRUE (root.isDirectory());
}

TEST_F (PresetTree, MovesFilesAndFolders)
{
    preset ("B/Lead").replaceWithText ("<Preset author=\"replacing\"/>");
    collection.refresh();

    collection.moveItems ({ path ("B/Lead"), folder ("B"), path ("Pad 1") }, folder ("a"));

    EXPECT_EQ (preset ("a/Lead").loadFileAsString(), "<Preset author=\"replacing\"/>");
    EXPECT_TRUE (root.getChildFile ("a/B").isDirectory());
    EXPECT_TRUE (preset ("a/B/Keys").existsAsFile());
    EXPECT_TRUE (preset ("a/Pad 1").existsAsFile());
    EXPECT_TRUE (collection.getPresetPaths().contains (path ("a/B/Bass")));
    EXPECT_EQ (collection.getNumPresets(), 7);
}

TEST_F (PresetTree, MovedLinksLeadWhereTheyLed)
{
    base.getChildFile ("Outside.cvprst").replaceWithText ("<Preset author=\"outside\"/>");
    preset ("Pad 2").replaceWithText ("<Preset author=\"pad\"/>");
    const auto linkAt = [this] (const juce::String& name, const std::string& leadsTo)
    {
        std::filesystem::create_symlink (leadsTo, (root.getFullPathName() + "/" + name).toStdString());
    };
    linkAt ("Near.cvprst", "Pad 2.cvprst");
    linkAt ("Far.cvprst", "../Outside.cvprst");
    linkAt ("Whole.cvprst", base.getChildFile ("Outside.cvprst").getFullPathName().toStdString());
    linkAt ("Folder", "B");
    collection.refresh();

    struct Case { juce::String item, destination, movedTo, author; };
    const Case cases[] = {
        { "Near.cvprst", "a/Deep", "a/Deep/Near.cvprst", "pad" },
        { "Far.cvprst", "B", "B/Far.cvprst", "outside" },
        { "Whole.cvprst", "a", "a/Whole.cvprst", "outside" },
        { "a/Deep/Near.cvprst", "", "Near.cvprst", "pad" },      // and back again
        { "Folder", "a", "a/Folder/Bass.cvprst", {} },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.movedTo);
        collection.moveItems ({ root.getChildFile (c.item).getFullPathName() }, folder (c.destination));
        const auto moved = root.getChildFile (c.movedTo);
        EXPECT_TRUE (moved.existsAsFile());
        EXPECT_FALSE (root.getChildFile (c.item).exists() || root.getChildFile (c.item).isSymbolicLink());

        if (c.author.isNotEmpty())
        {
            EXPECT_TRUE (moved.isSymbolicLink());
            EXPECT_EQ (moved.loadFileAsString(), "<Preset author=\"" + c.author + "\"/>");
            EXPECT_TRUE (collection.getPresetPaths().contains (moved.getFullPathName()));
        }
    }

    EXPECT_EQ (std::filesystem::read_symlink ((root.getFullPathName() + "/a/Whole.cvprst").toStdString()),
               base.getChildFile ("Outside.cvprst").getFullPathName().toStdString());

    // A folder takes its links along: those that lead out of it and those that stay inside.
    preset ("Kept/Own").replaceWithText ("<Preset author=\"own\"/>");
    linkAt ("Kept/Far.cvprst", "../../Outside.cvprst");
    linkAt ("Kept/Near.cvprst", "../Pad 2.cvprst");
    linkAt ("Kept/Inner.cvprst", "Own.cvprst");
    collection.refresh();
    collection.moveItems ({ folder ("Kept") }, folder ("a/Deep"));

    for (const auto& [name, author] : { std::pair { "Far", "outside" }, { "Near", "pad" }, { "Inner", "own" } })
    {
        const auto moved = preset ("a/Deep/Kept/" + juce::String (name));
        EXPECT_EQ (moved.loadFileAsString(), "<Preset author=\"" + juce::String (author) + "\"/>") << name;
        EXPECT_TRUE (collection.getPresetPaths().contains (moved.getFullPathName())) << name;
    }

    // A sub-folder whose name is not UTF-8 takes its links along too: Latin-1 names, the last
    // two read by JUCE as fewer bytes than they have ("\xc0\xa9" is an A grave and a copyright sign).
    for (const auto& [folderName, oddName] : { std::pair { "Odd", std::string ("caf\xe9") }, { "Short", std::string ("\xc0\xa9") },
                                               { "Long", std::string (100, '\xc0') } })
    {
        SCOPED_TRACE (folderName);
        const auto odd = std::filesystem::path (folder (folderName).toStdString()) / oddName;
        ASSERT_TRUE (std::filesystem::create_directories (odd));
        std::filesystem::create_symlink ("../../../Outside.cvprst", odd / "Far.cvprst");
        collection.refresh();
        collection.moveItems ({ folder (folderName) }, folder ("a/Deep"));

        std::ifstream moved (std::filesystem::path (folder ("a/Deep/" + juce::String (folderName)).toStdString()) / oddName / "Far.cvprst");
        EXPECT_EQ (std::string (std::istreambuf_iterator<char> (moved), {}), "<Preset author=\"outside\"/>");
    }
}

TEST_F (PresetTree, RefusesMovesThatCannotWork)
{
    root.getChildFile ("B/Deep").createDirectory();
    preset ("B/Deep/Kept").replaceWithText ("<Preset/>");
    base.getChildFile ("Outside.cvprst").replaceWithText ("<Preset/>");
    collection.refresh();

    collection.moveItems ({ folder ("a") }, folder ("a/Deep"));                      // into itself
    collection.moveItems ({ folder ("a/Deep") }, folder ("B"));                      // name taken
    collection.moveItems ({ base.getChildFile ("Outside.cvprst").getFullPathName() }, folder ("a"));
    collection.moveItems ({ path ("Pad 1") }, base.getFullPathName());               // destination outside
    collection.moveItems ({ path ("a/Lead") }, folder ("a"));                        // already there

    EXPECT_TRUE (preset ("a/Deep/Sub").existsAsFile());
    EXPECT_TRUE (preset ("B/Deep/Kept").existsAsFile());
    EXPECT_TRUE (base.getChildFile ("Outside.cvprst").existsAsFile());
    EXPECT_TRUE (preset ("Pad 1").existsAsFile());
    EXPECT_TRUE (preset ("a/Lead").existsAsFile());
}

TEST_F (PresetTree, NoNameMadeInTheTreeHidesAnother)
{
    const auto write = [this] (const juce::String& name, const juce::String& author) { preset (name).replaceWithText ("<Preset author=\"" + author + "\"/>"); };
    const auto toldBy = [] (const std::function<void (juce::StringArray*)>& act)
    {
        juce::StringArray failures;
        act (&failures);
        return failures.joinIntoString ("\n");
    };
    const juce::String oneName (", and names that differ only in letter case count as one");

    // made: a file or folder that must be there afterwards ("Name.cvprst" for a preset).
    struct Case { const char* what; std::function<void()> prepare; std::function<juce::String()> act; juce::String told, made; };
    const Case cases[] =
    {
        { "folder rename", [&] { write ("Ambient/Pad", "ambient"); },
          [&] { return toldBy ([&] (auto* f) { EXPECT_EQ (collection.renameFolder (folder ("Ambient"), "b", f), juce::String()); }); },
          "Presets\\Ambient: a folder named 'B' is already there" + oneName, "Ambient" },
        { "folder rename to its own name in other case", [&] { write ("Loud/Pad", "loud"); },
          [&] { return toldBy ([&] (auto* f) { EXPECT_EQ (collection.renameFolder (folder ("Loud"), "LOUD", f), folder ("LOUD")); }); },
          "", "LOUD" },
        { "preset rename", [] {},
          [&] { return toldBy ([&] (auto* f) { EXPECT_EQ (collection.renamePreset (path ("Pad 1"), "PAD 2", f), juce::String()); }); },
          "Presets\\Pad 1.cvprst: a file named 'Pad 2.cvprst' is already there" + oneName, "Pad 1.cvprst" },
        { "folder move", [&] { write ("Moving/M", "moving"); write ("a/moving/N", "n"); },
          [&] { return toldBy ([&] (auto* f) { collection.moveItems ({ folder ("Moving") }, folder ("a"), f); }); },
          "Presets\\Moving: a folder named 'moving' is already there" + oneName, "Moving/M.cvprst" },
        { "preset move onto a preset of its name", [&] { write ("Solo", "moved"); write ("a/solo", "replaced"); },
          [&] { return toldBy ([&] (auto* f) { collection.moveItems ({ path ("Solo") }, folder ("a"), f); }); },
          "", "a/Solo.cvprst" },
        { "new folder", [&] { root.getChildFile ("new folder").createDirectory(); },
          [&] { return collection.createFolder (root.getFullPathName()) == folder ("New folder(2)") ? "" : "not numbered"; },
          "", "New folder(2)" },
        { "duplicate", [&] { write ("pad 2(2)", "taken"); },
          [&] { return toldBy ([&] (auto* f) { EXPECT_EQ (collection.duplicatePreset (path ("Pad 2"), f), path ("Pad 2(3)")); }); },
          "", "Pad 2(3).cvprst" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        c.prepare();
        collection.refresh();
        EXPECT_EQ (c.act(), c.told);
        EXPECT_TRUE (root.getChildFile (c.made).exists()) << c.made;

        // Every preset on the disk is listed: none hides behind a name in other letter case.
        int onDisk = 0;

        for (std::filesystem::recursive_directory_iterator it (root.getFullPathName().toStdString()), end; it != end; ++it)
            onDisk += it->path().extension() == ".cvprst" ? 1 : 0;

        EXPECT_EQ (collection.getNumPresets(), onDisk);
    }

    EXPECT_EQ (preset ("a/Solo").loadFileAsString(), "<Preset author=\"moved\"/>");
}

TEST_F (PresetTree, EveryMoveThatIsSkippedIsTold)
{
    root.getChildFile ("a/Pad 1.cvprst").createDirectory();
    root.getChildFile ("a/B").replaceWithText ("a file, not a folder");
    collection.refresh();

    struct Case { juce::String item, destination, told; };
    const Case cases[] =
    {
        { path ("Pad 1"), folder ("a"), "Presets\\Pad 1.cvprst: a folder named 'Pad 1.cvprst' is already there" },
        { folder ("B"), folder ("a"), "Presets\\B: a file named 'B' is already there" },
        { folder ("a"), folder ("a/Deep"), "Presets\\a: a folder cannot move into itself or into a folder of its own" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.told);
        juce::StringArray failures;
        collection.moveItems ({ c.item }, c.destination, &failures);
        EXPECT_EQ (failures.joinIntoString ("\n"), c.told);
        EXPECT_TRUE (juce::File (c.item).exists());
    }
}

TEST_F (PresetTree, DeletesToTheTrashCreatingItWhenMissing)
{
    const auto home = base.getChildFile ("home");
    ASSERT_TRUE (home.createDirectory().wasOk());
    const ScopedHome scopedHome (home);

    EXPECT_TRUE (collection.deleteItems ({ path ("Pad 1"), folder ("a"), base.getFullPathName(), folder ("nowhere") }));

    EXPECT_FALSE (preset ("Pad 1").exists());
    EXPECT_FALSE (root.getChildFile ("a").exists());
    EXPECT_TRUE (base.isDirectory());
    EXPECT_EQ (relativeList(), juce::StringArray ({ "Pad 2", "Pad 10", "B/Bass", "B/Keys" }));

    const auto trash = home.getChildFile (".local/share/Trash");
    EXPECT_TRUE (trash.getChildFile ("files/Pad 1.cvprst").existsAsFile());
    EXPECT_TRUE (trash.getChildFile ("files/a/Deep/Sub.cvprst").existsAsFile());

    const auto info = trash.getChildFile ("info/Pad 1.cvprst.trashinfo").loadFileAsString();
    EXPECT_TRUE (info.startsWith ("[Trash Info]\nPath=")) << info;
    EXPECT_TRUE (info.contains ("/Presets/Pad%201.cvprst\n")) << info;
    EXPECT_TRUE (info.contains ("\nDeletionDate=")) << info;
}

TEST_F (PresetTree, LongNamesGoToTheTrashUnderShorterOnesWithTheirRecord)
{
    const auto home = base.getChildFile ("home");
    ASSERT_TRUE (home.createDirectory().wasOk());
    const ScopedHome scopedHome (home);
    const auto info = home.getChildFile (".local/share/Trash/info");
    const auto ext = juce::String (".cvprst");

    // Names of 245, 246 and 255 bytes with their extension, one of them in two folders, and
    // one cut in the middle of its two-byte letters.
    const auto named = [&ext] (int bytes, const juce::String& letter) { return juce::String::repeatedString (letter, (bytes - 7) / (int) letter.getNumBytesAsUTF8()) + ext; };
    const juce::String names[] = { named (245, "a"), named (246, "b"), named (255, "c"), "B/" + named (255, "c"), named (253, juce::CharPointer_UTF8 ("\xc3\xa9")) };
    juce::StringArray paths;

    for (auto& name : names)
    {
        paths.add (root.getChildFile (name).getFullPathName());
        ASSERT_TRUE (std::ofstream (paths[paths.size() - 1].toStdString()) << "<Preset/>");
    }

    collection.refresh();
    EXPECT_TRUE (collection.deleteItems (paths));

    juce::StringArray recordedPaths;

    for (auto& record : info.findChildFiles (juce::File::findFiles, false))
    {
        const auto nameInTrash = record.getFileName().dropLastCharacters (10);
        EXPECT_LE (record.getFileName().getNumBytesAsUTF8(), 255u);
        EXPECT_TRUE (home.getChildFile (".local/share/Trash/files").getChildFile (nameInTrash).existsAsFile()) << nameInTrash;
        const auto text = record.loadFileAsString();
        recordedPaths.add (juce::URL::removeEscapeChars (text.fromFirstOccurrenceOf ("Path=", false, false).upToFirstOccurrenceOf ("\n", false, false)));
    }

    paths.sort (false);
    recordedPaths.sort (false);
    EXPECT_EQ (recordedPaths, paths);

    for (auto& path : paths)
        EXPECT_FALSE (juce::File (path).exists());
}

TEST_F (PresetTree, ReportsATrashThatCannotBeMade)
{
    const auto home = base.getChildFile ("home");
    ASSERT_TRUE (home.createDirectory().wasOk());
    home.getChildFile (".local").replaceWithText ("a file where the folder should be");
    const ScopedHome scopedHome (home);

    juce::StringArray failures;
    EXPECT_FALSE (collection.deleteItems ({ path ("Pad 1") }, &failures));
    EXPECT_EQ (failures.joinIntoString ("\n"), "Presets\\Pad 1.cvprst: the trash folder " + home.getFullPathName()
                                                 + "/.local/share/Trash/files cannot be made: File exists");
    EXPECT_TRUE (preset ("Pad 1").existsAsFile());
    EXPECT_TRUE (collection.getPresetPaths().contains (path ("Pad 1")));
}

TEST_F (PresetTree, NothingIsLostOnADiskThatFillsUp)
{
    // A file system of 64 kB beside the tree, reached through a folder of it and as the home
    // folder, where the trash is.
    const auto disk = base.getChildFile ("disk");
    const ScopedMount mount (disk, "size=64k");

    if (! mount.isMounted())
        GTEST_SKIP() << "no small file system can be mounted here: " << mount.reason;

    ASSERT_TRUE (disk.getChildFile ("Far").createDirectory().wasOk());
    std::filesystem::create_symlink (disk.getChildFile ("Far").getFullPathName().toStdString(), folder ("Far").toStdString());
    const ScopedHome scopedHome (disk);

    const auto fill = [] (const juce::File& file, size_t bytes)
    {
        file.getParentDirectory().createDirectory();
        return file.replaceWithText ("<Preset author=\"" + juce::String::repeatedString ("x", (int) bytes) + "\"/>");
    };

    ASSERT_TRUE (fill (preset ("Big"), 100000));
    ASSERT_TRUE (fill (preset ("Far/Half"), 40000));
    collection.refresh();

    struct Case { const char* name; juce::File original; std::function<juce::String()> act; juce::String told; };
    const Case cases[] =
    {
        { "move", preset ("Big"), [&] { juce::StringArray failures; collection.moveItems ({ path ("Big") }, folder ("Far"), &failures); return failures.joinIntoString ("\n"); },
          "Presets\\Big.cvprst: " + juce::String (std::strerror (ENOSPC)) },
        { "folder move", preset ("a/Lead"), [&] { juce::StringArray failures; collection.moveItems ({ folder ("a") }, folder ("Far"), &failures); return failures.joinIntoString ("\n"); },
          "Presets\\a: a folder is not moved to another file system" },
        { "delete", preset ("Big"), [&] { juce::StringArray failures; EXPECT_FALSE (collection.deleteItems ({ path ("Big") }, &failures)); return failures.joinIntoString ("\n"); },
          "Presets\\Big.cvprst: " + juce::String (std::strerror (ENOSPC)) },
        { "duplicate", preset ("Far/Half"), [&] { return collection.duplicatePreset (path ("Far/Half")).isEmpty() ? "not copied" : ""; }, "not copied" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto before = c.original.loadFileAsString();

        EXPECT_EQ (c.act(), c.told);
        EXPECT_EQ (c.original.loadFileAsString(), before);

        // Nothing cut is left on the disk: only the preset that was there, and the trash's folders.
        for (std::filesystem::recursive_directory_iterator it (disk.getFullPathName().toStdString()), end; it != end; ++it)
            EXPECT_TRUE (it->is_directory() || it->path() == disk.getChildFile ("Far/Half.cvprst").getFullPathName().toStdString()) << it->path();
    }
}

TEST_F (PresetTree, AMoveToAnotherDiskNeverRemovesTheOnlyCopy)
{
    // Far is a folder on a second disk; Mirror is a second mount of folder B.
    const auto disk = base.getChildFile ("disk");
    const ScopedMount mount (disk, "size=1m");

    if (! mount.isMounted())
        GTEST_SKIP() << "no file system can be mounted here: " << mount.reason;

    const ScopedMount mirror (root.getChildFile ("Mirror"), nullptr, root.getChildFile ("B"));
    ASSERT_TRUE (mirror.isMounted()) << mirror.reason;
    ASSERT_TRUE (disk.getChildFile ("Far").createDirectory().wasOk());
    std::filesystem::create_symlink (disk.getChildFile ("Far").getFullPathName().toStdString(), folder ("Far").toStdString());

    const auto write = [this] (const juce::String& name, const juce::String& author) { preset (name).replaceWithText ("<Preset author=\"" + author + "\"/>"); };
    const auto linkAt = [this] (const juce::String& name, const juce::String& leadsTo)
    {
        std::filesystem::create_symlink (leadsTo.toStdString(), preset (name).getFullPathName().toStdString());
    };

    // told: the failure; then the presets that must hold these authors ("" for none there), and
    // those that must be regular files rather than links.
    struct Case { const char* what; std::function<void()> prepare; juce::String item, destination, told; std::map<juce::String, juce::String> authors; juce::StringArray regular; };
    const juce::String sameFile = "it is the file at the destination itself, reached another way";
    const Case cases[] =
    {
        { "a link at the name back to the source", [&] { write ("B/Foo", "foo"); linkAt ("Far/Foo", path ("B/Foo")); },
          "B/Foo", "Far", "", { { "Far/Foo", "foo" }, { "B/Foo", "" } }, { "Far/Foo" } },
        { "a link at the name to another preset", [&] { write ("B/Foo", "foo"); write ("Other", "other"); linkAt ("Far/Foo", path ("Other")); },
          "B/Foo", "Far", "", { { "Far/Foo", "foo" }, { "B/Foo", "" }, { "Other", "other" } }, { "Far/Foo", "Other" } },
        { "a link at the name that leads nowhere", [&] { write ("B/Foo", "foo"); linkAt ("Far/Foo", path ("Nowhere")); },
          "B/Foo", "Far", "", { { "Far/Foo", "foo" }, { "B/Foo", "" }, { "Nowhere", "" } }, { "Far/Foo" } },
        { "a link moved onto the preset it leads to", [&] { write ("B/Foo", "foo"); linkAt ("Far/Foo", path ("B/Foo")); },
          "Far/Foo", "B", "Presets\\Far\\Foo.cvprst: " + sameFile, { { "B/Foo", "foo" }, { "Far/Foo", "foo" } }, { "B/Foo" } },
        { "a second mount of the source's folder, which is the folder it is in", [&] { write ("B/Foo", "foo"); },
          "B/Foo", "Mirror", "", { { "B/Foo", "foo" } }, { "B/Foo" } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);

        for (auto* name : { "B/Foo", "Far/Foo", "Other", "Nowhere" })
            std::filesystem::remove (path (name).toStdString());

        c.prepare();
        collection.refresh();
        juce::StringArray failures;
        collection.moveItems ({ path (c.item) }, folder (c.destination), &failures);
        EXPECT_EQ (failures.joinIntoString ("\n"), c.told);

        for (const auto& [name, author] : c.authors)
            EXPECT_EQ (preset (name).loadFileAsString(), author.isEmpty() ? juce::String() : "<Preset author=\"" + author + "\"/>") << name;

        for (const auto& name : c.regular)
            EXPECT_FALSE (preset (name).isSymbolicLink()) << name;
    }

    // Whoever moves a file onto itself through the second mount.
    EXPECT_EQ (FileTransfer::move (preset ("B/Foo"), preset ("Mirror/Foo")).getErrorMessage(), sameFile);
    EXPECT_EQ (preset ("B/Foo").loadFileAsString(), "<Preset author=\"foo\"/>");
}

TEST_F (PresetTree, LeavesOutNamesThatAreNotValidUtf8)
{
    // Made with the file system's own calls: JUCE's path functions cannot take these names.
    const auto make = [this] (const std::string& relativePath, bool isFolder)
    {
        const std::filesystem::path target (root.getFullPathName().toStdString() + "/" + relativePath);

        if (isFolder)
            ASSERT_TRUE (std::filesystem::create_directory (target)) << relativePath;
        else
            ASSERT_TRUE (std::ofstream (target).good()) << relativePath;
    };

    struct Case { std::string name; bool isFolder; const char* shown; };
    const Case cases[] = {
        { "Caf\xE9",                 true,  "Presets\\Caf\xEF\xBF\xBD" },
        { "Cut\xC3.cvprst",          false, "Presets\\Cut\xEF\xBF\xBD.cvprst" },
        { "Ends\xE2\x82",            true,  "Presets\\Ends\xEF\xBF\xBD\xEF\xBF\xBD" },
        { "\xC0\xAE\xC0\xAE",        true,  "Presets\\\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD" },
        { "a/\xED\xA0\x80.cvprst",   false, "Presets\\a\\\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD.cvprst" },
        { "a/Big\xF4\x90\x80\x80",   true,  "Presets\\a\\Big\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD" },
        { "notes\xE9.txt",           false, nullptr },
    };

    juce::StringArray expected;

    for (auto& c : cases)
    {
        make (c.name, c.isFolder);

        if (c.shown != nullptr)
            expected.add (juce::String::fromUTF8 (c.shown));
    }

    // A preset inside a skipped folder is never reached; valid UTF-8 beyond ASCII is kept.
    make ("Caf\xE9/Inside.cvprst", false);
    preset (juce::String::fromUTF8 ("Caf\xC3\xA9/Cr\xC3\xA8me")).replaceWithText ("<Preset/>");

    collection.refresh();
    auto skipped = collection.getSkippedPaths();
    skipped.sort (false);
    expected.sort (false);
    EXPECT_EQ (skipped, expected);
    juce::StringArray kept { "Pad 1", "Pad 2", "Pad 10", "a/Lead", "a/Deep/Sub", "B/Bass", "B/Keys" };
    kept.add (juce::String::fromUTF8 ("Caf\xC3\xA9/Cr\xC3\xA8me"));
    EXPECT_EQ (relativeList(), kept);

    for (int i = 0; i < collection.getNumPresets(); ++i)
        EXPECT_NE (collection.getPreset (i, *manager), nullptr);

    // A folder scanned again alone names what it skips once, under its new name.
    ASSERT_NE (collection.renameFolder (folder ("a"), "z"), juce::String());
    juce::StringArray renamed;

    for (auto& p : expected)
        renamed.add (p.replace ("Presets\\a\\", "Presets\\z\\"));

    skipped = collection.getSkippedPaths();
    skipped.sort (false);
    renamed.sort (false);
    EXPECT_EQ (skipped, renamed);
}

//==============================================================================
namespace
{
    /** The folder records of the tree below a folder, as paths relative to the root. */
    void collectFolders (const PresetCollection::Folder& folder, const juce::File& root, juce::StringArray& names)
    {
        for (int i = 0; i < folder.getNumSubFolders(); ++i)
        {
            names.add (juce::File (folder.getSubFolderPath (i)).getRelativePathFrom (root));
            collectFolders (*folder.getSubFolder (i), root, names);
        }
    }
}

TEST_F (PluginFixture, FoldersAreWalkedOnceWhateverTheirLinks)
{
    const auto presets = root.getChildFile ("user/Halvorn/Corvane/Presets");
    const auto outside = root.getChildFile ("Outside");

    struct Case { const char* what; std::vector<std::pair<const char*, const char*>> links; juce::StringArray extraPresets, extraFolders; };
    const Case cases[] = {
        { "one link to its own folder",     { { "self", "." } }, {}, {} },
        { "two links to their own folder",  { { "x", "." }, { "y", "." } }, {}, {} },
        { "three links up and across",      { { "a/up", ".." }, { "a/Deep/top", "../.." }, { "B/across", "../a" } }, {}, {} },
        { "a folder elsewhere, reached twice, that links back up",
          { { "Synced", "../../../../Outside" }, { "B/Inner", "../../../../../Outside/Inner" }, { "a/Top", "../../../../.." } },
          { "Synced/Inner/Far" }, { "Synced", "Synced/Inner" } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        std::filesystem::remove_all (presets.getFullPathName().toStdString());
        std::filesystem::remove_all (outside.getFullPathName().toStdString());

        for (auto* name : { "Pad", "a/Lead", "a/Deep/Sub", "B/Bass" })
        {
            const auto file = presets.getChildFile (juce::String (name) + ".cvprst");
            ASSERT_TRUE (file.getParentDirectory().createDirectory().wasOk());
            ASSERT_TRUE (file.replaceWithText ("<Preset/>"));
        }

        ASSERT_TRUE (outside.getChildFile ("Inner").createDirectory().wasOk());
        ASSERT_TRUE (outside.getChildFile ("Inner/Far.cvprst").replaceWithText ("<Preset/>"));
        std::filesystem::create_directory_symlink ("../..", (outside.getFullPathName() + "/Inner/back").toStdString());
        ASSERT_TRUE (std::filesystem::create_directory ((presets.getFullPathName() + "/a/Caf\xE9").toStdString()));

        for (const auto& [link, target] : c.links)
            std::filesystem::create_directory_symlink (target, (presets.getFullPathName() + "/" + link).toStdString());

        // A scan that runs away ends the run with a message instead of hanging it.
        std::atomic<bool> scanned { false };
        std::thread watchdog ([&scanned]
        {
            for (int i = 0; i < 600 && ! scanned; ++i)
                std::this_thread::sleep_for (std::chrono::milliseconds (100));

            if (! scanned)
            {
                std::fputs ("The preset scan did not end within 60 s\n", stderr);
                std::abort();
            }
        });

        const auto plugin = create();
        scanned = true;
        watchdog.join();

        auto* collection = plugin->getPresetCollection (0);
        ASSERT_NE (collection, nullptr);

        juce::StringArray expectedPresets { "Pad", "a/Lead", "a/Deep/Sub", "B/Bass" }, listed;
        expectedPresets.addArray (c.extraPresets);

        for (const auto& path : collection->getPresetPaths())
            listed.add (juce::File (path).getRelativePathFrom (presets).upToLastOccurrenceOf (".", false, false));

        EXPECT_EQ (listed, expectedPresets);

        juce::StringArray expectedFolders { "a", "a/Deep", "B" }, folders;
        expectedFolders.addArray (c.extraFolders);
        collectFolders (collection->getRoot(), presets, folders);
        folders.sort (true);
        expectedFolders.sort (true);
        EXPECT_EQ (folders, expectedFolders);
        EXPECT_EQ (collection->getSkippedPaths(), juce::StringArray (juce::String::fromUTF8 ("Presets\\a\\Caf\xEF\xBF\xBD")));

        // Next preset, round the whole list and once more: every folder is reached, none twice.
        std::multiset<juce::String> reached;

        for (int i = 0; i <= expectedPresets.size(); ++i)
        {
            plugin->selectNextPreset (collection);
            reached.insert (juce::File (plugin->getCurrentPresetName (collection)).getRelativePathFrom (presets));
        }

        for (const auto& name : expectedPresets)
            EXPECT_EQ (reached.count (name + ".cvprst"), name == expectedPresets[0] ? 2u : 1u) << name;
    }

    // JUCE's own listing, which the fixture deletes with, cannot read the folder that is not valid UTF-8.
    std::filesystem::remove_all (presets.getFullPathName().toStdString());
}

//==============================================================================
namespace
{
    /** An exFAT disk, which compares names ignoring case as a USB stick does, mounted through
        FUSE on a loop device for the life of the object; getFile() is none where the system
        lets no test make or mount one, and getReason() says why.
    */
    struct ScopedCaseInsensitiveDisk
    {
        ScopedCaseInsensitiveDisk()
        {
            if (folder.getFile() == juce::File())
                { fail ("no temporary folder"); return; }

            const auto image = folder.getFile().getChildFile ("disk.img"), place = folder.getFile().getChildFile ("mounted");
            place.createDirectory();

            if (! run ("truncate -s 16M '" + image.getFullPathName() + "' && timeout 20 mkfs.exfat '" + image.getFullPathName() + "'"))
                { fail ("mkfs.exfat cannot make a disk image"); return; }

            device = read ("timeout 20 losetup -f --show '" + image.getFullPathName() + "' 2>/dev/null");

            if (device.isEmpty())
                { fail ("no loop device can be had (a test that is not root gets none)"); return; }

            if (! run ("timeout 20 mount.exfat-fuse '" + device + "' '" + place.getFullPathName() + "'"))
                { fail ("exFAT cannot be mounted through FUSE here"); return; }

            mounted = place;
        }

        ~ScopedCaseInsensitiveDisk()
        {
            if (mounted != juce::File())
                run ("timeout 20 umount '" + mounted.getFullPathName() + "' || timeout 20 umount -l '" + mounted.getFullPathName() + "'");

            if (device.isNotEmpty())
                run ("timeout 20 losetup -d '" + device + "'");
        }

        const juce::File& getFile() const noexcept  { return mounted; }
        const std::string& getReason() const noexcept { return reason; }

    private:
        void fail (const std::string& why)  { reason = "no case-insensitive disk: " + why; }

        static bool run (const juce::String& command)
        {
            return std::system ((command + " >/dev/null 2>&1").toRawUTF8()) == 0;
        }

        static juce::String read (const juce::String& command)
        {
            std::string output;

            if (auto* pipe = ::popen (command.toRawUTF8(), "r"))
            {
                char buffer[256];

                while (std::fgets (buffer, sizeof (buffer), pipe) != nullptr)
                    output += buffer;

                ::pclose (pipe);
            }

            return juce::String (output).trim();
        }

        TestFolder folder { "corvane-exfat" };
        juce::String device;
        juce::File mounted;
        std::string reason;
    };

    juce::String utf8 (const char* text) { return juce::String (juce::CharPointer_UTF8 (text)); }

    /** Every name-making and name-finding path of the tree, against names that differ from
        one on the disk only in letter case, in a tree below the base folder. Returns what went
        wrong, a line for each, or nothing: the caller runs it under the locales a host may run in.
    */
    std::string checkCaseTwins (const juce::File& base)
    {
        // A child that hangs ends, and its parent sees it fail.
        ::alarm (120);

        std::string wrong;
        const auto note = [&wrong] (const juce::String& what, const juce::String& problem)
        {
            wrong += (what + ": " + problem + "\n").toStdString();
        };

        // Whether this disk keeps two names that differ only in letter case apart.
        const auto probe = base.getChildFile ("probe");
        probe.create();
        const auto tellsCaseApart = ! base.getChildFile ("PROBE").exists();
        probe.deleteFile();

        const juce::String oneName (", and names that differ only in letter case count as one");
        const juce::String twins[][2] = { { utf8 ("\xc3\x89lan"), utf8 ("\xc3\xa9lan") },                                   // Élan, élan
                                          { utf8 ("\xce\xa3\xce\x9f\xce\xa6\xce\x8c\xce\xa3"),
                                            utf8 ("\xcf\x83\xce\xbf\xcf\x86\xcf\x8c\xcf\x82") },                               // ΣΟΦΌΣ, σοφός
                                          { "VINTAGE", "Vintage" } };
        int number = 0;

        for (const auto& twin : twins)
        {
            const auto& upper = twin[0];
            const auto& lower = twin[1];

            // told: what the path answers, and the failures it tells; replaced: a preset the user agreed to replace.
            struct Row { juce::String what; juce::StringArray files; std::function<juce::String (PresetCollection&, const juce::File&)> act; juce::String told; bool needsTwinsOnDisk = false; juce::String replaced {}; };
            const auto fails = [] (const std::function<juce::String (juce::StringArray*)>& act)
            {
                juce::StringArray failures;
                const auto result = act (&failures);
                return result + (failures.isEmpty() ? "" : " / ") + failures.joinIntoString (" / ");
            };

            const auto moveIn = [&] (PresetCollection& c, const juce::File& r, const juce::StringArray& names)
            {
                juce::StringArray paths;
                for (const auto& n : names) paths.add (r.getChildFile (n).getFullPathName());
                return fails ([&] (auto* f) { c.moveItems (paths, r.getChildFile ("In").getFullPathName(), f); return juce::String(); });
            };

            const Row rows[] =
            {
                { "preset rename onto a twin", { upper + ".cvprst", "Mine.cvprst" },
                  [&] (PresetCollection& c, const juce::File& r) { return fails ([&] (auto* f) { return c.renamePreset (r.getChildFile ("Mine.cvprst").getFullPathName(), lower, f); }); },
                  " / Tree\\Mine.cvprst: a file named '" + upper + ".cvprst' is already there" + oneName },
                { "folder rename onto a twin", { upper + "/p.cvprst", "Other/q.cvprst" },
                  [&] (PresetCollection& c, const juce::File& r) { return fails ([&] (auto* f) { return c.renameFolder (r.getChildFile ("Other").getFullPathName(), lower, f); }); },
                  " / Tree\\Other: a folder named '" + upper + "' is already there" + oneName },
                { "folder moved beside a twin", { "In/" + upper + "/p.cvprst", lower + "/q.cvprst" },
                  [&] (PresetCollection& c, const juce::File& r) { return moveIn (c, r, { lower }); },
                  " / Tree\\" + lower + ": a folder named '" + upper + "' is already there" + oneName },
                { "the browser asks before a move replaces a twin", { "In/" + upper + ".cvprst", lower + ".cvprst" },
                  [&] (PresetCollection&, const juce::File& r) { return PresetCollection::findEntryNamed (r.getChildFile ("In"), lower + ".cvprst").getFileName(); },
                  upper + ".cvprst" },
                { "duplicate past a twin's number", { upper + ".cvprst", lower + "(2).cvprst" },
                  [&] (PresetCollection& c, const juce::File& r) { return juce::File (c.duplicatePreset (r.getChildFile (upper + ".cvprst").getFullPathName())).getFileName(); },
                  upper + "(3).cvprst" },
                { "a stored preset found again in other case", { upper + "/" + upper + ".cvprst" },
                  [&] (PresetCollection& c, const juce::File& r)
                  {
                      const auto stored = r.getChildFile (lower + "/" + lower + ".cvprst").getFullPathName();
                      return c.getPresetName (c.indexOfPreset (stored)).fromLastOccurrenceOf ("/", false, false)
                           + (c.findFolder (r.getChildFile (lower).getFullPathName()) != nullptr ? " in its folder" : "");
                  },
                  upper + ".cvprst in its folder" },
                { "twins on disk are both listed, each found by its spelling", { upper + ".cvprst", lower + ".cvprst", upper + "/p.cvprst", lower + "/q.cvprst" },
                  [&] (PresetCollection& c, const juce::File& r)
                  {
                      auto* folder = c.findFolder (r.getChildFile (lower).getFullPathName());
                      return c.getPresetName (c.indexOfPreset (r.getChildFile (lower + ".cvprst").getFullPathName())).fromLastOccurrenceOf ("/", false, false)
                           + " " + (folder != nullptr ? folder->getPresetPath (0).fromLastOccurrenceOf ("/", false, false) : "none");
                  },
                  lower + ".cvprst q.cvprst", true },
                { "a folder renamed in letter case only", { upper + "/p.cvprst" },
                  [&] (PresetCollection& c, const juce::File& r) { return juce::File (c.renameFolder (r.getChildFile (upper).getFullPathName(), lower)).getFileName(); },
                  lower },
                { "twins moved together", { upper + ".cvprst", lower + ".cvprst", "In/x.cvprst" },
                  [&] (PresetCollection& c, const juce::File& r) { return moveIn (c, r, { upper + ".cvprst", lower + ".cvprst" }); },
                  " / Tree\\" + lower + ".cvprst: a file named '" + upper + ".cvprst' is moved there too" + oneName, true },
                { "twins moved onto a twin replace only it", { "In/" + upper + ".cvprst", upper + ".cvprst", lower + ".CVPRST" },
                  [&] (PresetCollection& c, const juce::File& r) { return moveIn (c, r, { lower + ".CVPRST", upper + ".cvprst" }); },
                  " / Tree\\" + upper + ".cvprst: a file named '" + lower + ".CVPRST' is moved there too" + oneName, true, "In/" + upper + ".cvprst" },
                { "renaming one twin leaves the other listed", { upper + ".cvprst", lower + ".CVPRST" },
                  [&] (PresetCollection& c, const juce::File& r) { c.renamePreset (r.getChildFile (lower + ".CVPRST").getFullPathName(), "Other");
                                                                   return c.getPresetPaths().joinIntoString (" ").replace (r.getFullPathName() + "/", ""); },
                  "Other.cvprst " + upper + ".cvprst", true },
            };

            for (const auto& row : rows)
            {
                if (row.needsTwinsOnDisk && ! tellsCaseApart)
                    continue;

                const auto what = row.what + " (" + upper + ")";
                const auto root = base.getChildFile ("run" + juce::String (++number)).getChildFile ("Tree");
                std::map<juce::String, juce::String> written;

                for (const auto& file : row.files)
                {
                    const auto made = FolderChild::of (root, file);
                    made.getParentDirectory().createDirectory();
                    made.replaceWithText ("<Preset author=\"" + file + "\"/>");
                    written[file] = made.loadFileAsString();
                }

                PresetCollection collection ("Tree", ".cvprst");
                collection.setRootFolder (root.getFullPathName());

                if (const auto told = row.act (collection, root); told != row.told)
                    note (what, "gave '" + told + "', not '" + row.told + "'");

                // What the tree lists is what the disk holds, and every preset is still there.
                collection.refresh();
                std::multiset<juce::String> listed, onDisk, contents;

                for (const auto& path : collection.getPresetPaths())
                    listed.insert (juce::File (path).getRelativePathFrom (root));

                for (std::filesystem::recursive_directory_iterator it (root.getFullPathName().toStdString()), end; it != end; ++it)
                {
                    if (! it->is_regular_file())
                        continue;

                    const auto file = juce::File (juce::String (juce::CharPointer_UTF8 (it->path().c_str())));
                    onDisk.insert (file.getRelativePathFrom (root));
                    contents.insert (file.loadFileAsString());
                }

                if (listed != onDisk)
                    note (what, "lists " + juce::String ((int) listed.size()) + " of the " + juce::String ((int) onDisk.size()) + " presets on the disk");

                for (const auto& [file, content] : written)
                    if (contents.count (content) == 0 && file != row.replaced)
                        note (what, "lost the bytes of " + file);
            }
        }

        return wrong;
    }

    /** Runs the table on a folder under each locale a host may run in. */
    void checkCaseTwinsUnderLocales (const juce::File& base)
    {
        for (const auto* locale : { "C", "C.UTF-8", "tr_TR.UTF-8" })
        {
            SCOPED_TRACE (locale);
            const auto folder = base.getChildFile (locale);
            ASSERT_TRUE (folder.createDirectory().wasOk());
            const auto answer = TestLocale::run (locale, [&folder] { return checkCaseTwins (folder); });

            if (! answer.has_value() && ! TestLocale::isAvailable (locale))
                continue;

            ASSERT_TRUE (answer.has_value()) << "the run under the locale did not end well";
            EXPECT_EQ (*answer, "");
        }
    }
}

TEST (PresetCaseTwins, NoNameHidesOrReplacesAnotherInAnyLocaleOnAPlainFolder)
{
    const TestFolder folder ("corvane-twins");
    checkCaseTwinsUnderLocales (folder.getFile());
}

TEST (PresetCaseTwins, NoNameHidesOrReplacesAnotherInAnyLocaleOnACaseInsensitiveDisk)
{
    const ScopedCaseInsensitiveDisk disk;

    if (disk.getFile() == juce::File())
        GTEST_SKIP() << disk.getReason();

    checkCaseTwinsUnderLocales (disk.getFile());
}
