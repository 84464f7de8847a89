#include <gtest/gtest.h>

#include "MidiEventQueue.h"

#include <utility>
#include <vector>

namespace
{
juce::MidiBuffer makeBuffer (std::initializer_list<std::pair<int, int>> notesAtSamples)
{
    juce::MidiBuffer buffer;

    for (auto [note, sample] : notesAtSamples)
        buffer.addEvent (juce::MidiMessage::noteOn (1, note, (juce::uint8) 100), sample);

    return buffer;
}

// Walks one block as the processor does and records (sample, note) of every event.
std::vector<std::pair<int, int>> walkBlock (MidiEventQueue& queue, int numSamples)
{
    std::vector<std::pair<int, int>> seen;
    juce::MidiMessageMetadata event;

    for (int s = 0; s < numSamples; ++s)
        while (queue.popEventAt (s, event))
            seen.emplace_back (s, event.getMessage().getNoteNumber());

    queue.advance (numSamples);
    return seen;
}

using Seen = std::vector<std::pair<int, int>>;
}

TEST (MidiEventQueue, EventsAreHandedOutAtTheirSampleAndNegativeOnesAreDropped)
{
    MidiEventQueue queue;
    queue.addEvents (makeBuffer ({ { 60, -3 }, { 61, 0 }, { 62, 10 }, { 63, 10 }, { 64, 63 } }));

    EXPECT_EQ (walkBlock (queue, 64), (Seen { { 0, 61 }, { 10, 62 }, { 10, 63 }, { 63, 64 } }));
    EXPECT_TRUE (queue.isEmpty());
}

TEST (MidiEventQueue, EventsBeyondTheBlockCarryIntoLaterBlocks)
{
    MidiEventQueue queue;
    queue.addEvents (makeBuffer ({ { 60, 0 }, { 61, 64 }, { 62, 100 }, { 63, 200 } }));

    EXPECT_EQ (walkBlock (queue, 64), (Seen { { 0, 60 } }));
    EXPECT_EQ (queue.getNumEvents(), 3);

    // The next block brings an event of its own before the carried ones.
    queue.addEvents (makeBuffer ({ { 70, 5 } }));
    EXPECT_EQ (walkBlock (queue, 64), (Seen { { 0, 61 }, { 5, 70 }, { 36, 62 } }));

    queue.addEvents ({});
    EXPECT_EQ (walkBlock (queue, 64), Seen {});
    queue.addEvents ({});
    EXPECT_EQ (walkBlock (queue, 64), (Seen { { 8, 63 } }));
    EXPECT_TRUE (queue.isEmpty());
}

TEST (MidiEventQueue, CarriedEventsKeepTheirOrderAmongNewOnesAtTheSameSample)
{
    MidiEventQueue queue;
    queue.addEvents (makeBuffer ({ { 60, 70 } }));
    walkBlock (queue, 64);

    queue.addEvents (makeBuffer ({ { 61, 6 } }));
    EXPECT_EQ (walkBlock (queue, 64), (Seen { { 6, 60 }, { 6, 61 } }));
}

TEST (MidiEventQueue, AnEmptyQueueGivesNothingAndAdvanceKeepsItEmpty)
{
    MidiEventQueue queue;
    juce::MidiMessageMetadata event;

    EXPECT_FALSE (queue.popEventAt (0, event));
    queue.addEvents (makeBuffer ({ { 60, 3 } }));
    queue.advance (64);
    EXPECT_TRUE (queue.isEmpty());
    EXPECT_FALSE (queue.popEventAt (0, event));
}

TEST (MidiEventQueue, ClearDropsCarriedEvents)
{
    MidiEventQueue queue;
    queue.addEvents (makeBuffer ({ { 60, 500 } }));
    queue.advance (64);
    ASSERT_FALSE (queue.isEmpty());

    queue.clear();
    EXPECT_TRUE (queue.isEmpty());
    EXPECT_EQ (walkBlock (queue, 1024), Seen {});
}

TEST (MidiEventQueue, AnEventBeforeTheCurrentSampleIsNotHeldBack)
{
    // A caller that starts reading late still gets every event, in order.
    MidiEventQueue queue;
    queue.addEvents (makeBuffer ({ { 60, 2 }, { 61, 4 } }));

    juce::MidiMessageMetadata event;
    ASSERT_TRUE (queue.popEventAt (5, event));
    EXPECT_EQ (event.getMessage().getNoteNumber(), 60);
    ASSERT_TRUE (queue.popEventAt (5, event));
    EXPECT_EQ (event.getMessage().getNoteNumber(), 61);
    EXPECT_FALSE (queue.popEventAt (5, event));
}

TEST (MidiEventQueue, LongMessagesSurviveTheCarry)
{
    MidiEventQueue queue;
    const juce::uint8 sysex[] = { 0xf0, 0x7d, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0xf7 };
    juce::MidiBuffer buffer;
    buffer.addEvent (sysex, (int) sizeof (sysex), 80);
    queue.addEvents (buffer);
    queue.advance (64);

    juce::MidiMessageMetadata event;
    ASSERT_TRUE (queue.popEventAt (16, event));
    EXPECT_EQ (event.numBytes, (int) sizeof (sysex));
    EXPECT_EQ (0, memcmp (event.data, sysex, sizeof (sysex)));
}
