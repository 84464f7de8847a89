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

float LfoGenerator::process() noexcept
{
    const double p = effectivePhase;
    float w = 0.0f;

    switch (waveform)
    {
        case triangle:
            w = (float) (p >= pi ? (1.5 * pi - p) * (2.0 / pi) + 1e-20
                                 : (p - 0.5 * pi) * (2.0 / pi) + 1e-20);
            break;

        case sine:                  w = (float) std::sin (p - 0.25 * pi); break;
        case square:                w = p >= pi ? -1.0f : 1.0f; break;
        case sawDown:               w = (float) ((twoPi - p) * (1.0 / pi) - 1.0 + 1e-20); break;
        case smoothSampleAndHold:   w = sampleAndHold; break;
        default:                    break;
    }

    if (invert)
        w = (1.0f - w) - 1.0f;

    basePhase += increment;
    effectivePhase = basePhase + phaseOffset;

    if (effectivePhase > twoPi)
    {
        drawSampleAndHold();
        basePhase -= twoPi;
    }

    effectivePhase = wrapOnce (effectivePhase);

    return (w + 1.0f) * 0.5f + 1e-20f;
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
