#include "ModuleMessageThread.h"

#include "ModuleThreads.h"

#include <juce_events/juce_events.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace
{
    struct SharedThread
    {
        std::mutex lock;
        std::condition_variable started;
        int numUsers = 0;
        bool running = false;
        std::thread thread;
    };

    SharedThread& sharedThread()
    {
        static SharedThread shared;
        return shared;
    }

    // Threads that JUCE started and stopped get this long to leave the module's code.
    constexpr int threadExitTimeoutMilliseconds = 10000;
}

ModuleMessageThread::User::User()     { acquire(); }
ModuleMessageThread::User::~User()    { release(); }

bool ModuleMessageThread::isRunning()
{
    auto& shared = sharedThread();
    const std::lock_guard<std::mutex> guard (shared.lock);
    return shared.running;
}

void ModuleMessageThread::acquire()
{
    auto& shared = sharedThread();
    std::unique_lock<std::mutex> guard (shared.lock);

    if (shared.numUsers++ > 0)
        return;

    shared.thread = std::thread (run);
    shared.started.wait (guard, [&shared] { return shared.running; });
}

void ModuleMessageThread::release()
{
    auto& shared = sharedThread();
    const std::lock_guard<std::mutex> guard (shared.lock);

    if (--shared.numUsers > 0)
        return;

    // The last user going on the message thread itself cannot wait for that thread: it is left
    // running (the module then simply stays busy).
    if (std::this_thread::get_id() == shared.thread.get_id())
    {
        shared.numUsers = 1;
        return;
    }

    // Stopped from the message thread itself: stopDispatchLoop posts the quit message before it
    // marks it posted, so called from here it could still be writing to the message manager
    // that the quitting thread has already deleted.
    if (juce::MessageManager::getInstanceWithoutCreating() != nullptr)
        juce::MessageManager::callAsync ([] { juce::MessageManager::getInstance()->stopDispatchLoop(); });

    shared.thread.join();
    shared.running = false;
    ModuleThreads::joinAll (threadExitTimeoutMilliseconds);
}

void ModuleMessageThread::run()
{
    juce::Thread::setCurrentThreadName ("Module messages");
    juce::initialiseJuce_GUI();

    auto* messageManager = juce::MessageManager::getInstance();
    messageManager->setCurrentThreadAsMessageThread();

    {
        auto& shared = sharedThread();
        const std::lock_guard<std::mutex> guard (shared.lock);
        shared.running = true;
    }

    sharedThread().started.notify_all();
    messageManager->runDispatchLoop();
    juce::shutdownJuce_GUI();
}
