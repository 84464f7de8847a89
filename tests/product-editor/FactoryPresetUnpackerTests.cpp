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
