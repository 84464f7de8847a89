#pragma once

/** The ballistics of one output meter channel: a peak that falls slowly, two
    smoothing stages that give the needle its weight, and a clip lamp that stays
    lit for half a second after a sample above full scale.
*/
class OutputMeter
{
public:
    /** Recomputes the coefficients for the rate; the meter's state carries over. */
    void prepare (double sampleRate) noexcept;

    /** Feeds two meters their runs of output samples, side by side: each meter's
        steps wait on its own previous step, and the other's fill those waits.
    */
    static void processPair (OutputMeter& first, const float* firstSamples,
                             OutputMeter& second, const float* secondSamples, int numSamples) noexcept;

    /** The smoothed level, 0..1 for −60 dB to +6 dB. */
    float getLevel() const noexcept;

    /** True while the clip hold runs. */
    bool isClipping() const noexcept     { return clipHold > 0.0f; }

private:
    /** A run's working copy of the state, in locals that the samples cannot alias. */
    struct Run
    {
        float peak, stage1, stage2, clipHold, quiet;
    };

    Run startRun (int numSamples) const noexcept;
    void step (Run&, float sample) const noexcept;
    void finishRun (const Run&) noexcept;

    float peakFall = 0.0f, smoothing = 0.0f, clipHoldDecrement = 0.0f;
    float peak = 0.0f, stage1 = 0.0f, stage2 = 0.0f, clipHold = 0.0f;
};
