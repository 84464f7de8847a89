#pragma once

#include <atomic>
#include <cstdint>

/** The values the engine publishes for the editor's meters and lamps.

    The audio thread stores each one with an atomic exchange at the end of every
    render; other threads read them without a lock. Levels are floats, flags
    are 0 or 1. The two "...Flag" members are only ever set to 1 by the engine:
    whoever reads one takes it back to 0 (an exchange with 0), so a short event
    between two reads is never missed. Every other member is rewritten by every
    render.
*/
struct EngineIndicators
{
    /** Output meters, left and right, 0..1 (−60 dB to +6 dB). */
    std::atomic<float> outputLevel[2] {};

    /** 1 for half a second after an output sample went above full scale. */
    std::atomic<std::int32_t> outputClip[2] {};

    /** Line meters in LED steps 0..1: line 1 left, line 1 right, ..., line 4 right. */
    std::atomic<float> lineLevel[8] {};

    /** Transient detector level of MOD 1 and MOD 2: 0 at 0 dB, 1 at −64 dB. */
    std::atomic<float> transientLevel[2] {};

    /** Set when the transient detector of MOD 1 / MOD 2 fired and retriggered
        its modulator (only in the "Transient" retrigger mode).
    */
    std::atomic<std::int32_t> transientHitFlag[2] {};

    /** Peak follower of MOD 1 and MOD 2, 0..1 (the first sample of the last run). */
    std::atomic<float> peakLevel[2] {};

    /** 1 while the left LFO of MOD 1 / MOD 2 is in the first half of its cycle. */
    std::atomic<std::int32_t> lfoFirstHalf[2] {};

    /** Set whenever MOD 1 / MOD 2 restarted, by a MIDI note or by a transient. */
    std::atomic<std::int32_t> modulatorRestartFlag[2] {};
};
