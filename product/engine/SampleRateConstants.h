#pragma once

/** The per-sample-rate numbers shared by the delay lines, the engine and the
    limiter, computed once whenever the sample rate changes.

    The "k" family are one-pole smoothing factors that keep their time constants
    across rates: a coefficient c tuned at 44.1 kHz becomes c·k (k = 1 at 44.1 kHz).
*/
struct SampleRateConstants
{
    /** Starts at 44.1 kHz. */
    SampleRateConstants() noexcept;

    /** Recomputes every field for the rate. rateIndex changes only for the five
        rates it knows (44.1, 48, 88.2, 96 and 192 kHz) and otherwise keeps its
        previous value.
    */
    void compute (double sampleRate) noexcept;

    double sampleRate = 0.0;
    float sampleRateFloat = 0.0f;
    int rateIndex = 0;
    double inverseRate = 0.0;
    float inverseRateFloat = 0.0f;
    double halfInverseRate = 0.0;
    double rateRatio = 0.0;          // sr / 44100
    float rateRatioFloat = 0.0f;
    double k = 0.0;                  // 2·(1 − 0.5^(44100/sr))
    float kFloat = 0.0f;
    double inverseRatio = 0.0;       // 44100 / sr
    double expRatio = 0.0;           // 2^(44100/sr) − 1
    double expRatioRounded = 0.0;    // expRatio at single precision
    double kCubed = 0.0;
    float kCubedFloat = 0.0f;
    double nyquist = 0.0;
    double smooth2 = 0.0;            // k·0.002
    float smooth2Float = 0.0f;
    float smooth5Float = 0.0f;       // k·0.005
    float smooth05Float = 0.0f;      // k·0.0005
    float millisecondFloat = 0.0f;   // samples per millisecond
    double millisecond = 0.0;
    double smooth2b = 0.0;
    float smooth2bFloat = 0.0f;
};
