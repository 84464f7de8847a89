#include "DesktopFileChooser.h"
#include "ApplicationDataFolders.h"
#include "BrowserDialog.h"
#include "FolderChild.h"
#include "StrictUtf8.h"

#include <cstdlib>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace
{
    DesktopFileChooser* openChooser = nullptr;

    bool isSet (int flags, int flag)    { return (flags & flag) != 0; }

    /** The pattern with each ASCII letter as a bracket of both its cases ("*.cvprst" becomes
        "*.[cC][vV][pP][rR][sS][tT]"): zenity's filter compares names by their exact letters,
        where the plug-in takes its extensions in any letter case. One that has a bracket of its
        own is left as it is.
    */
    juce::String caseBlindPattern (const juce::String& pattern)
    {
        if (pattern.containsChar ('['))
            return pattern;

        juce::String result;

        for (const auto c : pattern)
        {
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
                result << '[' << juce::String::charToString ((juce::juce_wchar) (c | 0x20))
                       << juce::String::charToString ((juce::juce_wchar) (c & ~0x20)) << ']';
            else
                result << juce::String::charToString (c);
        }

        return result;
    }

    /** The program's path in the first folder of the search path that has it, as bytes; the
        search path is the system's and may hold any bytes.
    */
    std::string findProgram (const char* name)
    {
        const char* searchPath = std::getenv ("PATH");

        for (std::string_view rest (searchPath != nullptr ? searchPath : ""); ! rest.empty();)
        {
            const auto end = std::min (rest.find (':'), rest.size());
            const auto folder = rest.substr (0, end);
            rest.remove_prefix (std::min (end + 1, rest.size()));

            auto candidate = std::string (folder.empty() ? "." : folder) + "/" + name;
            struct stat status {};

            if (::stat (candidate.c_str(), &status) == 0 && S_ISREG (status.st_mode) && ::access (candidate.c_str(), X_OK) == 0)
                return candidate;
        }

        return {};
    }

    bool isKdeSession()
    {
        const char* value = std::getenv ("KDE_FULL_SESSION");
        return value != nullptr && ::strcasecmp (value, "true") == 0;
    }

    /** The program to start, kdialog or zenity, chosen as juce::FileChooser chooses it. */
    std::string findChooserProgram (bool& isKDialog)
    {
        const auto kdialog = findProgram ("kdialog");
        const auto zenity = findProgram ("zenity");
        isKDialog = ! kdialog.empty() && (isKdeSession() || zenity.empty());
        return isKDialog ? kdialog : zenity;
    }

    juce::String getWindowId (juce::Component* owner)
    {
        if (owner != nullptr)
            if (auto* peer = owner->getPeer())
                return juce::String ((juce::uint64) (juce::pointer_sized_uint) peer->getNativeHandle());

        return {};
    }

    /** The arguments juce::FileChooser gives the program. The start is handed over as a whole
        path rather than by changing the process's working folder, which belongs to the host.
    */
    juce::StringArray makeArguments (const FileDialogs::Request& request, bool isKDialog, const juce::String& windowId)
    {
        const auto flags = request.flags;
        const auto isSave = isSet (flags, juce::FileBrowserComponent::saveMode);
        const auto isFolder = isSet (flags, juce::FileBrowserComponent::canSelectDirectories)
                                && ! isSet (flags, juce::FileBrowserComponent::canSelectFiles);
        // Where no folder of the start is there, the chooser starts in the home folder, with the
        // start's name when saving.
        const auto& start = request.initialFile;
        const auto isStartFolder = start.isDirectory();
        const auto name = isStartFolder ? juce::String() : start.getFileName();
        auto startFolder = isStartFolder ? start : start.getParentDirectory();

        if (! startFolder.isDirectory())
            startFolder = ApplicationDataFolders::getHomeFolder();

        if (! startFolder.isDirectory())
            startFolder = juce::File ("/");

        const auto startFile = name.isEmpty() ? startFolder : FolderChild::of (startFolder, name);
        juce::StringArray args;

        if (isKDialog)
        {
            if (request.title.isNotEmpty())
                args.add ("--title=" + request.title);

            if (windowId.isNotEmpty())
                args.addArray ({ "--attach", windowId });

            args.add (isSave ? "--getsavefilename" : isFolder ? "--getexistingdirectory" : "--getopenfilename");
            args.add (isSave || startFile.exists() ? startFile.getFullPathName() : startFolder.getFullPathName());
            args.add ("(" + request.patterns.replaceCharacter (';', ' ') + ")");
            return args;
        }

        args.add ("--file-selection");

        if (isSave && isSet (flags, juce::FileBrowserComponent::warnAboutOverwriting))
            args.add ("--confirm-overwrite");

        if (request.title.isNotEmpty())
            args.add ("--title=" + request.title);

        if (isSave)
            args.add ("--save");

        if (isFolder)
            args.add ("--directory");

        // Named by the patterns as given, matching them in any letter case.
        if (request.patterns.isNotEmpty() && request.patterns != "*" && request.patterns != "*.*")
        {
            const auto patterns = juce::StringArray::fromTokens (request.patterns, ";,|", "\"");
            juce::StringArray matched;

            for (const auto& pattern : patterns)
                matched.add (caseBlindPattern (pattern));

            args.add ("--file-filter=" + patterns.joinIntoString (" ") + " | " + matched.joinIntoString (" "));
        }

        // zenity opens a folder given with a trailing separator, and puts a file's name in its box.
        args.add ("--filename=" + (name.isEmpty() ? startFolder.getFullPathName().trimCharactersAtEnd ("/") + "/"
                                                  : startFile.getFullPathName()));

        return args;
    }

    /** The environment for the program: the process's, with the window it belongs to. */
    std::vector<std::string> makeEnvironment (const juce::String& windowId)
    {
        std::vector<std::string> result;

        for (auto** entry = environ; entry != nullptr && *entry != nullptr; ++entry)
            if (std::string_view (*entry).substr (0, 9) != "WINDOWID=")
                result.emplace_back (*entry);

        if (windowId.isNotEmpty())
            result.push_back ("WINDOWID=" + windowId.toStdString());

        return result;
    }
}

bool DesktopFileChooser::launch (juce::Component& owner, const FileDialogs::Request& request,
                                 std::function<void (const FileDialogs::Answer&)> answered)
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (openChooser != nullptr)
        return true;

    std::unique_ptr<DesktopFileChooser> chooser (new DesktopFileChooser (owner, request, std::move (answered)));

    if (! chooser->start())
        return false;

    openChooser = chooser.release();
    return true;
}

DesktopFileChooser::DesktopFileChooser (juce::Component& ownerToWatch, const FileDialogs::Request& r,
                                        std::function<void (const FileDialogs::Answer&)> callback)
    : owner (ownerToWatch, [this] { delete this; }),   // ends the program at once
      request (r), answered (std::move (callback))
{
}

DesktopFileChooser::~DesktopFileChooser()
{
    if (openChooser == this)
        openChooser = nullptr;
}

bool DesktopFileChooser::start()
{
    bool isKDialog = false;
    const auto path = findChooserProgram (isKDialog);
    const auto windowId = getWindowId (owner.getOwner());

    if (path.empty())
        return false;

    std::vector<std::string> arguments { path };

    for (auto& argument : makeArguments (request, isKDialog, windowId))
        arguments.push_back (argument.toStdString());

    if (! program.start (path, arguments, makeEnvironment (windowId)))
        return false;

    startTimer (50);
    return true;
}

void DesktopFileChooser::timerCallback()
{
    program.readOutput (printed);

    if (! program.hasEnded())
        return;

    program.readOutput (printed);

    if (program.couldNotStart())
    {
        // As where the desktop has no chooser.
        auto* ownerComponent = owner.getOwner();
        auto callback = std::move (answered);
        const auto browserRequest = request;
        delete this;

        if (ownerComponent != nullptr)
            BrowserDialog::launch (*ownerComponent, browserRequest, std::move (callback));

        return;
    }

    const auto answer = program.hasFailed() ? FileDialogs::Answer() : readAnswer (request, std::move (printed));
    auto callback = owner.getOwner() != nullptr ? std::move (answered) : nullptr;

    // Gone before the answer is handed on, which may open another chooser or close the owner.
    delete this;

    if (callback != nullptr)
        callback (answer);
}

FileDialogs::Answer DesktopFileChooser::readAnswer (const FileDialogs::Request& request, std::string printed)
{
    FileDialogs::Answer answer;

    if (! printed.empty() && printed.back() == '\n')
        printed.pop_back();

    if (printed.empty())
        return answer;

    const auto name = StrictUtf8::toString (printed);
    const auto file = name.has_value() && name->startsWithChar ('/') ? juce::File (*name) : juce::File();
    const auto wantsFolder = isSet (request.flags, juce::FileBrowserComponent::canSelectDirectories)
                               && ! isSet (request.flags, juce::FileBrowserComponent::canSelectFiles);

    if (file == juce::File() || ! (wantsFolder ? file : file.getParentDirectory()).isDirectory())
    {
        answer.unreadable = true;
        return answer;
    }

    answer.results.add (file);
    answer.clickedFiles.add (file);
    return answer;
}
