#include "EnvelopeGenerator.h"

#include <cmath>

EnvelopeGenerator::EnvelopeGenerator() noexcept
{
    updateCoefficients();
}

void EnvelopeGenerator::prepare (const SampleRateConstants& rates) noexcept
{
    k = rates.k;
    sampleRate = rates.sampleRate;
    updateCoefficients();
}

void EnvelopeGenerator::retrigger() noexcept
{
    stage = attack;
    target = 2.0;
    coefficient = attackCoefficient;
}

void EnvelopeGenerator::setAttack (float v) noexcept
{
    attackSetting = (double) (v * v * v);
    updateCoefficients();
}

void EnvelopeGenerator::setDecay (double v) noexcept
{
    decaySetting = v;
    updateCoefficients();
}

void EnvelopeGenerator::setHold (double v) noexcept
{
    holdSetting = v;
    updateCoefficients();
}

void EnvelopeGenerator::setRelease (double v) noexcept
{
    releaseSetting = v;
    updateCoefficients();
}

double EnvelopeGenerator::fallCoefficient (double v, double rateFactor) noexcept
{
    return (1.0 / (std::pow (584630.0485056847, v) * 52.64586955682043) + 5.157509637010767e-06) * rateFactor + 1e-20;
}

void EnvelopeGenerator::updateCoefficients() noexcept
{
    const double a = attackSetting;
    attackCoefficient = (a * -0.015498038557004743 / (a + 0.0001631799795832926) + 0.015499999999999247) * k + 1e-20;
    decayCoefficient = fallCoefficient (decaySetting, k);
    holdLength = (int) (holdSetting * sampleRate);
    releaseCoefficient = fallCoefficient (releaseSetting, k);
}
