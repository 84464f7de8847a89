#include "InputStageGroup.h"

#include <cstdint>
#include <cstring>

// The eight-lane values never cross a call: every helper below is inlined into the
// one function that holds them, so the calling convention for them is moot.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace
{
    // Plain vector types: every operation on them is the lane-wise IEEE operation
    // that the scalar stage performs, so each lane rounds exactly as it would.
    typedef float Floats __attribute__ ((vector_size (32)));
    typedef float HalfFloats __attribute__ ((vector_size (16)));
    typedef double Doubles __attribute__ ((vector_size (32)));
    typedef std::uint32_t Bits __attribute__ ((vector_size (32)));

    constexpr int numLanes = 8;     // line m's left and right channels are lanes 2m and 2m + 1

    // Widened lane by lane: GCC 12 splits a whole-vector conversion into halves that
    // pass through the stack, while this form becomes one instruction under AVX.
    [[gnu::always_inline]] inline Floats gather (const float* const (&lanes)[numLanes], int n) noexcept
    {
        return Floats { lanes[0][n], lanes[1][n], lanes[2][n], lanes[3][n], lanes[4][n], lanes[5][n], lanes[6][n], lanes[7][n] };
    }

    [[gnu::always_inline]] inline Doubles widen (HalfFloats x) noexcept    { return Doubles { x[0], x[1], x[2], x[3] }; }
    [[gnu::always_inline]] inline Doubles lowerHalf (Floats x) noexcept    { return Doubles { x[0], x[1], x[2], x[3] }; }
    [[gnu::always_inline]] inline Doubles upperHalf (Floats x) noexcept    { return Doubles { x[4], x[5], x[6], x[7] }; }

    /** HalfBandStage::process() on eight lanes. */
    struct HalfBandLanes
    {
        Floats in1 {}, in2 {}, q01 {}, q02 {}, q11 {}, q12 {}, previous {};

        [[gnu::always_inline]] Floats step (Floats a) noexcept
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
    };

    /** BiquadFilter's direct form I on eight lanes, its arithmetic in double over
        two halves of four. The float states are held as doubles, which they
        convert to exactly.
    */
    struct BiquadLanes
    {
        Doubles b0[2] {}, b1[2] {}, b2[2] {}, a1[2] {}, a2[2] {};
        Doubles x1[2] {}, x2[2] {}, y1[2] {}, y2[2] {};

        [[gnu::always_inline]] Floats step (Floats x) noexcept
        {
            const Doubles xd[2] = { lowerHalf (x), upperHalf (x) };
            HalfFloats y[2];

            // Each half rounds to float and back on its own: the next step waits on
            // y1, and going through the joined eight lanes would add two shuffles to
            // that wait.
            for (int h = 0; h < 2; ++h)
            {
                const Doubles sum = b0[h] * xd[h] + b1[h] * x1[h] + b2[h] * x2[h] - a1[h] * y1[h] - a2[h] * y2[h] + 1e-20;
                y[h] = __builtin_convertvector (sum, HalfFloats);
                x2[h] = x1[h];
                x1[h] = xd[h];
                y2[h] = y1[h];
                y1[h] = widen (y[h]);
            }

            return __builtin_shufflevector (y[0], y[1], 0, 1, 2, 3, 4, 5, 6, 7);
        }

        void setCoefficients (const double (&c)[5][numLanes]) noexcept
        {
            for (int h = 0; h < 2; ++h)
            {
                std::memcpy (&b0[h], c[0] + 4 * h, sizeof (Doubles));
                std::memcpy (&b1[h], c[1] + 4 * h, sizeof (Doubles));
                std::memcpy (&b2[h], c[2] + 4 * h, sizeof (Doubles));
                std::memcpy (&a1[h], c[3] + 4 * h, sizeof (Doubles));
                std::memcpy (&a2[h], c[4] + 4 * h, sizeof (Doubles));
            }
        }
    };

    /** fastExp() on eight lanes, step for step. */
    [[gnu::always_inline]] inline Floats exponential (Floats v) noexcept
    {
        constexpr float log2e = 1.44269504088896341f;
        constexpr float ln2High = 0.693359375f;
        constexpr float ln2Low = -2.12194440e-4f;
        constexpr float roundingShift = 12582912.0f;

        Floats x = v > 87.0f ? 87.0f : v;
        x = x < -87.0f ? -87.0f : x;

        const Floats shifted = x * log2e + roundingShift;
        const Floats n = shifted - roundingShift;
        const Floats r = (x - n * ln2High) - n * ln2Low;

        Floats p = r * 1.9875691500e-4f + 1.3981999507e-3f;
        p = p * r + 8.3334519073e-3f;
        p = p * r + 4.1665795894e-2f;
        p = p * r + 1.6666665459e-1f;
        p = p * r + 5.0000001201e-1f;
        const Floats er = p * (r * r) + r + 1.0f;

        std::uint32_t shiftBits;
        std::memcpy (&shiftBits, &roundingShift, sizeof (shiftBits));
        const Bits bits = ((Bits) shifted - shiftBits + 127u) << 23;
        return er * (Floats) bits;
    }

    /** Every state of the stages of a group, lane by lane. */
    struct StageLanes
    {
        HalfBandLanes up1, up2, down1, down2;
        BiquadLanes filter, colour;
    };

    /** The per-sample work of a run. Compiled twice, for AVX2 and for the plain
        build, and chosen by the processor it runs on; neither form fuses any
        multiply-add, so both give the same samples.
    */
   #if defined (__x86_64__) || defined (__i386__)
    __attribute__ ((target_clones ("avx2", "default")))
   #endif
    void renderLanes (StageLanes& lanes, const InputStageGroup::Member* members, int numMembers,
                      const InputStage::Settings& settings, int numSamples,
                      const float* semitoneTable, const float* fineTuneTable) noexcept
    {
        const bool filterPre = settings.filterOn && ! settings.filterPostOverdrive;
        const bool filterPost = settings.filterOn && settings.filterPostOverdrive;
        const int usedLanes = 2 * numMembers;

        double coefficients[5][numLanes] = {};
        float lastCutoff[numLanes] = {};

        // Each sample's lanes are loaded straight into vectors: stored one by one and
        // read back whole, they would stall on the store every sample. Unused lanes
        // repeat lane 0's signals, which keeps them finite; their results are dropped.
        const float* inputs[numLanes];
        const float* preampGains[numLanes];
        const float* overdriveGains[numLanes];
        const float* colours[numLanes];

        for (int lane = 0; lane < numLanes; ++lane)
        {
            const int source = lane < usedLanes ? lane : 0;
            const auto& m = members[source / 2];
            inputs[lane] = m.inputs[source % 2];
            preampGains[lane] = m.preampGains;
            overdriveGains[lane] = m.overdriveGains;
            colours[lane] = m.colours;
        }

        for (int n = 0; n < numSamples; ++n)
        {
            const Floats x = gather (inputs, n);
            const Floats twiceGain = 2.0f * gather (preampGains, n);
            const Floats overdriveGain = gather (overdriveGains, n);
            const Floats colour = gather (colours, n);

            // The filter recomputes a channel's coefficients only when its position
            // moved, which is also all that the filter's own cache lets through.
            if (settings.filterOn)
            {
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
                    lanes.filter.setCoefficients (coefficients);
            }

            const Floats u = x * 0.5f;
            const Floats v0 = lanes.up1.step (u);
            const Floats v1 = lanes.up1.step (u);

            Floats w[4];
            w[0] = lanes.up2.step (v0);
            w[1] = lanes.up2.step (Floats {});
            w[2] = lanes.up2.step (v1);
            w[3] = lanes.up2.step (Floats {});

            if (filterPre)
                for (auto& value : w)
                    value = lanes.filter.step (value);

            if (settings.overdriveOn)
                for (auto& value : w)
                    value = (1.0f - 2.0f / (exponential (twiceGain * value) + 1.0f) + 1e-20f) * overdriveGain;

            if (filterPost)
                for (auto& value : w)
                    value = lanes.filter.step (value);

            for (auto& value : w)
                value = lanes.down1.step (value);

            lanes.down2.step (w[1]);
            Floats p = lanes.down2.step (w[3]) * 0.25f;

            if (settings.overdriveOn)
                p += lanes.colour.step (p) * colour;

            float out[numLanes];
            std::memcpy (out, &p, sizeof (Floats));

            for (int lane = 0; lane < usedLanes; ++lane)
                members[lane / 2].outputs[lane % 2][n] = out[lane];
        }
    }
}

void InputStageGroup::process (const Member* members, int numMembers, const InputStage::Settings& settings, int numSamples,
                               const float* semitoneTable, const float* fineTuneTable) noexcept
{
    StageLanes lanes;

    auto moveHalfBand = [&] (HalfBandLanes& l, HalfBandStage& stage, int lane, bool in)
    {
        float* fields[] = { &stage.inputHistory[0], &stage.inputHistory[1], &stage.q0History[0], &stage.q0History[1],
                            &stage.q1History[0], &stage.q1History[1], &stage.previousQ1 };
        Floats* vectors[] = { &l.in1, &l.in2, &l.q01, &l.q02, &l.q11, &l.q12, &l.previous };

        for (int i = 0; i < 7; ++i)
        {
            if (in)
                (*vectors[i])[lane] = *fields[i];
            else
                *fields[i] = (*vectors[i])[lane];
        }
    };

    auto moveBiquad = [&] (BiquadLanes& l, BiquadFilter& filter, int lane, int channel, bool in)
    {
        auto& state = filter.states[channel];
        const int h = lane / 4, i = lane % 4;

        if (in)
        {
            double c[5];
            filter.getCoefficients (c[0], c[1], c[2], c[3], c[4], channel);
            l.b0[h][i] = c[0]; l.b1[h][i] = c[1]; l.b2[h][i] = c[2]; l.a1[h][i] = c[3]; l.a2[h][i] = c[4];
            l.x1[h][i] = state.x1; l.x2[h][i] = state.x2; l.y1[h][i] = state.y1; l.y2[h][i] = state.y2;
        }
        else
        {
            state.x1 = (float) l.x1[h][i]; state.x2 = (float) l.x2[h][i];
            state.y1 = (float) l.y1[h][i]; state.y2 = (float) l.y2[h][i];
        }
    };

    auto moveAll = [&] (bool in)
    {
        for (int lane = 0; lane < 2 * numMembers; ++lane)
        {
            InputStage& stage = *members[lane / 2].stage;
            const int channel = lane % 2;

            moveHalfBand (lanes.up1, stage.up1[channel], lane, in);
            moveHalfBand (lanes.up2, stage.up2[channel], lane, in);
            moveHalfBand (lanes.down1, stage.down1[channel], lane, in);
            moveHalfBand (lanes.down2, stage.down2[channel], lane, in);
            moveBiquad (lanes.filter, stage.inputFilter, lane, channel, in);
            moveBiquad (lanes.colour, stage.colourFilter, lane, channel, in);
        }
    };

    moveAll (true);
    renderLanes (lanes, members, numMembers, settings, numSamples, semitoneTable, fineTuneTable);
    moveAll (false);
}
