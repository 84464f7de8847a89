#include "ApplicationDataFolders.h"
#include "AtomicFileWriter.h"
#include "BrowserDialog.h"
#include "DisplayForWindows.h"
#include "FileDialogs.h"
#include "FolderChild.h"
#include "StrictUtf8.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <linux/close_range.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <optional>
#include <poll.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
    namespace fs = std::filesystem;

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

    /** The window on the desktop with that name, or none. */
    juce::Component* findWindow (const juce::String& name)
    {
        auto& desktop = juce::Desktop::getInstance();

        for (int i = 0; i < desktop.getNumComponents(); ++i)
            if (auto* window = desktop.getComponent (i); window->getName() == name && window->isVisible())
                return window;

        return nullptr;
    }

    juce::TextButton* findButton (juce::Component* window, const juce::String& text)
    {
        return window == nullptr ? nullptr : findIn<juce::TextButton> (*window, [&text] (juce::TextButton& b) { return b.getButtonText() == text; });
    }

    void pump (int milliseconds = 50)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
    }

    std::string bytesOf (const juce::File& file)     { return file.getFullPathName().toStdString(); }

    /** A folder of the test's own, with a search path of one folder that holds a stand-in
        zenity (or none), put back with the working folder however the test ends.
    */
    struct ChooserFolder
    {
        explicit ChooserFolder (juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                                      .getNonexistentChildFile ("corvane-chooser", {}))
            : root (std::move (folder))
        {
            setenv ("PATH", bytesOf (bin).c_str(), 1);
            unsetenv ("KDE_FULL_SESSION");
        }

        ~ChooserFolder()
        {
            setenv ("PATH", previousPath.c_str(), 1);
            previousFolder.setAsCurrentWorkingDirectory();
            fs::remove_all (bytesOf (root));
        }

        /** A zenity that logs its arguments, one a line, and its process id, then runs the script. */
        void writeZenity (const std::string& script) const
        {
            const auto path = bytesOf (bin) + "/zenity";
            std::ofstream (path) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << bytesOf (root) << "/args'\necho $$ > '"
                                 << bytesOf (root) << "/pid'\n" << script << "\n";
            fs::permissions (path, fs::perms::owner_all);
        }

        std::string read (const char* name) const
        {
            std::ifstream in (bytesOf (root) + "/" + name);
            return { std::istreambuf_iterator<char> (in), {} };
        }

        const std::string previousPath { std::getenv ("PATH") != nullptr ? std::getenv ("PATH") : "" };
        const juce::File previousFolder { juce::File::getCurrentWorkingDirectory() };
        const juce::File root;
        const juce::File bin { root.getChildFile ("bin") };
        const bool made { bin.createDirectory().wasOk() };
    };

    std::optional<FileDialogs::Choice> launchAndWait (juce::Component& owner, const FileDialogs::Request& request)
    {
        std::optional<FileDialogs::Choice> choice;
        FileDialogs::launch (owner, request, [&choice] (const FileDialogs::Choice& answered) { choice = answered; });

        for (int i = 0; i < 100 && ! choice.has_value(); ++i)
            pump();

        return choice;
    }

    enum class Host { ignoresChildren, collectsChildren };

    /** The chooser folder of a host process of the test: the test's process is its parent. */
    juce::File getHostFolder (pid_t testProcess, Host host)
    {
        return juce::File::getSpecialLocation (juce::File::tempDirectory)
                 .getChildFile ("corvane-host-" + juce::String (testProcess) + "-" + juce::String ((int) host));
    }

    /** Whether the process with that id has ended, or is only a zombie, within two seconds. */
    bool hasEnded (int pid)
    {
        for (int i = 0; i < 40; ++i, std::this_thread::sleep_for (std::chrono::milliseconds (50)))
            if (std::ifstream ("/proc/" + std::to_string (pid) + "/cmdline").peek() == EOF)
                return true;

        return false;
    }

    /** From now on, this process dies of SIGSYS where it sends a signal to that process id. */
    bool forbidSignalsTo (pid_t pid)
    {
        sock_filter filter[] = {
            BPF_STMT (BPF_LD | BPF_W | BPF_ABS, offsetof (seccomp_data, nr)),
            BPF_JUMP (BPF_JMP | BPF_JEQ | BPF_K, SYS_kill, 0, 3),
            BPF_STMT (BPF_LD | BPF_W | BPF_ABS, offsetof (seccomp_data, args[0])),
            BPF_JUMP (BPF_JMP | BPF_JEQ | BPF_K, (__u32) pid, 0, 1),
            BPF_STMT (BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
            BPF_STMT (BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        sock_fprog program { (unsigned short) std::size (filter), filter };
        return ::prctl (PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl (PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
    }

    /** Whether the reading end of a pipe sees the pipe end within two seconds. */
    bool seesEnd (int reader)
    {
        pollfd polled { reader, POLLIN, 0 };
        char byte = 0;
        return ::poll (&polled, 1, 2000) == 1 && ::read (reader, &byte, 1) == 0;
    }

    std::atomic<bool> copyAtNextFork { false };
    pid_t copyOfTest = 0;

    /** At the next fork, makes another child of the test that holds every descriptor the test
        holds then for five seconds, as a worker of a host forked at that instant.
    */
    void forkCopyOfTest()
    {
        if (! copyAtNextFork.exchange (false))
            return;

        // fork cannot be called again from a fork handler.
        const auto pid = (pid_t) ::syscall (SYS_clone, SIGCHLD, nullptr, nullptr, nullptr, nullptr);

        if (pid == 0)
        {
            const timespec holding { 5, 0 };
            ::syscall (SYS_nanosleep, &holding, nullptr);
            ::syscall (SYS_exit_group, 0);
        }

        copyOfTest = pid;
    }

    /** Uses the desktop's chooser in this process as a host that does that with its children,
        and exits with a chooser open, as a host that is killed.
    */
    [[noreturn]] void chooseInHost (Host host)
    {
        // The programs are to keep nothing open of the test's, whose harness waits for its pipe.
        ::close_range (STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC);
        struct sigaction action {};
        action.sa_handler = host == Host::ignoresChildren ? SIG_IGN : +[] (int)
        {
            const auto savedError = errno;
            while (::waitpid (-1, nullptr, WNOHANG) > 0) {}
            errno = savedError;
        };
        action.sa_flags = SA_RESTART | SA_NOCLDSTOP;
        ::sigaction (SIGCHLD, &action, nullptr);

        ChooserFolder folder (getHostFolder (::getppid(), host));
        const auto lead = folder.root.getChildFile ("Lead.cvprst");
        const FileDialogs::Request request { "T", lead, "*.cvprst", juce::FileBrowserComponent::saveMode
                                                                      | juce::FileBrowserComponent::canSelectFiles };
        auto owner = std::make_unique<juce::Component>();
        const auto startProgram = [&folder, &owner, &request] (const std::string& script)
        {
            fs::remove (bytesOf (folder.root) + "/pid");
            folder.writeZenity (script);
            FileDialogs::launch (*owner, request, [] (const FileDialogs::Choice&) {});

            for (int i = 0; i < 100 && folder.read ("pid").empty(); ++i)
                pump();

            return std::atoi (folder.read ("pid").c_str());
        };

        folder.writeZenity ("printf '%s\\n' '" + bytesOf (lead) + "'");
        const auto choice = launchAndWait (*owner, request);
        const auto taken = choice.has_value() && choice->files == juce::Array<juce::File> { lead };
        // The host has collected that program: its id may now be another process's.
        const auto answered = std::atoi (folder.read ("pid").c_str());
        const auto watched = answered > 0 && forbidSignalsTo (answered);

        const auto open = startProgram ("exec /bin/sleep 60");
        owner.reset();
        const auto closed = open > 0 && hasEnded (open);

        owner = std::make_unique<juce::Component>();
        const auto reopened = startProgram ("exec /bin/sleep 60") > 0;

        std::fprintf (stderr, "taken %d, watched %d, closed %d, reopened %d\n", taken, watched, closed, reopened);
        ::_exit (taken && watched && closed && reopened ? 0 : 1);
    }
}

// The desktop's chooser is started with juce::FileChooser's arguments, and its answer read as
// bytes: a name that is not UTF-8, or in a folder that is not there, is refused.
TEST (FileDialogs, TheDesktopChooserIsAskedAndItsAnswerReadAsBytes)
{
    ChooserFolder folder;
    ASSERT_TRUE (folder.made);
    const auto presets = folder.root.getChildFile ("Presets");
    ASSERT_TRUE (presets.createDirectory());
    const auto latin1 = bytesOf (folder.root) + "/Caf\xe9";
    ASSERT_TRUE (fs::create_directory (latin1));

    constexpr auto save = juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                            | juce::FileBrowserComponent::warnAboutOverwriting;
    constexpr auto open = juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles;
    constexpr auto folders = juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectDirectories;
    const auto lead = presets.getChildFile ("Lead.cvprst");
    const auto p = bytesOf (presets);

    struct Case { const char* what; int flags; juce::File start; std::string printed; int exitCode;
                  std::string arguments; juce::File chosen; bool refused; };
    const Case cases[] = {
        { "save", save, lead, p + "/Lead.cvprst\n", 0,
          "--file-selection\n--confirm-overwrite\n--title=T\n--save\n--file-filter=*.cvprst | *.[cC][vV][pP][rR][sS][tT]\n--filename=" + p + "/Lead.cvprst\n", lead, false },
        { "open from nowhere", open, {}, p + "/Lead.cvprst\n", 0, "--file-selection\n--title=T\n--file-filter=*.cvprst | *.[cC][vV][pP][rR][sS][tT]\n--filename="
                                                                    + bytesOf (ApplicationDataFolders::getHomeFolder()) + "/\n", lead, false },
        { "folder", folders, presets, p + "\n", 0, "--file-selection\n--title=T\n--directory\n--file-filter=*.cvprst | *.[cC][vV][pP][rR][sS][tT]\n--filename=" + p + "/\n", presets, false },
        { "a name with a newline", save, lead, p + "/a\nb\n", 0, {}, presets.getChildFile ("a\nb"), false },
        { "cancelled", save, lead, {}, 1, {}, {}, false },
        { "Latin-1 folder", save, lead, latin1 + "/x.cvprst\n", 0, {}, {}, true },
        { "Latin-1 folder chosen", folders, presets, latin1 + "\n", 0, {}, {}, true },
        { "missing folder", save, lead, p + "/Gone/x.cvprst\n", 0, {}, {}, true },
        { "relative", save, lead, "Presets/x.cvprst\n", 0, {}, {}, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        {
            std::ofstream (bytesOf (folder.root) + "/answer", std::ios::binary) << c.printed;
        }
        folder.writeZenity ("/bin/cat '" + bytesOf (folder.root) + "/answer'\nexit " + std::to_string (c.exitCode));

        juce::Component owner;
        const auto choice = launchAndWait (owner, { "T", c.start, "*.cvprst", c.flags });
        ASSERT_TRUE (choice.has_value());
        EXPECT_EQ (choice->refused, c.refused);
        EXPECT_EQ (choice->files, c.chosen == juce::File() ? juce::Array<juce::File>() : juce::Array<juce::File> { c.chosen });

        if (! c.arguments.empty())
        {
            EXPECT_EQ (folder.read ("args"), c.arguments);
        }
    }
}

// A host may ignore SIGCHLD, so that the system collects every child at once, or collect every
// child itself: the chooser still takes the answer and opens again, closing it ends its program
// without signalling a process id that was collected, and its program ends with the host.
TEST (FileDialogs, TheDesktopChooserFollowsItsProgramWhateverTheHostDoesWithChildren)
{
    GTEST_FLAG_SET (death_test_style, "threadsafe");
    const Host hosts[] = { Host::ignoresChildren, Host::collectsChildren };

    for (const auto host : hosts)
        EXPECT_EXIT (chooseInHost (host), ::testing::ExitedWithCode (0), "") << (int) host;

    for (const auto host : hosts)
    {
        const auto folder = getHostFolder (::getpid(), host);
        const auto last = std::atoi (folder.getChildFile ("pid").loadFileAsString().toRawUTF8());
        EXPECT_TRUE (last > 0 && hasEnded (last)) << (int) host;
        folder.deleteRecursively();
    }
}

// The desktop's program holds none of the host's descriptors: a pipe that the host left open
// across exec ends when the host closes it, while the chooser stays open.
TEST (FileDialogs, TheDesktopChooserHoldsNothingOfItsHost)
{
    ChooserFolder folder;
    ASSERT_TRUE (folder.made);
    folder.writeZenity ("exec /bin/sleep 60");
    int hostPipe[2] = { -1, -1 };
    ASSERT_EQ (::pipe (hostPipe), 0);

    juce::Component owner;
    FileDialogs::launch (owner, { "T", folder.root, "*.cvprst", juce::FileBrowserComponent::openMode
                                                                  | juce::FileBrowserComponent::canSelectFiles },
                         [] (const FileDialogs::Choice&) {});

    for (int i = 0; i < 100 && folder.read ("pid").empty(); ++i)
        pump();

    ASSERT_FALSE (folder.read ("pid").empty());
    ::close (hostPipe[1]);
    EXPECT_TRUE (seesEnd (hostPipe[0]));
    ::close (hostPipe[0]);
}

// Another child of the host forked while the chooser starts holds copies of what the chooser
// starts with: the answer is still taken at once.
TEST (FileDialogs, TheDesktopChooserIsAnsweredAtOnceWhileAnotherChildHoldsItsStart)
{
    static const auto handlerInstalled = ::pthread_atfork (nullptr, forkCopyOfTest, nullptr) == 0;
    ASSERT_TRUE (handlerInstalled);
    ChooserFolder folder;
    ASSERT_TRUE (folder.made);
    const auto lead = folder.root.getChildFile ("Lead.cvprst");
    folder.writeZenity ("printf '%s\\n' '" + bytesOf (lead) + "'");

    juce::Component owner;
    copyAtNextFork = true;
    const auto started = std::chrono::steady_clock::now();
    const auto choice = launchAndWait (owner, { "T", lead, "*.cvprst", juce::FileBrowserComponent::saveMode
                                                                         | juce::FileBrowserComponent::canSelectFiles });
    const auto taken = std::chrono::duration_cast<std::chrono::milliseconds> (std::chrono::steady_clock::now() - started);

    ASSERT_GT (copyOfTest, 0);
    ::kill (copyOfTest, SIGKILL);
    ::waitpid (std::exchange (copyOfTest, 0), nullptr, 0);
    ASSERT_TRUE (choice.has_value());
    EXPECT_EQ (choice->files, juce::Array<juce::File> { lead });
    EXPECT_LT (taken.count(), 2000);
}

// The toolkit's browser answers with what it showed: a name typed in its file box stays in
// the folder it showed, whatever its first character, and a name in its list that cannot be
// read is shown with its bytes escaped and can neither be chosen nor opened.
TEST (FileDialogs, TheBrowserAnswersWithWhatItShowedOnDisplay)
{
    SKIP_WITHOUT_DISPLAY();

    ChooserFolder chooser;
    ASSERT_TRUE (chooser.made);
    const auto folder = chooser.root.getChildFile ("work");
    ASSERT_TRUE (folder.createDirectory());
    const std::string latin1 ("Bad\xff\xfe" "Home");
    ASSERT_TRUE (fs::create_directory (bytesOf (folder) + "/" + latin1));
    ASSERT_TRUE (fs::create_directory (bytesOf (folder) + "/" + latin1 + "/inside"));
    ASSERT_TRUE (FolderChild::of (folder, "~sub").createDirectory());
    ASSERT_TRUE (FolderChild::of (folder, "~old.cvccmap").replaceWithText ("<map/>"));
    ASSERT_TRUE (folder.getChildFile ("Loud.CVCCMAP").replaceWithText ("<map/>"));
    ASSERT_TRUE (folder.setAsCurrentWorkingDirectory());
    const auto badName = StrictUtf8::escaped (latin1);

    constexpr auto save = juce::FileBrowserComponent::saveMode, open = juce::FileBrowserComponent::openMode;
    struct Case { int mode; juce::String typed, clicked, opened; juce::File chosen; };
    const Case cases[] = {
        { save, "Plain.cvccmap", {}, {}, folder.getChildFile ("Plain.cvccmap") },
        { save, "~typed.cvccmap", {}, {}, FolderChild::of (folder, "~typed.cvccmap") },
        { open, {}, "~old.cvccmap", {}, FolderChild::of (folder, "~old.cvccmap") },
        { open, {}, "Loud.CVCCMAP", {}, folder.getChildFile ("Loud.CVCCMAP") },
        { save, {}, "~old.cvccmap", {}, FolderChild::of (folder, "~old.cvccmap") },
        { save, "~sub.cvccmap", {}, "~sub", FolderChild::of (folder, "~sub/~sub.cvccmap") },
        { save, {}, badName, badName, {} },
        { save, "x.cvccmap", badName, badName, folder.getChildFile ("x.cvccmap") },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.typed + c.clicked);
        juce::Component owner;
        std::optional<FileDialogs::Choice> choice;
        FileDialogs::launch (owner, { "Save", folder, "*.cvccmap", c.mode | juce::FileBrowserComponent::canSelectFiles },
                             [&choice] (const FileDialogs::Choice& answered) { choice = answered; });

        auto* dialog = dynamic_cast<BrowserDialog*> (findWindow ("Save"));
        ASSERT_NE (dialog, nullptr);
        auto& browser = dialog->getBrowser();
        browser.getFileBox().setText (c.typed);
        pump();

        if (c.clicked.isNotEmpty())
        {
            ASSERT_GE (browser.findRow (c.clicked), 0);
            browser.getList().selectRow (browser.findRow (c.clicked));
        }

        if (c.opened.isNotEmpty())
            browser.open (browser.findRow (c.opened));

        pump();

        auto* ok = findButton (dialog, c.mode == save ? "Save" : "Open");
        ASSERT_NE (ok, nullptr);
        findButton (dialog, ok->isEnabled() ? ok->getButtonText() : "Cancel")->triggerClick();

        pump();
        ASSERT_TRUE (choice.has_value());
        EXPECT_FALSE (choice->refused);
        EXPECT_EQ (choice->files, c.chosen == juce::File() ? juce::Array<juce::File>() : juce::Array<juce::File> { c.chosen });
        EXPECT_EQ (findWindow ("Save"), nullptr);
    }

    // Without a start, it opens in the working folder, unless that name cannot be read.
    ASSERT_EQ (::chdir ((bytesOf (folder) + "/" + latin1).c_str()), 0);
    juce::Component owner;
    FileDialogs::launch (owner, { "Open", {}, "*.cvccmap", open | juce::FileBrowserComponent::canSelectFiles }, [] (const FileDialogs::Choice&) {});
    auto* dialog = dynamic_cast<BrowserDialog*> (findWindow ("Open"));
    ASSERT_NE (dialog, nullptr);
    EXPECT_EQ (dialog->getBrowser().getFolder(), ApplicationDataFolders::getHomeFolder());
}

// A chooser goes with the component that opened it, at once, whatever it has open: nothing is
// answered or written, no window is left, and the desktop's program is ended. Where the desktop's
// program cannot be started, the toolkit's browser opens instead.
TEST (FileDialogs, ChoosersCloseWithTheirOwnerOnDisplay)
{
    SKIP_WITHOUT_DISPLAY();

    ChooserFolder chooser;
    ASSERT_TRUE (chooser.made);
    const auto folder = chooser.root.getChildFile ("work");
    ASSERT_TRUE (folder.getChildFile ("Taken.cvprst").create().wasOk());

    // A host that closes its view hides the editor, and deletes it when it closes the plug-in.
    enum class Stage { desktop, browser, failedStart, overwriteQuestion, newFolderBox, refusal };
    const struct { Stage stage; bool hidden; } cases[] = {
        { Stage::desktop, false }, { Stage::browser, false }, { Stage::failedStart, false }, { Stage::overwriteQuestion, false },
        { Stage::newFolderBox, false }, { Stage::refusal, false }, { Stage::desktop, true }, { Stage::overwriteQuestion, true },
    };

    for (const auto& [stage, hidden] : cases)
    {
        SCOPED_TRACE ((int) stage + (hidden ? 10 : 0));
        chooser.writeZenity ("exec /bin/sleep 60");

        if (stage == Stage::failedStart)
            std::ofstream (bytesOf (chooser.bin) + "/zenity") << "#!/nonexistent/sh\n";
        else if (stage != Stage::desktop)
            fs::remove (bytesOf (chooser.bin) + "/zenity");

        const auto numWindows = juce::Desktop::getInstance().getNumComponents() + (hidden ? 1 : 0);
        auto owner = std::make_unique<juce::Component>();
        bool answered = false;

        if (hidden)
        {
            owner->setSize (10, 10);
            owner->addToDesktop (0);
            owner->setVisible (true);
        }

        FileDialogs::launch (*owner, { "Save", folder.getChildFile ("Taken.cvprst"), "*.cvprst",
                                       juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                                         | juce::FileBrowserComponent::warnAboutOverwriting },
                             [&answered] (const FileDialogs::Choice&) { answered = true; });
        pump (300);

        if (stage == Stage::overwriteQuestion)
            findButton (findWindow ("Save"), "Save")->triggerClick();

        if (stage == Stage::newFolderBox || stage == Stage::refusal)
            findButton (findWindow ("Save"), "New Folder")->triggerClick();

        if (stage == Stage::refusal)
        {
            pump();
            auto* box = dynamic_cast<juce::AlertWindow*> (findWindow ("New Folder"));
            ASSERT_NE (box, nullptr);
            box->getTextEditor ("Folder Name")->setText ("a/b");
            findButton (box, "Create Folder")->triggerClick();
        }

        pump();

        if (stage != Stage::desktop)
        {
            ASSERT_GT (juce::Desktop::getInstance().getNumComponents(), numWindows);
        }

        const auto started = std::chrono::steady_clock::now();

        if (hidden)
        {
            owner->setVisible (false);
            pump (20);
        }
        else
        {
            owner.reset();
        }

        const auto taken = std::chrono::steady_clock::now() - started;
        pump();

        EXPECT_LT (taken, std::chrono::milliseconds (500));
        EXPECT_FALSE (answered);
        EXPECT_EQ (juce::Desktop::getInstance().getNumComponents(), numWindows);
        EXPECT_EQ (std::distance (fs::directory_iterator (bytesOf (folder)), fs::directory_iterator()), 1);

        if (stage == Stage::desktop)
        {
            EXPECT_NE (::kill (std::stoi (chooser.read ("pid")), 0), 0);
        }
    }
}

// The browser's file box has the keyboard focus on opening, and its New Folder box makes a
// folder of exactly the name typed in the folder shown, or says why it cannot.
TEST (FileDialogs, TheNewFolderBoxKeepsTheNameOrSaysWhyOnDisplay)
{
    SKIP_WITHOUT_DISPLAY();

    ChooserFolder chooser;
    ASSERT_TRUE (chooser.made);
    const auto folder = chooser.root.getChildFile ("work");
    ASSERT_TRUE (folder.getChildFile ("there").createDirectory());
    const auto longest = std::string (255, 'n'), tooLong = std::string (256, 'n');

    struct Case { std::string name; bool made; juce::String reason; };
    const Case cases[] = {
        { "~nf", true, {} },
        { "~", true, {} },
        { "n\xc3\xa9", true, {} },
        { longest, true, {} },
        { "../esc", false, "\"/\"" },
        { "a/b", false, "\"/\"" },
        { ".", false, "\"..\"" },
        { "..", false, "\"..\"" },
        { tooLong, false, AtomicFileWriter::getNameTooLongText() },
        { "there", false, "File exists" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        juce::Component owner;
        FileDialogs::launch (owner, { "Save", folder, "*.cvprst",
                                      juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles },
                             [] (const FileDialogs::Choice&) {});
        pump (200);
        auto* dialog = findWindow ("Save");
        ASSERT_NE (dialog, nullptr);
        auto* fileBox = findIn<juce::TextEditor> (*dialog);
        ASSERT_NE (fileBox, nullptr);
        EXPECT_TRUE (fileBox->hasKeyboardFocus (false));
        // The desktop window may become active after it opens.
        fileBox->giveAwayKeyboardFocus();
        dialog->getPeer()->handleFocusGain();
        EXPECT_TRUE (fileBox->hasKeyboardFocus (false));

        findButton (dialog, "New Folder")->triggerClick();
        pump();
        auto* box = dynamic_cast<juce::AlertWindow*> (findWindow ("New Folder"));
        ASSERT_NE (box, nullptr);
        box->getTextEditor ("Folder Name")->setText (juce::String::fromUTF8 (c.name.data(), (int) c.name.size()));
        findButton (box, "Create Folder")->triggerClick();
        pump();

        std::error_code error;
        const auto isNew = c.name != "." && c.name != ".." && c.name != "there";
        EXPECT_EQ (isNew && fs::is_directory (bytesOf (folder) + "/" + c.name, error), c.made);
        auto* refusal = dynamic_cast<juce::AlertWindow*> (findWindow ("New Folder"));
        EXPECT_EQ (refusal != nullptr, c.reason.isNotEmpty());

        if (refusal != nullptr)
        {
            EXPECT_TRUE (refusal->getDescription().contains (c.reason)) << refusal->getDescription();
        }

        if (c.made)
            fs::remove (bytesOf (folder) + "/" + c.name);

        EXPECT_EQ (std::distance (fs::directory_iterator (bytesOf (folder)), fs::directory_iterator()), 1);
        EXPECT_FALSE (fs::exists (bytesOf (chooser.root) + "/esc"));
    }
}
