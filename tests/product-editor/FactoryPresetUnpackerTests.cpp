#include "FactoryPresetUnpacker.h"

#include <gtest/gtest.h>

#include <filesystem>

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

TEST (FactoryPresetUnpackerTest, PresetsGoThroughTheUsersLinksAndLeaveSpecialFilesAlone)
{
    const auto folder = juce::File::createTempFile ("corvane-unpack");
    ASSERT_TRUE (folder.getChildFile ("elsewhere").createDirectory().wasOk());
    const fs::path root (folder.getFullPathName().toStdString());
    ASSERT_EQ (::mkfifo ((root / "elsewhere/fifo").c_str(), 0600), 0);

    // What stands at each preset's place in the folder; a link leads to a file in "elsewhere".
    const struct { const char* preset; fs::path linkTarget; bool written; } kinds[] =
    {
        { "Absolute.cvprst", root / "elsewhere/Absolute.cvprst", true },
        { "Relative.cvprst", "elsewhere/Relative.cvprst", true },
        { "Dangling.cvprst", root / "elsewhere/none/Dangling.cvprst", false },
        { "Device.cvprst", "/dev/null", false },
        { "LinkedFifo.cvprst", root / "elsewhere/fifo", false },
        { "Fifo.cvprst", {}, false },
    };

    juce::ZipFile::Builder builder;

    for (const auto& kind : kinds)
    {
        const auto place = root / kind.preset;

        if (kind.linkTarget.empty())
        {
            ASSERT_EQ (::mkfifo (place.c_str(), 0600), 0);
        }
        else
        {
            fs::create_symlink (kind.linkTarget, place);
        }

        if (kind.written)
        {
            ASSERT_TRUE (juce::File ((root / "elsewhere" / kind.preset).string()).replaceWithText ("old"));
        }

        builder.addEntry (new juce::MemoryInputStream ("<Preset/>", 9, true), 5, kind.preset, juce::Time::getCurrentTime());
    }

    juce::MemoryOutputStream archive;
    ASSERT_TRUE (builder.writeToStream (archive, nullptr));
    juce::MemoryInputStream in (archive.getData(), archive.getDataSize(), false);
    FactoryPresetUnpacker unpacker (in);
    Unattended listener;

    EXPECT_TRUE (unpacker.unpackInto (folder, listener).wasOk());
    EXPECT_EQ (unpacker.getNumRefusedEntries(), 4);

    for (const auto& kind : kinds)
    {
        SCOPED_TRACE (kind.preset);
        const auto place = root / kind.preset;
        EXPECT_EQ (fs::is_symlink (fs::symlink_status (place)), ! kind.linkTarget.empty());
        EXPECT_EQ (fs::is_fifo (fs::symlink_status (place)), kind.linkTarget.empty());

        if (kind.written)
        {
            EXPECT_EQ (juce::File ((root / "elsewhere" / kind.preset).string()).loadFileAsString(), "<Preset/>");
        }
    }

    EXPECT_TRUE (fs::is_fifo (root / "elsewhere/fifo"));
    EXPECT_FALSE (fs::exists (root / "elsewhere/none"));
    fs::remove_all (root);
}
