#include "SampleRateConstants.h"

#include <cmath>

SampleRateConstants::SampleRateConstants() noexcept
{
    compute (44100.0);
}

void SampleRateConstants::compute (double sr) noexcept
{
    sampleRate = sr;
    sampleRateFloat = (float) sr;

    if (sr == 44100.0)       rateIndex = 0;
    else if (sr == 48000.0)  rateIndex = 1;
    else if (sr == 88200.0)  rateIndex = 2;
    else if (sr == 96000.0)  rateIndex = 3;
    else if (sr == 192000.0) rateIndex = 4;

    inverseRate = 1.0 / sr;
    inverseRateFloat = (float) inverseRate;
    halfInverseRate = 1.0 / (2.0 * sr);
    rateRatio = sr * (1.0 / 44100.0);
    rateRatioFloat = (float) rateRatio;
    k = 2.0 * (1.0 - std::pow (0.5, 44100.0 / sr));
    kFloat = (float) k;
    inverseRatio = inverseRate * 44100.0;
    expRatio = std::pow (2.0, 44100.0 / sr) - 1.0;
    expRatioRounded = (double) (float) expRatio;
    kCubed = k * k * k;
    kCubedFloat = (float) kCubed;
    nyquist = sr * 0.5;
    smooth2 = k * 0.002;
    smooth2Float = (float) (k * 0.002);
    smooth5Float = (float) (k * 0.005);
    smooth05Float = (float) (k * 0.0005);
    millisecondFloat = (float) (sr * 0.001);
    millisecond = sr * 0.001;
    smooth2b = k * 0.002;
    smooth2bFloat = (float) (k * 0.002);
}
