#include "ModuleThreads.h"

#include <dlfcn.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <mutex>
#include <vector>

namespace
{
    std::mutex& threadsLock()
    {
        static std::mutex lock;
        return lock;
    }

    std::vector<pthread_t>& adoptedThreads()
    {
        static std::vector<pthread_t> threads;
        return threads;
    }

    /** Keeps the module that holds this code mapped until the process ends. */
    void pinModule()
    {
        Dl_info info {};

        if (dladdr (reinterpret_cast<void*> (&pinModule), &info) != 0 && info.dli_fname != nullptr)
            dlopen (info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
}

void ModuleThreads::adopt (pthread_t thread)
{
    const std::lock_guard<std::mutex> guard (threadsLock());
    auto& threads = adoptedThreads();

    threads.erase (std::remove_if (threads.begin(), threads.end(),
                                   [] (pthread_t t) { return pthread_tryjoin_np (t, nullptr) == 0; }),
                   threads.end());
    threads.push_back (thread);
}

bool ModuleThreads::joinAll (int timeoutMilliseconds)
{
    const std::lock_guard<std::mutex> guard (threadsLock());
    auto& threads = adoptedThreads();

    timespec deadline {};
    clock_gettime (CLOCK_REALTIME, &deadline);
    deadline.tv_sec += timeoutMilliseconds / 1000;
    deadline.tv_nsec += static_cast<long> (timeoutMilliseconds % 1000) * 1000000L;

    if (deadline.tv_nsec >= 1000000000L)
    {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }

    threads.erase (std::remove_if (threads.begin(), threads.end(),
                                   [&deadline] (pthread_t t) { return pthread_timedjoin_np (t, nullptr, &deadline) == 0; }),
                   threads.end());

    if (threads.empty())
        return true;

    pinModule();
    return false;
}

int ModuleThreads::getNumAdopted()
{
    const std::lock_guard<std::mutex> guard (threadsLock());
    return static_cast<int> (adoptedThreads().size());
}
