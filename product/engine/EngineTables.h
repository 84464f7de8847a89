#pragma once

#include <vector>

/** The read-only tables that the engine builds once and shares between its delay
    cores: the three interpolation kernels of the fractional delay read and the
    pitch tables that place the filter frequencies.

    Each kernel holds a causal lowpass prototype at 512 points per sample (entry j
    is the response j/512 samples after the start). Every phase of a kernel sums to
    a fixed level, so the read keeps its gain at any fractional delay.
*/
struct EngineTables
{
    EngineTables();

    static constexpr int phasesPerTap = 512;
    static constexpr int semitoneCount = 240;
    static constexpr int fineTuneCount = 1024;

    std::vector<double> kernel32;   // 32 taps; per-phase sum 0.935
    std::vector<double> kernel8;    // 8 taps; per-phase sum 0.435
    std::vector<double> kernel16;   // 16 taps; per-phase sum 0.8125
    std::vector<float> semitoneTable;   // 22·2^(i/12) Hz
    std::vector<float> fineTuneTable;   // 2^(i/12288): one semitone in 1024 steps

    /** Designs a kernel of the given number of taps whose every phase sums to tapSum. */
    static std::vector<double> designKernel (int taps, double tapSum);
};
