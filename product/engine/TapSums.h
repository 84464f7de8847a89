#pragma once

#include <cstdint>

/** The inner products of the fractional delay read, in a portable form and, on
    processors that have them, with AVX2 and fused multiply-adds or with AVX-512.

    The build targets plain x86-64, so the wide forms are compiled for their own
    target and the widest the processor runs is chosen at run time. The forms
    group their partial sums differently (the portable ones keep four that take
    turns, the wide ones one per lane and per accumulator), so they differ only by
    the rounding of the regrouped sums.
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
        taps xs[r] and fraction fs[r]. The wide forms take a few reads at a time
        through the row, each piece of it loaded once for all of them: a read sums
        its taps against the entries and the differences apart and applies its
        fraction to the whole sum once.
    */
    static void rowsOfOnePhase (const double* entries, const double* differences, int taps,
                                const double* const* xs, const double* fs, int count, double* sums) noexcept;

    /** row() for count reads of the same row, read j taking its taps from x + j:
        the reads of a delay that holds still.
    */
    static void steadyRows (const double* entries, const double* differences, const double* x,
                            double f, int taps, bool interpolate, int count, double* sums) noexcept;

    /** Σ (kernel[e] + (kernel[e + 1] − kernel[e])·φ)·x[−k] over k < taps, where the
        kernel position start + k·step (32.32 fixed point) has entry e and fraction φ.
    */
    static double stretched (const double* kernel, const double* x,
                             std::int64_t start, std::int64_t step, int taps) noexcept;

    /** The instruction sets that the sums can use, narrowest first. */
    enum class Level { portable, avx2, avx512 };

    /** The widest level that this processor runs. */
    static Level widestAvailable() noexcept;

    /** Uses no level wider than the given one (nor than the processor runs), so
        that the narrower forms can be run on any machine.
    */
    static void allowWideInstructions (Level widest) noexcept;
};
