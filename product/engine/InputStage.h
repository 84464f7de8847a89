#pragma once

#include "BiquadFilter.h"
#include "HalfBandStage.h"

/** The stage a signal passes on its way into a delay line: a resonant filter before
    or after a tanh overdrive, both at four times the sample rate between two pairs
    of half-band stages, then a colour band-pass around 2 kHz that adds or removes
    presence in the overdriven sound.
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

    /** Computes the colour band-pass; once per run is enough, its frequency never moves. */
    void updateColour() noexcept;

    /** Processes one sample of a channel (0 left, 1 right). cutoffSemitones places the
        filter (semitones above 22 Hz) and is read only when the filter is on.
    */
    float processSample (int channel, float x, const Settings& settings,
                         float cutoffSemitones, float resonance,
                         const float* semitoneTable, const float* fineTuneTable) noexcept;

    BiquadFilter inputFilter, colourFilter;

private:
    HalfBandStage up1[2], up2[2], down1[2], down2[2];
};
