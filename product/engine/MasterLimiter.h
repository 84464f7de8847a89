#pragma once

#include "SampleRateConstants.h"

#include <vector>

/** The look-ahead peak limiter at the end of the delay engine.

    Stereo-linked and working in decibels: a soft-knee gain computer, an
    asymmetric attack/release smoother, two cascaded moving averages of the gain
    reduction, and a delay of the audio of about 3.3 ms so that the gain has
    already fallen when the peak it reacts to comes out.

    The look-ahead and the averaging windows are in samples and so depend on the
    sample rate; they are clamped to what the fixed rings can hold, which keeps
    every rate safe (rates outside roughly 6.9 to 289 kHz only lose a little
    look-ahead or smoothing).
*/
class MasterLimiter
{
public:
    /** Prepared for 44.1 kHz; the output gain stays 0 until it is set. */
    MasterLimiter();

    /** Takes a new sample rate, and starts from silent rings.
        The smoothed gain reduction carries over.
    */
    void prepare (float sampleRate);

    /** Clears the audio and gain rings, as prepare does, without changing the rate.
        Call it whenever the limiter is switched on, so that it does not replay
        the audio of its last active period.
    */
    void reset() noexcept;

    /** Limits numSamples samples in place. For a mono signal pass the same
        buffer as left and right.
    */
    void process (float* left, float* right, int numSamples) noexcept;

    void setThresholdDb (float newThresholdDb) noexcept    { thresholdDb = newThresholdDb; }
    void setMakeupGain (float newLinearGain) noexcept      { makeupGain = newLinearGain; }
    void setOutputGain (float newLinearGain) noexcept      { outputGain = newLinearGain; }

private:
    static constexpr int audioRingSize = 960;
    static constexpr int gainRingSize = 128;
    static constexpr int maxHalfWindow = gainRingSize / 2;
    static constexpr int maxStretch = 32;

    /** Limits a stretch short enough that its averages read none of the values it
        writes into the rings.
    */
    void processStretch (float* left, float* right, int numSamples) noexcept;

    /** The averages of count windows of `window` values, the first window starting
        at firstWindow and each next one a value later.
    */
    void averageWindows (const double* firstWindow, int count, double* averages) const noexcept;

    SampleRateConstants rates;

    std::vector<float> audioL, audioR;
    std::vector<double> gainRing1, gainRing2;
    int gainIndex = 0;

    int halfWindow = 10;
    int window = 20;
    double inverseWindow = 1.0 / 20.0;

    int writeIndex = 0;
    int lookAhead = 0;

    float thresholdDb = 0.0f;
    float makeupGain = 1.0f;
    float kneeSlope = 0.5f;
    float kneeWidth = 2.0f;
    float outputGain = 0.0f;

    float gainReduction = 0.0f;
    float attackCoefficient = 0.25f;
    float releaseCoefficient = 0.000444f;
};
