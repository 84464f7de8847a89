#pragma once

#include "IntervalAverager.h"
#include "SampleRateConstants.h"

/** What a delay stage of a line knows about time: free or tempo-synchronised left
    and right times, joined or separate channels, the host tempo, the buffer length
    that follows from the rate and the maximum delay length, and the resulting
    lengths in samples.

    The engine writes the time fields directly and calls update() after each write.
*/
class CorvaneDelayLine
{
public:
    CorvaneDelayLine();
    virtual ~CorvaneDelayLine() = default;

    /** Recomputes lengthL and lengthR from the time fields. */
    virtual void update();

    /** Sets the rate and the maximum delay length; blockSize is not used by the lines. */
    virtual void resize (float sampleRate, int blockSize, int maxDelaySeconds);

    /** Rhythmic scale of a synced time: index 0 "Full", 1 "Dot", 2 "Triplet";
        any other index leaves the scale.
    */
    void setScaleL (int index);
    void setScaleR (int index);

    IntervalAverager tapAveragerL, tapAveragerR;

    double bpm = 120.0;
    double scaleL = 1.0;        // the note fraction is divided by this: 2/3 lengthens, 1.5 shortens
    int numeratorL = 3, denominatorL = 16;
    double scaleR = 1.0;
    int numeratorR = 3, denominatorR = 16;
    bool tempoSync = false;
    bool joinChannels = false;
    float timeL = 0.1f, timeR = 0.1f;   // 0..1; 1 stands for sampleRateInt − 32 samples

    float lengthL = 0.0f, lengthR = 0.0f;
    int bufferLength = 0;
    int sampleRateInt = 0;

    SampleRateConstants rateConstants;

protected:
    /** Below this the longest read of any quality would run off the buffer. */
    static constexpr int minimumBufferLength = 2048;

private:
    static bool scaleForIndex (int index, double& scale) noexcept;
    float syncedLength (int numerator, int denominator, double scale) const noexcept;
};
