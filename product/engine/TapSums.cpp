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
    /** Keeps a loaded vector in a register: left alone, the compiler folds the
        load into each multiply-add that uses it and loads it again for each.
    */
    __attribute__ ((target ("avx2,fma"), always_inline))
    inline __m256d loadedOnce (__m256d v) noexcept
    {
        asm ("" : "+v" (v));
        return v;
    }

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

    __attribute__ ((target ("avx2,fma")))
    void wideSteadyRows (const double* entries, const double* differences, const double* x,
                         double f, int taps, bool interpolate, int count, double* sums) noexcept
    {
        // Four reads at a time, one per lane: each tap's coefficient multiplies four
        // neighbouring samples, and no lanes need adding up at the end. Each lane adds
        // the products of its read in the order wideRowOf() adds them in its own lanes.
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

    /** The size of the next of the fewest groups of at most `most` reads that
        take the remaining reads, their sizes as even as they can be.
    */
    inline int nextGroupSize (int remaining, int most) noexcept
    {
        return remaining / ((remaining + most - 1) / most);
    }

    template <int reads>
    __attribute__ ((target ("avx2,fma"), always_inline))
    inline void addFourOfOnePhase (const double* entries, const double* differences, const double* const* x, int k,
                                   __m256d* withEntries, __m256d* withDifferences) noexcept
    {
        const __m256d e = _mm256_loadu_pd (entries + k), d = _mm256_loadu_pd (differences + k);

        for (int r = 0; r < reads; ++r)
        {
            const __m256d taps4 = loadedOnce (_mm256_loadu_pd (x[r] + k));
            withEntries[r] = _mm256_fmadd_pd (e, taps4, withEntries[r]);
            withDifferences[r] = _mm256_fmadd_pd (d, taps4, withDifferences[r]);
        }
    }

    /** Adds Σ entries·x and Σ differences·x over the taps from first to last − 1. */
    inline void addTapsApart (const double* entries, const double* differences, const double* x,
                              int first, int last, double& withEntries, double& withDifferences) noexcept
    {
        for (int t = first; t < last; ++t)
        {
            withEntries += entries[t] * x[t];
            withDifferences += differences[t] * x[t];
        }
    }

    /** The reads of one phase row, `reads` of them at a time: each piece of the row
        is loaded once for all of them. A read's two sums would wait on their own
        additions, so it keeps `unroll` pairs of them.
    */
    template <int reads, int unroll>
    __attribute__ ((target ("avx2,fma"), always_inline))
    inline void wideGroupOfOnePhase (const double* entries, const double* differences, int taps,
                                     const double* const* xs, const double* fs, double* sums) noexcept
    {
        const double* x[reads];
        __m256d withEntries[unroll][reads], withDifferences[unroll][reads];

        for (int r = 0; r < reads; ++r)
        {
            x[r] = xs[r];

            for (int u = 0; u < unroll; ++u)
                withEntries[u][r] = withDifferences[u][r] = _mm256_setzero_pd();
        }

        // Loads of the row that straddle cache lines cost two: the taps before the
        // first whole vector at the start of one are summed apart, as are the last.
        const int lead = std::min (taps, (int) ((0 - (std::uintptr_t) entries) % 32) / (int) sizeof (double));
        const int end = lead + (taps - lead) / 4 * 4;
        int k = lead;

        for (; k + 4 * unroll <= end; k += 4 * unroll)
            for (int u = 0; u < unroll; ++u)
                addFourOfOnePhase<reads> (entries, differences, x, k + 4 * u, withEntries[u], withDifferences[u]);

        for (; k < end; k += 4)
            addFourOfOnePhase<reads> (entries, differences, x, k, withEntries[0], withDifferences[0]);

        for (int r = 0; r < reads; ++r)
        {
            __m256d e = withEntries[0][r], d = withDifferences[0][r];

            for (int u = 1; u < unroll; ++u)
            {
                e = _mm256_add_pd (e, withEntries[u][r]);
                d = _mm256_add_pd (d, withDifferences[u][r]);
            }

            double restE = 0.0, restD = 0.0;
            addTapsApart (entries, differences, x[r], 0, lead, restE, restD);
            addTapsApart (entries, differences, x[r], end, taps, restE, restD);

            sums[r] = horizontalSum (_mm256_fmadd_pd (d, _mm256_set1_pd (fs[r]), e)) + (restE + restD * fs[r]);
        }
    }

    __attribute__ ((target ("avx2,fma")))
    void wideRowsOfOnePhase (const double* entries, const double* differences, int taps,
                             const double* const* xs, const double* fs, int count, double* sums) noexcept
    {
        // Five reads share each load of the row and still keep their sums within the sixteen registers.
        for (int first = 0; first < count;)
        {
            const int size = nextGroupSize (count - first, 5);
            const auto* const x = xs + first;
            const auto* const f = fs + first;
            auto* const out = sums + first;

            switch (size)
            {
                case 1:  wideGroupOfOnePhase<1, 4> (entries, differences, taps, x, f, out); break;
                case 2:  wideGroupOfOnePhase<2, 2> (entries, differences, taps, x, f, out); break;
                case 3:  wideGroupOfOnePhase<3, 1> (entries, differences, taps, x, f, out); break;
                case 4:  wideGroupOfOnePhase<4, 1> (entries, differences, taps, x, f, out); break;
                default: wideGroupOfOnePhase<5, 1> (entries, differences, taps, x, f, out); break;
            }

            first += size;
        }
    }

    /** The stretched read's running state: the positions of the next four taps
        (32.32 fixed point) in vector and scalar form.
    */
    struct StretchedTaps
    {
        __m256i position;
        std::int64_t next, step;
    };

    /** Adds four taps of a stretched read to acc. Each tap's entry and the next are
        loaded as a pair, which the processor does faster than gathering them; two
        pairs in a vector and the next two in another interleave into the taps in
        the order k, k+2, k+1, k+3, which the positions and the buffer's taps follow.
    */
    __attribute__ ((target ("avx2,fma"), always_inline))
    inline __m256d addFourStretched (const double* kernel, const double* x, int k, StretchedTaps& t, __m256d acc) noexcept
    {
        // The fraction is the position's low 32 bits, turned into a double by
        // placing them under the exponent of 2^52 and taking 2^52 away again.
        const __m256i lowMask = _mm256_set1_epi64x (0xffffffff);
        const __m256i exponentBits = _mm256_set1_epi64x (0x4330000000000000);
        const __m256d twoTo52 = _mm256_set1_pd (4503599627370496.0);

        const double* const pair0 = kernel + (t.next >> 32);
        const double* const pair1 = kernel + ((t.next + t.step) >> 32);
        const double* const pair2 = kernel + ((t.next + 2 * t.step) >> 32);
        const double* const pair3 = kernel + ((t.next + 3 * t.step) >> 32);
        t.next += 4 * t.step;

        const __m256d pairs01 = _mm256_insertf128_pd (_mm256_castpd128_pd256 (_mm_loadu_pd (pair0)), _mm_loadu_pd (pair1), 1);
        const __m256d pairs23 = _mm256_insertf128_pd (_mm256_castpd128_pd256 (_mm_loadu_pd (pair2)), _mm_loadu_pd (pair3), 1);
        const __m256d e0 = _mm256_unpacklo_pd (pairs01, pairs23), e1 = _mm256_unpackhi_pd (pairs01, pairs23);

        const __m256d f = _mm256_mul_pd (_mm256_sub_pd (_mm256_castsi256_pd (_mm256_or_si256 (_mm256_and_si256 (t.position, lowMask), exponentBits)),
                                                        twoTo52), _mm256_set1_pd (inverseScale));
        t.position = _mm256_add_epi64 (t.position, _mm256_set1_epi64x (4 * t.step));

        const __m256d c = _mm256_fmadd_pd (_mm256_sub_pd (e1, e0), f, e0);
        const __m256d taps4 = _mm256_permute4x64_pd (_mm256_loadu_pd (x - k - 3), 0x27);   // x[-k], x[-k-2], x[-k-1], x[-k-3]
        return _mm256_fmadd_pd (c, taps4, acc);
    }

    __attribute__ ((target ("avx2,fma")))
    double wideStretched (const double* kernel, const double* x,
                          std::int64_t start, std::int64_t step, int taps) noexcept
    {
        StretchedTaps t { _mm256_setr_epi64x (start, start + 2 * step, start + step, start + 3 * step), start, step };

        // Two accumulators, so that the taps need not wait for each other's sums.
        __m256d acc0 = _mm256_setzero_pd(), acc1 = _mm256_setzero_pd();
        int k = 0;

        for (; k + 8 <= taps; k += 8)
        {
            acc0 = addFourStretched (kernel, x, k, t, acc0);
            acc1 = addFourStretched (kernel, x, k + 4, t, acc1);
        }

        if (k + 4 <= taps)
        {
            acc0 = addFourStretched (kernel, x, k, t, acc0);
            k += 4;
        }

        double sum = horizontalSum (_mm256_add_pd (acc0, acc1));

        for (; k < taps; ++k)
        {
            const std::int64_t p = start + k * step;
            const double* const e = kernel + (p >> 32);
            sum += (e[0] + (e[1] - e[0]) * ((double) (p & 0xffffffff) * inverseScale)) * x[-k];
        }

        return sum;
    }

    // The AVX-512 forms: the AVX2 ones at twice the width, their remainders taken
    // with masked loads, whose masked-off lanes touch no memory. Where the AVX2
    // forms measured as fast, they serve this level too: the short rows measured
    // faster in AVX2, as the wider vectors slow the code around them down more
    // than they speed up the few taps.
    #define CORVANE_AVX512 __attribute__ ((target ("avx512f,avx2,fma")))

    inline __mmask8 firstLanes (int count) noexcept
    {
        return (__mmask8) ((1u << count) - 1u);
    }

    CORVANE_AVX512 __attribute__ ((always_inline))
    inline double horizontalSum (__m512d v) noexcept
    {
        // The masked extractions, as the unmasked ones draw false warnings of
        // uninitialised use from GCC 12.
        const __m256d zero = _mm256_setzero_pd();
        return horizontalSum (_mm256_add_pd (_mm512_mask_extractf64x4_pd (zero, 0xff, v, 0),
                                             _mm512_mask_extractf64x4_pd (zero, 0xff, v, 1)));
    }

    CORVANE_AVX512 __attribute__ ((always_inline))
    inline __m512d loadedOnce (__m512d v) noexcept
    {
        asm ("" : "+v" (v));
        return v;
    }

    /** Asks for the rows' entries and differences some way ahead of tap k: a phase
        row is read once for its reads and then left, and the processor's own
        prefetching into the first-level cache measured too slow to keep up with the
        AVX-512 form (though not with the AVX2 one). Near a row's end the address
        lies past it, which a prefetch allows but pointer arithmetic does not.
    */
    __attribute__ ((always_inline))
    inline void prefetchRows (const double* entries, const double* differences, int k) noexcept
    {
        constexpr std::uintptr_t ahead = 256 * sizeof (double);
        _mm_prefetch (reinterpret_cast<const char*> (reinterpret_cast<std::uintptr_t> (entries + k) + ahead), _MM_HINT_T0);
        _mm_prefetch (reinterpret_cast<const char*> (reinterpret_cast<std::uintptr_t> (differences + k) + ahead), _MM_HINT_T0);
    }

    template <int reads>
    CORVANE_AVX512 __attribute__ ((always_inline))
    inline void addEightOfOnePhase (const double* entries, const double* differences, const double* const* x, int k,
                                    __mmask8 lanes, __m512d* withEntries, __m512d* withDifferences) noexcept
    {
        const __m512d e = _mm512_maskz_loadu_pd (lanes, entries + k), d = _mm512_maskz_loadu_pd (lanes, differences + k);
        prefetchRows (entries, differences, k);

        for (int r = 0; r < reads; ++r)
        {
            const __m512d taps8 = loadedOnce (_mm512_maskz_loadu_pd (lanes, x[r] + k));
            withEntries[r] = _mm512_fmadd_pd (e, taps8, withEntries[r]);
            withDifferences[r] = _mm512_fmadd_pd (d, taps8, withDifferences[r]);
        }
    }

    template <int reads, int unroll>
    CORVANE_AVX512 __attribute__ ((always_inline))
    inline void group512OfOnePhase (const double* entries, const double* differences, int taps,
                                    const double* const* xs, const double* fs, double* sums) noexcept
    {
        const double* x[reads];
        __m512d withEntries[unroll][reads], withDifferences[unroll][reads];

        for (int r = 0; r < reads; ++r)
        {
            x[r] = xs[r];

            for (int u = 0; u < unroll; ++u)
                withEntries[u][r] = withDifferences[u][r] = _mm512_setzero_pd();
        }

        // Loads of the row that straddle cache lines cost two: a first, partial
        // piece brings them to the start of a line.
        int k = (int) ((0 - (std::uintptr_t) entries) % 64) / (int) sizeof (double);

        if (k > 0 && k < taps)
            addEightOfOnePhase<reads> (entries, differences, x, 0, firstLanes (k), withEntries[0], withDifferences[0]);
        else
            k = 0;

        for (; k + 8 * unroll <= taps; k += 8 * unroll)
            for (int u = 0; u < unroll; ++u)
                addEightOfOnePhase<reads> (entries, differences, x, k + 8 * u, 0xff, withEntries[u], withDifferences[u]);

        for (; k < taps; k += 8)
            addEightOfOnePhase<reads> (entries, differences, x, k, firstLanes (std::min (8, taps - k)),
                                       withEntries[0], withDifferences[0]);

        for (int r = 0; r < reads; ++r)
        {
            __m512d e = withEntries[0][r], d = withDifferences[0][r];

            for (int u = 1; u < unroll; ++u)
            {
                e = _mm512_add_pd (e, withEntries[u][r]);
                d = _mm512_add_pd (d, withDifferences[u][r]);
            }

            sums[r] = horizontalSum (_mm512_fmadd_pd (d, _mm512_set1_pd (fs[r]), e));
        }
    }

    CORVANE_AVX512
    void rows512OfOnePhase (const double* entries, const double* differences, int taps,
                            const double* const* xs, const double* fs, int count, double* sums) noexcept
    {
        // Eight reads share each load of the row; their sixteen sums leave half the registers free.
        for (int first = 0; first < count;)
        {
            const int size = nextGroupSize (count - first, 8);
            const auto* const x = xs + first;
            const auto* const f = fs + first;
            auto* const out = sums + first;

            switch (size)
            {
                case 1:  group512OfOnePhase<1, 4> (entries, differences, taps, x, f, out); break;
                case 2:  group512OfOnePhase<2, 2> (entries, differences, taps, x, f, out); break;
                case 3:  group512OfOnePhase<3, 2> (entries, differences, taps, x, f, out); break;
                case 4:  group512OfOnePhase<4, 1> (entries, differences, taps, x, f, out); break;
                case 5:  group512OfOnePhase<5, 1> (entries, differences, taps, x, f, out); break;
                case 6:  group512OfOnePhase<6, 1> (entries, differences, taps, x, f, out); break;
                case 7:  group512OfOnePhase<7, 1> (entries, differences, taps, x, f, out); break;
                default: group512OfOnePhase<8, 1> (entries, differences, taps, x, f, out); break;
            }

            first += size;
        }
    }

    #undef CORVANE_AVX512

    TapSums::Level processorLevel() noexcept
    {
        __builtin_cpu_init();

        if (__builtin_cpu_supports ("avx512f") && __builtin_cpu_supports ("avx2") && __builtin_cpu_supports ("fma"))
            return TapSums::Level::avx512;

        if (__builtin_cpu_supports ("avx2") && __builtin_cpu_supports ("fma"))
            return TapSums::Level::avx2;

        return TapSums::Level::portable;
    }
   #else
    TapSums::Level processorLevel() noexcept    { return TapSums::Level::portable; }
   #endif

    std::atomic<TapSums::Level>& levelInUse() noexcept
    {
        static std::atomic<TapSums::Level> inUse { processorLevel() };
        return inUse;
    }
}

double TapSums::row (const double* entries, const double* differences, const double* x,
                     double f, int taps, bool interpolate) noexcept
{
    switch (levelInUse().load (std::memory_order_relaxed))
    {
       #if CORVANE_WIDE_TAP_SUMS
        case Level::avx512:
        case Level::avx2:   return wideRow (entries, differences, x, f, taps, interpolate);
       #endif
        default:            return portableRow (entries, differences, x, f, taps, interpolate);
    }
}

void TapSums::rows (const RowRead* reads, int count, int taps, bool interpolate, double* sums) noexcept
{
    switch (levelInUse().load (std::memory_order_relaxed))
    {
       #if CORVANE_WIDE_TAP_SUMS
        case Level::avx512:
        case Level::avx2:   return wideRows (reads, count, taps, interpolate, sums);
       #endif
        default:
            for (int r = 0; r < count; ++r)
                sums[r] = portableRow (reads[r].entries, reads[r].differences, reads[r].x, reads[r].f, taps, interpolate);
    }
}

void TapSums::steadyRows (const double* entries, const double* differences, const double* x,
                          double f, int taps, bool interpolate, int count, double* sums) noexcept
{
    switch (levelInUse().load (std::memory_order_relaxed))
    {
       #if CORVANE_WIDE_TAP_SUMS
        // The lanes hold the taps eight apart, as the rows of the plain reads have
        // them; AVX-512 measured no faster on rows this short.
        case Level::avx512:
        case Level::avx2:
            if (taps % 8 == 0 && taps <= 1024)
                return wideSteadyRows (entries, differences, x, f, taps, interpolate, count, sums);

            break;
       #endif
        default:
            break;
    }

    for (int j = 0; j < count; ++j)
        sums[j] = row (entries, differences, x + j, f, taps, interpolate);
}

void TapSums::rowsOfOnePhase (const double* entries, const double* differences, int taps,
                              const double* const* xs, const double* fs, int count, double* sums) noexcept
{
    switch (levelInUse().load (std::memory_order_relaxed))
    {
       #if CORVANE_WIDE_TAP_SUMS
        case Level::avx512: return rows512OfOnePhase (entries, differences, taps, xs, fs, count, sums);
        case Level::avx2:   return wideRowsOfOnePhase (entries, differences, taps, xs, fs, count, sums);
       #endif
        default:
            for (int r = 0; r < count; ++r)
                sums[r] = portableRow (entries, differences, xs[r], fs[r], taps, true);
    }
}

double TapSums::stretched (const double* kernel, const double* x,
                           std::int64_t start, std::int64_t step, int taps) noexcept
{
    switch (levelInUse().load (std::memory_order_relaxed))
    {
       #if CORVANE_WIDE_TAP_SUMS
        case Level::avx512:
        case Level::avx2:   return wideStretched (kernel, x, start, step, taps);
       #endif
        default:            return portableStretched (kernel, x, start, step, taps);
    }
}

TapSums::Level TapSums::widestAvailable() noexcept
{
    return processorLevel();
}

void TapSums::allowWideInstructions (Level widest) noexcept
{
    levelInUse().store (std::min (widest, processorLevel()));
}
