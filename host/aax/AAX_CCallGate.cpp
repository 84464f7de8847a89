#include "AAX_CCallGate.h"

#include <chrono>

AAX_CCallGate::Call::Call (const AAX_CCallGate& g) noexcept
    : gate (g)
{
    // Counted before it looks: a teardown that has just shut the gate either finds this call
    // counted and waits for it, or this call finds the gate shut.
    gate.numCallsInside.fetch_add (1);
    admitted = gate.open.load();

    if (! admitted)
        gate.numCallsInside.fetch_sub (1);
}

AAX_CCallGate::Call::~Call()
{
    if (admitted)
        gate.numCallsInside.fetch_sub (1);
}

AAX_CCallGate::Teardown::Teardown (AAX_CCallGate& g)
    : gate (g)
{
    // Only the thread of the running teardown can find itself named here.
    if (gate.teardownThread.load() == std::this_thread::get_id())
        return;

    gate.teardownLock.lock();
    gate.teardownThread = std::this_thread::get_id();
    owning = true;
    gate.open = false;

    // Most calls are short: a few turns of the processor before sleeping between looks.
    for (int look = 0; gate.numCallsInside.load() != 0; ++look)
    {
        if (look < 100)
            std::this_thread::yield();
        else
            std::this_thread::sleep_for (std::chrono::milliseconds (1));
    }
}

AAX_CCallGate::Teardown::~Teardown()
{
    if (! owning)
        return;

    gate.open = reopen;
    gate.teardownThread = std::thread::id();
    gate.teardownLock.unlock();
}
