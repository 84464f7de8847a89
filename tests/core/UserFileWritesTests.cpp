#include "TestProduct.h"

#include "FilePreset.h"

#include <filesystem>
#include <functional>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;

using UserFileWritesTest = PluginFixture;

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
