#include <gtest/gtest.h>

#include "FolderListing.h"
#include "StrictUtf8.h"
#include "TestFolder.h"
#include "TestProduct.h"

#include <filesystem>
#include <fstream>
#include <map>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST (SystemNames, OnlyWellFormedBytesBecomeAStringAndTheRestAreShownEscaped)
{
    const struct { std::string bytes; std::optional<juce::String> name; const char* shown; } cases[] =
    {
        { "caf\xc3\xa9", juce::String (juce::CharPointer_UTF8 ("caf\xc3\xa9")), "caf\xc3\xa9" },
        { "caf\xe9", std::nullopt, "caf\\xe9" },                      // Latin-1
        { "a\xc0\xae" "b", std::nullopt, "a\\xc0\\xae" "b" },         // an overlong "."
        { "\xe2\x82", std::nullopt, "\\xe2\\x82" },                   // cut off
        { {}, juce::String(), "" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.shown);
        EXPECT_EQ (StrictUtf8::toString (c.bytes), c.name);
        EXPECT_EQ (StrictUtf8::escaped (c.bytes), juce::String (juce::CharPointer_UTF8 (c.shown)));
    }
}

TEST (SystemNames, AFolderIsListedAsBytesWhateverItsNames)
{
    const TestFolder testFolder ("corvane-listing");
    const auto& folder = testFolder.getFile();
    ASSERT_TRUE (folder.isDirectory());
    const fs::path root (folder.getFullPathName().toStdString());
    fs::create_directories (root / "caf\xe9");
    std::ofstream (root / "caf\xc3\xa9.txt");
    fs::create_directory_symlink ("caf\xe9", root / "link\xe9");
    fs::create_symlink ("nowhere", root / "dangling");
    fs::create_symlink ("caf\xc3\xa9.txt", root / "to file");
    mkfifo ((root / "fifo").c_str(), 0600);

    const struct { std::string bytes; bool readable, isFolder, isLink, isFile; } expected[] =
    {
        { "caf\xe9", false, true, false, false },
        { "caf\xc3\xa9.txt", true, false, false, true },
        { "link\xe9", false, true, true, false },
        { "dangling", true, false, true, false },
        { "to file", true, false, true, true },
        { "fifo", true, false, false, false },
    };

    std::map<std::string, FolderListing::Entry> listed;

    for (auto& entry : FolderListing::list (folder))
        listed[entry.bytes] = entry;

    EXPECT_EQ (listed.size(), std::size (expected));

    for (const auto& e : expected)
    {
        SCOPED_TRACE (StrictUtf8::escaped (e.bytes));
        ASSERT_EQ (listed.count (e.bytes), 1u);
        const auto& entry = listed[e.bytes];
        EXPECT_EQ (entry.name, e.readable ? StrictUtf8::toString (e.bytes) : std::nullopt);
        EXPECT_EQ (entry.isFolder, e.isFolder);
        EXPECT_EQ (entry.isLink, e.isLink);
        EXPECT_EQ (entry.isFile, e.isFile);
    }

    EXPECT_TRUE (FolderListing::list (folder.getChildFile (juce::CharPointer_UTF8 ("caf\xc3\xa9.txt"))).empty());
    EXPECT_TRUE (FolderListing::list (folder.getChildFile ("none")).empty());
}

using SystemNamesInThePlugin = PluginFixture;

TEST_F (SystemNamesInThePlugin, AWorkingFolderOrAnEnvironmentThatIsNotUtf8IsNeverRead)
{
    ApplicationDataFolders::setRoot ({});
    const fs::path odd = fs::path (root.getFullPathName().toStdString()) / "caf\xe9";
    ASSERT_TRUE (fs::create_directory (odd));
    const std::string home (std::getenv ("HOME"));
    const juce::File account (juce::CharPointer_UTF8 (getpwuid (getuid())->pw_dir));

    const struct { const char* variable; std::string value; juce::File (*read)(); juce::File expected; } cases[] =
    {
        { "CORVANE_DATA_ROOT", root.getFullPathName().toStdString(), ApplicationDataFolders::getRoot, root },
        { "CORVANE_DATA_ROOT", odd.native(), ApplicationDataFolders::getRoot, {} },
        { "CORVANE_DATA_ROOT", "caf\xe9", ApplicationDataFolders::getRoot, {} },
        { "HOME", root.getFullPathName().toStdString(), ApplicationDataFolders::getHomeFolder, root },
        { "HOME", odd.native(), ApplicationDataFolders::getHomeFolder, account },
        { "HOME", odd.native(), ApplicationDataFolders::getUserFolder, account.getChildFile (".config") },
        { "HOME", "~", ApplicationDataFolders::getHomeFolder, account },
        { "HOME", "~/cfg", ApplicationDataFolders::getUserFolder, account.getChildFile (".config") },
        { "HOME", "cfg", ApplicationDataFolders::getUserFolder, account.getChildFile (".config") },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.variable) + "=" + StrictUtf8::escaped (c.value));
        setenv (c.variable, c.value.c_str(), 1);
        EXPECT_EQ (c.read(), c.expected);
    }

    unsetenv ("CORVANE_DATA_ROOT");
    setenv ("HOME", home.c_str(), 1);
    ApplicationDataFolders::setRoot (root);

    // The plug-in finds its module without JUCE's reading of the working folder.
    const auto previous = fs::current_path();
    ASSERT_EQ (chdir (odd.c_str()), 0);
    const auto plugin = create();
    fs::current_path (previous);
    EXPECT_EQ (plugin->getModulePath().toStdString(), fs::canonical ("/proc/self/exe").native());
}
