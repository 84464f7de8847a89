#pragma once

#include <cstdint>

/** The inner products of the fractional delay read, in a portable form and, on
    processors that have them, with AVX2 and fused multiply-adds.

    The build targets plain x86-64, so the wide forms are compiled for their own
    target and chosen at run time. The portable forms keep four partial sums that
    take turns, as the wide forms keep them in their lanes; the wide forms differ
    only by the rounding that fusing the multiply-adds saves.
*/
class TapSums
{
public:
    /** Σ (entries[k] + differences[k]·f)·x[k] over k < taps; without interpolation
        the differences are not read.
    */
    static double row (const double* entries, const double* differences, const double* x,
                       double f, int taps, bool interpolate) noexcept;

    /** One read of a phase row: the row's entries and differences, the oldest of
        its taps in the buffer, and the fraction toward the next phase.
    */
    struct RowRead
    {
        const double* entries;
        const double* differences;
        const double* x;
        double f;
    };

    /** row() for each of count reads of rows of the same length. */
    static void rows (const RowRead* reads, int count, int taps, bool interpolate, double* sums) noexcept;

    /** row() with interpolation for count reads of the same row, each with its own
        taps xs[r] and fraction fs[r]; the row is taken in pieces that each serve
        every read before the next piece is loaded.
    */
    static void rowsOfOnePhase (const double* entries, const double* differences, int taps,
                                const double* const* xs, const double* fs, int count, double* sums) noexcept;

    /** row() for count reads of the same row, read j taking its taps from x + j:
        the reads of a delay that holds still. The sums are the same as row()'s.
    */
    static void steadyRows (const double* entries, const double* differences, const double* x,
                            double f, int taps, bool interpolate, int count, double* sums) noexcept;

    /** Σ (kernel[e] + (kernel[e + 1] − kernel[e])·φ)·x[−k] over k < taps, where the
        kernel position start + k·step (32.32 fixed point) has entry e and fraction φ.
    */
    static double stretched (const double* kernel, const double* x,
                             std::int64_t start, std::int64_t step, int taps) noexcept;

    /** Switches the wide forms off (or on again, where the processor has them),
        to run the portable forms on any machine.
    */
    static void allowWideInstructions (bool shouldAllow) noexcept;
};
