#include "ChildProgram.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined (SYS_pidfd_open) && defined (SYS_pidfd_send_signal)
 #define CORVANE_PROCESS_DESCRIPTORS 1
#else
 #define CORVANE_PROCESS_DESCRIPTORS 0
#endif

namespace
{
    /** A descriptor of the process that waitid can wait on, or -1 where the system has none. */
    int openProcessDescriptor (pid_t pid)
    {
       #if CORVANE_PROCESS_DESCRIPTORS
        const auto descriptor = (int) ::syscall (SYS_pidfd_open, pid, 0);

        if (descriptor < 0)
            return -1;

        // waitid learnt of process descriptors a release of the kernel after pidfd_open.
        siginfo_t info {};

        if (::waitid (P_PIDFD, (id_t) descriptor, &info, WEXITED | WNOHANG | WNOWAIT) == 0)
            return descriptor;

        ::close (descriptor);
       #else
        juce::ignoreUnused (pid);
       #endif
        return -1;
    }

    void killThroughDescriptor (int descriptor)
    {
       #if CORVANE_PROCESS_DESCRIPTORS
        ::syscall (SYS_pidfd_send_signal, descriptor, SIGKILL, nullptr, 0);
       #else
        juce::ignoreUnused (descriptor);
       #endif
    }

    /** waitid for the child, through its descriptor where there is one. */
    int waitForChild (pid_t child, int descriptor, siginfo_t& info, int options)
    {
        info = {};

        for (;;)
        {
           #if CORVANE_PROCESS_DESCRIPTORS
            const auto result = descriptor >= 0 ? ::waitid (P_PIDFD, (id_t) descriptor, &info, options)
                                                : ::waitid (P_PID, (id_t) child, &info, options);
           #else
            const auto result = ::waitid (P_PID, (id_t) child, &info, options);
           #endif

            if (result == 0 || errno != EINTR)
                return result;
        }
    }

    /** Closes the descriptors from first to last, one by one up to the limit where the system
        cannot close a range.
    */
    void closeDescriptors (unsigned int first, unsigned int last, rlim_t limit)
    {
        if (first > last)
            return;

       #ifdef SYS_close_range
        if (::syscall (SYS_close_range, first, last, 0) == 0)
            return;
       #endif

        for (auto descriptor = (rlim_t) first; descriptor <= last && descriptor < limit; ++descriptor)
            ::close ((int) descriptor);
    }

    /** Tells the parent through the report why the program could not be started, and ends. */
    [[noreturn]] void failToStart (int report)
    {
        const int error = errno;
        ::write (report, &error, sizeof (error));
        ::_exit (127);
    }

    /** The child's part between fork and exec, which may make async-signal-safe calls only. It
        waits for the parent's word that the process descriptor is open, so that its id is still
        its own then. It leaves the program descriptors 0-2 only, and the report (closed by exec)
        through which it tells the parent why exec failed, before it ends.
    */
    [[noreturn]] void runProgram (const char* path, char* const* argv, char* const* envp,
                                  int output, int report, pid_t parent, rlim_t descriptorLimit)
    {
       #ifdef PR_SET_PDEATHSIG
        // Its answer would go nowhere once the thread that started it has gone.
        ::prctl (PR_SET_PDEATHSIG, SIGKILL);
       #endif

        char word = 0;

        while (::read (report, &word, 1) < 0 && errno == EINTR) {}

        // The parent may have gone before the death signal was asked for.
        if (word != 1 || ::getppid() != parent)
            ::_exit (127);

        // The host may have closed any of 0-2, so each descriptor to keep is first moved above
        // them, where putting 0-2 in place cannot overwrite it.
        const auto reportAbove = ::fcntl (report, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);

        if (reportAbove < 0)
            failToStart (report);

        report = reportAbove;
        const auto nothing = ::open ("/dev/null", O_RDWR | O_CLOEXEC);
        const auto nothingAbove = nothing < 0 ? -1 : ::fcntl (nothing, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
        const auto outputAbove = ::fcntl (output, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);

        if (nothingAbove < 0 || outputAbove < 0
             || ::dup2 (nothingAbove, STDIN_FILENO) < 0
             || ::dup2 (outputAbove, STDOUT_FILENO) < 0
             || ::dup2 (nothingAbove, STDERR_FILENO) < 0)
            failToStart (report);

        closeDescriptors (STDERR_FILENO + 1, (unsigned int) report - 1, descriptorLimit);
        closeDescriptors ((unsigned int) report + 1, ~0U, descriptorLimit);

        // Out of the host's session, so that what its terminal sends its group does not reach
        // the program.
        ::setsid();

        ::execve (path, argv, envp);
        failToStart (report);
    }
}

ChildProgram::~ChildProgram()
{
    if (child != 0)
    {
        siginfo_t info {};

        // Without a descriptor, only a child that is known to run has not been collected.
        if (processDescriptor >= 0)
            killThroughDescriptor (processDescriptor);
        else if (waitForChild (child, processDescriptor, info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0)
            ::kill (child, SIGKILL);

        waitForChild (child, processDescriptor, info, WEXITED);
    }

    forgetChild();

    if (output >= 0)
        ::close (output);
}

bool ChildProgram::start (const std::string& path, const std::vector<std::string>& arguments,
                          const std::vector<std::string>& environment)
{
    jassert (child == 0);

    std::vector<char*> argv, envp;

    for (auto& a : arguments)      argv.push_back (const_cast<char*> (a.c_str()));
    for (auto& e : environment)    envp.push_back (const_cast<char*> (e.c_str()));

    argv.push_back (nullptr);
    envp.push_back (nullptr);

    int outputEnds[2] = { -1, -1 }, talk[2] = { -1, -1 };

    if (::pipe2 (outputEnds, O_CLOEXEC) != 0)
        return false;

    if (::socketpair (AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, talk) != 0)
    {
        ::close (outputEnds[0]);
        ::close (outputEnds[1]);
        return false;
    }

    // Fetched here: the child may not ask for it between fork and exec.
    rlimit limit {};
    ::getrlimit (RLIMIT_NOFILE, &limit);
    const auto parent = ::getpid();
    child = ::fork();

    if (child == 0)
    {
        ::close (talk[0]);
        runProgram (path.c_str(), argv.data(), envp.data(), outputEnds[1], talk[1], parent, limit.rlim_cur);
    }

    ::close (outputEnds[1]);
    ::close (talk[1]);
    output = outputEnds[0];

    if (child < 0)
    {
        child = 0;
        ::close (talk[0]);
        ::close (std::exchange (output, -1));
        return false;
    }

    processDescriptor = openProcessDescriptor (child);

    // Whether exec succeeded is not waited for: the end of the child's side of the line may be
    // held by any child that another thread forked meanwhile. A failure is read once the child
    // has ended, after which its report is surely there.
    const char word = 1;
    ::send (talk[0], &word, 1, MSG_NOSIGNAL);
    startReport = talk[0];

    ::fcntl (output, F_SETFL, ::fcntl (output, F_GETFL) | O_NONBLOCK);
    return true;
}

void ChildProgram::readOutput (std::string& printed)
{
    char buffer[4096];

    while (output >= 0)
    {
        const auto numRead = ::read (output, buffer, sizeof (buffer));

        if (numRead > 0)
            printed.append (buffer, (size_t) numRead);
        else if (numRead >= 0 || errno != EINTR)
            break;
    }
}

bool ChildProgram::hasEnded()
{
    if (child == 0)
        return true;

    // Through the descriptor, a child that cannot be waited for was collected by the host.
    siginfo_t info {};
    const auto result = waitForChild (child, processDescriptor, info, WEXITED | WNOHANG);

    if (result == 0 && info.si_pid == 0)
        return false;

    int error = 0;
    failed = result == 0 && ! (info.si_code == CLD_EXITED && info.si_status == 0);
    notStarted = ::recv (startReport, &error, sizeof (error), MSG_DONTWAIT) == (ssize_t) sizeof (error);
    forgetChild();
    return true;
}

void ChildProgram::forgetChild()
{
    child = 0;

    if (processDescriptor >= 0)
        ::close (std::exchange (processDescriptor, -1));

    if (startReport >= 0)
        ::close (std::exchange (startReport, -1));
}
