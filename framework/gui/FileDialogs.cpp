#include "FileDialogs.h"
#include "BrowserDialog.h"
#include "DesktopFileChooser.h"
#include "FolderChild.h"

namespace
{
    /** Shows the platform's chooser: on Linux the desktop's own, or the toolkit's browser where
        the desktop has none; elsewhere the system's, whose answers are what the user clicked.
    */
    struct PlatformChooser  : public FileDialogs::Chooser
    {
        void launch (juce::Component& owner, const FileDialogs::Request& request,
                     std::function<void (const FileDialogs::Answer&)> answered) override
        {
           #if JUCE_LINUX || JUCE_BSD
            if (! DesktopFileChooser::launch (owner, request, answered))
                BrowserDialog::launch (owner, request, std::move (answered));
           #else
            juce::ignoreUnused (owner);
            // JUCE moves the callback out before calling it, so the chooser lives exactly
            // until the user's answer has been handed on.
            auto chooser = std::make_shared<juce::FileChooser> (request.title, request.initialFile, request.patterns);
            chooser->launchAsync (request.flags,
                                  [chooser, answered = std::move (answered)] (const juce::FileChooser& c) mutable
                                  {
                                      FileDialogs::Answer answer;
                                      answer.results = c.getResults();
                                      answer.clickedFiles = answer.results;
                                      answered (answer);
                                      chooser.reset();
                                  });
           #endif
        }
    };

    PlatformChooser platformChooser;
    FileDialogs::Chooser* installedChooser = nullptr;

    /** The file the user chose that the chooser answers as result, or none. */
    juce::File findChosenFile (const FileDialogs::Request& request, const FileDialogs::Answer& answer, const juce::File& result)
    {
        // A typed name is one in the folder shown, whatever its first character.
        if (answer.typedName.isNotEmpty() && result == FolderChild::of (answer.shownFolder, answer.typedName))
            return result;

        if (answer.clickedFiles.contains (result))
            return result;

        if (answer.typedName.isEmpty() && result == answer.shownFolder
             && (request.flags & juce::FileBrowserComponent::canSelectDirectories) != 0)
            return result;

        return {};
    }
}

const char* const FileDialogs::refusalReason = "the name of the chosen folder cannot be read. Rename the folder, or choose another one.";

void FileDialogs::launch (juce::Component& owner, const Request& request, Callback callback)
{
    JUCE_ASSERT_MESSAGE_THREAD

    auto* chooser = installedChooser != nullptr ? installedChooser
                                                : static_cast<Chooser*> (&platformChooser);
    chooser->launch (owner, request, [safeOwner = juce::Component::SafePointer<juce::Component> (&owner),
                                      request, callback = std::move (callback)] (const Answer& answer)
    {
        if (safeOwner != nullptr && callback != nullptr)
            callback (judge (request, answer));
    });
}

FileDialogs::Choice FileDialogs::judge (const Request& request, const Answer& answer)
{
    Choice choice;

    if (answer.unreadable)
        return { {}, true, {} };

    for (auto& result : answer.results)
    {
        const auto chosen = findChosenFile (request, answer, result);

        if (chosen == juce::File())
            return { {}, true, {} };

        choice.files.add (chosen);
    }

    // The chooser's own question looked at its answer, which for a typed name that begins
    // with '~' is not the chosen file.
    if ((request.flags & juce::FileBrowserComponent::warnAboutOverwriting) != 0 && ! answer.results.isEmpty())
        choice.warnedAbout = answer.results.getFirst();

    return choice;
}

FileDialogs::Chooser* FileDialogs::setChooser (Chooser* newChooser)
{
    return std::exchange (installedChooser, newChooser);
}
