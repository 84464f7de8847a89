#include "PeakFollower.h"

#include "EnvelopeGenerator.h"

PeakFollower::PeakFollower() noexcept
{
    updatePoles();
}

void PeakFollower::prepare (const SampleRateConstants& rates) noexcept
{
    k = rates.k;
    updatePoles();
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
