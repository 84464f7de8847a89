#pragma once

#include <atomic>
#include <mutex>
#include <thread>

/** Keeps the host's calls into an instance out of its teardown (Uninitialize, Initialize), which
    frees or replaces what they use.

    Calls may run together, on any thread, the audio thread among them: entering never takes a
    lock and never waits. A call is admitted only while the gate is open, that is while the
    instance is initialised and no teardown runs; one that is not admitted answers at once with an
    error. A teardown shuts the gate and waits until no call is inside; teardowns on several
    threads take turns. It waits holding no lock a call could need, and no call ever waits for a
    teardown, so a call that meanwhile waits for the host, a lock of its own or the message thread
    goes on and leaves. A call the teardown itself causes on its own thread (the host calling back
    while a parameter is unregistered) is refused rather than waited for, and so is a teardown
    begun inside another on the same thread.
*/
class AAX_CCallGate
{
public:
    AAX_CCallGate() = default;

    AAX_CCallGate (const AAX_CCallGate&) = delete;
    AAX_CCallGate& operator= (const AAX_CCallGate&) = delete;

    /** One call, inside the gate for its lifetime when it was admitted. */
    class Call
    {
    public:
        explicit Call (const AAX_CCallGate& gate) noexcept;
        ~Call();

        Call (const Call&) = delete;
        Call& operator= (const Call&) = delete;

        explicit operator bool() const noexcept    { return admitted; }

    private:
        const AAX_CCallGate& gate;
        bool admitted = false;
    };

    /** One teardown: for its lifetime the gate is shut and no call is inside. When it ends the
        gate opens only where openAfterwards said so.
    */
    class Teardown
    {
    public:
        explicit Teardown (AAX_CCallGate& gate);
        ~Teardown();

        Teardown (const Teardown&) = delete;
        Teardown& operator= (const Teardown&) = delete;

        /** False for a teardown begun inside another on the same thread: it must do nothing. */
        explicit operator bool() const noexcept    { return owning; }

        void openAfterwards (bool shouldOpen) noexcept    { reopen = shouldOpen; }

    private:
        AAX_CCallGate& gate;
        bool owning = false, reopen = false;
    };

private:
    mutable std::atomic<int> numCallsInside { 0 };
    std::atomic<bool> open { false };
    std::mutex teardownLock;
    std::atomic<std::thread::id> teardownThread {};
};
