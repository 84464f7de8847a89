#pragma once

#include "InputStage.h"

/** Runs the input stages of up to four delay lines side by side over a whole run,
    their eight channels as the lanes of vectors.

    Each stage is a chain of recursive filters that must go sample by sample, so a
    single stage spends its time waiting for its own previous step; eight of them
    in lanes wait once. Every lane computes exactly what InputStage::processFrame()
    computes for its channel, step for step, and the stages' states are left as
    that would leave them.
*/
class InputStageGroup
{
public:
    static constexpr int maximumStages = 4;

    /** One line's part of a run: its stage, the stage's input and output per
        channel, and per sample its smoothed gains and (with the filter on) each
        channel's filter position in semitones.
    */
    struct Member
    {
        InputStage* stage = nullptr;
        const float* inputs[2] = {};
        float* outputs[2] = {};
        const float* preampGains = nullptr;
        const float* overdriveGains = nullptr;
        const float* colours = nullptr;
        const float* cutoffSemitones[2] = {};
        float resonance = 0.0f;
    };

    /** Runs numSamples samples of every member's stage. All members share the
        switches of `settings` (its gains are not read); at least one of filter
        and overdrive must be on.
    */
    static void process (const Member* members, int numMembers, const InputStage::Settings& settings, int numSamples,
                         const float* semitoneTable, const float* fineTuneTable) noexcept;

    /** Lets the runs use the processor's widest vector instructions (the default),
        or holds them to the instructions of the plain build, as a processor without
        them would run.
    */
    static void allowWideInstructions (bool shouldAllow) noexcept;
};
