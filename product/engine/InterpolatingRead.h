#pragma once

#include <vector>

/** The fractional read of a delay buffer: a polyphase FIR that lays a lowpass
    prototype (see EngineTables) over the newest samples at the fractional phase of
    the read position.

    The buffer is stored three times over (every sample at i, i + L and i + 2L for a
    buffer length L), so the taps run on contiguous indices without wrapping.

    Quality modes: 0 "Low" (nearest of 512 phases of the 16-tap kernel; also any
    unknown mode), 1 "Normal" (interpolated phases), 2 and 3 "High"/"Ultra" (the
    32-tap kernel, stretched while the delay shrinks so that pitched-up repeats do
    not alias; minimumStep bounds the stretch).
*/
class InterpolatingRead
{
public:
    /** The kernels must outlive the reader. */
    InterpolatingRead (const double* kernel16, const double* kernel32);

    /** minimumStep is the narrowest kernel spacing in 1/512 samples, kept within 16..512. */
    void setQuality (int interpolationMode, double minimumStep) noexcept;

    int getInterpolationMode() const noexcept   { return mode; }
    double getMinimumStep() const noexcept      { return minimumStep; }

    /** Reads the buffer at `delay` samples behind its newest sample (0 reads the
        newest one), which sits at newestIndex in the last copy of the buffer.

        previousDelay is the delay read at the previous sample; the stretched modes
        widen their kernel by how fast the delay shrinks. The delay is clamped so
        that every tap lies within the last bufferLength samples; the delay actually
        read is written back, to be passed as previousDelay next time.
    */
    float read (const double* buffer, int newestIndex, int bufferLength,
                double& delay, double previousDelay) const noexcept;

    /** The most taps a read of the current mode can take at the given kernel step. */
    int getMaximumTaps (double step) const noexcept;

    /** The kernel step, in 1/512 samples, that the stretched modes use when the
        delay moves from previousDelay to delay.
    */
    double getStep (double previousDelay, double delay) const noexcept;

private:
    /** A kernel laid out by phase, for the reads whose taps lie 512 entries apart:
        for each of the 512 phases a row of its taps and a row of the differences
        to each tap's next entry, oldest tap first, so that a read runs forward
        through its two rows and the buffer alike. A tap whose position would lie
        past the kernel's usable end is zero in both rows.
    */
    struct PhaseRows
    {
        PhaseRows (const double* kernel, int taps, int last);

        int taps;
        std::vector<double> entries, differences;
    };

    const double* kernel16;
    const double* kernel32;
    PhaseRows rows16, rows32;
    int mode = 0;
    double minimumStep = 512.0;
};
