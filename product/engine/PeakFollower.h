#pragma once

#include "SampleRateConstants.h"

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

    /** Follows one input frame; returns the new value. */
    float process (float left, float right) noexcept;

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
