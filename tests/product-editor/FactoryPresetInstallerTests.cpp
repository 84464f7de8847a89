#include "ApplicationDataFolders.h"
#include "CorvaneEditor.h"
#include "InstallFactoryPresetsWindow.h"

#include <gtest/gtest.h>

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

        static void runToEnd (CorvaneEditor::InstallFactoryPresetsWindow& window)
        {
            window.buttonClicked (&window.getStartButton());
            EXPECT_FALSE (window.getStartButton().isEnabled());

            for (int i = 0; i < 200 && ! window.getOkButton().isVisible(); ++i)
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
