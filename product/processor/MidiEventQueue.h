#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

/**
    Hands the processor the MIDI events of an audio block one sample at a time, and
    carries the events that lie beyond the block's end over into the next block.

    Two buffers swap roles at the end of every block, so that after reserve() has
    given them room, nothing here allocates on the audio thread.
*/
class MidiEventQueue
{
public:
    MidiEventQueue();

    /** Gives both buffers room for this many bytes of events (about nine bytes
        for a three-byte message). Call it while not processing.
    */
    void reserve (int numBytesPerBuffer);

    /** Forgets every event, including those carried over from earlier blocks. */
    void clear();

    /** Appends a block's events (those at negative positions are dropped) and
        rewinds the read cursor to the first event held.
    */
    void addEvents (const juce::MidiBuffer& events);

    /** Reads the next event that belongs to the given sample.

        The processor calls it with ascending sample numbers; it answers true (and
        fills event) as long as another event lies at or before that sample. The
        event's data stays valid until the next call to advance(), addEvents() or
        clear().
    */
    bool popEventAt (int sample, juce::MidiMessageMetadata& event) noexcept;

    /** Ends a block of numSamples samples: the events at or beyond its end stay,
        moved earlier by numSamples; the others are dropped.
    */
    void advance (int numSamples);

    /** True when no event is held, carried over or new. */
    bool isEmpty() const noexcept                   { return readBuffer->isEmpty(); }

    /** The number of events held (mostly of interest to tests). */
    int getNumEvents() const noexcept               { return readBuffer->getNumEvents(); }

private:
    void rewind() noexcept;

    juce::MidiBuffer bufferA, bufferB;
    juce::MidiBuffer* readBuffer = &bufferA;
    juce::MidiBuffer* spareBuffer = &bufferB;
    juce::MidiBufferIterator iterator;
    bool hasEvents = false;
    bool pending = false;
    int eventSample = -1;

    JUCE_DECLARE_NON_COPYABLE (MidiEventQueue)
};
