#include "DisplayForWindows.h"
#include "FileDialogs.h"
#include "FolderChild.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace
{
    template <typename Type>
    Type* findIn (juce::Component& parent, const std::function<bool (Type&)>& matches = {})
    {
        for (auto* child : parent.getChildren())
        {
            if (auto* found = dynamic_cast<Type*> (child); found != nullptr && (matches == nullptr || matches (*found)))
                return found;

            if (auto* inner = findIn<Type> (*child, matches))
                return inner;
        }

        return nullptr;
    }

    juce::FileChooserDialogBox* findOpenDialog()
    {
        auto& desktop = juce::Desktop::getInstance();

        for (int i = 0; i < desktop.getNumComponents(); ++i)
            if (auto* dialog = dynamic_cast<juce::FileChooserDialogBox*> (desktop.getComponent (i)))
                return dialog;

        return nullptr;
    }
}

// The platform's chooser answers with what its browser showed: a name typed in its file box
// stays in the folder it showed, and a folder answered for a file is refused. A name in its
// list that begins with '~' is one in that folder: a click chooses the file, to open or to
// save, and a double click opens the folder.
TEST (FileDialogs, TheBrowserAnswersWithWhatItShowedOnDisplay)
{
    SKIP_WITHOUT_DISPLAY();

    const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("corvane-chooser", {});
    const auto previous = juce::File::getCurrentWorkingDirectory();

    // A failed assertion returns early: the working folder and the test's files are put right
    // whatever way the test ends.
    const juce::ScopeGuard restore { [&]
    {
        previous.setAsCurrentWorkingDirectory();
        std::filesystem::remove_all (folder.getFullPathName().toStdString());
    } };

    ASSERT_TRUE (folder.createDirectory());
    const auto badFolder = folder.getFullPathName().toStdString() + "/Bad\xff\xfe" "Home";
    ASSERT_TRUE (std::filesystem::create_directory (badFolder));
    // Away from the working folder, where JUCE would find them by their names alone.
    const auto listing = folder.getChildFile ("listing");
    ASSERT_TRUE (FolderChild::of (listing, "~sub").createDirectory());
    ASSERT_TRUE (FolderChild::of (listing, "~old.cvccmap").replaceWithText ("<map/>"));
    ASSERT_TRUE (folder.setAsCurrentWorkingDirectory());

    constexpr auto save = juce::FileBrowserComponent::saveMode, open = juce::FileBrowserComponent::openMode;
    struct Case { int mode; juce::File root; juce::String typed, clicked, doubleClicked; juce::File chosen; bool refused; };
    const Case cases[] = {
        { save, folder, "Plain.cvccmap", {}, {}, folder.getChildFile ("Plain.cvccmap"), false },
        { save, folder, "~typed.cvccmap", {}, {}, FolderChild::of (folder, "~typed.cvccmap"), false },
        { save, juce::File (juce::String::fromUTF8 (badFolder.data(), (int) badFolder.size())), {}, {}, {}, {}, true },
        { open, listing, {}, "~old.cvccmap", {}, FolderChild::of (listing, "~old.cvccmap"), false },
        { save, listing, {}, "~old.cvccmap", {}, FolderChild::of (listing, "~old.cvccmap"), false },
        { save, listing, "~sub.cvccmap", {}, "~sub", FolderChild::of (listing, "~sub/~sub.cvccmap"), false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.typed);
        std::optional<FileDialogs::Choice> choice;
        FileDialogs::launch ({ "Save", folder, "*.cvccmap", c.mode | juce::FileBrowserComponent::canSelectFiles },
                             [&choice] (const FileDialogs::Choice& answered) { choice = answered; });

        auto* dialog = findOpenDialog();
        ASSERT_NE (dialog, nullptr);
        auto* browser = findIn<juce::FileBrowserComponent> (*dialog);
        ASSERT_NE (browser, nullptr);
        browser->setRoot (c.root);
        browser->setFileName (c.typed);

        // Clicked as the list does: its row is selected, and a double click hands on its file.
        if (const auto listed = c.clicked + c.doubleClicked; listed.isNotEmpty())
        {
            auto& contents = browser->getDisplayComponent()->directoryContentsList;
            juce::DirectoryContentsList::FileInfo info;
            int row = 0;

            for (int i = 0; i < 200 && (contents.isStillLoading() || contents.getNumFiles() < 2); ++i)
                juce::MessageManager::getInstance()->runDispatchLoopUntil (10);

            while (contents.getFileInfo (row, info) && info.filename != listed)
                ++row;

            dynamic_cast<juce::ListBox&> (*browser->getDisplayComponent()).updateContent();
            dynamic_cast<juce::ListBox&> (*browser->getDisplayComponent()).selectRow (row);

            if (c.doubleClicked.isNotEmpty())
                browser->fileDoubleClicked (contents.getFile (row));

            juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
            ASSERT_EQ (findOpenDialog(), dialog);
        }

        auto* save = findIn<juce::TextButton> (*dialog, [] (juce::TextButton& b) { return b.getButtonText() == "Save" || b.getButtonText() == "Open"; });
        ASSERT_NE (save, nullptr);

        if (save->isEnabled())
            save->triggerClick();
        else
            dialog->exitModalState (1);

        juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
        ASSERT_TRUE (choice.has_value());
        EXPECT_EQ (choice->refused, c.refused);
        EXPECT_EQ (choice->files, c.refused ? juce::Array<juce::File>() : juce::Array<juce::File> { c.chosen });
        EXPECT_EQ (findOpenDialog(), nullptr);
    }

}
