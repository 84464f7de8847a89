#include "CorvaneDelayLine.h"

#include <algorithm>
#include <cmath>

CorvaneDelayLine::CorvaneDelayLine()
{
    tapAveragerL.reset (44100.0f);
    tapAveragerR.reset (44100.0f);
    rateConstants.compute (44100.0);
    CorvaneDelayLine::resize (44100.0f, 1024, 2);
    timeL = timeR = 0.1f;
    CorvaneDelayLine::update();
}

void CorvaneDelayLine::update()
{
    if (! tempoSync)
    {
        const float usable = (float) (sampleRateInt - 32);
        lengthL = usable * timeL;
        lengthR = joinChannels ? lengthL : usable * timeR;
        return;
    }

    // Without a usable tempo the synced lengths keep their last valid values.
    if (! (std::isfinite (bpm) && bpm > 0.0))
        return;

    lengthL = syncedLength (numeratorL, denominatorL, scaleL);
    lengthR = joinChannels ? lengthL : syncedLength (numeratorR, denominatorR, scaleR);
}

float CorvaneDelayLine::syncedLength (int numerator, int denominator, double scale) const noexcept
{
    if (numerator <= 0)
        return 0.0f;

    const double wholeNotesPerSecond = bpm * (1.0 / 60.0) * 0.25;
    const auto length = (float) (rateConstants.sampleRate
                                   / (((double) denominator / (double) numerator) * scale * wholeNotesPerSecond));

    // Also catches the infinity of a zero denominator.
    if (! (length < (float) bufferLength))
        return (float) (bufferLength - 1);

    return std::max (0.0f, length);
}

void CorvaneDelayLine::resize (float sampleRate, int, int maxDelaySeconds)
{
    rateConstants.compute (sampleRate);
    tapAveragerL.reset (sampleRate);
    tapAveragerR.reset (sampleRate);
    sampleRateInt = (int) sampleRate;
    bufferLength = std::max (minimumBufferLength, sampleRateInt * maxDelaySeconds);
    update();
}

bool CorvaneDelayLine::scaleForIndex (int index, double& scale) noexcept
{
    switch (index)
    {
        case 0:  scale = 1.0;       return true;
        case 1:  scale = 2.0 / 3.0; return true;
        case 2:  scale = 1.5;       return true;
        default: return false;
    }
}

void CorvaneDelayLine::setScaleL (int index)
{
    if (scaleForIndex (index, scaleL))
        update();
}

void CorvaneDelayLine::setScaleR (int index)
{
    if (scaleForIndex (index, scaleR))
        update();
}
