#include "FileDialogs.h"
#include "FolderChild.h"

namespace
{
   #if JUCE_LINUX || JUCE_BSD
    /** JUCE's file browser, taking the names its list shows as names in the folder it shows.
        The list joins them to that folder through getChildFile, which reads a name that begins
        with '~' as a path of its own: such a file could not be chosen by a click, nor such a
        folder opened.
    */
    class FolderBrowser  : public juce::FileBrowserComponent
    {
    public:
        FolderBrowser (int browserFlags, const juce::File& initialFile, const juce::FileFilter* filter)
            : FileBrowserComponent (browserFlags, nowhere(), filter, nullptr), flags (browserFlags)
        {
            // JUCE's browser lists its first folder on its own thread, through virtual functions
            // of this object, while this constructor is still making it. It starts where nothing
            // can be listed, and moves to the folder asked for once the object is whole.
            resetRecentPaths();
            const auto start = initialFile == juce::File() ? juce::File::getCurrentWorkingDirectory() : initialFile;
            const auto isFolder = start.isDirectory();
            setRoot (isFolder ? start : start.getParentDirectory());
            setFileName (isFolder ? juce::String() : start.getFileName());
        }

        /** The file of the list's selected row, or none. */
        juce::File getListedFile() const
        {
            auto* display = getDisplayComponent();
            auto* list = dynamic_cast<juce::ListBox*> (display);
            juce::DirectoryContentsList::FileInfo info;

            if (list == nullptr || list->getNumSelectedRows() != 1
                 || ! display->directoryContentsList.getFileInfo (list->getSelectedRow(), info))
                return {};

            return FolderChild::of (getRoot(), info.filename);
        }

        void selectionChanged() override
        {
            FileBrowserComponent::selectionChanged();

            const auto file = getListedFile();

            if (! file.getFileName().startsWithChar ('~'))
                return;

            const auto suitable = file.isDirectory() ? (flags & canSelectDirectories) != 0 && isDirectorySuitable (file)
                                                     : file.existsAsFile() && isFileSuitable (file);

            // The browser answers with its file box joined to its folder; "./" keeps the name there.
            if (suitable)
                for (auto* child : getChildren())
                    if (auto* fileBox = dynamic_cast<juce::TextEditor*> (child))
                        fileBox->setText ("./" + file.getFileName());
        }

        void fileDoubleClicked (const juce::File& file) override
        {
            const auto listed = getListedFile();
            FileBrowserComponent::fileDoubleClicked (listed.getFileName().startsWithChar ('~') ? listed : file);
        }

    private:
        /** A file below a device: no folder of that path can ever exist, so none is listed. */
        static juce::File nowhere()     { return juce::File ("/dev/null/none"); }

        const int flags;
    };

    /** JUCE's own file browser in a dialog, which tells what it showed when the user answered;
        the desktop's choosers that juce::FileChooser would start instead tell nothing of it.
        Each open dialog owns itself until the user has answered.
    */
    class BrowserDialog
    {
    public:
        static void launch (const FileDialogs::Request& request, std::function<void (const FileDialogs::Answer&)> answered)
        {
            auto* dialog = new BrowserDialog (request, std::move (answered));
            dialog->box.centreWithDefaultSize (nullptr);
            dialog->box.enterModalState (true, juce::ModalCallbackFunction::create ([dialog] (int result)
            {
                const std::unique_ptr<BrowserDialog> owned (dialog);
                owned->finish (result != 0);
            }), false);
        }

    private:
        BrowserDialog (const FileDialogs::Request& request, std::function<void (const FileDialogs::Answer&)> callback)
            : answered (std::move (callback)),
              filter ((request.flags & juce::FileBrowserComponent::canSelectFiles) != 0 ? request.patterns : juce::String(),
                      (request.flags & juce::FileBrowserComponent::canSelectDirectories) != 0 ? "*" : juce::String(), {}),
              browser (request.flags, request.initialFile, &filter),
              box (request.title, {}, browser, (request.flags & juce::FileBrowserComponent::warnAboutOverwriting) != 0,
                   browser.findColour (juce::AlertWindow::backgroundColourId))
        {
        }

        void finish (bool confirmed)
        {
            FileDialogs::Answer answer;
            answer.shownFolder = browser.getRoot();

            // The browser keeps its file box to itself; it is the only text editor among its children.
            for (auto* child : browser.getChildren())
                if (auto* fileBox = dynamic_cast<juce::TextEditor*> (child))
                    answer.typedName = fileBox->getText();

            if (const auto clicked = browser.getListedFile(); clicked != juce::File())
                answer.clickedFiles.add (clicked);

            for (int i = 0; confirmed && i < browser.getNumSelectedFiles(); ++i)
                answer.results.add (browser.getSelectedFile (i));

            answered (answer);
        }

        std::function<void (const FileDialogs::Answer&)> answered;
        juce::WildcardFileFilter filter;
        FolderBrowser browser;
        juce::FileChooserDialogBox box;
    };
   #endif

    /** Shows the platform's chooser: JUCE's browser where the desktop's own would hide what it
        showed; elsewhere the system's, whose answers are what the user clicked.
    */
    struct PlatformChooser  : public FileDialogs::Chooser
    {
        void launch (const FileDialogs::Request& request, std::function<void (const FileDialogs::Answer&)> answered) override
        {
           #if JUCE_LINUX || JUCE_BSD
            BrowserDialog::launch (request, std::move (answered));
           #else
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
        // JUCE's browser joins the typed name to its folder as getChildFile does, which takes
        // a name that begins with '~' for a path of its own: the name is kept in the folder.
        if (answer.typedName.isNotEmpty()
             && (result == answer.shownFolder.getChildFile (answer.typedName)
                  || result == FolderChild::of (answer.shownFolder, answer.typedName)))
            return FolderChild::of (answer.shownFolder, answer.typedName);

        if (answer.clickedFiles.contains (result))
            return result;

        if (answer.typedName.isEmpty() && result == answer.shownFolder
             && (request.flags & juce::FileBrowserComponent::canSelectDirectories) != 0)
            return result;

        return {};
    }
}

const char* const FileDialogs::refusalReason = "the name of the chosen folder cannot be read. Rename the folder, or choose another one.";

void FileDialogs::launch (const Request& request, Callback callback)
{
    JUCE_ASSERT_MESSAGE_THREAD

    auto* chooser = installedChooser != nullptr ? installedChooser
                                                : static_cast<Chooser*> (&platformChooser);
    chooser->launch (request, [request, callback = std::move (callback)] (const Answer& answer)
    {
        if (callback != nullptr)
            callback (judge (request, answer));
    });
}

FileDialogs::Choice FileDialogs::judge (const Request& request, const Answer& answer)
{
    Choice choice;

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
