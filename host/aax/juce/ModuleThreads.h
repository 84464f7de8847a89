#pragma once

#include <pthread.h>

/**
    The threads that JUCE starts inside the module.

    JUCE detaches its threads, so once one has been asked to stop there is no telling when it has
    really left the module's code, and unloading the module while it has not would crash the
    host. The module therefore keeps them joinable instead (its own pthread_detach hands them
    here), and before it lets the host unload it, it joins every one.
*/
class ModuleThreads
{
public:
    /** Takes a thread that would have been detached; threads adopted earlier that have finished
        are joined on the way.
    */
    static void adopt (pthread_t thread);

    /** Joins every adopted thread. A thread still running after the time-out keeps the module
        loaded for good (it cannot be unloaded under it), and the answer is false.
    */
    static bool joinAll (int timeoutMilliseconds);

    static int getNumAdopted();
};
