#include "IntervalAverager.h"

#include <algorithm>
#include <iterator>
#include <limits>

IntervalAverager::IntervalAverager() noexcept
{
    reset (44100.0f);
}

void IntervalAverager::tap() noexcept
{
    tapFlag.store (1);
}

void IntervalAverager::advance() noexcept
{
    if (tapFlag.exchange (0) == 1)
    {
        active = true;

        if (counter > 0)
        {
            ++count;
            lastInterval = counter;
            intervals[writeIndex] = counter;
            writeIndex = (writeIndex + 1) & 3;

            const int n = std::min (count, 4);
            double sum = 0.0;

            for (int i = 0; i < n; ++i)
                sum += intervals[i];

            average = (float) ((sum / n) / sampleRate);
            hasValue = true;
        }

        counter = 0;
    }

    if (active)
    {
        // Saturates: a first tap left alone for hours must not wrap into a negative interval.
        if (counter < std::numeric_limits<int32_t>::max())
            ++counter;

        if (count > 0 && (int64_t) counter > 2 * (int64_t) lastInterval)
            clear();
    }
}

void IntervalAverager::reset (float newSampleRate) noexcept
{
    clear();
    sampleRate = newSampleRate;
}

bool IntervalAverager::takeNewValue() noexcept
{
    const bool result = hasValue;
    hasValue = false;
    return result;
}

void IntervalAverager::clear() noexcept
{
    counter = 0;
    lastInterval = 0;
    writeIndex = 0;
    count = 0;
    active = false;
    hasValue = false;
    average = 0.0f;
    tapFlag.store (0);
    std::fill (std::begin (intervals), std::end (intervals), 0.0);
}
