#pragma once

#include <cstdint>
#include <cstring>

/** e^x in single precision without a library call, for the curves that take an
    exponential per oversampled sample (the overdrive's tanh).

    Each value is split as x = n·ln 2 + r with |r| ≤ ln 2 / 2; a degree-7
    polynomial gives e^r and an exponent of n scales it. Nothing branches, so that
    a run of values becomes vector operations. Arguments are limited to ±87, where
    e^x still is a normal float: beyond that the curves built on it (1 − 2/(e^x + 1))
    have long reached ±1 in single precision anyway. NaN stays NaN.

    Relative error against the exact exponential: below 1e-7 (about one unit in
    the last place) over the whole range.
*/
namespace fast_exp_detail
{
    /** e^x for x within ±87 (or NaN). */
    inline float exponentialWithinRange (float x) noexcept
    {
        constexpr float log2e = 1.44269504088896341f;
        constexpr float ln2High = 0.693359375f;             // few bits, so n·ln2High is exact
        constexpr float ln2Low = -2.12194440e-4f;
        constexpr float roundingShift = 12582912.0f;        // 1.5·2^23

        // Adding the shift leaves round (x·log2 e) in the low bits of the sum.
        const float shifted = x * log2e + roundingShift;
        const float n = shifted - roundingShift;
        const float r = (x - n * ln2High) - n * ln2Low;

        float p = 1.9875691500e-4f;
        p = p * r + 1.3981999507e-3f;
        p = p * r + 8.3334519073e-3f;
        p = p * r + 4.1665795894e-2f;
        p = p * r + 1.6666665459e-1f;
        p = p * r + 5.0000001201e-1f;
        const float er = p * (r * r) + r + 1.0f;

        // 2^n for n in −126..126, built in the exponent field.
        // Unsigned, so that a NaN's bit pattern wraps instead of overflowing.
        std::uint32_t shiftedBits, shiftBits;
        std::memcpy (&shiftedBits, &shifted, sizeof (shiftedBits));
        std::memcpy (&shiftBits, &roundingShift, sizeof (shiftBits));
        const std::uint32_t bits = (shiftedBits - shiftBits + 127u) << 23;
        float scale;
        std::memcpy (&scale, &bits, sizeof (scale));

        return er * scale;
    }
}

/** Replaces each of the count values by its exponential. */
inline void fastExp (float* values, int count) noexcept
{
    // The limits get a loop of their own: a comparison whose result is stored
    // straight away is what compilers turn into vector min/max without fast-math.
    for (int i = 0; i < count; ++i)
    {
        const float x = values[i] > 87.0f ? 87.0f : values[i];     // a NaN fails both tests and stays
        values[i] = x < -87.0f ? -87.0f : x;
    }

    for (int i = 0; i < count; ++i)
        values[i] = fast_exp_detail::exponentialWithinRange (values[i]);
}

/** e^x for a single value. */
inline float fastExp (float x) noexcept
{
    fastExp (&x, 1);
    return x;
}
