#include "Clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace
{
    struct Edge
    {
        int tick;
        bool low;

        bool operator== (const Edge& other) const   { return tick == other.tick && low == other.low; }
    };

    using Edges = std::vector<Edge>;

    void PrintTo (const Edge& e, std::ostream* os)    { *os << (e.low ? "low@" : "high@") << e.tick; }

    // Ticks the clock numTicks times and lists the edges.
    Edges collectEdges (Clock& clock, int numTicks)
    {
        Edges edges;

        for (int t = 0; t < numTicks; ++t)
            if (clock.tick())
                edges.push_back ({ t, clock.isLow() });

        return edges;
    }

    void startAt120 (Clock& clock, double ppq)
    {
        clock.setBpm (120.0);
        clock.start (ppq);
        ASSERT_TRUE (clock.isRunning());
    }

    void pumpMessages()
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    }
}

TEST (Clock, EdgesFromTheStartOfTheSong)
{
    Clock clock;
    startAt120 (clock, 0.0);

    // The first sample at or past 0, 0.125, 0.25, 0.375 and 0.5 beats.
    EXPECT_EQ (collectEdges (clock, 11100), (Edges { { 0, true }, { 2757, false }, { 5513, true }, { 8269, false }, { 11025, true } }));
    EXPECT_FALSE (clock.wasFirstEdge());
    EXPECT_NEAR (clock.getLastEdgePosition(), 0.5, 1e-9);
}

TEST (Clock, EdgesFromTheMiddleOfADivision)
{
    Clock clock;
    startAt120 (clock, 0.3);

    // 0.3 lies in the low part of [0.25, 0.5]: low at once, then 0.375, 0.5, 0.625.
    EXPECT_EQ (collectEdges (clock, 7200), (Edges { { 0, true }, { 1654, false }, { 4410, true }, { 7167, false } }));
}

TEST (Clock, PreRollGivesNoEdgeBeforePositionZero)
{
    Clock clock;
    startAt120 (clock, -0.25);    // 5512.5 samples before the song starts

    const auto edges = collectEdges (clock, 8300);
    ASSERT_FALSE (edges.empty());
    EXPECT_EQ (edges.front(), (Edge { 5513, true }));
    EXPECT_EQ (edges.size(), 2u);   // and high 0.125 beats later
}

TEST (Clock, StoppedClockNeitherTicksNorAdvances)
{
    Clock clock;
    clock.setBpm (120.0);

    for (int t = 0; t < 100; ++t)
        ASSERT_FALSE (clock.tick());

    EXPECT_EQ (clock.getPosition(), 0.0);

    clock.start (1.0);
    collectEdges (clock, 500);
    clock.stop();

    EXPECT_FALSE (clock.isRunning());
    EXPECT_EQ (clock.getPosition(), 0.0);
    EXPECT_FALSE (clock.isLow());
    EXPECT_FALSE (clock.isHigh());
    EXPECT_FALSE (clock.tick());
    EXPECT_EQ (clock.getPosition(), 0.0);
}

TEST (Clock, NearerDivisionStart)
{
    struct Case { double ppq; bool nearer; };

    // With 4 divisions per beat: x = 2.25, 2.75 and exactly 3.0.
    for (auto c : { Case { 0.5625, true }, Case { 0.6875, false }, Case { 0.75, false } })
    {
        Clock clock;
        startAt120 (clock, c.ppq);
        EXPECT_EQ (clock.isNearerDivisionStart(), c.nearer) << c.ppq;
    }
}

TEST (Clock, RetriggerStartsANewLowPartAtOnce)
{
    Clock clock;
    startAt120 (clock, 0.0);
    collectEdges (clock, 3000);
    ASSERT_TRUE (clock.isHigh());

    clock.retrigger();
    ASSERT_TRUE (clock.tick());
    EXPECT_TRUE (clock.isLow());
    EXPECT_TRUE (clock.wasFirstEdge());

    EXPECT_EQ (collectEdges (clock, 2800), (Edges { { 2756, false } }));
}

TEST (Clock, DivisionChangeTakesEffectAtTheNextTick)
{
    Clock clock;
    startAt120 (clock, 0.0);
    collectEdges (clock, 3000);
    ASSERT_TRUE (clock.isHigh());

    // Now half-beat divisions: high in the new low part, it stays high to the end
    // of the division at 0.5 beats, then follows the new grid.
    // (0.5 beats is a whole number of samples, so the accumulated position may take
    // the edge a sample later.)
    clock.setDivisionsPerBeat (2.0);
    const auto edges = collectEdges (clock, 14000);
    ASSERT_EQ (edges.size(), 2u);
    EXPECT_NEAR (edges[0].tick, 11025 - 3000, 1);
    EXPECT_TRUE (edges[0].low);
    EXPECT_NEAR (edges[1].tick, 16538 - 3000, 1);
    EXPECT_FALSE (edges[1].low);
}

TEST (Clock, DoesNotRunWithoutAUsableTempo)
{
    Clock clock;
    clock.start (0.0);    // no tempo yet
    EXPECT_FALSE (clock.isRunning());

    for (double bpm : { 0.0, -120.0, std::nan (""), (double) INFINITY })
    {
        clock.setBpm (bpm);
        clock.start (0.0);
        EXPECT_FALSE (clock.isRunning()) << bpm;
        EXPECT_FALSE (clock.tick());
    }

    clock.setBpm (120.0);
    clock.start (std::nan (""));
    EXPECT_FALSE (clock.isRunning());

    clock.start (0.0);
    ASSERT_TRUE (clock.isRunning());
    EXPECT_TRUE (clock.tick());

    // A tempo that turns unusable stops the clock at its next tick.
    clock.setBpm (0.0);
    EXPECT_FALSE (clock.tick());
    EXPECT_FALSE (clock.isRunning());

    clock.setBpm (90.0);
    clock.start (0.0);
    EXPECT_TRUE (clock.isRunning());
}

TEST (Clock, ExtremeDivisionsKeepTheCountdownInRange)
{
    Clock clock;
    clock.setDivisionsPerBeat (1.0e-9);
    clock.setBpm (1.0e-6);
    clock.start (0.0);
    ASSERT_TRUE (clock.isRunning());

    EXPECT_EQ (collectEdges (clock, 1000), (Edges { { 0, true } }));

    clock.stop();
    clock.setDivisionsPerBeat (1.0e9);
    clock.setBpm (1.0e6);
    clock.start (0.0);
    EXPECT_GT (collectEdges (clock, 1000).size(), 100u);
}

TEST (Clock, SettersFromAnotherThreadWhileTicking)
{
    Clock clock;
    startAt120 (clock, 0.0);

    std::atomic<bool> done { false };
    std::thread writer ([&]
    {
        for (int i = 0; i < 20000; ++i)
        {
            clock.setDivisionsPerBeat (i % 2 == 0 ? 3.0 : 8.0);
            clock.setBpm (i % 3 == 0 ? 140.0 : 97.5);
        }

        clock.setDivisionsPerBeat (4.0);
        clock.setBpm (120.0);
        done = true;
    });

    while (! done)
        clock.tick();

    writer.join();
    EXPECT_TRUE (clock.isRunning());

    // Once the handoff is over the clock runs on the final grid: edges 0.125 beats apart.
    auto edges = collectEdges (clock, 20000);
    ASSERT_GE (edges.size(), 4u);

    for (size_t i = 2; i < edges.size(); ++i)
        EXPECT_NEAR (edges[i].tick - edges[i - 1].tick, 2756.25, 1.0);
}

//==============================================================================
namespace
{
    struct RecordingListener  : public Clock::Listener
    {
        RecordingListener (std::vector<juce::String>& logToUse, juce::String nameToUse)
            : log (logToUse), name (nameToUse) {}

        void clockRunningChanged() override         { log.push_back (name + " running"); }
        void clockEdge (Clock*) override            { log.push_back (name + " edge"); }

        std::vector<juce::String>& log;
        juce::String name;
    };
}

TEST (Clock, ListenersHearOfChangesOnTheMessageThread)
{
    std::vector<juce::String> log;
    RecordingListener first (log, "first"), second (log, "second");

    Clock clock;
    clock.addListener (&first);
    clock.addListener (&second);
    startAt120 (clock, 0.0);
    collectEdges (clock, 6000);    // three edges

    EXPECT_TRUE (log.empty());
    pumpMessages();

    EXPECT_EQ (log, (std::vector<juce::String> { "second running", "first running", "second edge", "first edge" }));

    log.clear();
    clock.removeListener (&second);
    clock.stop();
    pumpMessages();
    EXPECT_EQ (log, std::vector<juce::String> { "first running" });

    clock.removeListener (&first);
}
