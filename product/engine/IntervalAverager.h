#pragma once

#include <atomic>
#include <cstdint>

/** Measures the interval between taps of a tap-tempo button as the mean of the
    last four intervals.

    tap() may be called from any thread; everything else runs on the audio thread,
    where the owning delay stage calls tick() once per sample.
*/
class IntervalAverager
{
public:
    IntervalAverager() noexcept;

    /** Marks a tap; the next tick() takes it. */
    void tap() noexcept;

    /** Advances the measurement by one sample. A pause of more than twice the
        last interval abandons the measurement, so the next tap starts afresh.
    */
    void tick() noexcept
    {
        // Idle until a tap arrives: a plain load, as this runs on every sample of
        // every line, and the exchange that takes the tap is a locked operation.
        if (active || tapFlag.load (std::memory_order_relaxed) != 0)
            advance();
    }

    /** Clears the measurement and sets the rate used to turn samples into seconds. */
    void reset (float newSampleRate) noexcept;

    /** Returns true once after each new measurement, clearing the flag. */
    bool takeNewValue() noexcept;

    /** True while an unconsumed measurement is held. */
    bool hasNewValue() const noexcept      { return hasValue; }

    /** The mean of the last (up to four) intervals, in seconds. */
    float getAverage() const noexcept      { return average; }

private:
    void advance() noexcept;
    void clear() noexcept;

    int32_t counter = 0;
    int32_t lastInterval = 0;
    int32_t writeIndex = 0;
    int32_t count = 0;
    bool active = false;
    bool hasValue = false;
    float average = 0.0f;
    float sampleRate = 44100.0f;
    double intervals[4] = {};
    std::atomic<uint32_t> tapFlag { 0 };
};
