// JUCE starts its threads with pthread_create and detaches them at once. Inside this module the
// detach is replaced: the thread is handed to ModuleThreads instead, which keeps it joinable so
// that the module can wait for it to finish before the host unloads the module's code. The
// definition is local to the module (CorvaneModule.map), so it changes nothing for the host or
// for any other library in the process.

#include "ModuleThreads.h"

extern "C" int pthread_detach (pthread_t thread) noexcept
{
    ModuleThreads::adopt (thread);
    return 0;
}
