#pragma once

#include "SampleRateConstants.h"

#include <algorithm>
#include <cmath>

/** Follows the peak level of the input with separate attack and release times,
    giving a modulation value in 0..1.

    The attack and release settings are normalised parameter values; their poles
    keep their times at every sample rate.
*/
class PeakFollower
{
public:
    /** Attack 0, release 0.5, unity input gain, at 44.1 kHz. */
    PeakFollower() noexcept;

    /** Recomputes the poles for the rate. */
    void prepare (const SampleRateConstants& rates) noexcept;

    /** Follows one input frame; returns the new value. Inline: a run of frames
        keeps the value in a register.
    */
    float process (float left, float right) noexcept
    {
        const double d = (double) std::abs (left + right) * inputGain;
        const double pole = d > value ? attackPole : releasePole;
        value = std::clamp ((1.0 - pole) * d + pole * value, 0.0, 1.0);
        return (float) value;
    }

    void setInputGain (double linearGain) noexcept  { inputGain = linearGain; }
    void setAttack (double v) noexcept;
    void setRelease (double v) noexcept;

    double getValue() const noexcept                { return value; }

private:
    void updatePoles() noexcept;

    double attackSetting = 0.0, releaseSetting = 0.5;
    double attackPole = 0.0, releasePole = 0.0;
    double inputGain = 1.0;
    double value = 0.0;

    double k = 1.0;
};
