// The tap sums at every instruction level this processor runs, against the same
// sums taken in long double: however a form splits, groups or aligns its work,
// it must add up to the plain sum.

#include "TapSums.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace
{
    std::vector<double> randomValues (int count, unsigned seed)
    {
        std::mt19937 random (seed);
        std::uniform_real_distribution<double> values (-1.0, 1.0);
        std::vector<double> v ((size_t) count);

        for (auto& x : v)
            x = values (random);

        return v;
    }

    /** The exact sum of terms (a + b)·x, and the sum of the magnitudes of their
        parts, which bounds the rounding of any order of adding them.
    */
    struct Exact
    {
        long double sum = 0, magnitude = 0;

        void add (long double a, long double b, long double x)
        {
            sum += (a + b) * x;
            magnitude += (std::fabs (a) + std::fabs (b)) * std::fabs (x);
        }
    };

    Exact exactRow (const double* entries, const double* differences, const double* x, double f, int taps, bool interpolate)
    {
        Exact e;

        for (int k = 0; k < taps; ++k)
            e.add (entries[k], interpolate ? (long double) differences[k] * f : 0.0L, x[k]);

        return e;
    }

    Exact exactStretched (const double* kernel, const double* x, std::int64_t start, std::int64_t step, int taps)
    {
        Exact e;

        for (int k = 0; k < taps; ++k)
        {
            const std::int64_t position = start + k * step;
            const double* const entry = kernel + (position >> 32);
            const long double fraction = (long double) (position & 0xffffffff) / 4294967296.0L;
            e.add (entry[0], ((long double) entry[1] - entry[0]) * fraction, x[-k]);
        }

        return e;
    }

    void expectNear (double sum, const Exact& exact, const char* what, int taps, int read)
    {
        EXPECT_LE (std::fabs ((long double) sum - exact.sum), 1e-13L * exact.magnitude + 1e-300L)
            << what << ", " << taps << " taps, read " << read;
    }
}

TEST (TapSums, EveryLevelAddsUpToTheExactSums)
{
    const auto entries = randomValues (2048, 1), differences = randomValues (2048, 2);
    const auto buffer = randomValues (4096, 3), kernel = randomValues (16384, 4);
    const TapSums::Level levels[] = { TapSums::Level::portable, TapSums::Level::avx2, TapSums::Level::avx512 };

    for (const auto level : levels)
    {
        if (level > TapSums::widestAvailable())
            continue;

        SCOPED_TRACE ((int) level);
        TapSums::allowWideInstructions (level);

        // Lengths around the vectors' widths and the engine's own; offsets that
        // move the rows and the taps against the cache lines.
        for (const int taps : { 1, 3, 4, 7, 9, 16, 32, 45, 256, 1024 })
        {
            for (int offset = 0; offset < 8; ++offset)
            {
                const double* const e = entries.data() + offset;
                const double* const d = differences.data() + offset;
                const double* const x = buffer.data() + 2 * offset + 1;

                for (const bool interpolate : { false, true })
                    expectNear (TapSums::row (e, d, x, 0.3, taps, interpolate), exactRow (e, d, x, 0.3, taps, interpolate),
                                "row", taps, 0);

                // The reads of a steady delay, but for a fraction and a row that break the pattern.
                TapSums::RowRead reads[16];

                for (int r = 0; r < 16; ++r)
                    reads[r] = { e, d, x + r, r == 14 ? 0.2 : 0.7 };

                reads[15].entries = entries.data() + 9;
                double sums[16];
                TapSums::rows (reads, 16, taps, true, sums);

                for (int r = 0; r < 16; ++r)
                    expectNear (sums[r], exactRow (reads[r].entries, reads[r].differences, reads[r].x, reads[r].f, taps, true),
                                "rows", taps, r);

                // Each count of reads of one row splits into groups differently.
                const double* xs[13];
                double fs[13];

                for (int r = 0; r < 13; ++r)
                {
                    xs[r] = x + 3 * r + (r % 2);
                    fs[r] = r / 13.0;
                }

                for (const int count : { 1, 2, 3, 4, 5, 6, 7, 8, 9, 13 })
                {
                    TapSums::rowsOfOnePhase (e, d, taps, xs, fs, count, sums);

                    for (int r = 0; r < count; ++r)
                        expectNear (sums[r], exactRow (e, d, xs[r], fs[r], taps, true), "rowsOfOnePhase", taps, r);
                }
            }
        }

        // Steps from the narrowest to nearly the unstretched one, in 32.32 fixed point.
        for (const double step : { 16.0, 16.37, 88.5, 511.9 })
        {
            const auto fixedStep = (std::int64_t) (step * 4294967296.0);
            const std::int64_t start = fixedStep / 3;
            const int mostTaps = (int) ((((std::int64_t) 16382 << 32) - start) / fixedStep);

            for (const int taps : { 1, 3, 4, 5, 8, 13, 31, mostTaps })
            {
                const double* const x = buffer.data() + 3000;
                expectNear (TapSums::stretched (kernel.data(), x, start, fixedStep, taps),
                            exactStretched (kernel.data(), x, start, fixedStep, taps), "stretched", taps, 0);
            }
        }
    }

    TapSums::allowWideInstructions (TapSums::widestAvailable());
}
