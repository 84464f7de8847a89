#include "PeakFollower.h"

#include "EnvelopeGenerator.h"

#include <algorithm>
#include <cmath>

PeakFollower::PeakFollower() noexcept
{
    updatePoles();
}

void PeakFollower::prepare (const SampleRateConstants& rates) noexcept
{
    k = rates.k;
    updatePoles();
}

float PeakFollower::process (float left, float right) noexcept
{
    const double d = (double) std::abs (left + right) * inputGain;
    const double pole = d > value ? attackPole : releasePole;

    value = std::clamp ((1.0 - pole) * d + pole * value, 0.0, 1.0);
    return (float) value;
}

void PeakFollower::setAttack (double v) noexcept
{
    attackSetting = v;
    updatePoles();
}

void PeakFollower::setRelease (double v) noexcept
{
    releaseSetting = v;
    updatePoles();
}

void PeakFollower::updatePoles() noexcept
{
    // The same curve as the envelope's decay, as the pole of a one-pole follower.
    attackPole = 1.0 - EnvelopeGenerator::fallCoefficient (attackSetting, k);
    releasePole = 1.0 - EnvelopeGenerator::fallCoefficient (releaseSetting, k);
}
