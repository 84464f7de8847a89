#include "PreDelayCore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace
{
    void setSynced (CorvaneDelayLine& line, double bpm, int numerator, int denominator, int scaleIndex)
    {
        line.bpm = bpm;
        line.tempoSync = true;
        line.numeratorL = line.numeratorR = numerator;
        line.denominatorL = line.denominatorR = denominator;
        line.setScaleL (scaleIndex);
        line.setScaleR (scaleIndex);
        line.update();
    }

    /** Lets the smoothed lengths settle, then returns the delay of an impulse on each channel. */
    void measureImpulseDelay (PreDelayCore& core, int settleSamples, int maxDelay, int& delayL, int& delayR)
    {
        std::vector<float> l ((size_t) 4096, 0.0f), r ((size_t) 4096, 0.0f);

        for (int done = 0; done < settleSamples; done += 4096)
            core.process (l.data(), r.data(), l.data(), r.data(), 4096);

        delayL = delayR = -1;

        for (int t = 0; t <= maxDelay; ++t)
        {
            float inL = t == 0 ? 1.0f : 0.0f, inR = t == 0 ? -1.0f : 0.0f, outL, outR;
            core.process (&inL, &inR, &outL, &outR, 1);

            if (outL == 1.0f) delayL = t;
            if (outR == -1.0f) delayR = t;
        }
    }
}

TEST (CorvaneDelayLine, FreeTimesScaleTheSampleRateLessAMargin)
{
    PreDelayCore line;
    EXPECT_EQ (line.bufferLength, 88200);
    EXPECT_FLOAT_EQ (line.lengthL, 4406.8f);

    line.timeL = 1.0f;
    line.timeR = 0.5f;
    line.update();
    EXPECT_EQ (line.lengthL, 44068.0f);
    EXPECT_EQ (line.lengthR, 22034.0f);

    line.joinChannels = true;
    line.update();
    EXPECT_EQ (line.lengthR, 44068.0f);
    EXPECT_EQ (line.timeR, 0.5f) << "the right time is kept for when the channels are split again";

    line.joinChannels = false;
    line.update();
    EXPECT_EQ (line.lengthR, 22034.0f);
}

TEST (CorvaneDelayLine, SyncedLengthsFollowTheRhythmicScale)
{
    PreDelayCore line;

    setSynced (line, 120.0, 3, 16, 0);
    EXPECT_FLOAT_EQ (line.lengthL, 16537.5f);
    setSynced (line, 120.0, 3, 16, 1);
    EXPECT_FLOAT_EQ (line.lengthL, 0.5625f * 44100.0f) << "dotted is 1.5 times as long";
    setSynced (line, 120.0, 3, 16, 2);
    EXPECT_FLOAT_EQ (line.lengthL, 0.25f * 44100.0f) << "triplet is 2/3 as long";
    EXPECT_EQ (line.lengthR, line.lengthL);

    line.setScaleL (7);
    EXPECT_DOUBLE_EQ (line.scaleL, 1.5) << "an unknown index leaves the scale";

    line.numeratorR = 1;
    line.joinChannels = true;
    line.update();
    EXPECT_EQ (line.lengthR, line.lengthL);
}

TEST (CorvaneDelayLine, SyncedLengthEdgeCases)
{
    PreDelayCore line;

    setSynced (line, 120.0, 0, 16, 0);
    EXPECT_EQ (line.lengthL, 0.0f) << "numerator 0 means no delay";

    setSynced (line, 20.0, 32, 1, 0);
    EXPECT_EQ (line.lengthL, (float) (line.bufferLength - 1)) << "longer than the buffer";

    setSynced (line, 120.0, 1, 0, 0);
    EXPECT_EQ (line.lengthL, (float) (line.bufferLength - 1)) << "a zero denominator stays finite";

    setSynced (line, 120.0, 1, 4, 0);
    const float valid = line.lengthL;
    EXPECT_FLOAT_EQ (valid, 22050.0f);

    for (double badTempo : { 0.0, -10.0, std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity() })
    {
        setSynced (line, badTempo, 1, 8, 0);
        EXPECT_EQ (line.lengthL, valid) << badTempo;
        EXPECT_EQ (line.lengthR, valid) << badTempo;
    }

    line.tempoSync = false;
    line.update();
    EXPECT_NE (line.lengthL, valid) << "free times do not depend on the tempo";
}

TEST (PreDelayCore, ImpulseComesOutAtTheWholeSampleLength)
{
    PreDelayCore core;
    setSynced (core, 120.0, 1, 16, 0);   // 5512.5 samples
    core.numeratorR = 1;
    core.denominatorR = 32;
    core.update();

    int delayL = 0, delayR = 0;
    measureImpulseDelay (core, 30000, 6000, delayL, delayR);
    EXPECT_EQ (delayL, 5512);
    EXPECT_EQ (delayR, 2756);

    setSynced (core, 120.0, 3, 16, 1);   // 24806.25 samples
    measureImpulseDelay (core, 60000, 25000, delayL, delayR);
    EXPECT_EQ (delayL, 24806);
    EXPECT_EQ (delayR, 24806);

    core.tempoSync = false;
    core.joinChannels = false;
    core.timeL = 0.1f;    // 4406.8 samples
    core.timeR = 0.05f;   // 2203.4 samples
    core.update();
    measureImpulseDelay (core, 60000, 5000, delayL, delayR);
    EXPECT_EQ (delayL, 4406);
    EXPECT_EQ (delayR, 2203);
}

TEST (PreDelayCore, NumeratorZeroPassesTheInputThrough)
{
    PreDelayCore core;
    setSynced (core, 120.0, 0, 16, 0);

    std::vector<float> l (512), r (512);

    for (size_t i = 0; i < l.size(); ++i)
    {
        l[i] = std::sin ((float) i * 0.1f);
        r[i] = std::cos ((float) i * 0.3f);
    }

    const auto inL = l, inR = r;
    core.process (l.data(), r.data(), l.data(), r.data(), (int) l.size());
    EXPECT_EQ (l, inL);
    EXPECT_EQ (r, inR);
}

TEST (PreDelayCore, LongLengthsAtHighRatesArriveOnTime)
{
    // A float smoother would stall about 100 samples short of a 7.3 s target at 192 kHz.
    PreDelayCore core;
    core.resize (192000.0f, 512, 15);
    setSynced (core, 33.0, 1, 1, 0);   // 1396363.6 samples
    EXPECT_FLOAT_EQ (core.lengthL, 1396363.625f);

    int delayL = 0, delayR = 0;
    measureImpulseDelay (core, 192000 * 2, 1396400, delayL, delayR);
    EXPECT_EQ (delayL, 1396363);
    EXPECT_EQ (delayR, 1396363);
}

TEST (PreDelayCore, ShrinkingResizeKeepsReadsInsideTheBuffer)
{
    PreDelayCore core;
    core.resize (192000.0f, 512, 15);
    setSynced (core, 20.0, 32, 1, 0);
    EXPECT_EQ (core.lengthL, (float) (core.bufferLength - 1));

    std::vector<float> l (4096, 0.5f), r (4096, 0.5f);

    for (int i = 0; i < 100; ++i)
        core.process (l.data(), r.data(), l.data(), r.data(), 4096);

    core.resize (44100.0f, 512, 1);
    EXPECT_EQ (core.bufferLength, 44100);
    EXPECT_GT (core.smoothedLengthL, 44100.0) << "the smoothed length carries over the resize";

    // Reads are clamped to the oldest sample: the impulse comes out bufferLength − 1 later.
    int delayL = 0, delayR = 0;
    measureImpulseDelay (core, 0, 44100, delayL, delayR);
    EXPECT_EQ (delayL, 44099);

    core.resize (44100.0f, 512, 1);
    std::fill (l.begin(), l.end(), 0.0f);
    std::fill (r.begin(), r.end(), 0.0f);
    core.process (l.data(), r.data(), l.data(), r.data(), 4096);

    for (float x : l)
        ASSERT_EQ (x, 0.0f) << "a resize clears the buffers";
}

TEST (PreDelayCore, LengthChangesGlide)
{
    PreDelayCore core;
    core.timeL = core.timeR = 0.0f;
    core.update();

    std::vector<float> l (20000, 0.0f), r (20000, 0.0f);
    core.process (l.data(), r.data(), l.data(), r.data(), (int) l.size());

    core.timeL = core.timeR = 0.5f;   // 22034 samples
    core.update();
    core.process (l.data(), r.data(), l.data(), r.data(), 500);

    // One time constant (about 500 samples at 44.1 kHz) covers about 63 % of the way.
    EXPECT_NEAR (core.smoothedLengthL / 22034.0, 1.0 - std::exp (-1.0), 0.01);
}
