#include "MidiEventQueue.h"

MidiEventQueue::MidiEventQueue()
{
    rewind();
}

void MidiEventQueue::reserve (int numBytesPerBuffer)
{
    const auto numBytes = (size_t) juce::jmax (0, numBytesPerBuffer);
    bufferA.ensureSize (numBytes);
    bufferB.ensureSize (numBytes);
    rewind();
}

void MidiEventQueue::clear()
{
    // MidiBuffer::clear keeps the storage, so the reserved room survives.
    bufferA.clear();
    bufferB.clear();
    rewind();
}

void MidiEventQueue::addEvents (const juce::MidiBuffer& events)
{
    // The buffer is sorted by time, so the events before the block's start lead it.
    for (auto it = events.findNextSamplePosition (0); it != events.cend(); ++it)
    {
        const auto event = *it;
        readBuffer->addEvent (event.data, event.numBytes, event.samplePosition);
    }

    rewind();
}

bool MidiEventQueue::popEventAt (int sample, juce::MidiMessageMetadata& event) noexcept
{
    if (! hasEvents)
        return false;

    if (! pending)
    {
        if (iterator == readBuffer->cend())
        {
            hasEvents = false;
            return false;
        }

        eventSample = (*iterator).samplePosition;
        pending = true;
    }

    // An event can only lie before the current sample if the caller skipped
    // samples; handing it out late beats holding up every event behind it.
    if (eventSample > sample)
        return false;

    event = *iterator;
    ++iterator;
    pending = false;
    return true;
}

void MidiEventQueue::advance (int numSamples)
{
    spareBuffer->clear();

    for (auto it = readBuffer->findNextSamplePosition (numSamples); it != readBuffer->cend(); ++it)
    {
        const auto event = *it;
        spareBuffer->addEvent (event.data, event.numBytes, event.samplePosition - numSamples);
    }

    std::swap (readBuffer, spareBuffer);
    rewind();
}

void MidiEventQueue::rewind() noexcept
{
    iterator = readBuffer->cbegin();
    eventSample = -1;
    pending = false;
    hasEvents = ! readBuffer->isEmpty();
}
