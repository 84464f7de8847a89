#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <sys/types.h>
#include <vector>

/**
    A program that the plug-in starts and follows to its end, reading what it prints.

    The plug-in does not own its process's handling of child processes: a host may ignore
    SIGCHLD, so that the system collects every child at once, or collect every child itself,
    and the program's process id may then soon belong to another process. So the program's
    end is learned from a process descriptor where the system has one (without one, a child
    that cannot be waited for counts as ended), it is signalled only through that descriptor
    or while it is known not to have been collected, and it is collected here where the host
    does not. The program ends with the process that started it.

    The program takes nothing of its host but the environment it is given: it has its output
    pipe and /dev/null as descriptors 0-2 and no other descriptor, and a session of its own.
    Nothing here waits on a descriptor that another child of the host may hold a copy of.
*/
class ChildProgram
{
public:
    ChildProgram() = default;

    /** Ends the program at once if it still runs. */
    ~ChildProgram();

    /** Starts the program at path with the arguments (the first being its name) and the
        environment, its output read here and its input and errors on /dev/null. Returns
        false when no process could be made for it. Whether the program itself could be
        started is known once its process has ended (couldNotStart): learning it sooner would
        mean waiting on a descriptor that other processes may hold.
    */
    bool start (const std::string& path, const std::vector<std::string>& arguments,
                const std::vector<std::string>& environment);

    /** Appends what the program has printed since the last call, without waiting. */
    void readOutput (std::string& printed);

    /** Whether the program has ended, without waiting; once it has, all that it printed
        can be read.
    */
    bool hasEnded();

    /** Whether the program that has ended is known to have failed: it exited with another
        status than 0 or was killed. How a program that the host collected ended is unknown.
    */
    bool hasFailed() const noexcept     { return failed; }

    /** Whether the process that has ended could not run the program (it did not exist, could
        not be executed, or descriptors 0-2 could not be set up for it).
    */
    bool couldNotStart() const noexcept     { return notStarted; }

private:
    void forgetChild();

    pid_t child = 0;
    int processDescriptor = -1;
    int output = -1;
    int startReport = -1;
    bool failed = false, notStarted = false;

    JUCE_DECLARE_NON_COPYABLE (ChildProgram)
};
