#include "TapSums.h"

#include <algorithm>
#include <atomic>

#if defined (__x86_64__) || defined (__i386__)
 #include <immintrin.h>
 #define CORVANE_WIDE_TAP_SUMS 1
#else
 #define CORVANE_WIDE_TAP_SUMS 0
#endif

namespace
{
    constexpr double inverseScale = 1.0 / 4294967296.0;

    /** Four partial sums taking turns, so that the taps need not wait for each
        other; a remainder goes to the first.
    */
    template <typename Tap>
    double sumTaps (int taps, Tap&& tap) noexcept
    {
        double acc[4] = {};
        int k = 0;

        for (; k + 4 <= taps; k += 4)
            for (int m = 0; m < 4; ++m)
                acc[m] += tap (k + m);

        for (; k < taps; ++k)
            acc[0] += tap (k);

        return (acc[0] + acc[1]) + (acc[2] + acc[3]);
    }

    double portableRow (const double* entries, const double* differences, const double* x,
                        double f, int taps, bool interpolate) noexcept
    {
        if (interpolate)
            return sumTaps (taps, [=] (int k) noexcept { return (entries[k] + differences[k] * f) * x[k]; });

        return sumTaps (taps, [=] (int k) noexcept { return entries[k] * x[k]; });
    }

    double portableStretched (const double* kernel, const double* x,
                              std::int64_t start, std::int64_t step, int taps) noexcept
    {
        return sumTaps (taps, [=] (int k) noexcept
        {
            const std::int64_t position = start + k * step;
            const double* const e = kernel + (position >> 32);
            const double f = (double) (position & 0xffffffff) * inverseScale;
            return (e[0] + (e[1] - e[0]) * f) * x[-k];
        });
    }

   #if CORVANE_WIDE_TAP_SUMS
    __attribute__ ((target ("avx2,fma"), always_inline))
    inline double horizontalSum (__m256d v) noexcept
    {
        alignas (32) double lanes[4];
        _mm256_store_pd (lanes, v);
        return (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
    }

    /** The long rows take a loop; the short ones know their length at compile
        time, so that it unrolls completely.
    */
    template <int knownTaps>
    __attribute__ ((target ("avx2,fma"), always_inline))
    inline double wideRowOf (const double* entries, const double* differences, const double* x,
                             double f, int numTaps, bool interpolate) noexcept
    {
        const int taps = knownTaps > 0 ? knownTaps : numTaps;

        // Two accumulators hide the latency of the fused steps.
        __m256d acc0 = _mm256_setzero_pd(), acc1 = _mm256_setzero_pd();
        const __m256d vf = _mm256_set1_pd (f);
        int k = 0;

        if (interpolate)
        {
            for (; k + 8 <= taps; k += 8)
            {
                const __m256d c0 = _mm256_fmadd_pd (_mm256_loadu_pd (differences + k), vf, _mm256_loadu_pd (entries + k));
                const __m256d c1 = _mm256_fmadd_pd (_mm256_loadu_pd (differences + k + 4), vf, _mm256_loadu_pd (entries + k + 4));
                acc0 = _mm256_fmadd_pd (c0, _mm256_loadu_pd (x + k), acc0);
                acc1 = _mm256_fmadd_pd (c1, _mm256_loadu_pd (x + k + 4), acc1);
            }
        }
        else
        {
            for (; k + 8 <= taps; k += 8)
            {
                acc0 = _mm256_fmadd_pd (_mm256_loadu_pd (entries + k), _mm256_loadu_pd (x + k), acc0);
                acc1 = _mm256_fmadd_pd (_mm256_loadu_pd (entries + k + 4), _mm256_loadu_pd (x + k + 4), acc1);
            }
        }

        double sum = horizontalSum (_mm256_add_pd (acc0, acc1));

        for (; k < taps; ++k)
            sum += (interpolate ? entries[k] + differences[k] * f : entries[k]) * x[k];

        return sum;
    }

    __attribute__ ((target ("avx2,fma")))
    double wideRow (const double* entries, const double* differences, const double* x,
                    double f, int taps, bool interpolate) noexcept
    {
        if (taps == 16)
            return wideRowOf<16> (entries, differences, x, f, taps, interpolate);

        if (taps == 32)
            return wideRowOf<32> (entries, differences, x, f, taps, interpolate);

        return wideRowOf<0> (entries, differences, x, f, taps, interpolate);
    }

    template <int knownTaps>
    __attribute__ ((target ("avx2,fma")))
    void wideRowsOf (const TapSums::RowRead* reads, int count, int taps, bool interpolate, double* sums) noexcept
    {
        for (int r = 0; r < count; ++r)
            sums[r] = wideRowOf<knownTaps> (reads[r].entries, reads[r].differences, reads[r].x, reads[r].f, taps, interpolate);
    }

    __attribute__ ((target ("avx2,fma")))
    void wideRows (const TapSums::RowRead* reads, int count, int taps, bool interpolate, double* sums) noexcept
    {
        // The common lengths get loops of their own, so that each read unrolls inside them.
        if (taps == 16)
            wideRowsOf<16> (reads, count, taps, interpolate, sums);
        else if (taps == 32)
            wideRowsOf<32> (reads, count, taps, interpolate, sums);
        else
            wideRowsOf<0> (reads, count, taps, interpolate, sums);
    }

    __attribute__ ((target ("avx2,fma")))
    void wideRowsOfOnePhase (const double* entries, const double* differences, int taps,
                             const double* const* xs, const double* fs, int count, double* sums) noexcept
    {
        // Each read keeps the two accumulators of wideRowOf() and adds its taps in
        // the same order, so the sums are the same; only the reads take turns.
        constexpr int piece = 128;
        constexpr int maximumReads = 64;
        __m256d acc[maximumReads][2];
        const int whole = taps - taps % 8;

        for (int start = 0; start < count; start += maximumReads)
        {
            const int reads = std::min (maximumReads, count - start);

            for (int r = 0; r < reads; ++r)
                acc[r][0] = acc[r][1] = _mm256_setzero_pd();

            for (int first = 0; first < whole; first += piece)
            {
                const int last = std::min (first + piece, whole);

                for (int r = 0; r < reads; ++r)
                {
                    const double* const x = xs[start + r];
                    const __m256d vf = _mm256_set1_pd (fs[start + r]);
                    __m256d acc0 = acc[r][0], acc1 = acc[r][1];

                    for (int k = first; k < last; k += 8)
                    {
                        const __m256d c0 = _mm256_fmadd_pd (_mm256_loadu_pd (differences + k), vf, _mm256_loadu_pd (entries + k));
                        const __m256d c1 = _mm256_fmadd_pd (_mm256_loadu_pd (differences + k + 4), vf, _mm256_loadu_pd (entries + k + 4));
                        acc0 = _mm256_fmadd_pd (c0, _mm256_loadu_pd (x + k), acc0);
                        acc1 = _mm256_fmadd_pd (c1, _mm256_loadu_pd (x + k + 4), acc1);
                    }

                    acc[r][0] = acc0;
                    acc[r][1] = acc1;
                }
            }

            for (int r = 0; r < reads; ++r)
            {
                const double* const x = xs[start + r];
                const double f = fs[start + r];
                double sum = horizontalSum (_mm256_add_pd (acc[r][0], acc[r][1]));

                for (int k = whole; k < taps; ++k)
                    sum += (entries[k] + differences[k] * f) * x[k];

                sums[start + r] = sum;
            }
        }
    }

    __attribute__ ((target ("avx2,fma")))
    void wideSteadyRows (const double* entries, const double* differences, const double* x,
                         double f, int taps, bool interpolate, int count, double* sums) noexcept
    {
        // Four reads at a time, one per lane: each lane adds the products of its read
        // in the order wideRowOf() adds them in its own lanes, so the sums are the same.
        alignas (32) double c[1024];
        const __m256d vf = _mm256_set1_pd (f);

        for (int k = 0; k < taps; k += 4)
        {
            const __m256d e = _mm256_loadu_pd (entries + k);
            _mm256_store_pd (c + k, interpolate ? _mm256_fmadd_pd (_mm256_loadu_pd (differences + k), vf, e) : e);
        }

        int j = 0;

        for (; j + 4 <= count; j += 4)
        {
            __m256d lane[4];

            for (int m = 0; m < 4; ++m)
            {
                __m256d a = _mm256_mul_pd (_mm256_set1_pd (c[m]), _mm256_loadu_pd (x + j + m));
                __m256d b = _mm256_mul_pd (_mm256_set1_pd (c[m + 4]), _mm256_loadu_pd (x + j + m + 4));

                for (int k = 8; k < taps; k += 8)
                {
                    a = _mm256_fmadd_pd (_mm256_set1_pd (c[k + m]), _mm256_loadu_pd (x + j + k + m), a);
                    b = _mm256_fmadd_pd (_mm256_set1_pd (c[k + m + 4]), _mm256_loadu_pd (x + j + k + m + 4), b);
                }

                lane[m] = _mm256_add_pd (a, b);
            }

            _mm256_storeu_pd (sums + j, _mm256_add_pd (_mm256_add_pd (lane[0], lane[1]), _mm256_add_pd (lane[2], lane[3])));
        }

        for (; j < count; ++j)
            sums[j] = wideRow (entries, differences, x + j, f, taps, interpolate);
    }

    __attribute__ ((target ("avx2,fma")))
    double wideStretched (const double* kernel, const double* x,
                          std::int64_t start, std::int64_t step, int taps) noexcept
    {
        // The fraction is the position's low 32 bits, turned into a double by
        // placing them under the exponent of 2^52 and taking 2^52 away again.
        const __m256i lowMask = _mm256_set1_epi64x (0xffffffff);
        const __m256i exponentBits = _mm256_set1_epi64x (0x4330000000000000);
        const __m256d twoTo52 = _mm256_set1_pd (4503599627370496.0);
        const __m256d scale = _mm256_set1_pd (inverseScale);
        const __m256i fourSteps = _mm256_set1_epi64x (4 * step);

        __m256i position = _mm256_setr_epi64x (start, start + step, start + 2 * step, start + 3 * step);

        __m256d acc = _mm256_setzero_pd();
        int k = 0;

        for (; k + 4 <= taps; k += 4)
        {
            const __m256i entry = _mm256_srli_epi64 (position, 32);
            const __m256d e0 = _mm256_i64gather_pd (kernel, entry, 8);
            const __m256d e1 = _mm256_i64gather_pd (kernel + 1, entry, 8);
            const __m256d f = _mm256_mul_pd (_mm256_sub_pd (_mm256_castsi256_pd (_mm256_or_si256 (_mm256_and_si256 (position, lowMask), exponentBits)),
                                                            twoTo52), scale);
            const __m256d c = _mm256_fmadd_pd (_mm256_sub_pd (e1, e0), f, e0);
            const __m256d taps4 = _mm256_permute4x64_pd (_mm256_loadu_pd (x - k - 3), 0x1b);   // x[-k] … x[-k-3]
            acc = _mm256_fmadd_pd (c, taps4, acc);
            position = _mm256_add_epi64 (position, fourSteps);
        }

        double sum = horizontalSum (acc);

        for (; k < taps; ++k)
        {
            const std::int64_t p = start + k * step;
            const double* const e = kernel + (p >> 32);
            sum += (e[0] + (e[1] - e[0]) * ((double) (p & 0xffffffff) * inverseScale)) * x[-k];
        }

        return sum;
    }

    bool processorHasWideInstructions() noexcept
    {
        __builtin_cpu_init();
        return __builtin_cpu_supports ("avx2") && __builtin_cpu_supports ("fma");
    }
   #else
    bool processorHasWideInstructions() noexcept    { return false; }
   #endif

    std::atomic<bool>& wideInUse() noexcept
    {
        static std::atomic<bool> inUse { processorHasWideInstructions() };
        return inUse;
    }
}

double TapSums::row (const double* entries, const double* differences, const double* x,
                     double f, int taps, bool interpolate) noexcept
{
   #if CORVANE_WIDE_TAP_SUMS
    if (wideInUse().load (std::memory_order_relaxed))
        return wideRow (entries, differences, x, f, taps, interpolate);
   #endif

    return portableRow (entries, differences, x, f, taps, interpolate);
}

void TapSums::rows (const RowRead* reads, int count, int taps, bool interpolate, double* sums) noexcept
{
   #if CORVANE_WIDE_TAP_SUMS
    if (wideInUse().load (std::memory_order_relaxed))
        return wideRows (reads, count, taps, interpolate, sums);
   #endif

    for (int r = 0; r < count; ++r)
        sums[r] = portableRow (reads[r].entries, reads[r].differences, reads[r].x, reads[r].f, taps, interpolate);
}

void TapSums::rowsOfOnePhase (const double* entries, const double* differences, int taps,
                              const double* const* xs, const double* fs, int count, double* sums) noexcept
{
   #if CORVANE_WIDE_TAP_SUMS
    if (wideInUse().load (std::memory_order_relaxed))
        return wideRowsOfOnePhase (entries, differences, taps, xs, fs, count, sums);
   #endif

    for (int r = 0; r < count; ++r)
        sums[r] = portableRow (entries, differences, xs[r], fs[r], taps, true);
}

void TapSums::steadyRows (const double* entries, const double* differences, const double* x,
                          double f, int taps, bool interpolate, int count, double* sums) noexcept
{
   #if CORVANE_WIDE_TAP_SUMS
    // The lanes hold the taps eight apart, as the rows of the plain reads have them.
    if (wideInUse().load (std::memory_order_relaxed) && taps % 8 == 0 && taps <= 1024)
        return wideSteadyRows (entries, differences, x, f, taps, interpolate, count, sums);
   #endif

    for (int j = 0; j < count; ++j)
        sums[j] = row (entries, differences, x + j, f, taps, interpolate);
}

double TapSums::stretched (const double* kernel, const double* x,
                           std::int64_t start, std::int64_t step, int taps) noexcept
{
   #if CORVANE_WIDE_TAP_SUMS
    if (wideInUse().load (std::memory_order_relaxed))
        return wideStretched (kernel, x, start, step, taps);
   #endif

    return portableStretched (kernel, x, start, step, taps);
}

void TapSums::allowWideInstructions (bool shouldAllow) noexcept
{
    wideInUse().store (shouldAllow && processorHasWideInstructions());
}
