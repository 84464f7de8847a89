#include "DelayCore.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#if defined (__SSE2__)
 #include <emmintrin.h>
#endif

namespace
{
    /** The line's channel operations on one input frame, in their order: mono sum, mid/side, swap. */
    inline void applyChannelMode (double& xL, double& xR, bool toMono, bool midSide, bool swap) noexcept
    {
        if (toMono)
            xL = xR = (xL + xR) * 0.5;

        if (midSide)
        {
            const double mid = (xL + xR) * 0.5, side = (xL - xR) * 0.5;
            xL = mid;
            xR = side;
        }

        if (swap)
            std::swap (xL, xR);
    }

    constexpr double envelopeThreshold = 0.00002;   // about −94 dBFS

    // Writes below this (−300 dB) are only the denormal guards echoing round the loop.
    constexpr double silentWrite = 1.0e-15;

    constexpr float inputFilterSemitones = 0.83f * 143.58942f;   // 12·log2(4000), scaled to reach about 21.5 kHz
    constexpr float loopFilterSemitones = 119.58941f;            // 12·log2(1000)

    int filterCodeForType (int type) noexcept
    {
        return type == 3 ? BiquadFilter::highPass : type;
    }

    /** How far the modulation m shortens a length of len samples on the logarithmic
        scale, at the given depth.
    */
    inline double logarithmicOffset (double len, float m, double depth, float inverseRate) noexcept
    {
        const float t = (float) len * inverseRate;

        if (t == 0.0f)
            return 0.0;

        const double b = t * 1428.0;
        const double u = depth * m * b;
        return ((b + 1.0) * u / ((u + 1.0) * b)) * len;
    }

    /** Where the spread buffer holds the sample written at index, which may lie up
        to a buffer's length before its start.
    */
    int spreadIndex (int index, int length) noexcept
    {
        return index < 0 ? index + length : index;
    }

    /** The last of count writes that is not silent, or −1. */
    int lastLoud (const double* written, int count) noexcept
    {
        for (int j = count - 1; j >= 0; --j)
            if (std::abs (written[j]) > silentWrite)
                return j;

        return -1;
    }

    /** Counts a run of count writes, the last audible one at lastLoudIndex (−1 for none). */
    void addSilence (int& counter, int lastLoudIndex, int count) noexcept
    {
        if (lastLoudIndex >= 0)
            counter = count - 1 - lastLoudIndex;
        else
            counter = counter > std::numeric_limits<int>::max() - count ? std::numeric_limits<int>::max() : counter + count;
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

    blockCapacity = std::max (1, blockSize);
    stagedRuns.assign ((size_t) numStagedBlocks * (size_t) blockCapacity, 0.0f);
    stagedAhead = false;

    const auto entries = (size_t) (bufferLength + InterpolatingRead::guardLength);
    bufferL.assign (entries, 0.0);
    bufferR.assign (entries, 0.0);
    spreadBuffer.assign ((size_t) bufferLength, 0.0f);

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
    freshWrites = bufferLength;     // newly allocated memory is silent already
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
    freshWrites = 0;
    silentWritesL = silentWritesR = std::numeric_limits<int>::max();
}

InputStage::Settings DelayCore::getStageSwitches() const noexcept
{
    InputStage::Settings switches;
    switches.filterOn = filterType != 0;
    switches.filterPostOverdrive = filterMode == 1;
    switches.overdriveOn = overdriveOn;
    return switches;
}

bool DelayCore::prepareStageAhead (const float* inL, const float* inR, int numSamples, InputStageGroup::Member& member) noexcept
{
    const auto switches = getStageSwitches();

    if ((! switches.filterOn && ! switches.overdriveOn) || numSamples > blockCapacity)
        return false;

    // A channel goes quiet only once its envelope is below the threshold, and the
    // envelope falls by at most the decay per sample: one that starts well enough
    // above it keeps the channel, and so the stage, running for the whole run.
    const double margin = 1.0 - 2.0 * numSamples * (1.0 - envelopeDecay);

    if (! ((activeL && envelopeL * margin > envelopeThreshold) || (activeR && envelopeR * margin > envelopeThreshold)))
        return false;

    float* const inputL = stagedBlock (stagedInputL);
    float* const inputR = stagedBlock (stagedInputR);
    float* const preamp = stagedBlock (stagedPreamp);
    float* const overdrive = stagedBlock (stagedOverdrive);
    float* const colours = stagedBlock (stagedColour);
    float* const cutoffL = stagedBlock (stagedCutoffL);
    float* const cutoffR = stagedBlock (stagedCutoffR);

    // The same steps as process() takes: its S4 lanes, its channel operations and
    // its filter positions, each in a pass of its own. The settings are read into
    // locals first: the stores below could otherwise alias them.
    const float s4Targets[4] = { preampGain, colour, overdriveGain, tremolo };
    const bool toMono = stereoToMono, decodeMidSide = midSide, swap = swapChannels;
    const float cutoffBase = cutoff, cutoffDepth = modCutoff;
    const float* const modulationLeft = modulationL;
    const float* const modulationRight = modulationR;
    auto sm4 = s4;
    int i = 0;

    for (bool moving = true; i < numSamples && moving; ++i)
    {
        moving = sm4.advance (s4Targets);
        preamp[i] = sm4.current[0];
        colours[i] = sm4.current[1];
        overdrive[i] = sm4.current[2];
    }

    std::fill (preamp + i, preamp + numSamples, sm4.current[0]);
    std::fill (colours + i, colours + numSamples, sm4.current[1]);
    std::fill (overdrive + i, overdrive + numSamples, sm4.current[2]);

    for (int j = 0; j < numSamples; ++j)
    {
        double xL = inL[j], xR = inR[j];
        applyChannelMode (xL, xR, toMono, decodeMidSide, swap);
        inputL[j] = (float) xL;
        inputR[j] = (float) xR;
    }

    for (int j = 0; j < numSamples; ++j)
    {
        const float mL = modulationLeft != nullptr ? modulationLeft[j] : 0.0f;
        const float mR = modulationRight != nullptr ? modulationRight[j] : 0.0f;
        cutoffL[j] = (cutoffBase + cutoffDepth * mL) * inputFilterSemitones;
        cutoffR[j] = (cutoffBase + cutoffDepth * mR) * inputFilterSemitones;
    }

    member.stage = &inputStage;
    member.inputs[0] = inputL;
    member.inputs[1] = inputR;
    member.outputs[0] = stagedBlock (stagedOutputL);
    member.outputs[1] = stagedBlock (stagedOutputR);
    member.preampGains = preamp;
    member.overdriveGains = overdrive;
    member.colours = colours;
    member.cutoffSemitones[0] = cutoffL;
    member.cutoffSemitones[1] = cutoffR;
    member.resonance = resonance;

    stagedAhead = true;
    return true;
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

bool DelayCore::readsBehind (const double* delays, int count, int longest) noexcept
{
    const double shortest = count, longestDelay = longest;
    bool inside = true;
    int j = 0;

   #if defined (__SSE2__)
    // Two delays at a time: a plain loop over a flag is left one by one by the compiler.
    const __m128d low = _mm_set1_pd (shortest), high = _mm_set1_pd (longestDelay);
    __m128d pairsInside = _mm_cmpeq_pd (low, low);

    for (; j + 2 <= count; j += 2)
    {
        const __m128d d = _mm_loadu_pd (delays + j);
        pairsInside = _mm_and_pd (pairsInside, _mm_and_pd (_mm_cmpge_pd (d, low), _mm_cmple_pd (d, high)));   // NaN fails
    }

    inside = _mm_movemask_pd (pairsInside) == 3;
   #endif

    for (; j < count; ++j)
        inside &= delays[j] >= shortest && delays[j] <= longestDelay;

    return inside;
}

// Clang (14 at least) names the dispatcher of the clones apart from the function, so
// that calls from other files do not link; and under ThreadSanitizer the dispatcher runs
// before the sanitizer's runtime is up and crashes. There the function keeps its one
// plain form.
#if (defined (__x86_64__) || defined (__i386__)) && ! defined (__clang__) && ! defined (__SANITIZE_THREAD__)
__attribute__ ((target_clones ("avx2", "default")))
#endif
void DelayCore::renderChunk (const Chunk& c, int index, int& silentL, int& silentR, double& envL, double& envR,
                             ChannelPair& tremolo) noexcept
{
    const int length = bufferLength;
    const int count = c.count;
    double* const bl = bufferL.data();
    double* const br = bufferR.data();
    float* const sb = spreadBuffer.data();

    // Each pass below runs over the whole chunk with nothing that waits on the
    // sample before, so that the compiler can work on several samples at once.
    float inputL[chunkLength], inputR[chunkLength];
    const float* pL = c.stagedL;
    const float* pR = c.stagedR;

    if (pL == nullptr)
    {
        const bool toMono = stereoToMono, decodeMidSide = midSide, swap = swapChannels;

        for (int j = 0; j < count; ++j)
        {
            double xL = c.inL[j], xR = c.inR[j];
            applyChannelMode (xL, xR, toMono, decodeMidSide, swap);
            inputL[j] = (float) xL;
            inputR[j] = (float) xR;
        }

        pL = inputL;
        pR = inputR;
    }

    float filteredL[chunkLength], filteredR[chunkLength];
    const float* rL = c.readsL;
    const float* rR = c.readsR;

    if (filterInLoop && filterType != 0)
    {
        std::copy (rL, rL + count, filteredL);
        std::copy (rR, rR + count, filteredR);
        rL = filteredL;
        rR = filteredR;

        float cutoffsL[chunkLength], cutoffsR[chunkLength];
        bool steady = count > 0;

        for (int j = 0; j < count; ++j)
        {
            const float mL = c.modulationL != nullptr ? c.modulationL[j] : 0.0f;
            const float mR = c.modulationR != nullptr ? c.modulationR[j] : 0.0f;
            cutoffsL[j] = (cutoff + modCutoff * mL) * loopFilterSemitones;
            cutoffsR[j] = (cutoff + modCutoff * mR) * loopFilterSemitones;
            steady &= cutoffsL[j] == cutoffsL[0] && cutoffsR[j] == cutoffsR[0];     // NaN is never steady
        }

        // A cutoff that holds still over the chunk gives the same coefficients every
        // sample, so they are set once and both channels filtered in one pass.
        if (steady)
        {
            loopFilter.setCutoffSemitones (0, cutoffsL[0], resonance, semitoneTable, fineTuneTable);
            loopFilter.setCutoffSemitones (1, cutoffsR[0], resonance, semitoneTable, fineTuneTable);
            loopFilter.processStereo (filteredL, filteredR, count);
        }
        else
        {
            for (int j = 0; j < count; ++j)
            {
                loopFilter.setCutoffSemitones (0, cutoffsL[j], resonance, semitoneTable, fineTuneTable);
                loopFilter.setCutoffSemitones (1, cutoffsR[j], resonance, semitoneTable, fineTuneTable);
                filteredL[j] = loopFilter.processSample (0, filteredL[j]);
                filteredR[j] = loopFilter.processSample (1, filteredR[j]);
            }
        }
    }

    // Writes and spread, a stretch up to each wrap of the buffers at a time. A spread
    // read reaches back less than half a buffer (the caller checks), never into what
    // a later sample of the chunk writes, so each stretch writes first and reads after.
    // The writes are worked out for the whole chunk first and copied as stretches:
    // eight scattered stores per sample would keep too many pointers live at once.
    double yL[chunkLength], yR[chunkLength], wL[chunkLength], wR[chunkLength];
    float held[chunkLength];
    int offsets[chunkLength];

    for (int j = 0; j < count; ++j)
    {
        wL[j] = pL[j] + c.feedbacks[j] * rL[j];
        wR[j] = pR[j] + c.feedbacks[j] * rR[j];
    }

    for (int j = 0; j < count; ++j)
    {
        offsets[j] = std::clamp ((int) c.spreads[j], 1 - length, length - 1);
        held[j] = offsets[j] < 0 ? rR[j] : rL[j];
    }

    for (int first = 0; first < count;)
    {
        const int stretch = std::min (count - first, length - index);
        const auto bytes = (size_t) stretch * sizeof (double);

        std::memcpy (bl + index, wL + first, bytes);
        std::memcpy (br + index, wR + first, bytes);

        if (index < InterpolatingRead::guardLength)
        {
            const auto guarded = (size_t) std::min (stretch, InterpolatingRead::guardLength - index) * sizeof (double);
            std::memcpy (bl + length + index, wL + first, guarded);
            std::memcpy (br + length + index, wR + first, guarded);
        }

        std::copy (held + first, held + first + stretch, sb + index);

        for (int j = first; j < first + stretch; ++j)
        {
            const int at = index + j - first;
            const int s = offsets[j];
            yL[j] = s < 0 ? rL[j] : sb[spreadIndex (at - s, length)];
            yR[j] = s < 0 ? sb[spreadIndex (at + s, length)] : rR[j];
        }

        first += stretch;
        index += stretch;

        if (index >= length)
            index = 0;
    }

    // The next chunk's writes land on memory that was last touched a buffer's length
    // ago: asking for it now hides the wait behind this chunk's remaining passes.
    for (int ahead = 0; ahead < chunkLength; ahead += 8)
    {
        const int at = index + ahead < length ? index + ahead : index + ahead - length;
        __builtin_prefetch (bl + at, 1);
        __builtin_prefetch (br + at, 1);
        __builtin_prefetch (sb + at, 1);
    }

    addSilence (silentL, lastLoud (wL, count), count);
    addSilence (silentR, lastLoud (wR, count), count);

    // The tremolo and the envelopes are the chains left, each step waiting on the
    // one before: in one loop, each fills the other's gaps.
    const bool decodeMidSide = midSide;
    const float tremoloCoefficient = tremoloSmoothCoefficient;
    const double decay = envelopeDecay + 1e-20;
    double eL = envL, eR = envR;
    ChannelPair smoothedTremolo = tremolo;

    for (int j = 0; j < count; ++j)
    {
        const float mL = c.modulationL != nullptr ? c.modulationL[j] : 0.0f;
        const float mR = c.modulationR != nullptr ? c.modulationR[j] : 0.0f;
        smoothedTremolo -= (smoothedTremolo - ChannelPair { mL, mR }) * tremoloCoefficient;

        const double t = c.stageGains[j][3];
        double left = yL[j] * (smoothedTremolo[0] * t + (1.0 - t));
        double right = yR[j] * (smoothedTremolo[1] * t + (1.0 - t));

        if (decodeMidSide)
        {
            const double sum = left + right, difference = left - right;
            left = sum;
            right = difference;
        }

        const double v = c.volumes[j], p = c.pans[j];
        const double outLeft = std::min (2.0 - p, 1.0) * v * left + 1e-20;
        const double outRight = std::min (p, 1.0) * v * right + 1e-20;

        c.outL[j] = (float) outLeft;
        c.outR[j] = (float) outRight;
        eL = std::max (eL * decay, outLeft);
        eR = std::max (eR * decay, outRight);
    }

    envL = eL;
    envR = eR;
    tremolo = smoothedTremolo;
}

int DelayCore::activityWindow (double delay, double spreadOffset, int length, int kernelTaps) noexcept
{
    // What was last written leaves the read after the delay plus the kernel's length,
    // and the spread buffer holds it back by up to the spread offset more.
    const double reach = delay < length ? std::max (delay, 0.0) : (double) length;   // NaN reaches furthest
    const double window = reach + kernelTaps + std::min (std::abs (spreadOffset), (double) length) + 2.0;
    return (int) std::min (window, (double) std::numeric_limits<int>::max());
}

// One plain form under Clang and ThreadSanitizer, as for renderChunk().
#if (defined (__x86_64__) || defined (__i386__)) && ! defined (__clang__) && ! defined (__SANITIZE_THREAD__)
__attribute__ ((target_clones ("avx2", "default")))
#endif
void DelayCore::process (const float* inL, const float* inR, float* outL, float* outR, int numSamples) noexcept
{
    const int length = bufferLength;
    const float inverseRate = rateConstants.inverseRateFloat;
    double* const bl = bufferL.data();
    double* const br = bufferR.data();
    float* const sb = spreadBuffer.data();

    // The settings cannot change during a run. They, and the state that moves every
    // sample, are worked on as local copies so that they stay in registers: the
    // buffers written below could otherwise alias any member and force reloads.
    const double feedbackTarget = feedbackHold ? (feedbackGain >= 0.0f ? 1.0 : -1.0) : (double) feedbackGain;
    const double s1Targets[4] = { spreadOffset, lengthL, lengthR, feedbackTarget };
    const float s3Targets[4] = { volume, modTimeDepth, 0.0f, 0.0f };
    const float s4Targets[4] = { preampGain, colour, overdriveGain, tremolo };
    const double panTarget = pan;
    const float cutoffBase = cutoff, cutoffDepth = modCutoff, filterResonance = resonance;
    const bool logScale = logModulation, smoothTime = smoothModulatedTime;
    const bool toMono = stereoToMono, decodeMidSide = midSide, swap = swapChannels;
    const bool loopFilterOn = filterInLoop && filterType != 0;
    const double offset = rateOffset, timeCoefficient = timeSmoothCoefficient, decay = envelopeDecay;
    const float tremoloCoefficient = tremoloSmoothCoefficient;
    const float* const modulationLeft = modulationL;
    const float* const modulationRight = modulationR;
    const int kernelTaps = reader.getMaximumTaps (reader.getMinimumStep());

    InputStage::Settings settings;
    settings.filterOn = filterType != 0;
    settings.filterPostOverdrive = filterMode == 1;
    settings.overdriveOn = overdriveOn;

    auto sm1 = s1, sm2 = s2;
    auto sm3 = s3, sm4 = s4;
    double smoothL1 = delaySmoothL1, smoothR1 = delaySmoothR1, smoothL2 = delaySmoothL2, smoothR2 = delaySmoothR2;
    double previousL = previousDelayL, previousR = previousDelayR;
    ChannelPair tremolo { tremoloModL, tremoloModR };
    double envL = envelopeL, envR = envelopeR;
    bool onL = activeL, onR = activeR, snap = snapPending;
    int silentL = silentWritesL, silentR = silentWritesR;
    int index = writeIndex;
    int fresh = freshWrites;

    bool moving1 = true, moving2 = true, moving3 = true, moving4 = true;
    const bool stageRanAhead = stagedAhead;
    const float* const stagedL = stagedBlock (stagedOutputL);
    const float* const stagedR = stagedBlock (stagedOutputR);
    stagedAhead = false;

    for (int start = 0; start < numSamples; start += chunkLength)
    {
        const int count = std::min (chunkLength, numSamples - start);

        // First the values that do not depend on the signal: the smoothed settings
        // and the read delays. A smoother whose step moved nothing stays put for the
        // rest of the run, since its targets cannot change meanwhile.
        double delaysL[chunkLength], delaysR[chunkLength];
        double spreads[chunkLength], feedbacks[chunkLength], pans[chunkLength];
        float volumes[chunkLength], stageGains[chunkLength][4];

        int settledFrom = 0;

        for (; settledFrom < count && (moving1 || moving2 || moving3 || moving4 || snap); ++settledFrom)
        {
            const int j = settledFrom;
            const int i = start + j;
            tapAveragerL.tick();
            tapAveragerR.tick();

            if (moving1) moving1 = sm1.advance (s1Targets);
            if (moving3) moving3 = sm3.advance (s3Targets);
            if (moving4) moving4 = sm4.advance (s4Targets);

            if (moving2)
            {
                const double s2Targets[4] = { sm1.current[1], sm1.current[2], sm3.current[1], panTarget };
                moving2 = sm2.advance (s2Targets) || moving1 || moving3;
            }

            // Modulated lengths.
            const float mL = modulationLeft != nullptr ? modulationLeft[i] : 0.0f;
            const float mR = modulationRight != nullptr ? modulationRight[i] : 0.0f;
            const double lenL = sm2.current[0], lenR = sm2.current[1], depth = sm2.current[2];
            double offsetL, offsetR;

            if (logScale)
            {
                offsetL = logarithmicOffset (lenL, mL, depth, inverseRate);
                offsetR = logarithmicOffset (lenR, mR, depth, inverseRate);
            }
            else
            {
                offsetL = lenL * mL * depth;
                offsetR = lenR * mR * depth;
            }

            const double dL = lenL - offsetL, dR = lenR - offsetR;

            if (smoothTime)
            {
                smoothL1 -= (smoothL1 - dL) * timeCoefficient;
                smoothL2 -= (smoothL2 - smoothL1) * timeCoefficient;
                smoothR1 -= (smoothR1 - dR) * timeCoefficient;
                smoothR2 -= (smoothR2 - smoothR1) * timeCoefficient;
            }
            else
            {
                smoothL2 = dL;
                smoothR2 = dR;
            }

            delaysL[j] = offset + smoothL2;
            delaysR[j] = offset + smoothR2;

            if (snap)
            {
                smoothL1 = smoothL2 = dL;
                smoothR1 = smoothR2 = dR;
                snap = false;
            }

            spreads[j] = sm1.current[0];
            feedbacks[j] = sm1.current[3];
            volumes[j] = sm3.current[0];
            pans[j] = sm2.current[3];

            for (int lane = 0; lane < 4; ++lane)
                stageGains[j][lane] = sm4.current[lane];
        }

        // Once every smoother has settled, only the modulation moves: the same steps
        // as above, each in a pass of its own over the rest of the chunk.
        if (settledFrom < count)
        {
            const double lenL = sm2.current[0], lenR = sm2.current[1], depth = sm2.current[2];
            double targetsL[chunkLength], targetsR[chunkLength];

            for (int j = settledFrom; j < count; ++j)
            {
                tapAveragerL.tick();
                tapAveragerR.tick();
            }

            if (logScale)
            {
                for (int j = settledFrom; j < count; ++j)
                {
                    targetsL[j] = lenL - logarithmicOffset (lenL, modulationLeft != nullptr ? modulationLeft[start + j] : 0.0f, depth, inverseRate);
                    targetsR[j] = lenR - logarithmicOffset (lenR, modulationRight != nullptr ? modulationRight[start + j] : 0.0f, depth, inverseRate);
                }
            }
            else
            {
                for (int j = settledFrom; j < count; ++j)
                {
                    const float mL = modulationLeft != nullptr ? modulationLeft[start + j] : 0.0f;
                    const float mR = modulationRight != nullptr ? modulationRight[start + j] : 0.0f;
                    targetsL[j] = lenL - lenL * mL * depth;
                    targetsR[j] = lenR - lenR * mR * depth;
                }
            }

            if (smoothTime)
            {
                for (int j = settledFrom; j < count; ++j)
                {
                    smoothL1 -= (smoothL1 - targetsL[j]) * timeCoefficient;
                    smoothL2 -= (smoothL2 - smoothL1) * timeCoefficient;
                    smoothR1 -= (smoothR1 - targetsR[j]) * timeCoefficient;
                    smoothR2 -= (smoothR2 - smoothR1) * timeCoefficient;
                    delaysL[j] = offset + smoothL2;
                    delaysR[j] = offset + smoothR2;
                }
            }
            else
            {
                for (int j = settledFrom; j < count; ++j)
                {
                    delaysL[j] = offset + targetsL[j];
                    delaysR[j] = offset + targetsR[j];
                }

                smoothL2 = targetsL[count - 1];
                smoothR2 = targetsR[count - 1];
            }

            std::fill (spreads + settledFrom, spreads + count, sm1.current[0]);
            std::fill (feedbacks + settledFrom, feedbacks + count, sm1.current[3]);
            std::fill (volumes + settledFrom, volumes + count, sm3.current[0]);
            std::fill (pans + settledFrom, pans + count, sm2.current[3]);

            for (int j = settledFrom; j < count; ++j)
                for (int lane = 0; lane < 4; ++lane)
                    stageGains[j][lane] = sm4.current[lane];
        }

        // The reads of an active channel whose delays all reach behind this chunk
        // and stay clear of the buffer's ends only see samples written before it,
        // so they can go first, in one tight loop.
        float readsL[chunkLength], readsR[chunkLength];
        const bool readAheadL = onL && readsBehind (delaysL, count, length - kernelTaps);
        const bool readAheadR = onR && readsBehind (delaysR, count, length - kernelTaps);

        InterpolatingRead::Run runs[2];
        int numRuns = 0;

        if (readAheadL)
            runs[numRuns++] = { bl, delaysL, previousL, readsL };

        if (readAheadR)
            runs[numRuns++] = { br, delaysR, previousR, readsR };

        reader.readRuns (runs, numRuns, index, length, count, fresh);

        // With both channels read ahead and certain to stay active, the stage already
        // run (or switched off) and nothing stale left to hide, no step of the rest
        // waits for the sample before it but the loop filter and the envelopes: the
        // chunk goes through in passes that each run over all of it. A quiet channel
        // (a line turned down) is also certain to stay active while its last audible
        // write is recent: every delay here reaches back at least the chunk, so the
        // silence counted by the chunk's end stays inside its activity window.
        const double margin = 1.0 - 2.0 * count * (1.0 - decay);
        const bool staysActive = (envL * margin > envelopeThreshold || silentL <= kernelTaps + 2)
                              && (envR * margin > envelopeThreshold || silentR <= kernelTaps + 2);
        bool spreadWithinHalf = true;

        for (int j = 0; j < count; ++j)
            spreadWithinHalf &= std::abs (spreads[j]) < 0.5 * length;

        if (readAheadL && readAheadR && staysActive && spreadWithinHalf && fresh >= length
             && (stageRanAhead || ! (settings.overdriveOn || settings.filterOn)))
        {
            renderChunk ({ inL + start, inR + start, outL + start, outR + start, count,
                           readsL, readsR, stageRanAhead ? stagedL + start : nullptr, stageRanAhead ? stagedR + start : nullptr,
                           feedbacks, spreads, volumes, pans, stageGains,
                           modulationLeft != nullptr ? modulationLeft + start : nullptr,
                           modulationRight != nullptr ? modulationRight + start : nullptr },
                         index, silentL, silentR, envL, envR, tremolo);

            previousL = delaysL[count - 1];
            previousR = delaysR[count - 1];
            index = (index + count) % length;
            continue;
        }

        for (int j = 0; j < count; ++j)
        {
            const int i = start + j;
            const float mL = modulationLeft != nullptr ? modulationLeft[i] : 0.0f;
            const float mR = modulationRight != nullptr ? modulationRight[i] : 0.0f;
            double delayL = delaysL[j], delayR = delaysR[j];

            // Input and channel operations; activity follows what each buffer is fed.
            double xL = inL[i], xR = inR[i];
            applyChannelMode (xL, xR, toMono, decodeMidSide, swap);

            if (xL != 0.0) onL = true;
            if (xR != 0.0) onR = true;

            // Input stage. It needs nothing of the read below, and going first lets the
            // read fill the gaps of its long chains of dependent steps.
            float staged[2] = { (float) xL, (float) xR };

            if (stageRanAhead)
            {
                staged[0] = stagedL[i];
                staged[1] = stagedR[i];
            }
            else if ((onL || onR) && (settings.overdriveOn || settings.filterOn))
            {
                settings.preampGain = stageGains[j][0];
                settings.colour = stageGains[j][1];
                settings.overdriveGain = stageGains[j][2];

                const float cutoffs[2] = { (cutoffBase + cutoffDepth * mL) * inputFilterSemitones,
                                           (cutoffBase + cutoffDepth * mR) * inputFilterSemitones };
                inputStage.processFrame (staged, settings, cutoffs, filterResonance, semitoneTable, fineTuneTable);
            }

            // Delayed samples. The read is skipped while a channel is inactive.
            float rL = 0.0f, rR = 0.0f;

            if (onL)
                rL = readAheadL ? readsL[j] : reader.read (bl, index, length, delayL, previousL, fresh);

            if (onR)
                rR = readAheadR ? readsR[j] : reader.read (br, index, length, delayR, previousR, fresh);

            previousL = delayL;
            previousR = delayR;

            const float pL = staged[0], pR = staged[1];

            if (loopFilterOn)
            {
                loopFilter.setCutoffSemitones (0, (cutoffBase + cutoffDepth * mL) * loopFilterSemitones, filterResonance, semitoneTable, fineTuneTable);
                loopFilter.setCutoffSemitones (1, (cutoffBase + cutoffDepth * mR) * loopFilterSemitones, filterResonance, semitoneTable, fineTuneTable);
                rL = loopFilter.processSample (0, rL);
                rR = loopFilter.processSample (1, rR);
            }

            // Write, and again past the end while within the guard, so that reads never wrap.
            const double fb = feedbacks[j];
            const double wL = pL + fb * rL;
            const double wR = pR + fb * rR;
            bl[index] = wL;
            br[index] = wR;

            if (index < InterpolatingRead::guardLength)
            {
                bl[index + length] = wL;
                br[index + length] = wR;
            }
            countSilence (silentL, wL);
            countSilence (silentR, wR);

            if (fresh < length)
                ++fresh;

            // Spread: a negative offset holds back the right output, a positive one the left.
            const double spreadNow = spreads[j];
            const int s = std::clamp ((int) spreadNow, 1 - length, length - 1);
            const bool spreadFresh = std::abs (s) < fresh;
            double yL, yR;

            if (s < 0)
            {
                sb[index] = rR;
                yL = rL;
                yR = spreadFresh ? sb[spreadIndex (index + s, length)] : 0.0;
            }
            else
            {
                sb[index] = rL;
                yL = spreadFresh ? sb[spreadIndex (index - s, length)] : 0.0;
                yR = rR;
            }

            tremolo -= (tremolo - ChannelPair { mL, mR }) * tremoloCoefficient;
            const double t = stageGains[j][3];
            yL *= tremolo[0] * t + (1.0 - t);
            yR *= tremolo[1] * t + (1.0 - t);

            if (decodeMidSide)
            {
                const double sum = yL + yR, difference = yL - yR;
                yL = sum;
                yR = difference;
            }

            const double v = volumes[j], p = pans[j];
            yL = std::min (2.0 - p, 1.0) * v * yL + 1e-20;
            yR = std::min (p, 1.0) * v * yR + 1e-20;

            // Output envelopes. A channel stops reading only once it is quiet and nothing
            // audible written into its buffer can still be on its way out (never sooner
            // than the kernel's length after the last audible write).
            envL *= decay + 1e-20;
            envR *= decay + 1e-20;

            if (envL < yL) envL = yL;
            if (envR < yR) envR = yR;

            if (envL < envelopeThreshold && silentL > kernelTaps + 2
                 && silentL > activityWindow (delayL, spreadNow, length, kernelTaps))
                onL = false;

            if (envR < envelopeThreshold && silentR > kernelTaps + 2
                 && silentR > activityWindow (delayR, spreadNow, length, kernelTaps))
                onR = false;

            outL[i] = (float) yL;
            outR[i] = (float) yR;

            if (++index >= length)
                index = 0;
        }
    }

    s1 = sm1;
    s2 = sm2;
    s3 = sm3;
    s4 = sm4;
    delaySmoothL1 = smoothL1;
    delaySmoothR1 = smoothR1;
    delaySmoothL2 = smoothL2;
    delaySmoothR2 = smoothR2;
    previousDelayL = previousL;
    previousDelayR = previousR;
    tremoloModL = tremolo[0];
    tremoloModR = tremolo[1];
    envelopeL = envL;
    envelopeR = envR;
    activeL = onL;
    activeR = onR;
    snapPending = snap;
    silentWritesL = silentL;
    silentWritesR = silentR;
    writeIndex = index;
    freshWrites = fresh;
}
