#pragma once

#include <atomic>

/**
    The MIDI note that restarts one modulator, and the state of learning that note.

    Parameter changes write these on any thread; the audio thread reads them between
    the runs of a block, so every field is an atomic word.
*/
struct RetriggerSettings
{
    /** The note, 0 to 127. */
    std::atomic<int> note { 0 };

    /** The MIDI channel, 1 to 16, or 0 for any channel. */
    std::atomic<int> channel { 0 };

    /** 1 while the next note-on is to be learnt. */
    std::atomic<int> learn { 0 };

    /** 1 when learning stored a new note that its parameter does not show yet. */
    std::atomic<int> learnt { 0 };

    /** True when a message on this MIDI channel (1 to 16) concerns these settings. */
    bool acceptsChannel (int midiChannel) const noexcept
    {
        const auto wanted = channel.load();
        return wanted == 0 || wanted == midiChannel;
    }
};
