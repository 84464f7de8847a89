#pragma once

#include "SampleRateConstants.h"

/** The retriggered envelope of a modulator: attack, decay, hold, release.

    Not gated: each retrigger runs the whole course. The attack is an exponential
    rise toward 2.0 cut off where it crosses 1.0; the decay falls toward the
    sustain level and ends 0.01 above it, the hold keeps that value for its
    length, and the release falls toward 0 until the next retrigger. Stages that
    end inside one sample hand over to the next stage in that same sample.

    The settings are the normalised parameter values; the coefficients derived
    from them keep their times at every sample rate.
*/
class EnvelopeGenerator
{
public:
    enum Stage
    {
        idle = 0,
        attack = 1,
        decay = 2,
        hold = 4,
        release = 5
    };

    /** Idle, with attack 0, decay 0.5, sustain 0.5, hold 0.2 and release 0.5 at 44.1 kHz. */
    EnvelopeGenerator() noexcept;

    /** Recomputes the coefficients and the hold length for the rate. */
    void prepare (const SampleRateConstants& rates) noexcept;

    /** Renders one sample. Inline: a run of samples of a copy that nothing else
        can reach keeps the state in registers.
    */
    float process() noexcept
    {
        if (stage == hold)
            ++holdCounter;
        else
            value = value - (value - target) * coefficient + 1e-20;

        if (stage == attack && value > 1.0)
        {
            stage = decay;
            value = 1.0;
            target = sustainLevel;
            coefficient = decayCoefficient;
        }

        if (stage == decay && ! (sustainLevel <= value - 0.01))
        {
            stage = hold;
            holdCounter = 0;
        }

        // At or past, not only at: the hold length may shrink while holding.
        if (stage == hold && holdCounter >= holdLength)
        {
            stage = release;
            target = 0.0;
            coefficient = releaseCoefficient;
        }

        if (value < 0.0)
            value = 0.0;

        return (float) value;
    }

    /** Starts a new attack from the current value. */
    void retrigger() noexcept;

    /** v is cubed: the knob's lower half covers the short attacks. */
    void setAttack (float v) noexcept;
    void setDecay (double v) noexcept;
    void setSustain (double level) noexcept     { sustainLevel = level; }
    /** v is a fraction of one second. */
    void setHold (double v) noexcept;
    void setRelease (double v) noexcept;

    int getStage() const noexcept               { return stage; }
    double getValue() const noexcept            { return value; }

    /** The one-pole coefficient of a decay or release setting, at the rate factor k. */
    static double fallCoefficient (double v, double k) noexcept;

private:
    void updateCoefficients() noexcept;

    int stage = idle;
    double attackSetting = 0.0, decaySetting = 0.5, holdSetting = 0.2, releaseSetting = 0.5;
    double attackCoefficient = 0.0, decayCoefficient = 0.0;
    double sustainLevel = 0.5;
    int holdLength = 0;
    double releaseCoefficient = 0.0;
    int holdCounter = 0;
    double target = 0.0, coefficient = 0.0, value = 0.0;

    double k = 1.0;
    double sampleRate = 44100.0;
};
