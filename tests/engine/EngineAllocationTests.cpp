// The render must never reach the heap: every allocation and release made by
// this executable goes through the replaced operators below, which count while
// a test asks them to.

#include "DelayCore.h"
#include "DelayEngine.h"
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

namespace
{
    std::atomic<bool> counting { false };
    std::atomic<long> heapCalls { 0 };

    void* allocate (std::size_t size)
    {
        if (counting.load (std::memory_order_relaxed))
            heapCalls.fetch_add (1, std::memory_order_relaxed);

        if (void* p = std::malloc (size == 0 ? 1 : size))
            return p;

        throw std::bad_alloc();
    }

    void* allocateAligned (std::size_t size, std::align_val_t alignment)
    {
        if (counting.load (std::memory_order_relaxed))
            heapCalls.fetch_add (1, std::memory_order_relaxed);

        const auto a = (std::size_t) alignment;

        if (void* p = std::aligned_alloc (a, (size + a - 1) / a * a))
            return p;

        throw std::bad_alloc();
    }

    void release (void* p) noexcept
    {
        if (p != nullptr && counting.load (std::memory_order_relaxed))
            heapCalls.fetch_add (1, std::memory_order_relaxed);

        std::free (p);
    }

    /** Counts the heap calls made while it lives. */
    struct HeapCallCounter
    {
        HeapCallCounter()     { heapCalls = 0; counting = true; }
        ~HeapCallCounter()    { counting = false; }

        long calls() const    { return heapCalls.load(); }
    };
}

void* operator new (std::size_t size)                                   { return allocate (size); }
void* operator new[] (std::size_t size)                                 { return allocate (size); }
void* operator new (std::size_t size, std::align_val_t a)               { return allocateAligned (size, a); }
void* operator new[] (std::size_t size, std::align_val_t a)             { return allocateAligned (size, a); }
void operator delete (void* p) noexcept                                 { release (p); }
void operator delete[] (void* p) noexcept                               { release (p); }
void operator delete (void* p, std::size_t) noexcept                    { release (p); }
void operator delete[] (void* p, std::size_t) noexcept                  { release (p); }
void operator delete (void* p, std::align_val_t) noexcept               { release (p); }
void operator delete[] (void* p, std::align_val_t) noexcept             { release (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept  { release (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept { release (p); }

using namespace engine_test;

TEST (EngineAllocation, CounterSeesTheHeap)
{
    HeapCallCounter counter;
    auto* p = new int (3);
    delete p;
    EXPECT_EQ (counter.calls(), 2);
}

TEST (EngineAllocation, RenderNeverTouchesTheHeap)
{
    DelayEngine engine;
    engine.prepare (48000.0, 256);
    makeNeutralEngine (engine, 0.05f);

    // Everything that has a code path of its own in the render: filters in both
    // places and in the loop, overdrive, mid/side, modulation of every kind,
    // transients, the limiter.
    for (int line = 0; line < 4; ++line)
    {
        engine.setLineParameter (line, 10, entry (line, 4));
        engine.setLineParameter (line, 6, (float) (line % 2));
        engine.setLineParameter (line, 7, 1.0f);
        engine.setLineParameter (line, 35, 1.0f);
        engine.setLineParameter (line, 3, line == 2 ? 1.0f : 0.0f);
        engine.setLineParameter (line, 39, 0.9f);
        engine.setLineParameter (line, 41, 0.2f);
        engine.setLineParameter (line, 42, (float) (line % 2));
        engine.setLineParameter (line, 43, line >= 2 ? 1.0f : 0.0f);
        engine.setLineParameter (line, 44, 0.6f);
        engine.setLineParameter (line, 45, 0.5f);
        engine.setLineParameter (line, 46, 0.5f);
    }

    engine.setGlobalParameter (48, 1.0f);
    engine.setGlobalParameter (49, 0.5f);
    engine.setGlobalParameter (50, 0.2f);
    engine.setGlobalParameter (51, 0.8f);
    engine.setGlobalParameter (56, 0.0f);
    engine.setGlobalParameter (67, 0.5f);
    engine.setGlobalParameter (87, 1.0f);
    engine.setQuality (3);

    Stereo signal (2048);

    for (int i = 0; i < signal.size(); ++i)
        signal.l[(size_t) i] = signal.r[(size_t) i] = (i / 300) % 2 == 0 ? 0.8f * std::sin (0.03f * (float) i) : 0.0f;

    for (int routing = 0; routing < DelayEngine::numRoutings; ++routing)
    {
        engine.setGlobalParameter (90, entry (routing, DelayEngine::numRoutings));
        auto copy = signal;

        HeapCallCounter counter;
        render (engine, copy, 100);                 // within capacity
        render (engine, copy, 2048);                // beyond it: chunked
        render (engine, copy, 256, false, true);
        render (engine, copy, 77, true, false);
        engine.retrigger (1);
        engine.rephaseLfo (0, 3.3, 2.0);
        render (engine, copy, 256);
        EXPECT_EQ (counter.calls(), 0) << "routing " << routing;
    }
}
