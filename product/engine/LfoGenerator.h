#pragma once

#include "SampleRateConstants.h"

#include <cstdint>

/** One low-frequency oscillator of a modulator.

    The phase runs in radians. The waveform is read at the effective phase, the
    base phase plus a fixed offset (the right-hand LFO of a stereo pair carries the
    offset). The sample-and-hold waveform draws a new value from its own noise
    generator each time the effective phase wraps; restarts draw one too.

    Whenever the base phase or the offset is set from outside (restart, re-phase,
    prepare, a new offset), the effective phase is set with it, so the very next
    sample is read at the new phase instead of one sample of the old one.
*/
class LfoGenerator
{
public:
    /** Waveform codes, as the engine's settings pass them. */
    enum Waveform
    {
        triangle = 0,
        sine = 1,
        square = 2,
        sawDown = 3,
        smoothSampleAndHold = 5
    };

    /** Prepared for 44.1 kHz, Triangle, phase 0, free-running at 0 Hz. */
    LfoGenerator() noexcept;

    /** Recomputes the increment for the new rate and puts the phase back to 0. */
    void prepare (const SampleRateConstants& rates) noexcept;

    /** Renders count samples: each the waveform at the current phase, mapped to
        0..1, after which the phase advances.
    */
    void process (float* output, int count) noexcept;

    /** Renders one sample. */
    float process() noexcept        { float value; process (&value, 1); return value; }

    /** Base phase 0 and a new sample-and-hold value: the start of a cycle. */
    void restart() noexcept;

    /** Sets the base phase (radians, the offset is added on top) and draws a new
        sample-and-hold value.
    */
    void rephase (double newBasePhase) noexcept;

    void setWaveform (int newWaveformCode) noexcept      { waveform = newWaveformCode; }
    int getWaveform() const noexcept                     { return waveform; }
    void setInvert (bool shouldInvert) noexcept          { invert = shouldInvert; }

    /** The offset in radians between the base phase and the phase the waveform
        is read at; takes effect from the next sample.
    */
    void setPhaseOffset (double newOffset) noexcept;

    /** Each of these recomputes the frequency and the increment (the switch only
        when it changes).
    */
    void setTempoSync (bool shouldSync) noexcept;
    void setRateMultiplier (double cyclesPerBeat) noexcept;
    void setFreeFrequency (double hertz) noexcept;

    /** Takes the host tempo, rounded to single precision; a tempo that only differs
        beyond that precision, or that is not a finite number, changes nothing.
    */
    void setTempo (double beatsPerMinute) noexcept;

    bool isTempoSynced() const noexcept                  { return tempoSync; }
    double getRateMultiplier() const noexcept            { return rateMultiplier; }
    double getBasePhase() const noexcept                 { return basePhase; }
    double getEffectivePhase() const noexcept            { return effectivePhase; }
    double getIncrement() const noexcept                 { return increment; }
    float getSampleAndHoldValue() const noexcept         { return sampleAndHold; }

private:
    template <typename Shape>
    void render (float* output, int count, Shape&& waveformAt) noexcept;

    void drawSampleAndHold() noexcept;
    void setBasePhase (double newBasePhase) noexcept;
    void updateIncrement (double inverseSampleRate) noexcept;

    int waveform = triangle;
    bool invert = false;
    double basePhase = 0.0;
    double phaseOffset = 0.0;
    double effectivePhase = 0.0;
    double increment = 0.0;
    uint32_t noiseA = 0x67452301u;
    uint32_t noiseB = 0xefcdab89u;
    float sampleAndHold = 0.0f;
    bool tempoSync = false;
    double rateMultiplier = 0.0;
    double effectiveFrequency = 0.0;
    double freeFrequency = 0.0;
    double tempo = 0.0;
    double inverseRate = 1.0 / 44100.0;
};
