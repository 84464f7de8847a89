#pragma once

/** Four lanes of one-pole smoothing that share one coefficient: each advance moves
    every lane toward its target as s = s − (s − t)·c, plus 1e-20 against denormals.

    The float form serves gains and mix values; the delay core keeps its lanes that
    carry delay lengths in double, since a float lane stalls short of a long target
    (at 192 kHz a 15 s delay would play tens of milliseconds short).
*/
template <typename Value>
struct BasicOnePoleSmoother4
{
    /** Zeroes every lane and sets the coefficient. */
    void reset (float newCoefficient) noexcept
    {
        coefficient = newCoefficient;

        for (int i = 0; i < 4; ++i)
            current[i] = target[i] = 0;
    }

    /** Takes four new targets and advances every lane one step toward them.
        Returns false when no lane moved: further steps toward the same targets
        then leave every lane where it is, and may be skipped.
    */
    bool advance (const Value* targets) noexcept
    {
        Value previous[4];

        for (int i = 0; i < 4; ++i)
        {
            target[i] = targets[i];
            previous[i] = current[i];
        }

        advance();

        bool moved = false;

        for (int i = 0; i < 4; ++i)
            moved |= ! (current[i] == previous[i]);     // a NaN never settles

        return moved;
    }

    /** Advances every lane one step toward its stored target. */
    void advance() noexcept
    {
        const Value c = coefficient;

        for (int i = 0; i < 4; ++i)
            current[i] = current[i] - (current[i] - target[i]) * c + (Value) 1e-20;
    }

    Value current[4] = {};
    Value target[4] = {};
    float coefficient = 0.0f;
};

using OnePoleSmoother4 = BasicOnePoleSmoother4<float>;
