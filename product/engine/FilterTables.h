#pragma once

#include <memory>
#include <vector>

/** Sine and cosine of the filter frequencies at one rate, in half-hertz steps:
    entry i holds sin and cos of 2π·(i/2)/rate.

    The tables only depend on the rate and their size, so every filter of the same
    kind at the same rate reads one shared copy (the oversampled input filter's
    alone would otherwise take 1.4 MB per line).
*/
class FilterTables
{
public:
    FilterTables (double sampleRate, int size);

    /** The tables for a rate and size, shared with every other user of the same pair.
        Allocates when no one holds them yet, so it is for preparing, not rendering.
    */
    static std::shared_ptr<const FilterTables> forRate (double sampleRate, int size);

    const double rate;
    std::vector<float> sine, cosine;
};
