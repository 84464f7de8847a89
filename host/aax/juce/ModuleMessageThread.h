#pragma once

/**
    The module's own JUCE message thread.

    JUCE needs a thread that dispatches its messages (asynchronous updates, timers, the editor's
    events), and on Linux nothing in a host provides one. So the module runs its own, shared by
    every object of the module: the first User starts it and initialises JUCE's user-interface
    subsystem on it, the last one shuts that subsystem down on it and waits until the thread,
    and every other thread that JUCE started inside the module, has really finished. Only then
    can the host be told that the module may be unloaded.

    Work that needs the message thread (making and deleting processors and editors) is done from
    the host's threads under a juce::MessageManagerLock while a User is alive.
*/
class ModuleMessageThread
{
public:
    /** Keeps the message thread running for as long as it exists. */
    class User
    {
    public:
        User();
        ~User();

        User (const User&) = delete;
        User& operator= (const User&) = delete;
    };

    /** True while some User keeps the thread running. */
    static bool isRunning();

private:
    static void acquire();
    static void release();
    static void run();
};
