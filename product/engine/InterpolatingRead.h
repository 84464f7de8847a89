#pragma once

#include <algorithm>
#include <memory>
#include <vector>

/** The fractional read of a delay buffer: a polyphase FIR that lays a lowpass
    prototype (see EngineTables) over the newest samples at the fractional phase of
    the read position.

    A buffer of length L holds guardLength more entries after its end that repeat
    its first ones (every sample written at i < guardLength is also at i + L), so
    that the taps of any read run on contiguous indices.

    Quality modes: 0 "Low" (nearest of 512 phases of the 16-tap kernel; also any
    unknown mode), 1 "Normal" (interpolated phases), 2 and 3 "High"/"Ultra" (the
    32-tap kernel, stretched while the delay shrinks so that pitched-up repeats do
    not alias; minimumStep bounds the stretch).
*/
class InterpolatingRead
{
public:
    /** The kernels must outlive the reader and never change: their regrouped
        layouts are shared with every other reader of the same kernels.
    */
    InterpolatingRead (const double* kernel16, const double* kernel32);

    /** minimumStep is the narrowest kernel spacing in 1/512 samples, kept within 16..512. */
    void setQuality (int interpolationMode, double minimumStep) noexcept;

    int getInterpolationMode() const noexcept   { return mode; }
    double getMinimumStep() const noexcept      { return minimumStep; }

    /** The entries a buffer keeps after its length: as many as a read takes taps. */
    static constexpr int guardLength = 1024;

    /** Reads the buffer at `delay` samples behind its newest sample (0 reads the
        newest one), the one written just before writeIndex.

        previousDelay is the delay read at the previous sample; the stretched modes
        widen their kernel by how fast the delay shrinks. The delay is clamped so
        that every tap lies within the last bufferLength samples; the delay actually
        read is written back, to be passed as previousDelay next time.

        Only the freshSamples newest samples count as written: older ones read as
        silence, so that a buffer can be cleared without touching its memory.
    */
    float read (const double* buffer, int writeIndex, int bufferLength,
                double& delay, double previousDelay, int freshSamples) const noexcept;

    /** The most reads that a run takes at once, and the most runs read together. */
    static constexpr int maximumRun = 64;
    static constexpr int maximumRuns = 2;

    /** The reads of one buffer over a run: a delay per sample, the delay read just
        before the run, and where the samples go.
    */
    struct Run
    {
        const double* buffer;
        const double* delays;
        double previousDelay;
        float* out;
    };

    /** Reads count consecutive samples (at most maximumRun) of each of numRuns runs
        (at most maximumRuns) of buffers that share a length, write index and fresh
        samples, such as a stereo pair: sample j is read as read() would after j more
        samples were written at writeIndex (which wraps at bufferLength), with
        freshSamples + j fresh samples. The caller makes sure that no delay needs
        clamping and that every read only reaches samples written before the first.
        Reads of the runs that take the same kernel row are summed together.
    */
    void readRuns (const Run* runs, int numRuns, int writeIndex, int bufferLength, int count,
                   int freshSamples) const noexcept;

    /** The most taps a read of the current mode can take at the given kernel step. */
    int getMaximumTaps (double step) const noexcept
    {
        if (mode == 2 || mode == 3)
        {
            // The ceiling of a positive quotient, without a call into the maths library.
            const double quotient = kernel32Last / step;
            const int whole = (int) quotient;
            return whole < quotient ? whole + 1 : whole;
        }

        return 16;
    }

    /** The kernel step, in 1/512 samples, that the stretched modes use when the
        delay moves from previousDelay to delay.
    */
    double getStep (double previousDelay, double delay) const noexcept
    {
        const double step = phases - (previousDelay - delay) * 0.5 * phases;

        if (! (step < phases))      // a growing delay never widens the kernel; also catches NaN
            return phases;

        return std::max (step, minimumStep);
    }

private:
    /** Kernel phases per sample, and the last entry of kernel32 that interpolation
        may pair with its neighbour.
    */
    static constexpr double phases = 512.0;
    static constexpr int kernel32Last = 16382;

    /** The most taps any read takes: kernel32 at the narrowest step of 16 entries. */
    static constexpr int maximumTaps = guardLength;

    /** Read positions count as if the buffer were stored three times over, the
        newest sample in the last copy: the fraction of a position is rounded as
        it always was, so that the reads of a run do not change by a last bit.
    */
    static int newestPosition (int writeIndex, int bufferLength) noexcept   { return writeIndex - 1 + 2 * bufferLength; }

    /** The buffer entry of the oldest of a read's taps, the newest at position newest. */
    static int oldestTap (int newest, int taps, int bufferLength) noexcept
    {
        const int oldest = newest - (taps - 1) - bufferLength;
        return oldest >= bufferLength ? oldest - bufferLength : oldest;
    }

    /** A kernel laid out by phase, for the reads whose taps lie a fixed whole number
        of entries apart (spacing: 512 for the plain reads, the narrowest steps for
        the stretched ones): for each phase 0..spacing−1 a row of its taps and a row
        of the differences to each tap's next entry, oldest tap first, so that a
        read runs forward through its two rows and the buffer alike. A tap whose
        position would lie past the kernel's usable end is zero in both rows.

        Readers of the same kernel share one layout, since the large ones would
        otherwise crowd each other out of the cache.
    */
    struct PhaseRows
    {
        PhaseRows (const double* kernel, int taps, int last, int spacing);

        int taps, spacing;
        std::vector<double> entries, differences;
    };

    static std::shared_ptr<const PhaseRows> sharedRows (const double* kernel, int taps, int last, int spacing);

    /** The read of kernel32 stretched to a step below 512 entries per tap, newest
        tap x[0] first. The kernel position runs in 32.32 fixed point, so that each
        tap finds its entry and fraction with a shift and a mask rather than two
        conversions (the fraction is exact to 2^-32 of an entry).
    */
    double stretchedSum (const double* x, double phi0, double step, int maximumStepTaps) const noexcept;

    /** Reads one run whose delay holds still over it and whose reads all take the
        plain rows at one phase, their taps a sample apart; false, reading nothing,
        for any other run.
    */
    bool readSteadyRun (const double* buffer, int writeIndex, int bufferLength, const double* delays, int count,
                        double previousDelay, int freshSamples, float* out) const noexcept;

    /** The sum of the read whose newest tap is x[0]. */
    double tapSum (const double* x, double step, double phi0) const noexcept;

    const double* kernel32;
    std::shared_ptr<const PhaseRows> rows16, rows32;
    std::shared_ptr<const PhaseRows> narrowRows[2];     // kernel32 at the steps of "High" and "Ultra" 
    int mode = 0;
    double minimumStep = 512.0;
};
