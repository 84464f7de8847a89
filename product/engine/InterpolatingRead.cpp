#include "InterpolatingRead.h"

#include "TapSums.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <map>
#include <mutex>
#include <tuple>

#if defined (__SSE2__)
 #include <emmintrin.h>
#endif

namespace
{
    constexpr int kernel16Last = 8190;     // the last entry of kernel16 that interpolation may pair with its neighbour
    constexpr int widestNarrowSpacing = 64;     // the widest of the narrow steps that have rows of their own


    /** Reads x through the rows of phase p; x points at the newest tap. */
    template <bool interpolate, typename Rows>
    double phaseSum (const Rows& rows, const double* x, int p, double f) noexcept
    {
        const int taps = rows.taps;
        const auto offset = (std::size_t) (p * taps);
        return TapSums::row (rows.entries.data() + offset, rows.differences.data() + offset,
                             x - (taps - 1), f, taps, interpolate);
    }
}

InterpolatingRead::PhaseRows::PhaseRows (const double* kernel, int numTaps, int last, int rowSpacing)
    : taps (numTaps),
      spacing (rowSpacing),
      entries ((std::size_t) (spacing * numTaps)),
      differences ((std::size_t) (spacing * numTaps))
{
    // A tap at entry e is read when the read position is below last, which for
    // every position of phase p is when e = p + spacing·k < last.
    for (int p = 0; p < spacing; ++p)
    {
        for (int k = 0; k < taps; ++k)
        {
            const int e = p + spacing * k;
            const auto slot = (std::size_t) (p * taps + taps - 1 - k);

            if (e < last)
            {
                entries[slot] = kernel[e];
                differences[slot] = kernel[e + 1] - kernel[e];
            }
        }
    }
}

std::shared_ptr<const InterpolatingRead::PhaseRows> InterpolatingRead::sharedRows (const double* kernel, int taps,
                                                                                  int last, int spacing)
{
    // A live layout means a live reader, whose kernel must still exist: a kernel's
    // address cannot be reused while its entry here can be locked.
    static std::mutex lock;
    static std::map<std::tuple<const double*, int, int, int>, std::weak_ptr<const PhaseRows>> layouts;

    const std::lock_guard<std::mutex> guard (lock);
    auto& slot = layouts[{ kernel, taps, last, spacing }];

    if (auto existing = slot.lock())
        return existing;

    for (auto i = layouts.begin(); i != layouts.end();)
        i = i->second.expired() && &i->second != &slot ? layouts.erase (i) : std::next (i);

    auto rows = std::make_shared<const PhaseRows> (kernel, taps, last, spacing);
    slot = rows;
    return rows;
}

double InterpolatingRead::stretchedSum (const double* x, double phi0, double step, int maximumStepTaps) const noexcept
{
    constexpr double scale = 4294967296.0;

    const auto phiStep = (std::int64_t) (step * scale);
    const auto start = (std::int64_t) (phi0 * scale);
    const auto span = ((std::int64_t) kernel32Last << 32) - start;

    // The taps whose position lies before the kernel's usable end: all but at most
    // the last one or two of the step's most, found without a 64-bit division.
    int taps = maximumStepTaps;

    while (taps > 0 && (std::int64_t) (taps - 1) * phiStep >= span)
        --taps;

    return TapSums::stretched (kernel32, x, start, phiStep, taps);
}

InterpolatingRead::InterpolatingRead (const double* k16, const double* k32)
    : kernel32 (k32),
      rows16 (sharedRows (k16, 16, kernel16Last, 512)),
      rows32 (sharedRows (k32, 32, kernel32Last, 512)),
      narrowRows { sharedRows (k32, (kernel32Last + 63) / 64, kernel32Last, 64),
                   sharedRows (k32, (kernel32Last + 15) / 16, kernel32Last, 16) }
{
}

void InterpolatingRead::setQuality (int interpolationMode, double newMinimumStep) noexcept
{
    mode = interpolationMode;
    // A step of 0 would never leave the tap loop; 16 is the narrowest that any quality asks for.
    minimumStep = newMinimumStep >= 16.0 ? std::min (newMinimumStep, phases) : 16.0;
}

float InterpolatingRead::read (const double* buffer, int writeIndex, int bufferLength,
                               double& delay, double previousDelay, int freshSamples) const noexcept
{
    const bool stretched = (mode == 2 || mode == 3);

    double d = delay > 0.0 ? delay : 0.0;   // also turns NaN into 0
    const double step = stretched ? getStep (previousDelay, d) : phases;
    const int taps = getMaximumTaps (step);
    d = std::min (d, (double) (bufferLength - taps));
    delay = d;

    const int newestIndex = newestPosition (writeIndex, bufferLength);
    const double pos = (double) newestIndex - d;
    const int i = (int) pos;
    const double frac = pos - i;
    const double phi0 = frac * (stretched ? step : phases);
    const double* const oldest = buffer + oldestTap (i, taps, bufferLength);

    // Taps older than the fresh samples are read from a copy in which they are
    // silent, exactly as if the buffer had been zeroed.
    const int oldestAge = newestIndex - i + taps - 1;

    if (oldestAge < freshSamples)
        return (float) tapSum (oldest + taps - 1, step, phi0);

    double window[maximumTaps];

    for (int k = 0; k < taps; ++k)
        window[k] = oldestAge - k < freshSamples ? oldest[k] : 0.0;

    return (float) tapSum (window + taps - 1, step, phi0);
}

// Clang (14 at least) names the dispatcher of the clones apart from the function, so
// that calls from other files do not link; and under ThreadSanitizer the dispatcher runs
// before the sanitizer's runtime is up and crashes. There the function keeps its one
// plain form.
#if (defined (__x86_64__) || defined (__i386__)) && ! defined (__clang__) && ! defined (__SANITIZE_THREAD__)
__attribute__ ((target_clones ("avx2", "default")))
#endif
void InterpolatingRead::readRuns (const Run* runs, int numRuns, int writeIndex, int bufferLength, int count,
                                  int freshSamples) const noexcept
{
    // The reads at the unstretched step all take rows of one length: they are
    // gathered and summed together. The reads at one of the narrow steps are
    // gathered by phase, so that each row serves all reads of its phase, of every
    // run, while it is in the cache. The others, and any that reach stale memory,
    // go through read() one by one.
    const bool stretched = (mode == 2 || mode == 3);
    const PhaseRows& rows = stretched ? *rows32 : *rows16;
    const int taps = rows.taps;
    constexpr int capacity = maximumRuns * maximumRun;

    TapSums::RowRead gathered[capacity];
    float* gatheredOut[capacity];
    int numGathered = 0;

    struct NarrowRead { int phase; float* out; const double* x; double f; };
    NarrowRead narrow[2][capacity];
    int numNarrow[2] = {};

    // The narrow rows' steps and lengths, read once rather than through their pointers every read.
    const double narrowSpacing[2] = { (double) narrowRows[0]->spacing, (double) narrowRows[1]->spacing };
    const int narrowTaps[2] = { narrowRows[0]->taps, narrowRows[1]->taps };

    // Where a read goes by its step: with the other reads of the plain rows, with
    // the reads of its narrow row, or, at any other step, straight to its sum.
    auto gatherPlain = [&] (const double* buffer, int i, double frac, float* destination)
    {
        const double phi0 = frac * phases;
        const int p = (int) phi0;
        const auto offset = (std::size_t) (p * taps);
        gathered[numGathered] = { rows.entries.data() + offset, rows.differences.data() + offset,
                                  buffer + oldestTap (i, taps, bufferLength), phi0 - p };
        gatheredOut[numGathered++] = destination;
    };

    auto gatherNarrow = [&] (int n, const double* buffer, int i, double frac, double step, float* destination)
    {
        const double phi0 = frac * step;
        const int p = (int) phi0;
        narrow[n][numNarrow[n]++] = { p, destination, buffer + oldestTap (i, narrowTaps[n], bufferLength), phi0 - p };
    };

    auto readStretched = [&] (const double* buffer, int i, double frac, double step)
    {
        // Keeps the stretched kernel's gain equal to the unstretched one's.
        const int stepTaps = getMaximumTaps (step);
        const double* const x = buffer + oldestTap (i, stepTaps, bufferLength) + stepTaps - 1;
        return (float) (step * 0.001953125 * stretchedSum (x, frac * step, step, stepTaps));
    };

    for (int runIndex = 0; runIndex < std::min (numRuns, maximumRuns); ++runIndex)
    {
        const double* const buffer = runs[runIndex].buffer;
        const double* const delays = runs[runIndex].delays;
        float* const out = runs[runIndex].out;
        double previousDelay = runs[runIndex].previousDelay;

        if (readSteadyRun (buffer, writeIndex, bufferLength, delays, count, previousDelay, freshSamples, out))
            continue;

        // With every sample fresh, a plain read never reaches stale memory (the caller
        // keeps the delays within the buffer): the whole run is gathered in a loop
        // without branches.
        int firstLeft = 0;

        if (! stretched && freshSamples >= bufferLength)
        {
            for (int j = 0; j < count; ++j)
            {
                const int at = writeIndex + j < bufferLength ? writeIndex + j : writeIndex + j - bufferLength;
                const double pos = (double) newestPosition (at, bufferLength) - delays[j];
                const int i = (int) pos;
                gatherPlain (buffer, i, pos - i, out + j);
            }

            firstLeft = count;
        }
        else if (freshSamples >= bufferLength)
        {
            // The same for the stretched reads, each sent where its step is summed.
            for (int j = 0; j < count; ++j)
            {
                const double d = delays[j];
                const double step = getStep (j == 0 ? previousDelay : delays[j - 1], d);
                const int at = writeIndex + j < bufferLength ? writeIndex + j : writeIndex + j - bufferLength;
                const double pos = (double) newestPosition (at, bufferLength) - d;
                const int i = (int) pos;
                const double frac = pos - i;
                const int n = step == narrowSpacing[0] ? 0 : (step == narrowSpacing[1] ? 1 : -1);

                if (step == phases)
                    gatherPlain (buffer, i, frac, out + j);
                else if (n >= 0)
                    gatherNarrow (n, buffer, i, frac, step, out + j);
                else
                    out[j] = readStretched (buffer, i, frac, step);
            }

            firstLeft = count;
        }

        for (int j = firstLeft, at = writeIndex; j < count; ++j)
        {
            double d = delays[j];
            const int newest = newestPosition (at, bufferLength);
            const int fresh = std::min (freshSamples + j, bufferLength);
            const double step = stretched ? getStep (previousDelay, d) : phases;

            const double pos = (double) newest - d;
            const int i = (int) pos;
            const double frac = pos - i;
            bool taken = false;

            if (step == phases && newest - i + taps - 1 < fresh)
            {
                gatherPlain (buffer, i, frac, out + j);
                taken = true;
            }
            else if (stretched)
            {
                for (int n = 0; n < 2 && ! taken; ++n)
                {
                    if (step == narrowSpacing[n] && newest - i + narrowTaps[n] - 1 < fresh)
                    {
                        gatherNarrow (n, buffer, i, frac, step, out + j);
                        taken = true;
                    }
                }
            }

            // Any other step of a stretched read, as read() takes it when nothing is clamped or stale.
            if (! taken && stretched && newest - i + getMaximumTaps (step) - 1 < fresh)
            {
                out[j] = readStretched (buffer, i, frac, step);
                taken = true;
            }

            if (! taken)
                out[j] = read (buffer, at, bufferLength, d, previousDelay, fresh);

            previousDelay = d;

            if (++at >= bufferLength)
                at = 0;
        }
    }

    double sums[capacity];

    if (numGathered > 0)
        TapSums::rows (gathered, numGathered, taps, mode == 1 || stretched, sums);

    for (int g = 0; g < numGathered; ++g)
        *gatheredOut[g] = (float) (stretched ? sums[g] : sums[g] * 1.2);

    for (int n = 0; n < 2; ++n)
    {
        const PhaseRows& narrowRowsN = *narrowRows[n];
        const NarrowRead* const reads = narrow[n];
        const int numReads = numNarrow[n];
        const int spacing = narrowRowsN.spacing;

        if (numReads == 0)
            continue;

        // Sorted by phase by counting, so that the reads of each phase lie side by side.
        int phaseStart[widestNarrowSpacing + 1] = {};

        for (int r = 0; r < numReads; ++r)
            ++phaseStart[reads[r].phase + 1];

        for (int p = 0; p < spacing; ++p)
            phaseStart[p + 1] += phaseStart[p];

        int nextSlot[widestNarrowSpacing];
        std::copy (phaseStart, phaseStart + spacing, nextSlot);

        const double* xs[capacity];
        double fs[capacity];
        float* outs[capacity];

        for (int r = 0; r < numReads; ++r)
        {
            const int slot = nextSlot[reads[r].phase]++;
            xs[slot] = reads[r].x;
            fs[slot] = reads[r].f;
            outs[slot] = reads[r].out;
        }

        for (int p = 0; p < spacing; ++p)
        {
            const int first = phaseStart[p], size = phaseStart[p + 1] - first;

            if (size > 0)
            {
                const auto offset = (std::size_t) (p * narrowRowsN.taps);
                TapSums::rowsOfOnePhase (narrowRowsN.entries.data() + offset, narrowRowsN.differences.data() + offset,
                                         narrowRowsN.taps, xs + first, fs + first, size, sums + first);
            }
        }

        // Keeps the stretched kernel's gain equal to the unstretched one's.
        const double gain = spacing * 0.001953125;

        for (int slot = 0; slot < numReads; ++slot)
            *outs[slot] = (float) (gain * sums[slot]);
    }
}

bool InterpolatingRead::readSteadyRun (const double* buffer, int writeIndex, int bufferLength, const double* delays,
                                       int count, double previousDelay, int freshSamples, float* out) const noexcept
{
    const double d = delays[0];
    bool same = true;
    int j = 0;

   #if defined (__SSE2__)
    // Two delays at a time: a loop that leaves early is left one by one by the compiler.
    const __m128d first = _mm_set1_pd (d);
    __m128d pairsSame = _mm_cmpeq_pd (first, first);

    for (; j + 2 <= count; j += 2)
        pairsSame = _mm_and_pd (pairsSame, _mm_cmpeq_pd (_mm_loadu_pd (delays + j), first));   // also refuses NaN

    same = _mm_movemask_pd (pairsSame) == 3;
   #endif

    for (; j < count; ++j)
        same &= delays[j] == d;

    if (! same)
        return false;

    const bool stretched = (mode == 2 || mode == 3);

    if (count < 2 || (stretched && getStep (previousDelay, d) != phases))
        return false;

    const PhaseRows& rows = stretched ? *rows32 : *rows16;
    const int taps = rows.taps;
    const int newest = newestPosition (writeIndex, bufferLength);
    const double pos = (double) newest - d;
    const int i = (int) pos;
    const double frac = pos - i;

    // Later reads only have more fresh samples behind them.
    if (! (newest - i + taps - 1 < std::min (freshSamples, bufferLength)))
        return false;

    // Every read must land at the same fraction, its taps one entry on from the
    // read before. Positions that all lie between the same powers of two are
    // rounded on the same grid, to which a whole number of samples adds exactly;
    // positions computed across a wrap of the write index are not.
    const int oldest = oldestTap (i, taps, bufferLength);
    const int last = count - 1;
    const double lastPos = (double) (newest + last) - d;

    if (writeIndex + last >= bufferLength || std::ilogb (lastPos) != std::ilogb (pos)
         || oldestTap (i + last, taps, bufferLength) != oldest + last)
        return false;

    const double phi0 = frac * phases;
    const int p = (int) phi0;
    const auto offset = (std::size_t) (p * taps);
    double sums[maximumRun];
    TapSums::steadyRows (rows.entries.data() + offset, rows.differences.data() + offset, buffer + oldest,
                         phi0 - p, taps, mode == 1 || stretched, count, sums);

    for (int j = 0; j < count; ++j)
        out[j] = (float) (stretched ? sums[j] : sums[j] * 1.2);

    // A delay that held still will most likely hold still over the next run too,
    // whose taps lie just past these.
    for (int ahead = count + taps - 1; ahead < 2 * count + taps - 1; ahead += 8)
        __builtin_prefetch (buffer + std::min (oldest + ahead, bufferLength + guardLength - 1));

    return true;
}

double InterpolatingRead::tapSum (const double* x, double step, double phi0) const noexcept
{
    // Every read whose taps lie a whole number of entries apart has rows for its phase.
    const int p = (int) phi0;
    const double f = phi0 - p;

    if (mode == 2 || mode == 3)
    {
        if (step == phases)
            return phaseSum<true> (*rows32, x, p, f);

        double acc;

        if (step == narrowRows[0]->spacing)
            acc = phaseSum<true> (*narrowRows[0], x, p, f);
        else if (step == narrowRows[1]->spacing)
            acc = phaseSum<true> (*narrowRows[1], x, p, f);
        else
            acc = stretchedSum (x, phi0, step, getMaximumTaps (step));

        // Keeps the stretched kernel's gain equal to the unstretched one's.
        return step * 0.001953125 * acc;
    }

    // "Low" takes the nearest phase below, "Normal" interpolates between phases.
    const double acc = mode == 1 ? phaseSum<true> (*rows16, x, p, f)
                                 : phaseSum<false> (*rows16, x, p, f);
    return acc * 1.2;
}
