// The render must never reach the heap, neither to allocate nor to release.

#include "AllocationCounter.h"
#include "DelayCore.h"
#include "DelayEngine.h"
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace engine_test;

TEST (EngineAllocation, CounterSeesTheHeap)
{
    AllocationCounter counter;
    int* volatile p = new int (3);   // volatile: the pair may not be optimised away
    delete p;
    EXPECT_EQ (counter.getCount(), 1);
    EXPECT_EQ (counter.getReleaseCount(), 1);
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

    Stereo signal (2048);

    for (int i = 0; i < signal.size(); ++i)
        signal.l[(size_t) i] = signal.r[(size_t) i] = (i / 300) % 2 == 0 ? 0.8f * std::sin (0.03f * (float) i) : 0.0f;

    // Every quality has reads of its own; a reset starts the reads of stale memory.
    for (int quality = 0; quality < 4; ++quality)
    {
        engine.setQuality (quality);

        for (int routing = 0; routing < DelayEngine::numRoutings; ++routing)
        {
            engine.setGlobalParameter (90, entry (routing, DelayEngine::numRoutings));
            auto copy = signal;

            AllocationCounter counter;
            render (engine, copy, 100);                 // within capacity
            render (engine, copy, 2048);                // beyond it: chunked
            render (engine, copy, 256, false, true);
            render (engine, copy, 77, true, false);
            engine.retrigger (1);
            engine.rephaseLfo (0, 3.3, 2.0);
            engine.reset();
            render (engine, copy, 256);
            EXPECT_EQ (counter.getCount(), 0) << "quality " << quality << ", routing " << routing;
            EXPECT_EQ (counter.getReleaseCount(), 0) << "quality " << quality << ", routing " << routing;
        }
    }
}
