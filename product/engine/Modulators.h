#pragma once

#include "EnvelopeGenerator.h"
#include "LfoGenerator.h"
#include "PeakFollower.h"
#include "SampleRateConstants.h"
#include "TransientDetector.h"

#include <vector>

/** The engine's two modulators, "MOD 1" and "MOD 2", and the per-run buffers
    that the delay lines read their modulation from.

    Each modulator has a left and a right LFO (the right one may run at a phase
    offset, which makes a stereo LFO), an envelope, a peak follower and a
    transient detector. All of them run on every sample whatever type the
    modulator is set to, so that switching the type never restarts anything; the
    type only decides which buffers a line reads.

    A modulator restarts (LFO phases to 0, a new attack) on a MIDI note through
    retrigger(), or on a transient of the input when its retrigger mode asks for it.
*/
class Modulators
{
public:
    static constexpr int numModulators = 2;

    enum Type
    {
        lfoType = 0,
        envelopeType = 1,
        peakType = 2
    };

    enum RetriggerMode
    {
        retriggerOff = 0,
        retriggerOnNote = 1,
        retriggerOnTransient = 2
    };

    /** The eight per-run buffers, each one value in 0..1 per sample of the run. */
    enum BufferIndex
    {
        mod1LfoLeft = 0,
        mod2LfoLeft,
        mod1LfoRight,
        mod2LfoRight,
        mod1Envelope,
        mod2Envelope,
        mod1Peak,
        mod2Peak,
        numBuffers
    };

    /** What a line takes from a modulator: its two modulation buffers and whether
        its delay-time modulation needs smoothing (everything but a triangle or
        sine LFO has steps or corners that would click in the delay time).
    */
    struct Source
    {
        const float* left = nullptr;    // both null when the modulator's type is unknown:
        const float* right = nullptr;   // the line then keeps the buffers it has
        bool smoothTime = true;
    };

    /** Both modulators LFOs, each LFO a free-running triangle at 0 Hz. The buffers
        stay empty until prepare().
    */
    Modulators();

    /** Takes a new rate and block size: the buffers are re-allocated (so lines must
        take their sources again), the LFO phases and the LFO output smoothing start
        from 0, the transient levels are cleared and every coefficient is
        recomputed. Envelope and peak values carry over.
    */
    void prepare (const SampleRateConstants& rates, int blockSize);

    /** Restarts the four LFOs: phase 0 and a new sample-and-hold value. */
    void reset() noexcept;

    /** Runs every generator for numSamples input frames (for a mono input pass
        the same buffer twice) and writes the eight buffers. numSamples must not
        exceed the block size given to prepare(); any excess is not rendered.
    */
    void process (const float* inputLeft, const float* inputRight, int numSamples) noexcept;

    /** Restarts a modulator's LFOs and envelope; acts from the next sample
        rendered. Any modulator number but 0 or 1 is ignored.
    */
    void retrigger (int modulator) noexcept;

    /** Puts a tempo-synced modulator's LFOs at the phase of the clock position:
        the fraction of positionInBeats × cyclesPerBeat. A free-running modulator
        is left alone, as is any modulator number but 0 or 1.
    */
    void rephase (int modulator, double positionInBeats, double cyclesPerBeat) noexcept;

    /** The buffers and smoothing of a modulator (0 or 1) for its current type and waveform. */
    Source getSource (int modulator) const noexcept;

    const float* getBuffer (int bufferIndex) const noexcept     { return buffers[bufferIndex].data(); }

    //==============================================================================
    void setType (int modulator, int newType) noexcept                  { types[modulator] = newType; }
    int getType (int modulator) const noexcept                          { return types[modulator]; }
    void setRetriggerMode (int modulator, int newMode) noexcept         { retriggerModes[modulator] = newMode; }

    /** These set both LFOs of the modulator. */
    void setLfoWaveform (int modulator, int waveformCode) noexcept;
    void setLfoInvert (int modulator, bool shouldInvert) noexcept;
    void setLfoTempoSync (int modulator, bool shouldSync) noexcept;
    void setLfoFrequency (int modulator, double hertz) noexcept;
    void setLfoTempoRate (int modulator, double cyclesPerBeat) noexcept;
    double getLfoTempoRate (int modulator) const noexcept              { return lfos[modulator].getRateMultiplier(); }

    /** Moves the modulator's right LFO this many radians after its left one. */
    void setLfoPhaseShift (int modulator, double radians) noexcept;

    /** The host tempo for all four LFOs. */
    void setTempo (double beatsPerMinute) noexcept;

    /** 0 MOD 1 left, 1 MOD 2 left, 2 MOD 1 right, 3 MOD 2 right. */
    const LfoGenerator& getLfo (int index) const noexcept               { return lfos[index]; }
    EnvelopeGenerator& getEnvelope (int modulator) noexcept             { return envelopes[modulator]; }
    PeakFollower& getPeakFollower (int modulator) noexcept              { return peakFollowers[modulator]; }
    TransientDetector& getTransientDetector (int modulator) noexcept    { return transientDetectors[modulator]; }

    //==============================================================================
    /** True when the modulator's transient detector restarted it during the last process(). */
    bool wasRetriggeredByTransient (int modulator) const noexcept       { return transientRetriggered[modulator]; }

    /** True while the modulator's left LFO is in the first half of its cycle. */
    bool isLfoInFirstHalf (int modulator) const noexcept;

    float getTransientLevel (int modulator) const noexcept              { return transientDetectors[modulator].getLevel(); }

private:
    LfoGenerator& leftLfo (int modulator) noexcept                      { return lfos[modulator]; }
    LfoGenerator& rightLfo (int modulator) noexcept                     { return lfos[modulator + numModulators]; }

    LfoGenerator lfos[2 * numModulators];
    EnvelopeGenerator envelopes[numModulators];
    PeakFollower peakFollowers[numModulators];
    TransientDetector transientDetectors[numModulators];

    // Softens the LFOs' steps and corners; lanes in the order of the LFOs.
    float lfoSmoothed[2 * numModulators] = {};
    float lfoSmoothingCoefficient = 0.05f;

    std::vector<float> buffers[numBuffers];
    int blockCapacity = 0;

    int types[numModulators] = { lfoType, lfoType };
    int retriggerModes[numModulators] = { retriggerOff, retriggerOff };
    bool transientRetriggered[numModulators] = {};
};
