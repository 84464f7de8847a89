#include "InputStageGroup.h"

#include <atomic>
#include <cstdint>
#include <cstring>

#if defined (__x86_64__) || defined (__i386__)
 #include <immintrin.h>
#endif

// The eight-lane values never cross a call: every helper below is inlined into the
// one function that holds them, so the calling convention for them is moot.
#pragma GCC diagnostic ignored "-Wpsabi"

// The AVX-512 form would otherwise fuse multiply-adds, and every lane must round
// as the scalar stage does.
#if defined (__clang__)
 #pragma clang fp contract (off)
#else
 #pragma GCC optimize ("fp-contract=off")
#endif

namespace
{
    // Plain vector types: every operation on them is the lane-wise IEEE operation
    // that the scalar stage performs, so each lane rounds exactly as it would.
    // The helpers below take them by reference: passed by value, a vector wider than
    // the file's base instructions is subject to a calling convention that differs
    // between compiler versions, which nothing here needs, as every helper is inlined.
    typedef float Floats __attribute__ ((vector_size (32)));
    typedef float HalfFloats __attribute__ ((vector_size (16)));
    typedef float DoubleFloats __attribute__ ((vector_size (64)));
    typedef double Doubles __attribute__ ((vector_size (32)));
    typedef double WholeDoubles __attribute__ ((vector_size (64)));
    typedef std::uint32_t Bits __attribute__ ((vector_size (32)));
    typedef std::uint32_t DoubleBits __attribute__ ((vector_size (64)));

    constexpr int numLanes = 8;     // line m's left and right channels are lanes 2m and 2m + 1

    // Widened lane by lane: GCC 12 splits a whole-vector conversion into halves that
    // pass through the stack, while this form becomes one instruction under AVX.
    [[gnu::always_inline]] inline Doubles widen (const HalfFloats& x) noexcept    { return Doubles { x[0], x[1], x[2], x[3] }; }
    [[gnu::always_inline]] inline Doubles lowerHalf (const Floats& x) noexcept    { return Doubles { x[0], x[1], x[2], x[3] }; }
    [[gnu::always_inline]] inline Doubles upperHalf (const Floats& x) noexcept    { return Doubles { x[4], x[5], x[6], x[7] }; }

    // Neither form above gives one conversion to eight doubles under AVX-512 in GCC;
    // the intrinsic does. Called from the AVX-512 form only, which inlines it whole.
    // Clang refuses a call into a function of wider instructions that passes vectors
    // by value, and its own conversion already becomes the one instruction.
   #if (defined (__x86_64__) || defined (__i386__)) && ! defined (__clang__)
    __attribute__ ((target ("avx512f")))
    inline WholeDoubles widenWhole (const Floats& x) noexcept     { return (WholeDoubles) _mm512_maskz_cvtps_pd (0xff, (__m256) x); }
   #else
    inline WholeDoubles widenWhole (const Floats& x) noexcept     { return __builtin_convertvector (x, WholeDoubles); }
   #endif

    // Copies between a group's stored states and the lanes of vectors.
    template <typename Vector, typename Value, int size>
    [[gnu::always_inline]] inline void load (Vector& lanes, const Value (&values)[size]) noexcept
    {
        static_assert (sizeof (lanes) == sizeof (values), "one value per lane");
        std::memcpy (&lanes, values, sizeof (lanes));
    }

    template <typename Vector, typename Value, int size>
    [[gnu::always_inline]] inline void save (const Vector& lanes, Value (&values)[size]) noexcept
    {
        static_assert (sizeof (lanes) == sizeof (values), "one value per lane");
        std::memcpy (values, &lanes, sizeof (lanes));
    }

    /** Every state of the stages of a group, lane by lane, between runs. */
    struct LaneStates
    {
        enum { up1, up2, down1, down2, numHalfBands };
        enum { in1, in2, q01, q02, q11, q12, previous, numHalfBandValues };
        enum { b0, b1, b2, a1, a2, x1, x2, y1, y2, numBiquadValues };
        enum { filter, colour, numBiquads };

        float halfBands[numHalfBands][numHalfBandValues][numLanes] = {};
        double biquads[numBiquads][numBiquadValues][numLanes] = {};
    };

    /** HalfBandStage::process() on eight lanes. */
    struct HalfBandLanes
    {
        Floats in1, in2, q01, q02, q11, q12, previous;

        explicit HalfBandLanes (const float (&v)[LaneStates::numHalfBandValues][numLanes]) noexcept
        {
            load (in1, v[LaneStates::in1]);     load (in2, v[LaneStates::in2]);
            load (q01, v[LaneStates::q01]);     load (q02, v[LaneStates::q02]);
            load (q11, v[LaneStates::q11]);     load (q12, v[LaneStates::q12]);
            load (previous, v[LaneStates::previous]);
        }

        void store (float (&v)[LaneStates::numHalfBandValues][numLanes]) const noexcept
        {
            save (in1, v[LaneStates::in1]);     save (in2, v[LaneStates::in2]);
            save (q01, v[LaneStates::q01]);     save (q02, v[LaneStates::q02]);
            save (q11, v[LaneStates::q11]);     save (q12, v[LaneStates::q12]);
            save (previous, v[LaneStates::previous]);
        }

        [[gnu::always_inline]] Floats step (const Floats& a) noexcept
        {
            const Floats q0 = 0.6457318f * (a - q02) + in2 + 1e-20f;
            const Floats q1 = 0.9585033f * (a - q12) + in2 + 1e-20f;
            const Floats out = q0 + previous;

            previous = q1;
            in2 = in1;  in1 = a;
            q02 = q01;  q01 = q0;
            q12 = q11;  q11 = q1;
            return out;
        }

        /** step() for one of the zeros the upsampler puts between its inputs, the
            input two steps back being such a zero too. The same sums with the zero
            terms left out: negated, the products round to the same magnitudes, and
            the offset then takes away the sign of any zero.
        */
        [[gnu::always_inline]] Floats stepBetweenInputs() noexcept
        {
            const Floats q0 = -0.6457318f * q02 + 1e-20f;
            const Floats q1 = -0.9585033f * q12 + 1e-20f;
            const Floats out = q0 + previous;

            previous = q1;
            in2 = in1;  in1 = Floats {};
            q02 = q01;  q01 = q0;
            q12 = q11;  q11 = q1;
            return out;
        }
    };

    /** BiquadFilter's direct form I on eight lanes, its arithmetic in double: in two
        halves of four (Vector = Doubles) where a vector holds four doubles, or in one
        vector (Vector = WholeDoubles). The float states are held as doubles, which
        they convert to exactly.
    */
    template <typename Vector>
    struct BiquadLanes
    {
        static constexpr int parts = (int) (numLanes * sizeof (double) / sizeof (Vector));

        Vector b0[parts], b1[parts], b2[parts], a1[parts], a2[parts];
        Vector x1[parts], x2[parts], y1[parts], y2[parts];

        explicit BiquadLanes (const double (&v)[LaneStates::numBiquadValues][numLanes]) noexcept
        {
            load (b0, v[LaneStates::b0]);   load (b1, v[LaneStates::b1]);   load (b2, v[LaneStates::b2]);
            load (a1, v[LaneStates::a1]);   load (a2, v[LaneStates::a2]);
            load (x1, v[LaneStates::x1]);   load (x2, v[LaneStates::x2]);
            load (y1, v[LaneStates::y1]);   load (y2, v[LaneStates::y2]);
        }

        void store (double (&v)[LaneStates::numBiquadValues][numLanes]) const noexcept
        {
            save (x1, v[LaneStates::x1]);   save (x2, v[LaneStates::x2]);
            save (y1, v[LaneStates::y1]);   save (y2, v[LaneStates::y2]);
        }

        void setCoefficients (const double (&c)[5][numLanes]) noexcept
        {
            load (b0, c[LaneStates::b0]);   load (b1, c[LaneStates::b1]);   load (b2, c[LaneStates::b2]);
            load (a1, c[LaneStates::a1]);   load (a2, c[LaneStates::a2]);
        }

        [[gnu::always_inline]] Floats step (const Floats& x) noexcept
        {
            if constexpr (parts == 1)
            {
                const Vector xd = widenWhole (x);
                const Vector sum = b0[0] * xd + b1[0] * x1[0] + b2[0] * x2[0] - a2[0] * y2[0] + 1e-20 - a1[0] * y1[0];
                const Floats y = __builtin_convertvector (sum, Floats);
                x2[0] = x1[0];
                x1[0] = xd;
                y2[0] = y1[0];
                y1[0] = widenWhole (y);
                return y;
            }
            else
            {
                const Vector xd[2] = { lowerHalf (x), upperHalf (x) };
                HalfFloats y[2];

                // Each half rounds to float and back on its own: the next step waits on
                // y1, and going through the joined eight lanes would add two shuffles to
                // that wait.
                for (int h = 0; h < 2; ++h)
                {
                    const Vector sum = b0[h] * xd[h] + b1[h] * x1[h] + b2[h] * x2[h] - a2[h] * y2[h] + 1e-20 - a1[h] * y1[h];
                    y[h] = __builtin_convertvector (sum, HalfFloats);
                    x2[h] = x1[h];
                    x1[h] = xd[h];
                    y2[h] = y1[h];
                    y1[h] = widen (y[h]);
                }

                return __builtin_shufflevector (y[0], y[1], 0, 1, 2, 3, 4, 5, 6, 7);
            }
        }

    };

    /** fastExp() on the lanes of a vector, step for step. */
    template <typename Vector, typename BitsVector>
    [[gnu::always_inline]] inline Vector exponential (const Vector& v) noexcept
    {
        constexpr float log2e = 1.44269504088896341f;
        constexpr float ln2High = 0.693359375f;
        constexpr float ln2Low = -2.12194440e-4f;
        constexpr float roundingShift = 12582912.0f;

        Vector x = v > 87.0f ? 87.0f : v;
        x = x < -87.0f ? -87.0f : x;

        const Vector shifted = x * log2e + roundingShift;
        const Vector n = shifted - roundingShift;
        const Vector r = (x - n * ln2High) - n * ln2Low;

        Vector p = r * 1.9875691500e-4f + 1.3981999507e-3f;
        p = p * r + 8.3334519073e-3f;
        p = p * r + 4.1665795894e-2f;
        p = p * r + 1.6666665459e-1f;
        p = p * r + 5.0000001201e-1f;
        const Vector er = p * (r * r) + r + 1.0f;

        std::uint32_t shiftBits;
        std::memcpy (&shiftBits, &roundingShift, sizeof (shiftBits));
        const BitsVector bits = ((BitsVector) shifted - shiftBits + 127u) << 23;
        return er * (Vector) bits;
    }

    /** h·tanh(g·w) on eight lanes, as InputStage writes it. */
    template <typename Vector, typename BitsVector>
    [[gnu::always_inline]] inline Vector overdrive (const Vector& w, const Vector& twiceGain, const Vector& h) noexcept
    {
        return (1.0f - 2.0f / (exponential<Vector, BitsVector> (twiceGain * w) + 1.0f) + 1e-20f) * h;
    }

    /** True when any of count values differs from the first (or is not a number). */
    [[gnu::always_inline]] inline bool anyDiffersFromFirst (const float* values, int count) noexcept
    {
        typedef std::int32_t Ints __attribute__ ((vector_size (32)));

        const Floats first = Floats {} + values[0];
        Ints differs {};
        int n = 0;

        for (; n + numLanes <= count; n += numLanes)
        {
            Floats v;
            std::memcpy (&v, values + n, sizeof (v));
            differs |= v != first;
        }

        bool any = false;

        for (int lane = 0; lane < numLanes; ++lane)
            any |= differs[lane] != 0;

        for (; n < count; ++n)
            any |= values[n] != values[0];

        return any;
    }

    /** Turns eight vectors of eight lanes (one lane's eight samples, say) into eight
        of their columns (one sample's eight lanes): out[k][l] = in[l][k].
    */
    [[gnu::always_inline]] inline void transpose (const Floats* in, Floats* out) noexcept
    {
        Floats t[numLanes], u[numLanes];

        for (int k = 0; k < numLanes; k += 2)
        {
            t[k] = __builtin_shufflevector (in[k], in[k + 1], 0, 8, 1, 9, 4, 12, 5, 13);
            t[k + 1] = __builtin_shufflevector (in[k], in[k + 1], 2, 10, 3, 11, 6, 14, 7, 15);
        }

        for (int k = 0; k < numLanes; k += 4)
        {
            u[k] = __builtin_shufflevector (t[k], t[k + 2], 0, 1, 8, 9, 4, 5, 12, 13);
            u[k + 1] = __builtin_shufflevector (t[k], t[k + 2], 2, 3, 10, 11, 6, 7, 14, 15);
            u[k + 2] = __builtin_shufflevector (t[k + 1], t[k + 3], 0, 1, 8, 9, 4, 5, 12, 13);
            u[k + 3] = __builtin_shufflevector (t[k + 1], t[k + 3], 2, 3, 10, 11, 6, 7, 14, 15);
        }

        for (int k = 0; k < 4; ++k)
        {
            out[k] = __builtin_shufflevector (u[k], u[k + 4], 0, 1, 2, 3, 8, 9, 10, 11);
            out[k + 4] = __builtin_shufflevector (u[k], u[k + 4], 4, 5, 6, 7, 12, 13, 14, 15);
        }
    }

    /** The four members' values of sample n in pairs of lanes. */
    [[gnu::always_inline]] inline Floats memberPairs (const float* const (&members)[InputStageGroup::maximumStages], int n) noexcept
    {
        const HalfFloats v { members[0][n], members[1][n], members[2][n], members[3][n] };
        return __builtin_shufflevector (v, v, 0, 0, 1, 1, 2, 2, 3, 3);
    }

    /** The per-sample work of a run. `Doubles` gives the biquads in halves, and
        wideOverdrive takes the overdrive's four oversampled steps two at a time in
        sixteen lanes. Without fused multiply-adds every form gives the same samples.
    */
    template <typename BiquadVector, bool wideOverdrive>
    [[gnu::always_inline]] inline void renderLanes (LaneStates& states, const InputStageGroup::Member* members, int numMembers,
                                                    const InputStage::Settings& settings, int numSamples,
                                                    const float* semitoneTable, const float* fineTuneTable) noexcept
    {
        const bool filterPre = settings.filterOn && ! settings.filterPostOverdrive;
        const bool filterPost = settings.filterOn && settings.filterPostOverdrive;
        const int usedLanes = 2 * numMembers;

        // Copies of the states that nothing else can reach keep them in registers.
        HalfBandLanes up1 (states.halfBands[LaneStates::up1]), up2 (states.halfBands[LaneStates::up2]);
        HalfBandLanes down1 (states.halfBands[LaneStates::down1]), down2 (states.halfBands[LaneStates::down2]);
        BiquadLanes<BiquadVector> filter (states.biquads[LaneStates::filter]);
        BiquadLanes<BiquadVector> colourFilter (states.biquads[LaneStates::colour]);

        double coefficients[5][numLanes] = {};
        float lastCutoff[numLanes] = {};

        // Unused lanes and members repeat the first one's signals, which keeps them
        // finite; their results are dropped.
        const float* inputs[numLanes];
        const float* preampGains[InputStageGroup::maximumStages];
        const float* overdriveGains[InputStageGroup::maximumStages];
        const float* colours[InputStageGroup::maximumStages];

        for (int lane = 0; lane < numLanes; ++lane)
        {
            const int source = lane < usedLanes ? lane : 0;
            inputs[lane] = members[source / 2].inputs[source % 2];
        }

        for (int m = 0; m < InputStageGroup::maximumStages; ++m)
        {
            const auto& member = members[m < numMembers ? m : 0];
            preampGains[m] = member.preampGains;
            overdriveGains[m] = member.overdriveGains;
            colours[m] = member.colours;
        }

        // Without modulation of the cutoffs the coefficients are set once; a run in
        // which any position moves checks each lane on every sample.
        bool cutoffsMove = false;

        if (settings.filterOn)
        {
            for (int lane = 0; lane < usedLanes; ++lane)
                cutoffsMove |= anyDiffersFromFirst (members[lane / 2].cutoffSemitones[lane % 2], numSamples);
        }

        // The filter recomputes a channel's coefficients only when its position
        // moved, which is also all that the filter's own cache lets through.
        auto followCutoffs = [&] (int n)
        {
            if (! (n == 0 || cutoffsMove))
                return;

            bool moved = false;

            for (int lane = 0; lane < usedLanes; ++lane)
            {
                const auto& m = members[lane / 2];
                const int channel = lane % 2;
                const float semitones = m.cutoffSemitones[channel][n];

                if (n == 0 || ! (semitones == lastCutoff[lane]))
                {
                    auto& f = m.stage->inputFilter;
                    f.setCutoffSemitones (channel, semitones, m.resonance, semitoneTable, fineTuneTable);
                    f.getCoefficients (coefficients[0][lane], coefficients[1][lane], coefficients[2][lane],
                                       coefficients[3][lane], coefficients[4][lane], channel);
                    lastCutoff[lane] = semitones;
                    moved = true;
                }
            }

            if (moved)
                filter.setCoefficients (coefficients);
        };

        // Gains that hold still over the run are loaded once.
        bool gainsMove = false;

        for (int m = 0; m < numMembers; ++m)
            gainsMove |= anyDiffersFromFirst (members[m].preampGains, numSamples)
                          || anyDiffersFromFirst (members[m].overdriveGains, numSamples)
                          || anyDiffersFromFirst (members[m].colours, numSamples);

        const Floats steadyTwiceGain = 2.0f * memberPairs (preampGains, 0);
        const Floats steadyOverdriveGain = memberPairs (overdriveGains, 0);
        const Floats steadyColour = memberPairs (colours, 0);

        auto drive = [&] (Floats (&w)[4], int n)
        {
            const Floats twiceGain = gainsMove ? 2.0f * memberPairs (preampGains, n) : steadyTwiceGain;
            const Floats overdriveGain = gainsMove ? memberPairs (overdriveGains, n) : steadyOverdriveGain;

            if constexpr (wideOverdrive)
            {
                const DoubleFloats g = __builtin_shufflevector (twiceGain, twiceGain, 0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7);
                const DoubleFloats h = __builtin_shufflevector (overdriveGain, overdriveGain, 0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7);

                for (int k = 0; k < 4; k += 2)
                {
                    const DoubleFloats pair = __builtin_shufflevector (w[k], w[k + 1], 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
                    const DoubleFloats driven = overdrive<DoubleFloats, DoubleBits> (pair, g, h);
                    w[k] = __builtin_shufflevector (driven, driven, 0, 1, 2, 3, 4, 5, 6, 7);
                    w[k + 1] = __builtin_shufflevector (driven, driven, 8, 9, 10, 11, 12, 13, 14, 15);
                }
            }
            else
            {
                for (auto& value : w)
                    value = overdrive<Floats, Bits> (value, twiceGain, overdriveGain);
            }
        };

        // The steps go in two passes over short stretches, so that each pass has
        // one long chain of dependent steps (the filter's, where it is on) and enough
        // work beside it to keep the processor busy meanwhile; in one pass, what waits
        // on the filter holds up everything after it. The first pass runs the
        // overdrive a sample behind the rest, on values that are ready by then.
        constexpr int stretch = 64;
        Floats oversampled[stretch][4];
        Floats results[stretch];

        for (int start = 0; start < numSamples; start += stretch)
        {
            const int count = numSamples - start < stretch ? numSamples - start : stretch;

            // The inputs' lanes, eight samples at a time loaded whole and transposed
            // rather than gathered a value at a time; the rest value by value.
            Floats xs[stretch];
            int whole = 0;

            for (; whole + numLanes <= count; whole += numLanes)
            {
                Floats rows[numLanes];

                for (int lane = 0; lane < numLanes; ++lane)
                    std::memcpy (&rows[lane], inputs[lane] + start + whole, sizeof (Floats));

                transpose (rows, xs + whole);
            }

            for (int j = whole; j < count; ++j)
            {
                const int n = start + j;
                xs[j] = Floats { inputs[0][n], inputs[1][n], inputs[2][n], inputs[3][n],
                                 inputs[4][n], inputs[5][n], inputs[6][n], inputs[7][n] };
            }

            for (int j = 0; j < count; ++j)
            {
                const int n = start + j;
                auto& w = oversampled[j];
                const Floats x = xs[j];

                const Floats u = x * 0.5f;
                const Floats v0 = up1.step (u);
                const Floats v1 = up1.step (u);

                w[0] = up2.step (v0);
                w[1] = up2.stepBetweenInputs();
                w[2] = up2.step (v1);
                w[3] = up2.stepBetweenInputs();

                if (filterPre)
                {
                    followCutoffs (n);

                    for (auto& value : w)
                        value = filter.step (value);
                }

                if (settings.overdriveOn && j > 0)
                    drive (oversampled[j - 1], n - 1);
            }

            if (settings.overdriveOn)
                drive (oversampled[count - 1], start + count - 1);

            for (int j = 0; j < count; ++j)
            {
                const int n = start + j;
                auto& w = oversampled[j];

                if (filterPost)
                {
                    followCutoffs (n);

                    for (auto& value : w)
                        value = filter.step (value);
                }

                down1.step (w[0]);
                const Floats d1 = down1.step (w[1]);
                down1.step (w[2]);
                const Floats d3 = down1.step (w[3]);

                down2.step (d1);
                Floats p = down2.step (d3) * 0.25f;

                if (settings.overdriveOn)
                    p += colourFilter.step (p) * (gainsMove ? memberPairs (colours, n) : steadyColour);

                results[j] = p;
            }

            // Back to each lane's samples the same way.
            for (int j = 0; j < whole; j += numLanes)
            {
                Floats rows[numLanes];
                transpose (results + j, rows);

                for (int lane = 0; lane < usedLanes; ++lane)
                    std::memcpy (members[lane / 2].outputs[lane % 2] + start + j, &rows[lane], sizeof (Floats));
            }

            for (int j = whole; j < count; ++j)
                for (int lane = 0; lane < usedLanes; ++lane)
                    members[lane / 2].outputs[lane % 2][start + j] = results[j][lane];
        }

        up1.store (states.halfBands[LaneStates::up1]);
        up2.store (states.halfBands[LaneStates::up2]);
        down1.store (states.halfBands[LaneStates::down1]);
        down2.store (states.halfBands[LaneStates::down2]);
        filter.store (states.biquads[LaneStates::filter]);
        colourFilter.store (states.biquads[LaneStates::colour]);
    }

    // The forms of a run: the plain build's, and the wide ones for the processors
    // that have their instructions.
    void renderPortable (LaneStates& states, const InputStageGroup::Member* members, int numMembers,
                         const InputStage::Settings& settings, int numSamples,
                         const float* semitoneTable, const float* fineTuneTable) noexcept
    {
        renderLanes<Doubles, false> (states, members, numMembers, settings, numSamples, semitoneTable, fineTuneTable);
    }

   #if defined (__x86_64__) || defined (__i386__)
    #define CORVANE_WIDE_STAGE_LANES 1

    __attribute__ ((target ("avx2")))
    void renderAvx2 (LaneStates& states, const InputStageGroup::Member* members, int numMembers,
                     const InputStage::Settings& settings, int numSamples,
                     const float* semitoneTable, const float* fineTuneTable) noexcept
    {
        renderLanes<Doubles, false> (states, members, numMembers, settings, numSamples, semitoneTable, fineTuneTable);
    }

    __attribute__ ((target ("avx512f,avx512vl,avx512dq"), flatten))
    void renderAvx512 (LaneStates& states, const InputStageGroup::Member* members, int numMembers,
                       const InputStage::Settings& settings, int numSamples,
                       const float* semitoneTable, const float* fineTuneTable) noexcept
    {
        renderLanes<WholeDoubles, true> (states, members, numMembers, settings, numSamples, semitoneTable, fineTuneTable);
    }

    enum class Instructions { portable, avx2, avx512 };

    Instructions widestOfProcessor() noexcept
    {
        __builtin_cpu_init();

        if (__builtin_cpu_supports ("avx512f") && __builtin_cpu_supports ("avx512vl") && __builtin_cpu_supports ("avx512dq"))
            return Instructions::avx512;

        return __builtin_cpu_supports ("avx2") ? Instructions::avx2 : Instructions::portable;
    }

    std::atomic<bool>& wideAllowed() noexcept
    {
        static std::atomic<bool> allowed { true };
        return allowed;
    }
   #endif
}

void InputStageGroup::allowWideInstructions (bool shouldAllow) noexcept
{
   #if CORVANE_WIDE_STAGE_LANES
    wideAllowed().store (shouldAllow);
   #else
    (void) shouldAllow;
   #endif
}

void InputStageGroup::process (const Member* members, int numMembers, const InputStage::Settings& settings, int numSamples,
                               const float* semitoneTable, const float* fineTuneTable) noexcept
{
    if (numSamples <= 0 || numMembers <= 0)
        return;

    LaneStates states;

    auto moveHalfBand = [&] (float (&v)[LaneStates::numHalfBandValues][numLanes], HalfBandStage& stage, int lane, bool in)
    {
        float* fields[] = { &stage.inputHistory[0], &stage.inputHistory[1], &stage.q0History[0], &stage.q0History[1],
                            &stage.q1History[0], &stage.q1History[1], &stage.previousQ1 };

        for (int i = 0; i < LaneStates::numHalfBandValues; ++i)
        {
            if (in)
                v[i][lane] = *fields[i];
            else
                *fields[i] = v[i][lane];
        }
    };

    auto moveBiquad = [&] (double (&v)[LaneStates::numBiquadValues][numLanes], BiquadFilter& filter, int lane, int channel, bool in)
    {
        auto& state = filter.states[channel];
        float* fields[] = { &state.x1, &state.x2, &state.y1, &state.y2 };

        if (in)
            filter.getCoefficients (v[LaneStates::b0][lane], v[LaneStates::b1][lane], v[LaneStates::b2][lane],
                                    v[LaneStates::a1][lane], v[LaneStates::a2][lane], channel);

        for (int i = 0; i < 4; ++i)
        {
            if (in)
                v[LaneStates::x1 + i][lane] = *fields[i];
            else
                *fields[i] = (float) v[LaneStates::x1 + i][lane];
        }
    };

    auto moveAll = [&] (bool in)
    {
        for (int lane = 0; lane < 2 * numMembers; ++lane)
        {
            InputStage& stage = *members[lane / 2].stage;
            const int channel = lane % 2;

            moveHalfBand (states.halfBands[LaneStates::up1], stage.up1[channel], lane, in);
            moveHalfBand (states.halfBands[LaneStates::up2], stage.up2[channel], lane, in);
            moveHalfBand (states.halfBands[LaneStates::down1], stage.down1[channel], lane, in);
            moveHalfBand (states.halfBands[LaneStates::down2], stage.down2[channel], lane, in);
            moveBiquad (states.biquads[LaneStates::filter], stage.inputFilter, lane, channel, in);
            moveBiquad (states.biquads[LaneStates::colour], stage.colourFilter, lane, channel, in);
        }
    };

    moveAll (true);

   #if CORVANE_WIDE_STAGE_LANES
    static const Instructions widest = widestOfProcessor();

    if (wideAllowed().load (std::memory_order_relaxed) && widest != Instructions::portable)
    {
        if (widest == Instructions::avx512)
            renderAvx512 (states, members, numMembers, settings, numSamples, semitoneTable, fineTuneTable);
        else
            renderAvx2 (states, members, numMembers, settings, numSamples, semitoneTable, fineTuneTable);
    }
    else
   #endif
    {
        renderPortable (states, members, numMembers, settings, numSamples, semitoneTable, fineTuneTable);
    }

    moveAll (false);
}
