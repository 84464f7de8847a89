#include "DelayCore.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
    constexpr double envelopeThreshold = 0.00002;   // about −94 dBFS

    // Writes below this (−300 dB) are only the denormal guards echoing round the loop.
    constexpr double silentWrite = 1.0e-15;

    constexpr float inputFilterSemitones = 0.83f * 143.58942f;   // 12·log2(4000), scaled to reach about 21.5 kHz
    constexpr float loopFilterSemitones = 119.58941f;            // 12·log2(1000)

    int filterCodeForType (int type) noexcept
    {
        return type == 3 ? BiquadFilter::highPass : type;
    }

    void countSilence (int& counter, double written) noexcept
    {
        if (std::abs (written) > silentWrite)
            counter = 0;
        else if (counter < std::numeric_limits<int>::max())
            ++counter;
    }
}

DelayCore::DelayCore (const double* kernel32, const double*, const double* kernel16,
                      const float* semitones, const float* fineTune)
    : loopFilter (22.0f, 22000.0f, 0.6f, 0.6f, 44000, BiquadFilter::pass),
      reader (kernel16, kernel32),
      semitoneTable (semitones),
      fineTuneTable (fineTune)
{
    spreadOffset = -0.5f * lengthL;
    reader.setQuality (0, 512.0);
    DelayCore::resize (44100.0f, 1024, 2);
    DelayCore::update();
}

void DelayCore::update()
{
    CorvaneDelayLine::update();
    spreadOffset = (spread - 0.5f) * lengthL;
    modTimeDepth = std::pow (modTime, lengthL * rateConstants.inverseRateFloat * 10.0f + 1.0f);
}

void DelayCore::resize (float sampleRate, int blockSize, int maxDelaySeconds)
{
    CorvaneDelayLine::resize (sampleRate, blockSize, maxDelaySeconds);

    const auto entries = (size_t) (3 * bufferLength);
    bufferL.assign (entries, 0.0);
    bufferR.assign (entries, 0.0);
    spreadBuffer.assign (entries, 0.0);

    if (sampleRate == 44100.0f)       rateOffset = 0.0;
    else if (sampleRate == 48000.0f)  rateOffset = 0.119;
    else if (sampleRate == 88200.0f)  rateOffset = 4.36;
    else if (sampleRate == 96000.0f)  rateOffset = 4.96;
    else if (sampleRate == 176400.0f) rateOffset = 13.12;
    else if (sampleRate == 192000.0f) rateOffset = 14.64;

    inputStage.prepare (sampleRate);
    loopFilter.prepare (sampleRate);

    const double k = rateConstants.k;
    const double heldLengthL = s1.current[1], heldLengthR = s1.current[2];
    const auto slowCoefficient = (float) ((float) (k * 0.0005) * k);
    s1.reset (slowCoefficient);
    s2.reset (slowCoefficient);
    s3.reset ((float) ((float) (k * 0.001) * k));
    s4.reset ((float) (k * 0.002));
    delaySmoothL1 = delaySmoothL2 = heldLengthL;
    delaySmoothR1 = delaySmoothR2 = heldLengthR;

    feedbackGain = feedback * 0.99f;
    writeIndex = 0;
    silentWritesL = silentWritesR = std::numeric_limits<int>::max();
    envelopeDecay = 1.0 - k * 0.00001;
    tremoloSmoothCoefficient = rateConstants.kFloat * 0.01f;
    timeSmoothCoefficient = k * 0.002;
}

void DelayCore::reset() noexcept
{
    snapPending = true;
    inputStage.inputFilter.clear();
    inputStage.colourFilter.clear();
    loopFilter.clear();
    std::fill (bufferL.begin(), bufferL.end(), 0.0);
    std::fill (bufferR.begin(), bufferR.end(), 0.0);
    std::fill (spreadBuffer.begin(), spreadBuffer.end(), 0.0);
    silentWritesL = silentWritesR = std::numeric_limits<int>::max();
}

void DelayCore::setFilterType (int index) noexcept
{
    filterType = index;

    if (index >= 0 && index <= 3)
    {
        inputStage.inputFilter.setCode (filterCodeForType (index));
        loopFilter.setCode (filterCodeForType (index));
    }
}

void DelayCore::setQuality (int interpolationMode, double minimumStep) noexcept
{
    reader.setQuality (interpolationMode, minimumStep);
}

void DelayCore::setModulationSource (const float* left, const float* right) noexcept
{
    modulationL = left;
    modulationR = right;
}

float DelayCore::meterStep (double e) noexcept
{
    if (e > 1.413) return 1.0f;
    if (e > 1.0)   return 0.875f;
    if (e > 0.708) return 0.75f;
    if (e > 0.501) return 0.625f;
    if (e > 0.355) return 0.5f;
    if (e > 0.251) return 0.375f;
    if (e > 0.178) return 0.25f;
    if (e > 0.126) return 0.125f;
    return 0.0f;
}

int DelayCore::activityWindow (double delay) const noexcept
{
    // What was last written leaves the read after the delay plus the kernel's length,
    // and the spread buffer holds it back by up to the spread offset more.
    const double reach = delay < bufferLength ? std::max (delay, 0.0) : (double) bufferLength;   // NaN reaches furthest
    const double window = reach + reader.getMaximumTaps (reader.getMinimumStep())
                            + std::min (std::abs (s1.current[0]), (double) bufferLength) + 2.0;
    return (int) std::min (window, (double) std::numeric_limits<int>::max());
}

void DelayCore::process (const float* inL, const float* inR, float* outL, float* outR, int numSamples) noexcept
{
    const int length = bufferLength;
    const float inverseRate = rateConstants.inverseRateFloat;
    double* const bl = bufferL.data();
    double* const br = bufferR.data();
    double* const sb = spreadBuffer.data();

    inputStage.updateColour();

    for (int i = 0; i < numSamples; ++i)
    {
        tapAveragerL.tick();
        tapAveragerR.tick();

        const double feedbackTarget = feedbackHold ? (feedbackGain >= 0.0f ? 1.0 : -1.0) : (double) feedbackGain;

        const double s1Targets[4] = { spreadOffset, lengthL, lengthR, feedbackTarget };
        s1.advance (s1Targets);
        const float s3Targets[4] = { volume, modTimeDepth, 0.0f, 0.0f };
        s3.advance (s3Targets);
        const float s4Targets[4] = { preampGain, colour, overdriveGain, tremolo };
        s4.advance (s4Targets);
        const double s2Targets[4] = { s1.current[1], s1.current[2], s3.current[1], pan };
        s2.advance (s2Targets);

        // Modulated lengths.
        const float mL = modulationL != nullptr ? modulationL[i] : 0.0f;
        const float mR = modulationR != nullptr ? modulationR[i] : 0.0f;
        const double lenL = s2.current[0], lenR = s2.current[1], depth = s2.current[2];
        double offsetL, offsetR;

        if (logModulation)
        {
            auto logOffset = [&] (double len, float m)
            {
                const float t = (float) len * inverseRate;

                if (t == 0.0f)
                    return 0.0;

                const double b = t * 1428.0;
                const double u = depth * m * b;
                return ((b + 1.0) * u / ((u + 1.0) * b)) * len;
            };

            offsetL = logOffset (lenL, mL);
            offsetR = logOffset (lenR, mR);
        }
        else
        {
            offsetL = lenL * mL * depth;
            offsetR = lenR * mR * depth;
        }

        const double dL = lenL - offsetL, dR = lenR - offsetR;

        if (smoothModulatedTime)
        {
            delaySmoothL1 -= (delaySmoothL1 - dL) * timeSmoothCoefficient;
            delaySmoothL2 -= (delaySmoothL2 - delaySmoothL1) * timeSmoothCoefficient;
            delaySmoothR1 -= (delaySmoothR1 - dR) * timeSmoothCoefficient;
            delaySmoothR2 -= (delaySmoothR2 - delaySmoothR1) * timeSmoothCoefficient;
        }
        else
        {
            delaySmoothL2 = dL;
            delaySmoothR2 = dR;
        }

        double delayL = rateOffset + delaySmoothL2;
        double delayR = rateOffset + delaySmoothR2;

        if (snapPending)
        {
            delaySmoothL1 = delaySmoothL2 = dL;
            delaySmoothR1 = delaySmoothR2 = dR;
            snapPending = false;
        }

        // Input and channel operations; activity follows what each buffer is fed.
        double xL = inL[i], xR = inR[i];

        if (stereoToMono)
            xL = xR = (xL + xR) * 0.5;

        if (midSide)
        {
            const double mid = (xL + xR) * 0.5, side = (xL - xR) * 0.5;
            xL = mid;
            xR = side;
        }

        if (swapChannels)
            std::swap (xL, xR);

        if (xL != 0.0) activeL = true;
        if (xR != 0.0) activeR = true;

        // Delayed samples. The read is skipped while a channel is inactive.
        const int newest = writeIndex - 1 + 2 * length;
        float rL = activeL ? reader.read (bl, newest, length, delayL, previousDelayL) : 0.0f;
        float rR = activeR ? reader.read (br, newest, length, delayR, previousDelayR) : 0.0f;
        previousDelayL = delayL;
        previousDelayR = delayR;

        tremoloModL -= (tremoloModL - mL) * tremoloSmoothCoefficient;
        tremoloModR -= (tremoloModR - mR) * tremoloSmoothCoefficient;

        // Input stage.
        float pL = (float) xL, pR = (float) xR;

        if (activeL || activeR)
        {
            InputStage::Settings settings;
            settings.filterOn = filterType != 0;
            settings.filterPostOverdrive = filterMode == 1;
            settings.overdriveOn = overdriveOn;
            settings.preampGain = s4.current[0];
            settings.colour = s4.current[1];
            settings.overdriveGain = s4.current[2];

            pL = inputStage.processSample (0, pL, settings, (cutoff + modCutoff * mL) * inputFilterSemitones,
                                           resonance, semitoneTable, fineTuneTable);
            pR = inputStage.processSample (1, pR, settings, (cutoff + modCutoff * mR) * inputFilterSemitones,
                                           resonance, semitoneTable, fineTuneTable);
        }

        if (filterInLoop && filterType != 0)
        {
            loopFilter.setCutoffSemitones ((cutoff + modCutoff * mL) * loopFilterSemitones, resonance, semitoneTable, fineTuneTable);
            rL = loopFilter.processSample (0, rL);
            loopFilter.setCutoffSemitones ((cutoff + modCutoff * mR) * loopFilterSemitones, resonance, semitoneTable, fineTuneTable);
            rR = loopFilter.processSample (1, rR);
        }

        // Write, three times over so that reads never wrap.
        const double fb = s1.current[3];
        const double wL = pL + fb * rL;
        const double wR = pR + fb * rR;
        bl[writeIndex] = bl[writeIndex + length] = bl[writeIndex + 2 * length] = wL;
        br[writeIndex] = br[writeIndex + length] = br[writeIndex + 2 * length] = wR;
        countSilence (silentWritesL, wL);
        countSilence (silentWritesR, wR);

        // Spread: a negative offset holds back the right output, a positive one the left.
        const int s = std::clamp ((int) s1.current[0], 1 - length, length - 1);
        double yL, yR;

        if (s < 0)
        {
            sb[writeIndex] = sb[writeIndex + length] = rR;
            yL = rL;
            yR = sb[writeIndex + length + s];
        }
        else
        {
            sb[writeIndex] = sb[writeIndex + length] = rL;
            yL = sb[writeIndex + length - s];
            yR = rR;
        }

        const double t = s4.current[3];
        yL *= tremoloModL * t + (1.0 - t);
        yR *= tremoloModR * t + (1.0 - t);

        if (midSide)
        {
            const double sum = yL + yR, difference = yL - yR;
            yL = sum;
            yR = difference;
        }

        const double v = s3.current[0], p = s2.current[3];
        yL = std::min (2.0 - p, 1.0) * v * yL + 1e-20;
        yR = std::min (p, 1.0) * v * yR + 1e-20;

        // Output envelopes. A channel stops reading only once it is quiet and nothing
        // audible written into its buffer can still be on its way out.
        envelopeL *= envelopeDecay + 1e-20;
        envelopeR *= envelopeDecay + 1e-20;

        if (envelopeL < yL) envelopeL = yL;
        if (envelopeR < yR) envelopeR = yR;

        if (envelopeL < envelopeThreshold && silentWritesL > activityWindow (delayL))
            activeL = false;

        if (envelopeR < envelopeThreshold && silentWritesR > activityWindow (delayR))
            activeR = false;

        outL[i] = (float) yL;
        outR[i] = (float) yR;

        if (++writeIndex >= length)
            writeIndex = 0;
    }
}
