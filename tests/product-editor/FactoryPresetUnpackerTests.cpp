#include "FactoryPresetUnpacker.h"

#include "../support/RowsAsUser.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include <sys/resource.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace
{
    struct Unattended  : public FactoryPresetUnpacker::Listener
    {
        void entryStarting (const juce::String&) override        {}
        bool entryFinished (int, int) override                  { return true; }
    };
}

TEST (FactoryPresetUnpackerTest, SpecialFilesAndLinksThatLeadToNoFileAreLeftAsTheyAre)
{
    const auto folder = juce::File::createTempFile ("corvane-unpack");
    ASSERT_TRUE (folder.createDirectory().wasOk());
    const fs::path root (folder.getFullPathName().toStdString());
    ASSERT_EQ (::mkfifo ((root / "fifo").c_str(), 0600), 0);

    // What stands at each preset's place: a link's target, or a FIFO for none.
    const struct { const char* preset; fs::path linkTarget; } kinds[] =
    {
        { "Dangling.cvprst", root / "none/Dangling.cvprst" },
        { "Device.cvprst", "/dev/null" },
        { "LinkedFifo.cvprst", root / "fifo" },
        { "Fifo.cvprst", {} },
    };

    juce::ZipFile::Builder builder;

    for (const auto& kind : kinds)
    {
        if (kind.linkTarget.empty())
        {
            ASSERT_EQ (::mkfifo ((root / kind.preset).c_str(), 0600), 0);
        }
        else
        {
            fs::create_symlink (kind.linkTarget, root / kind.preset);
        }

        builder.addEntry (new juce::MemoryInputStream ("<Preset/>", 9, true), 5, kind.preset, juce::Time::getCurrentTime());
    }

    juce::MemoryOutputStream archive;
    ASSERT_TRUE (builder.writeToStream (archive, nullptr));
    juce::MemoryInputStream in (archive.getData(), archive.getDataSize(), false);
    FactoryPresetUnpacker unpacker (in);
    Unattended listener;

    EXPECT_FALSE (unpacker.unpackInto (folder, listener).wasOk());
    EXPECT_EQ (unpacker.getNumRefusedEntries(), 4);

    for (const auto& kind : kinds)
    {
        SCOPED_TRACE (kind.preset);
        EXPECT_EQ (fs::symlink_status (root / kind.preset).type(), kind.linkTarget.empty() ? fs::file_type::fifo : fs::file_type::symlink);
    }

    EXPECT_TRUE (fs::is_fifo (root / "fifo"));
    EXPECT_FALSE (fs::exists (root / "none"));
    fs::remove_all (root);
}

TEST (FactoryPresetUnpackerTest, APresetThatCannotBeWrittenFailsTheUnpackingByName)
{
    // Stored, so that the large preset goes to the writer in one piece, past the file-size limit.
    const std::pair<const char*, std::string> entries[] =
    {
        { "Presets/Small.cvprst", "<Preset/>" },
        { "Presets/Large.cvprst", std::string (40000, 'x') },
        { "Presets/Locked/A.cvprst", "<Preset/>" },
        { "Presets/Locked/New/B.cvprst", "<Preset/>" },
    };

    juce::ZipFile::Builder builder;

    for (const auto& [name, data] : entries)
        builder.addEntry (new juce::MemoryInputStream (data.data(), data.size(), true), 0, name, juce::Time::getCurrentTime());

    juce::MemoryOutputStream archive;
    ASSERT_TRUE (builder.writeToStream (archive, nullptr));

    // A folder that takes no files needs an ordinary user: the superuser writes into any.
    const struct { const char* what; bool asUser; rlim_t sizeLimit; juce::StringArray failed; } cases[] =
    {
        { "a folder that takes no files", true, RLIM_INFINITY, { "Presets/Locked/A.cvprst", "Presets/Locked/New/B.cvprst" } },
        { "a file-size limit", false, 32768, { "Presets/Large.cvprst" } },
    };

    for (const auto& c : cases)
    {
        if (! RowsAsUser::runsRow (c.asUser))
            continue;

        SCOPED_TRACE (c.what);
        const auto folder = juce::File::createTempFile ("corvane-unpack");
        const fs::path root (folder.getFullPathName().toStdString());
        fs::create_directories (root / "Presets/Locked");

        if (c.asUser)
            fs::permissions (root / "Presets/Locked", fs::perms (0555));

        // The limit gives the short write of a full disk, the ignored signal leaves it to be told.
        rlimit previous {};
        ::getrlimit (RLIMIT_FSIZE, &previous);
        const auto previousHandler = std::signal (SIGXFSZ, SIG_IGN);
        rlimit limited { c.sizeLimit, previous.rlim_max };
        ::setrlimit (RLIMIT_FSIZE, &limited);

        juce::MemoryInputStream in (archive.getData(), archive.getDataSize(), false);
        FactoryPresetUnpacker unpacker (in);
        Unattended listener;
        const auto result = unpacker.unpackInto (folder, listener);

        ::setrlimit (RLIMIT_FSIZE, &previous);
        std::signal (SIGXFSZ, previousHandler);

        juce::StringArray quoted;

        for (const auto& name : c.failed)
            quoted.add ("'" + name + "'");

        EXPECT_EQ (result.getErrorMessage(), "Error: " + juce::String (c.failed.size()) + (c.failed.size() == 1 ? " factory preset" : " factory presets")
                                                 + " could not be written into "
                                                 + folder.getFullPathName() + ": " + quoted.joinIntoString (", ")
                                                 + ".\nThe installation will be offered again.");
        EXPECT_EQ (unpacker.getNumRefusedEntries(), 0);

        // The others are written whole; of those that failed nothing is left.
        for (const auto& [name, data] : entries)
            EXPECT_EQ (folder.getChildFile (name).loadFileAsString().toStdString(), c.failed.contains (name) ? "" : data) << name;

        fs::permissions (root / "Presets/Locked", fs::perms (0755));
        EXPECT_EQ (folder.findChildFiles (juce::File::findFiles, true, ".tmp-*").size(), 0);
        fs::remove_all (root);
    }

    RowsAsUser::runInChild();
}
