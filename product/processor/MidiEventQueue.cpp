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
    readBuffer->addEvents (events, 0, -1, 0);
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
    spareBuffer->addEvents (*readBuffer, numSamples, -1, -numSamples);
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
