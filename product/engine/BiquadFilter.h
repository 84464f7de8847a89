#pragma once

#include "FilterTables.h"
#include "SampleRateConstants.h"

#include <memory>

/** A stereo biquad (RBJ cookbook responses, direct form I) whose frequency and Q
    are set as normalised values over fixed ranges. Sine and cosine of the filter
    frequency come from tables in half-hertz steps, so no trigonometric call is made
    while the audio runs.
*/
class BiquadFilter
{
public:
    /** Response codes. */
    enum Code
    {
        pass = 0,
        lowPass = 1,
        bandPass = 2,        // constant skirt gain
        bandPassPeak = 3,    // 0 dB peak
        highPass = 4
    };

    BiquadFilter (float minFrequency, float maxFrequency, float minQ, float maxQ, int tableSize, int code);

    /** Sets the unit's own rate (taking the sine and cosine tables for it) and
        clears the states.
    */
    void prepare (double sampleRate);

    /** Sets the response code and clears the states. */
    void setCode (int newCode) noexcept;
    int getCode() const noexcept   { return code; }

    /** Clears both channels' states. */
    void clear() noexcept;

    /** Computes both channels' coefficients for normalised cutoff and resonance
        (each 0..1 over the unit's frequency and Q ranges).
    */
    void setCutoff (float normalisedCutoff, float normalisedResonance) noexcept;

    /** Computes one channel's coefficients for a frequency given in semitones above
        22 Hz, read from the engine's pitch tables (the position is kept inside them).
        Each channel keeps its own coefficients, so that a modulation that differs
        between the sides never makes them recompute each other's.
    */
    void setCutoffSemitones (int channel, float semitones, float normalisedResonance,
                             const float* semitoneTable, const float* fineTuneTable) noexcept;

    /** Computes both channels' coefficients directly; frequency in Hz. */
    void setCoefficients (float frequency, float q) noexcept;

    /** Filters one sample of channel 0 (left) or 1 (right). */
    float processSample (int channel, float x) noexcept
    {
        auto& s = states[channel];
        const float y = nextOutput (coefficients[channel], s, x);
        s.x2 = s.x1;
        s.x1 = x;
        s.y2 = s.y1;
        s.y1 = y;
        return y;
    }

    /** Filters count consecutive samples of one channel in place, with the state
        in locals meanwhile.
    */
    void process (int channel, float* values, int count) noexcept
    {
        const auto c = coefficients[channel];
        auto s = states[channel];

        for (int i = 0; i < count; ++i)
        {
            const float x = values[i];
            const float y = nextOutput (c, s, x);
            s.x2 = s.x1;
            s.x1 = x;
            s.y2 = s.y1;
            s.y1 = y;
            values[i] = y;
        }

        states[channel] = s;
    }

    /** Filters count samples of both channels in place, in one pass with the states
        in locals: each channel's chain of dependent steps fills the other's gaps.
        The same samples as processSample() on each channel in turn.
    */
    void processStereo (float* left, float* right, int count) noexcept
    {
        const auto l = coefficients[0];
        const auto r = coefficients[1];
        auto sl = states[0], sr = states[1];

        for (int i = 0; i < count; ++i)
        {
            const float xl = left[i], xr = right[i];
            const float yl = nextOutput (l, sl, xl);
            const float yr = nextOutput (r, sr, xr);
            sl = { xl, sl.x1, yl, sl.y1 };
            sr = { xr, sr.x1, yr, sr.y1 };
            left[i] = yl;
            right[i] = yr;
        }

        states[0] = sl;
        states[1] = sr;
    }

    float getFrequency (int channel = 0) const noexcept     { return coefficients[channel].frequency; }
    float getQ (int channel = 0) const noexcept             { return coefficients[channel].q; }

    /** A channel's normalised coefficients (divided by a0), for inspection. */
    void getCoefficients (double& b0, double& b1, double& b2, double& a1, double& a2, int channel = 0) const noexcept;

    SampleRateConstants rateConstants;

private:
    friend class InputStageGroup;

    /** One channel's coefficients, with what they were last computed from: the
        table entry, Q and response (and the semitones and resonance when they came
        through setCutoffSemitones; NaN otherwise, which matches nothing).
    */
    struct Coefficients
    {
        double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
        float frequency = 0.0f, q = 1.0f;
        int cachedIndex = -1, cachedCode = -1;
        float cachedQ = 0.0f, cachedSemitones = 0.0f, cachedResonance = 0.0f;
    };

    void computeCoefficients (Coefficients&, float frequency, float q) noexcept;

    struct State { float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f; };

    /** The direct form I sum in double, rounded to the float the state keeps. The
        last output's term comes last: each step waits on the step before it, and
        this way only through one multiply and one subtraction.
    */
    static float nextOutput (const Coefficients& c, const State& s, float x) noexcept
    {
        return (float) (c.b0 * x + c.b1 * s.x1 + c.b2 * s.x2 - c.a2 * s.y2 + 1e-20 - c.a1 * s.y1);
    }

    int code;
    float minFrequency, frequencyRange;
    float minQ, qRange;
    int tableSize;
    std::shared_ptr<const FilterTables> tables;

    State states[2];
    Coefficients coefficients[2];
    int highestIndex = 0;
};
