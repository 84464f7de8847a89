#pragma once

/** The exponential curve between a time knob and the linear time it stands for.

    Both sides are normalised: the knob's 0..1 and the "Time Linear" parameter's
    0..1 over its range. The curve spends half the knob on the first 3 % of the
    range, where short delays need fine control.
*/

/** Knob position to normalised linear time; 0.5 gives about 0.0321.
    The result is clamped to 0..1, and anything that is not a number gives 0.
*/
double knobToTime (double knob) noexcept;

/** Normalised linear time back to the knob position, clamped the same way. */
double timeToKnob (double time) noexcept;
