#include "TransientDetector.h"

void TransientDetector::prepare (const SampleRateConstants& rates) noexcept
{
    k = rates.kFloat;
    samplesPerMillisecond = rates.millisecondFloat;
    level = 0.0f;
}
