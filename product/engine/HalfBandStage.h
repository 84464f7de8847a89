#pragma once

/** One 2x half-band step of the oversampler: two allpass paths, each a first-order
    section in z^-2, the second path delayed by one step. Its gain is 2 at DC;
    one channel per instance.
*/
class HalfBandStage
{
public:
    float process (float a) noexcept
    {
        const float q0 = 0.6457318f * (a - q0History[1]) + inputHistory[1] + 1e-20f;
        const float q1 = 0.9585033f * (a - q1History[1]) + inputHistory[1] + 1e-20f;
        const float out = q0 + previousQ1;

        previousQ1 = q1;
        inputHistory[1] = inputHistory[0];   inputHistory[0] = a;
        q0History[1] = q0History[0];         q0History[0] = q0;
        q1History[1] = q1History[0];         q1History[0] = q1;
        return out;
    }

    void clear() noexcept   { *this = HalfBandStage(); }

private:
    float inputHistory[2] = {}, q0History[2] = {}, q1History[2] = {};
    float previousQ1 = 0.0f;
};
