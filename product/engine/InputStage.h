#pragma once

#include "BiquadFilter.h"
#include "HalfBandStage.h"

/** The stage a signal passes on its way into a delay line: a resonant filter before
    or after a tanh overdrive, both at four times the sample rate between two pairs
    of half-band stages, then a colour band-pass around 2 kHz that adds or removes
    presence in the overdriven sound.

    Both channels go through together, and each unit runs its four oversampled steps
    in a row before the next unit starts: the units' states only depend on their own
    earlier steps, so this gives the same samples as running the chain step by step,
    while the two channels' recursions overlap and the overdrive's eight exponentials
    of a frame run as vector operations.
*/
class InputStage
{
public:
    InputStage();

    /** Sets the rates of the filters and clears every state. */
    void prepare (double sampleRate);

    /** Clears the filter and half-band states. */
    void clear() noexcept;

    /** Clears the half-band states only. */
    void clearHalfBands() noexcept;

    /** The per-sample settings; gains and colour are the core's smoothed values. */
    struct Settings
    {
        bool filterOn = false;              // a filter type other than "Off"
        bool filterPostOverdrive = false;   // "Post Overdrive" rather than "Pre Overdrive"
        bool overdriveOn = false;
        float preampGain = 1.0f;            // linear
        float overdriveGain = 1.0f;         // linear
        float colour = 0.0f;                // −1..2: the band-pass part is added this many times
    };

    /** Processes one frame in place: frame[0] left, frame[1] right. cutoffSemitones
        holds each channel's filter position (semitones above 22 Hz) and is read only
        when the filter is on.
    */
    void processFrame (float* frame, const Settings& settings,
                       const float* cutoffSemitones, float resonance,
                       const float* semitoneTable, const float* fineTuneTable) noexcept;

    BiquadFilter inputFilter, colourFilter;

private:
    friend class InputStageGroup;

    static constexpr int oversampling = 4;

    HalfBandStage up1[2], up2[2], down1[2], down2[2];
};
