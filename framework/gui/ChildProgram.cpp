#include "ChildProgram.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
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

    /** The child's part between fork and exec, which may make async-signal-safe calls only. It
        waits for the parent's word that the process descriptor is open, so that its id is still
        its own then; where exec fails, it tells the parent why.
    */
    [[noreturn]] void runProgram (const char* path, char* const* argv, char* const* envp,
                                  int output, int parentSide, pid_t parent)
    {
       #ifdef PR_SET_PDEATHSIG
        // Its answer would go nowhere once the thread that started it has gone.
        ::prctl (PR_SET_PDEATHSIG, SIGKILL);
       #endif

        char word = 0;

        while (::read (parentSide, &word, 1) < 0 && errno == EINTR) {}

        // The parent may have gone before the death signal was asked for.
        if (word != 1 || ::getppid() != parent)
            ::_exit (127);

        if (output == STDOUT_FILENO)
            ::fcntl (output, F_SETFD, 0);
        else
            ::dup2 (output, STDOUT_FILENO);

        const auto nothing = ::open ("/dev/null", O_RDWR);
        ::dup2 (nothing, STDIN_FILENO);
        ::dup2 (nothing, STDERR_FILENO);

        if (nothing > STDERR_FILENO)
            ::close (nothing);

        ::execve (path, argv, envp);

        const int error = errno;
        ::write (parentSide, &error, sizeof (error));
        ::_exit (127);
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

    const auto parent = ::getpid();
    child = ::fork();

    if (child == 0)
    {
        ::close (talk[0]);
        runProgram (path.c_str(), argv.data(), envp.data(), outputEnds[1], talk[1], parent);
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

    // The child's end of the line closes when exec succeeds.
    const char word = 1;
    int error = 0;
    ::send (talk[0], &word, 1, MSG_NOSIGNAL);

    while (::recv (talk[0], &error, sizeof (error), MSG_WAITALL) < 0 && errno == EINTR) {}

    ::close (talk[0]);

    if (error != 0)
    {
        siginfo_t info {};
        waitForChild (child, processDescriptor, info, WEXITED);
        forgetChild();
        ::close (std::exchange (output, -1));
        return false;
    }

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

    failed = result == 0 && ! (info.si_code == CLD_EXITED && info.si_status == 0);
    forgetChild();
    return true;
}

void ChildProgram::forgetChild()
{
    child = 0;

    if (processDescriptor >= 0)
        ::close (std::exchange (processDescriptor, -1));
}
