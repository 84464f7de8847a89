#include "BiquadFilter.h"
#include "EngineTables.h"

#include <gtest/gtest.h>

#include <array>

namespace
{
    using Coefficients = std::array<double, 5>;

    Coefficients coefficientsOf (const BiquadFilter& f, int channel = 0)
    {
        Coefficients c;
        f.getCoefficients (c[0], c[1], c[2], c[3], c[4], channel);
        return c;
    }

    BiquadFilter makeInputFilter (int code, double rate)
    {
        BiquadFilter f (22.0f, 88000.0f, 1.0f, 8.0f, 176000, code);
        f.prepare (rate);
        return f;
    }
}

// The filters skip recomputing coefficients when nothing they depend on changed;
// whatever the order of calls, the result must be what a fresh filter computes.
TEST (BiquadFilterCache, ReusedCoefficientsMatchAFreshComputation)
{
    const EngineTables tables;
    const float* semitones = tables.semitoneTable.data();
    const float* fineTune = tables.fineTuneTable.data();

    auto fresh = [&] (int code, double rate, float position, float resonance)
    {
        auto f = makeInputFilter (code, rate);
        f.setCutoffSemitones (0, position, resonance, semitones, fineTune);
        return coefficientsOf (f);
    };

    auto f = makeInputFilter (BiquadFilter::lowPass, 176400.0);

    f.setCutoffSemitones (0, 60.0f, 0.2f, semitones, fineTune);
    EXPECT_EQ (coefficientsOf (f), fresh (BiquadFilter::lowPass, 176400.0, 60.0f, 0.2f));

    f.setCoefficients (1000.0f, 3.0f);      // a direct setting in between...
    f.setCutoffSemitones (0, 60.0f, 0.2f, semitones, fineTune);   // ...must not leave stale values
    EXPECT_EQ (coefficientsOf (f), fresh (BiquadFilter::lowPass, 176400.0, 60.0f, 0.2f));

    f.setCode (BiquadFilter::highPass);
    f.setCutoffSemitones (0, 60.0f, 0.2f, semitones, fineTune);
    EXPECT_EQ (coefficientsOf (f), fresh (BiquadFilter::highPass, 176400.0, 60.0f, 0.2f));

    f.prepare (384000.0);
    f.setCutoffSemitones (0, 60.0f, 0.2f, semitones, fineTune);
    EXPECT_EQ (coefficientsOf (f), fresh (BiquadFilter::highPass, 384000.0, 60.0f, 0.2f));

    f.setCutoffSemitones (0, 60.0f, 0.7f, semitones, fineTune);
    EXPECT_EQ (coefficientsOf (f), fresh (BiquadFilter::highPass, 384000.0, 60.0f, 0.7f));

    f.setCutoffSemitones (0, 60.001f, 0.7f, semitones, fineTune);
    EXPECT_EQ (coefficientsOf (f), fresh (BiquadFilter::highPass, 384000.0, 60.001f, 0.7f));

    f.setCutoffSemitones (0, 100.0f, 0.7f, semitones, fineTune);
    EXPECT_EQ (coefficientsOf (f), fresh (BiquadFilter::highPass, 384000.0, 100.0f, 0.7f));
    EXPECT_NE (coefficientsOf (f), fresh (BiquadFilter::highPass, 384000.0, 60.0f, 0.7f));
}

// Each channel keeps its own coefficients: a cutoff modulated differently on the
// two sides must filter each side at its own frequency, whatever the order of calls.
TEST (BiquadFilterCache, ChannelsKeepTheirOwnCoefficients)
{
    const EngineTables tables;
    const float* semitones = tables.semitoneTable.data();
    const float* fineTune = tables.fineTuneTable.data();

    auto fresh = [&] (float position)
    {
        auto f = makeInputFilter (BiquadFilter::bandPass, 192000.0);
        f.setCutoffSemitones (0, position, 0.5f, semitones, fineTune);
        return coefficientsOf (f);
    };

    auto f = makeInputFilter (BiquadFilter::bandPass, 192000.0);

    for (int round = 0; round < 2; ++round)
    {
        f.setCutoffSemitones (0, 40.0f, 0.5f, semitones, fineTune);
        f.setCutoffSemitones (1, 90.0f, 0.5f, semitones, fineTune);
        EXPECT_EQ (coefficientsOf (f, 0), fresh (40.0f));
        EXPECT_EQ (coefficientsOf (f, 1), fresh (90.0f));
    }

    // A direct setting applies to both.
    f.setCoefficients (1000.0f, 2.0f);
    EXPECT_EQ (coefficientsOf (f, 0), coefficientsOf (f, 1));
}
