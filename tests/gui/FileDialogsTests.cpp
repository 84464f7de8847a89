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
// stays in the folder it showed, and a folder answered for a file is refused.
TEST (FileDialogs, TheBrowserAnswersWithWhatItShowedOnDisplay)
{
    SKIP_WITHOUT_DISPLAY();

    const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("corvane-chooser", {});
    ASSERT_TRUE (folder.createDirectory());
    const auto badFolder = folder.getFullPathName().toStdString() + "/Bad\xff\xfe" "Home";
    ASSERT_TRUE (std::filesystem::create_directory (badFolder));
    const auto previous = juce::File::getCurrentWorkingDirectory();
    ASSERT_TRUE (folder.setAsCurrentWorkingDirectory());

    struct Case { juce::File root; juce::String typed; juce::File chosen; bool refused; };
    const Case cases[] = {
        { folder, "Plain.cvccmap", folder.getChildFile ("Plain.cvccmap"), false },
        { folder, "~typed.cvccmap", FolderChild::of (folder, "~typed.cvccmap"), false },
        { juce::File (juce::String::fromUTF8 (badFolder.data(), (int) badFolder.size())), {}, {}, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.typed);
        std::optional<FileDialogs::Choice> choice;
        FileDialogs::launch ({ "Save", folder, "*.cvccmap", juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles },
                             [&choice] (const FileDialogs::Choice& answered) { choice = answered; });

        auto* dialog = findOpenDialog();
        ASSERT_NE (dialog, nullptr);
        auto* browser = findIn<juce::FileBrowserComponent> (*dialog);
        ASSERT_NE (browser, nullptr);
        browser->setRoot (c.root);
        browser->setFileName (c.typed);
        auto* save = findIn<juce::TextButton> (*dialog, [] (juce::TextButton& b) { return b.getButtonText() == "Save"; });
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

    previous.setAsCurrentWorkingDirectory();
    std::filesystem::remove_all (folder.getFullPathName().toStdString());
}
