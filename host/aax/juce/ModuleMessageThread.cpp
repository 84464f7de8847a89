#include "ModuleMessageThread.h"

#include "ModuleThreads.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

namespace
{
    // Threads that JUCE started and stopped get this long to leave the module's code.
    constexpr int threadExitTimeoutMilliseconds = 10000;

    struct SharedThread
    {
        /** Ends the message thread, and every thread JUCE started unless the process is exiting;
            called with the lock held, from any thread but the message thread.
        */
        void stop()
        {
            // The message thread ends its own loop. JUCE's stopDispatchLoop and its message queue
            // still touch their objects after posting, which the message thread deletes as soon as
            // it has handled the quit, so the posting thread must be done before the quit is posted.
            std::promise<void> posted;
            auto postingDone = posted.get_future().share();

            juce::MessageManager::callAsync ([postingDone]
            {
                postingDone.wait();
                juce::MessageManager::getInstance()->stopDispatchLoop();
            });

            posted.set_value();
            thread.join();
            running = false;

            if (! processExiting)
                ModuleThreads::joinAll (threadExitTimeoutMilliseconds);
        }

        // A host may exit with an instance still open. A joinable std::thread must not be
        // destroyed, and a message thread left running would call into the module while the
        // process destroys its static objects, so its loop is ended here. JUCE's own shutdown is
        // skipped: part of what it cleans up is already gone, and its threads wait for a stop
        // that only that shutdown gives, so the process ends them.
        ~SharedThread()
        {
            const std::lock_guard<std::mutex> guard (lock);

            if (! thread.joinable())
                return;

            processExiting = true;

            if (std::this_thread::get_id() == thread.get_id())
                thread.detach();
            else
                stop();
        }

        std::mutex lock;
        std::condition_variable started;
        int numUsers = 0;
        bool running = false;
        std::atomic<bool> processExiting { false };
        std::thread thread;
    };

    SharedThread& sharedThread()
    {
        static SharedThread shared;
        return shared;
    }
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

    shared.stop();
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

    if (! sharedThread().processExiting)
        juce::shutdownJuce_GUI();
}
