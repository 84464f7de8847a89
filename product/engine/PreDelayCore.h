#pragma once

#include "CorvaneDelayLine.h"

#include <vector>

/** The pre-delay of a line: a whole-sample stereo delay whose lengths glide along
    a one-pole curve (about 500 samples at 44.1 kHz) when the time changes.
*/
class PreDelayCore  : public CorvaneDelayLine
{
public:
    PreDelayCore();

    /** Reallocates and clears the buffers; the smoothed lengths carry over. */
    void resize (float sampleRate, int blockSize, int maxDelaySeconds) override;

    /** Renders numSamples samples; in and out may be the same buffers. */
    void process (const float* inL, const float* inR, float* outL, float* outR, int numSamples) noexcept;

    /** Silences both signal buffers: what they hold reads as zero until it is
        overwritten, so the cost does not grow with the buffers.
    */
    void clear() noexcept;

    // Held in double: a float one-pole stalls short of long targets at high rates.
    double smoothedLengthL = 0.0, smoothedLengthR = 0.0;

private:
    static int readLength (double smoothedLength, int bufferLength) noexcept;
    void allocateBuffers();

    std::vector<float> bufferL, bufferR;   // 2·bufferLength, each sample written twice
    int writeIndex = 0;
    int freshWrites = 0;    // samples written since the buffers were last cleared, up to bufferLength
};
