#include "LfoGenerator.h"

#include <cmath>

namespace
{
    constexpr double pi = 3.141592653589793;
    constexpr double twoPi = 2.0 * pi;

    double wrapOnce (double phase) noexcept
    {
        if (phase > twoPi)
            return phase - twoPi;

        if (phase < 0.0)
            return phase + twoPi;

        return phase;
    }
}

LfoGenerator::LfoGenerator() noexcept = default;

void LfoGenerator::prepare (const SampleRateConstants& rates) noexcept
{
    inverseRate = rates.inverseRate;
    updateIncrement ((double) rates.inverseRateFloat);
    setBasePhase (0.0);
}

void LfoGenerator::process (float* output, int count) noexcept
{
    // One loop per waveform, so that the choice is made once per run.
    switch (waveform)
    {
        case triangle:
            render (output, count, [] (double p) { return (float) (p >= pi ? (1.5 * pi - p) * (2.0 / pi) + 1e-20
                                                                           : (p - 0.5 * pi) * (2.0 / pi) + 1e-20); });
            break;

        case sine:                  render (output, count, [] (double p) { return (float) std::sin (p - 0.25 * pi); }); break;
        case square:                render (output, count, [] (double p) { return p >= pi ? -1.0f : 1.0f; }); break;
        case sawDown:               render (output, count, [] (double p) { return (float) ((twoPi - p) * (1.0 / pi) - 1.0 + 1e-20); }); break;
        case smoothSampleAndHold:   render (output, count, [this] (double) { return sampleAndHold; }); break;
        default:                    render (output, count, [] (double) { return 0.0f; }); break;
    }
}

template <typename Shape>
void LfoGenerator::render (float* output, int count, Shape&& waveformAt) noexcept
{
    // The phases in locals, which the stores to output cannot touch.
    double base = basePhase, effective = effectivePhase;
    const double step = increment, offset = phaseOffset;
    const bool inverted = invert;

    for (int i = 0; i < count; ++i)
    {
        float w = waveformAt (effective);

        if (inverted)
            w = (1.0f - w) - 1.0f;

        base += step;
        effective = base + offset;

        if (effective > twoPi)
        {
            drawSampleAndHold();
            base -= twoPi;
        }

        effective = wrapOnce (effective);
        output[i] = (w + 1.0f) * 0.5f + 1e-20f;
    }

    basePhase = base;
    effectivePhase = effective;
}

void LfoGenerator::restart() noexcept
{
    rephase (0.0);
}

void LfoGenerator::rephase (double newBasePhase) noexcept
{
    setBasePhase (newBasePhase);
    drawSampleAndHold();
}

void LfoGenerator::setPhaseOffset (double newOffset) noexcept
{
    phaseOffset = newOffset;
    setBasePhase (basePhase);
}

void LfoGenerator::setTempoSync (bool shouldSync) noexcept
{
    // Only a real switch recomputes: an unchanged one keeps the increment that
    // prepare() may have set from the single-precision rate.
    if (shouldSync == tempoSync)
        return;

    tempoSync = shouldSync;
    updateIncrement (inverseRate);
}

void LfoGenerator::setRateMultiplier (double cyclesPerBeat) noexcept
{
    rateMultiplier = cyclesPerBeat;
    updateIncrement (inverseRate);
}

void LfoGenerator::setFreeFrequency (double hertz) noexcept
{
    freeFrequency = hertz;
    updateIncrement (inverseRate);
}

void LfoGenerator::setTempo (double beatsPerMinute) noexcept
{
    // A broken tempo would turn the phase into NaN for good; keep the last one.
    if (! std::isfinite (beatsPerMinute) || beatsPerMinute < 0.0)
        return;

    const double t = (double) (float) beatsPerMinute;

    if (t != tempo)
    {
        tempo = t;
        updateIncrement (inverseRate);
    }
}

void LfoGenerator::drawSampleAndHold() noexcept
{
    const uint32_t old = noiseB;
    noiseA ^= old;
    noiseB = noiseA + old;
    sampleAndHold = (float) (int32_t) old * 4.656613e-10f + 1e-20f;
}

void LfoGenerator::setBasePhase (double newBasePhase) noexcept
{
    basePhase = newBasePhase;
    effectivePhase = wrapOnce (basePhase + phaseOffset);
}

void LfoGenerator::updateIncrement (double inverseSampleRate) noexcept
{
    effectiveFrequency = tempoSync ? tempo / 60.0 * rateMultiplier : freeFrequency;
    increment = inverseSampleRate * effectiveFrequency * twoPi + 1e-20;
}
