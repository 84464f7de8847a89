#include "PreDelayCore.h"

#include <algorithm>

PreDelayCore::PreDelayCore()
{
    allocateBuffers();
}

void PreDelayCore::resize (float sampleRate, int, int maxDelaySeconds)
{
    CorvaneDelayLine::resize (sampleRate, 0, maxDelaySeconds);
    allocateBuffers();
}

void PreDelayCore::allocateBuffers()
{
    bufferL.assign ((size_t) (2 * bufferLength), 0.0f);
    bufferR.assign ((size_t) (2 * bufferLength), 0.0f);
    writeIndex = 0;
    freshWrites = bufferLength;     // newly allocated memory is silent already
}

void PreDelayCore::clear() noexcept
{
    freshWrites = 0;
}

int PreDelayCore::readLength (double smoothedLength, int length) noexcept
{
    // The smoothed lengths survive a resize and may still exceed a smaller buffer.
    if (! (smoothedLength > 0.0))
        return 0;

    return (int) std::min (smoothedLength, (double) (length - 1));
}

void PreDelayCore::process (const float* inL, const float* inR, float* outL, float* outR, int numSamples) noexcept
{
    const double c = rateConstants.smooth2Float;
    const double targetL = lengthL, targetR = lengthR;
    const int length = bufferLength;
    float* const bl = bufferL.data();
    float* const br = bufferR.data();

    // Locals for the run: the output stores could otherwise alias the members.
    double smoothedL = smoothedLengthL, smoothedR = smoothedLengthR;
    int index = writeIndex;
    int fresh = freshWrites;

    // Lengths that one more step leaves where they are stay there for the run: the
    // run is then a copy in and a copy out, a stretch up to each wrap at a time.
    const bool settled = smoothedL - ((smoothedL - targetL) * c + 1e-20) == smoothedL
                          && smoothedR - ((smoothedR - targetR) * c + 1e-20) == smoothedR;

    if (settled && fresh >= length)
    {
        const int ageL = readLength (smoothedL, length), ageR = readLength (smoothedR, length);

        for (int i = 0; i < numSamples; ++i)
        {
            tapAveragerL.tick();
            tapAveragerR.tick();
        }

        for (int i = 0; i < numSamples;)
        {
            const int stretch = std::min (numSamples - i, length - index);

            std::copy (inL + i, inL + i + stretch, bl + index);
            std::copy (inL + i, inL + i + stretch, bl + index + length);
            std::copy (inR + i, inR + i + stretch, br + index);
            std::copy (inR + i, inR + i + stretch, br + index + length);
            std::copy (bl + length - ageL + index, bl + length - ageL + index + stretch, outL + i);
            std::copy (br + length - ageR + index, br + length - ageR + index + stretch, outR + i);

            i += stretch;
            index += stretch;

            if (index >= length)
                index = 0;
        }

        writeIndex = index;
        return;
    }

    for (int i = 0; i < numSamples; ++i)
    {
        tapAveragerL.tick();
        tapAveragerR.tick();

        smoothedL -= (smoothedL - targetL) * c + 1e-20;
        smoothedR -= (smoothedR - targetR) * c + 1e-20;

        // Written before the read, so a length of 0 passes the input straight through.
        const float xL = inL[i], xR = inR[i];
        bl[index] = bl[index + length] = xL;
        br[index] = br[index + length] = xR;

        if (fresh < length)
            ++fresh;

        const int ageL = readLength (smoothedL, length), ageR = readLength (smoothedR, length);
        outL[i] = ageL < fresh ? bl[length - ageL + index] : 0.0f;
        outR[i] = ageR < fresh ? br[length - ageR + index] : 0.0f;

        if (++index >= length)
            index = 0;
    }

    smoothedLengthL = smoothedL;
    smoothedLengthR = smoothedR;
    writeIndex = index;
    freshWrites = fresh;
}
