#pragma once

#include "SampleRateConstants.h"

#include <cmath>

/** Detects transients in the input for one modulator.

    A power follower that rises ten times faster than it falls; the detector
    fires when the follower reaches the trigger threshold, and re-arms only once
    it has stayed triggered for more than 10 ms and the follower has fallen below
    the re-arm threshold. Thresholds are linear levels of the follower.
*/
class TransientDetector
{
public:
    /** Everything zero, at 44.1 kHz. */
    TransientDetector() noexcept = default;

    /** Takes the rate and clears the follower level; the triggered state carries over. */
    void prepare (const SampleRateConstants& rates) noexcept;

    /** Follows one input frame; true when the detector fires at this frame.
        Inline: a run of frames keeps the state in registers.
    */
    bool process (float left, float right) noexcept
    {
        const float x = std::abs (left + right);
        const float q = x * x;
        const float c = q > level ? k * 0.01f : k * 0.001f;
        const float a = 1.0f - c * speed;
        level = (1.0f - a) * q + a * level;

        bool fired = false;

        if (level >= triggerThreshold && ! triggered)
        {
            triggered = true;
            fired = true;
        }

        if (triggered)
        {
            ++counter;

            if ((float) counter > 10.0f * samplesPerMillisecond && level < rearmThreshold)
            {
                triggered = false;
                counter = 0;
            }
        }

        return fired;
    }

    /** The follower's speed factor: 1 is the nominal speed. */
    void setSpeed (float newSpeed) noexcept                  { speed = newSpeed; }
    void setTriggerThreshold (float linearLevel) noexcept    { triggerThreshold = linearLevel; }
    void setRearmThreshold (float linearLevel) noexcept      { rearmThreshold = linearLevel; }

    float getLevel() const noexcept                          { return level; }
    bool isTriggered() const noexcept                        { return triggered; }

private:
    float level = 0.0f;
    float speed = 0.0f;
    float triggerThreshold = 0.0f, rearmThreshold = 0.0f;
    int counter = 0;
    bool triggered = false;

    float k = 1.0f;
    float samplesPerMillisecond = 44.1f;
};
