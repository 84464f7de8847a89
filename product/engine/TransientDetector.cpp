#include "TransientDetector.h"

#include <cmath>

void TransientDetector::prepare (const SampleRateConstants& rates) noexcept
{
    k = rates.kFloat;
    samplesPerMillisecond = rates.millisecondFloat;
    level = 0.0f;
}

bool TransientDetector::process (float left, float right) noexcept
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
