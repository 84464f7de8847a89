#pragma once

/** One 2x half-band step of the oversampler: two allpass paths, each a first-order
    section in z^-2, the second path delayed by one step. Its gain is 2 at DC;
    one channel per instance.
*/
class HalfBandStage
{
public:
    /** Runs count consecutive steps, each input replaced by its output. The
        state lives in locals meanwhile, so a short run stays in registers.
    */
    void process (float* values, int count) noexcept
    {
        float in1 = inputHistory[0], in2 = inputHistory[1];
        float q01 = q0History[0], q02 = q0History[1];
        float q11 = q1History[0], q12 = q1History[1];
        float previous = previousQ1;

        for (int i = 0; i < count; ++i)
        {
            const float a = values[i];
            const float q0 = 0.6457318f * (a - q02) + in2 + 1e-20f;
            const float q1 = 0.9585033f * (a - q12) + in2 + 1e-20f;
            values[i] = q0 + previous;

            previous = q1;
            in2 = in1;  in1 = a;
            q02 = q01;  q01 = q0;
            q12 = q11;  q11 = q1;
        }

        inputHistory[0] = in1;  inputHistory[1] = in2;
        q0History[0] = q01;     q0History[1] = q02;
        q1History[0] = q11;     q1History[1] = q12;
        previousQ1 = previous;
    }

    void clear() noexcept   { *this = HalfBandStage(); }

private:
    friend class InputStageGroup;

    float inputHistory[2] = {}, q0History[2] = {}, q1History[2] = {};
    float previousQ1 = 0.0f;
};
