#include "DelayEngine.h"

#include "DelayCore.h"
#include "InputStageGroup.h"
#include "PreDelayCore.h"
#include "ScopedFlushDenormals.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
    constexpr double pi = 3.141592653589793;
    constexpr int busA = 0, busB = 1, busC = 2, busD = 3;

    // A NaN or infinity from the host would stay in the delay memory for good through the
    // feedback, so it enters as silence. The comparison is false for both and vectorises.
    void zeroNonFinite (float* samples, int numSamples) noexcept
    {
        for (int i = 0; i < numSamples; ++i)
            samples[i] = std::abs (samples[i]) <= std::numeric_limits<float>::max() ? samples[i] : 0.0f;
    }

    /** Which buses a routing connects. Each line's pre-delay reads its source bus
        and writes its destination bus; its delay core then works in place on the
        destination. The wet signal is the sum of the listed buses, each scaled by
        the gain of the line that wrote it last.
    */
    struct RoutingLayout
    {
        struct Line { int source, destination; };
        struct WetTap { int line, bus; };

        Line lines[DelayEngine::numLines];
        int numWetTaps;
        WetTap wet[DelayEngine::numLines];

        // Lines of one wave neither read nor write each other's buses, so they may
        // run in any order, and their input stages side by side. Waves run in turn.
        int wave[DelayEngine::numLines];
    };

    constexpr RoutingLayout routingLayouts[DelayEngine::numRoutings] =
    {
        // Parallel
        { { { busA, busA }, { busB, busB }, { busC, busC }, { busD, busD } }, 4, { { 0, busA }, { 1, busB }, { 2, busC }, { 3, busD } }, { 0, 0, 0, 0 } },
        // Serial
        { { { busA, busA }, { busA, busA }, { busA, busA }, { busA, busA } }, 1, { { 3, busA } }, { 0, 1, 2, 3 } },
        // Tapped Serial
        { { { busA, busA }, { busA, busB }, { busB, busC }, { busC, busD } }, 4, { { 0, busA }, { 1, busB }, { 2, busC }, { 3, busD } }, { 0, 1, 2, 3 } },
        // Mixed 1
        { { { busA, busA }, { busA, busA }, { busC, busC }, { busD, busD } }, 3, { { 1, busA }, { 2, busC }, { 3, busD } }, { 0, 1, 0, 0 } },
        // Mixed 2
        { { { busA, busA }, { busA, busB }, { busC, busC }, { busD, busD } }, 4, { { 0, busA }, { 1, busB }, { 2, busC }, { 3, busD } }, { 0, 1, 0, 0 } },
        // Mixed 3
        { { { busA, busA }, { busA, busA }, { busC, busC }, { busC, busC } }, 2, { { 1, busA }, { 3, busC } }, { 0, 1, 0, 1 } },
        // Mixed 4
        { { { busA, busA }, { busA, busB }, { busC, busC }, { busC, busD } }, 4, { { 0, busA }, { 1, busB }, { 2, busC }, { 3, busD } }, { 0, 1, 0, 1 } },
        // Mixed 5
        { { { busA, busA }, { busA, busA }, { busA, busA }, { busD, busD } }, 2, { { 2, busA }, { 3, busD } }, { 0, 1, 2, 0 } },
        // Mixed 6
        { { { busA, busA }, { busA, busB }, { busB, busC }, { busD, busD } }, 4, { { 0, busA }, { 1, busB }, { 2, busC }, { 3, busD } }, { 0, 1, 2, 0 } },
    };

    /** An enumeration or count of n + 1 values from its normalised value. Values
        outside 0..1 give indices outside the range, which the users of each index
        deal with; only what no int can hold (or NaN) is pinned, so that the
        conversion itself stays defined.
    */
    int toIndex (float v, int n) noexcept
    {
        const float x = std::floor ((float) n * v + 0.5f);

        if (! (x > -1.0e6f))
            return x < 0.0f ? -1000000 : 0;

        return x < 1.0e6f ? (int) x : 1000000;
    }

    bool toSwitch (float v) noexcept
    {
        return v >= 0.5f;
    }

    double decibelsToGain (double dB) noexcept
    {
        return std::pow (10.0, dB * 0.05);
    }

    /** Volume law of a line: 0 at 0, unity at 0.75, +12 dB at 1. */
    float lineVolume (float v) noexcept
    {
        return -0.5625f / (v - 1.125f) - 0.5f;
    }

    /** "Master Volume": unity at 0.5, +12 dB at 1. */
    float masterVolumeGain (float v) noexcept
    {
        return 4.0f * v * v + 1e-20f;
    }

    /** The LFO's free frequency: 0.1 Hz at 0, about 6.64 Hz at 0.5, 40 Hz at 1. */
    double lfoFrequency (double v) noexcept
    {
        return std::exp (3.258840824040285 * v) * 1.5947651006752834 - 1.494765100692059 + 1e-20;
    }

    /** The waveform codes in the order of the parameter's entries:
        "Smooth S/H", "Saw Down", "Square", "Sine", "Triangle".
    */
    constexpr int waveformCodes[] = { 5, 3, 2, 1, 0 };

    /** The transient thresholds' law: 0 dB at 0, −64 dB at 1. */
    float transientThreshold (float v) noexcept
    {
        return (float) decibelsToGain (-64.0 * v);
    }
}

//==============================================================================
DelayEngine::DelayEngine()
{
    for (int line = 0; line < numLines; ++line)
    {
        delayCores[line] = std::make_unique<DelayCore> (tables.kernel32.data(), tables.kernel8.data(), tables.kernel16.data(),
                                                        tables.semitoneTable.data(), tables.fineTuneTable.data());
        preDelayCores[line] = std::make_unique<PreDelayCore>();
    }

    setQuality (0);

    maximumDelaySeconds = 3;
    prepare (44100.0, 1024);
}

DelayEngine::~DelayEngine() = default;

void DelayEngine::prepare (double sampleRate, int blockSize)
{
    // A host that reports nonsense keeps the rate it had; a block of at least one
    // sample keeps the chunked render moving.
    if (std::isfinite (sampleRate) && sampleRate > 0.0)
        rates.compute (sampleRate);

    blockCapacity = std::max (1, blockSize);

    for (auto& b : buses)
        b.assign ((size_t) blockCapacity, 0.0f);

    modulators.prepare (rates, blockCapacity);

    mixSmoother.reset (rates.smooth2Float);
    lineGainSmoother.reset (rates.smooth2Float);

    for (auto& meter : outputMeters)
        meter.prepare (rates.sampleRate);

    resizeLines();

    limiter.prepare (rates.sampleRateFloat);

    assignModulationSources();
}

void DelayEngine::reset() noexcept
{
    modulators.reset();
    clearBuses();

    for (int line = 0; line < numLines; ++line)
    {
        delayCores[line]->reset();
        preDelayCores[line]->clear();
    }
}

void DelayEngine::clearBuses() noexcept
{
    for (auto& b : buses)
        std::fill (b.begin(), b.end(), 0.0f);
}

//==============================================================================
void DelayEngine::process (float** channels, int numSamples, bool inputIsStereo, bool outputIsStereo) noexcept
{
    if (channels == nullptr || channels[0] == nullptr || numSamples <= 0)
        return;

    // A mono host may hand over a single pointer: the second is read only when a
    // side asks for it, and a missing one makes the run mono.
    if ((inputIsStereo || outputIsStereo) && channels[1] == nullptr)
        inputIsStereo = outputIsStereo = false;

    ScopedFlushDenormals noDenormals;

    for (auto& line : tapFlags)
        std::fill (std::begin (line), std::end (line), (std::uint8_t) 0);

    const bool usesRight = inputIsStereo || outputIsStereo;

    for (int start = 0; start < numSamples; start += blockCapacity)
    {
        renderRun (channels[0] + start,
                   usesRight ? channels[1] + start : nullptr,
                   std::min (blockCapacity, numSamples - start),
                   inputIsStereo, outputIsStereo);
    }
}

void DelayEngine::renderRun (float* left, float* right, int numSamples, bool inputIsStereo, bool outputIsStereo) noexcept
{
    const float* inputRight = inputIsStereo ? right : left;

    zeroNonFinite (left, numSamples);

    if (inputIsStereo)
        zeroNonFinite (right, numSamples);

    modulators.process (left, inputRight, numSamples);

    // Every bus starts the run with the dry input, so a line that reads a bus no
    // earlier line wrote processes the input itself.
    for (int b = 0; b < numLines; ++b)
    {
        std::copy (left, left + numSamples, bus (2 * b));
        std::copy (inputRight, inputRight + numSamples, bus (2 * b + 1));
    }

    runLines (numSamples);
    mix (left, right, numSamples, inputIsStereo, outputIsStereo);

    float* outputRight = outputIsStereo ? right : left;

    if (limiterActive)
        limiter.process (left, outputRight, numSamples);

    OutputMeter::processPair (outputMeters[0], left, outputMeters[1], outputRight, numSamples);

    publish();
    collectTapFlags();
}

void DelayEngine::runLines (int numSamples) noexcept
{
    const auto& layout = routingLayouts[routing];

    for (int wave = 0; wave < numLines; ++wave)
    {
        int lines[numLines];
        int numInWave = 0;

        for (int line = 0; line < numLines; ++line)
            if (layout.wave[line] == wave)
                lines[numInWave++] = line;

        for (int n = 0; n < numInWave; ++n)
        {
            const auto& route = layout.lines[lines[n]];
            preDelayCores[lines[n]]->process (bus (2 * route.source), bus (2 * route.source + 1),
                                              bus (2 * route.destination), bus (2 * route.destination + 1), numSamples);
        }

        runStagesAhead (lines, numInWave, numSamples);

        for (int n = 0; n < numInWave; ++n)
        {
            const auto& route = layout.lines[lines[n]];
            float* outL = bus (2 * route.destination);
            float* outR = bus (2 * route.destination + 1);
            delayCores[lines[n]]->process (outL, outR, outL, outR, numSamples);
        }
    }
}

void DelayEngine::runStagesAhead (const int* lines, int numInWave, int numSamples) noexcept
{
    const auto& layout = routingLayouts[routing];
    InputStageGroup::Member members[numLines];
    InputStage::Settings switches[numLines];
    bool pending[numLines] = {};

    for (int n = 0; n < numInWave; ++n)
    {
        auto& core = *delayCores[lines[n]];
        const int destination = layout.lines[lines[n]].destination;
        switches[n] = core.getStageSwitches();
        pending[n] = core.prepareStageAhead (bus (2 * destination), bus (2 * destination + 1), numSamples, members[n]);
    }

    // Stages with the same switches run in one group.
    for (int n = 0; n < numInWave; ++n)
    {
        if (! pending[n])
            continue;

        InputStageGroup::Member group[numLines];
        int numInGroup = 0;

        for (int other = n; other < numInWave; ++other)
        {
            if (pending[other] && switches[other].filterOn == switches[n].filterOn
                 && switches[other].filterPostOverdrive == switches[n].filterPostOverdrive
                 && switches[other].overdriveOn == switches[n].overdriveOn)
            {
                group[numInGroup++] = members[other];
                pending[other] = false;
            }
        }

        InputStageGroup::process (group, numInGroup, switches[n], numSamples,
                                  tables.semitoneTable.data(), tables.fineTuneTable.data());
    }
}

void DelayEngine::mix (float* left, float* right, int numSamples, bool inputIsStereo, bool outputIsStereo) noexcept
{
    const auto& layout = routingLayouts[routing];
    const int numTaps = layout.numWetTaps;

    const float* wetL[numLines];
    const float* wetR[numLines];
    int tapLine[numLines];

    for (int t = 0; t < numTaps; ++t)
    {
        wetL[t] = bus (2 * layout.wet[t].bus);
        wetR[t] = bus (2 * layout.wet[t].bus + 1);
        tapLine[t] = layout.wet[t].line;
    }

    const float mixTargets[4] = { fxAmount, masterGain, 0.0f, 0.0f };

    // Working copies, so that the smoothers live in registers for the run. Once an
    // advance moves no lane, further ones toward the same targets change nothing.
    auto gains = lineGainSmoother;
    auto mixes = mixSmoother;
    bool gainsMove = true, mixesMove = true;

    auto output = [&] (int i, float sumL, float sumR, float fx, float m)
    {
        const float dryL = left[i];
        const float dryR = inputIsStereo ? right[i] : dryL;
        const float outL = ((sumL + 1e-20f) - dryL) * fx + dryL + 1e-20f;
        const float outR = ((sumR + 1e-20f) - dryR) * fx + dryR + 1e-20f;

        if (outputIsStereo)
        {
            left[i] = m * outL + 1e-20f;
            right[i] = m * outR + 1e-20f;
        }
        else
        {
            left[i] = m * ((outL + outR) * 0.5f) + 1e-20f;
        }
    };

    int i = 0;

    for (; i < numSamples && (gainsMove || mixesMove); ++i)
    {
        if (gainsMove)
            gainsMove = gains.advance (lineGainTargets);

        if (mixesMove)
            mixesMove = mixes.advance (mixTargets);

        const float* g = gains.current;
        float sumL = 0.0f, sumR = 0.0f;

        for (int t = 0; t < numTaps; ++t)
        {
            sumL += g[tapLine[t]] * wetL[t][i];
            sumR += g[tapLine[t]] * wetR[t][i];
        }

        output (i, sumL, sumR, mixes.current[0], mixes.current[1]);
    }

    // With steady gains, the rest goes a stretch at a time, tap by tap over the
    // stretch: each sample still adds its taps in the same order.
    constexpr int stretch = 64;

    for (; i < numSamples; i += stretch)
    {
        const int count = std::min (stretch, numSamples - i);
        float sumsL[stretch] = {}, sumsR[stretch] = {};

        for (int t = 0; t < numTaps; ++t)
        {
            const float g = gains.current[tapLine[t]];
            const float* const wl = wetL[t] + i;
            const float* const wr = wetR[t] + i;

            for (int j = 0; j < count; ++j)
            {
                sumsL[j] += g * wl[j];
                sumsR[j] += g * wr[j];
            }
        }

        for (int j = 0; j < count; ++j)
            output (i + j, sumsL[j], sumsR[j], mixes.current[0], mixes.current[1]);
    }

    lineGainSmoother = gains;
    mixSmoother = mixes;
}

void DelayEngine::publish() noexcept
{
    for (int ch = 0; ch < 2; ++ch)
    {
        indicators.outputLevel[ch].exchange (outputMeters[ch].getLevel());
        indicators.outputClip[ch].exchange (outputMeters[ch].isClipping() ? 1 : 0);
    }

    for (int line = 0; line < numLines; ++line)
    {
        indicators.lineLevel[2 * line].exchange (delayCores[line]->getLeftMeterLevel());
        indicators.lineLevel[2 * line + 1].exchange (delayCores[line]->getRightMeterLevel());
    }

    for (int m = 0; m < Modulators::numModulators; ++m)
    {
        const float level = modulators.getTransientLevel (m);
        const float dB = level > 0.0f ? 20.0f * std::log10 (level) : -320.0f;
        indicators.transientLevel[m].exchange (-dB * 0.015625f);

        indicators.peakLevel[m].exchange (modulators.getBuffer (Modulators::mod1Peak + m)[0]);

        if (modulators.wasRetriggeredByTransient (m))
        {
            indicators.transientHitFlag[m].exchange (1);
            indicators.modulatorRestartFlag[m].exchange (1);
        }

        indicators.lfoFirstHalf[m].exchange (modulators.isLfoInFirstHalf (m) ? 1 : 0);
    }
}

void DelayEngine::collectTapFlags() noexcept
{
    // Flags accumulate over the chunks of one process() call, so a tap measured in
    // an early chunk still reaches the owner.
    for (int line = 0; line < numLines; ++line)
    {
        auto& core = *delayCores[line];
        auto& pre = *preDelayCores[line];
        auto* flags = tapFlags[line];

        flags[delayLeftTap] |= core.tapAveragerL.takeNewValue() ? 1 : 0;
        flags[delayRightTap] |= core.tapAveragerR.takeNewValue() ? 1 : 0;
        flags[preDelayLeftTap] |= pre.tapAveragerL.takeNewValue() ? 1 : 0;
        flags[preDelayRightTap] |= pre.tapAveragerR.takeNewValue() ? 1 : 0;
    }
}

//==============================================================================
void DelayEngine::setLineParameter (int line, int index, float v)
{
    if (line < 0 || line >= numLines || index < 0 || index >= numLineParameters)
        return;

    auto& core = *delayCores[line];
    auto& pre = *preDelayCores[line];

    switch (index)
    {
        case 0:  lineGainTargets[line] = 1.0f - v; break;
        case 1:  core.pan = 2.0f * v; break;
        case 2:  core.volume = lineVolume (v); break;
        case 3:  core.midSide = toSwitch (v); break;
        case 4:  core.swapChannels = toSwitch (v); break;
        case 5:  core.stereoToMono = toSwitch (v); break;
        case 6:  core.filterMode = toIndex (v, 1); break;
        case 7:  core.filterInLoop = toSwitch (v); break;
        case 8:  core.cutoff = v; break;
        case 9:  core.resonance = v; break;
        case 10: core.setFilterType (toIndex (v, 3)); break;

        case 11: core.tempoSync = toSwitch (v); core.update(); break;
        case 12: core.joinChannels = toSwitch (v); core.update(); break;
        case 13: case 14: break;   // the knobs reach the engine as their linear times

        case 15: if (core.timeL != v) { core.timeL = v; core.update(); } break;
        case 16: if (core.timeR != v) { core.timeR = v; core.update(); } break;
        case 17: core.setScaleL (toIndex (v, 2)); break;
        case 18: core.setScaleR (toIndex (v, 2)); break;
        case 19: core.numeratorL = toIndex (v, 31) + 1; core.update(); break;
        case 20: core.denominatorL = toIndex (v, 31) + 1; core.update(); break;
        case 21: core.numeratorR = toIndex (v, 31) + 1; core.update(); break;
        case 22: core.denominatorR = toIndex (v, 31) + 1; core.update(); break;

        case 23: pre.tempoSync = toSwitch (v); pre.update(); break;
        case 24: pre.joinChannels = toSwitch (v); pre.update(); break;
        case 25: case 26: break;

        case 27: if (pre.timeL != v) { pre.timeL = v; pre.update(); } break;
        case 28: if (pre.timeR != v) { pre.timeR = v; pre.update(); } break;
        case 29: pre.setScaleL (toIndex (v, 2)); break;
        case 30: pre.setScaleR (toIndex (v, 2)); break;
        case 31: pre.numeratorL = toIndex (v, 32); pre.update(); break;      // 0 is no pre-delay
        case 32: pre.denominatorL = toIndex (v, 31) + 1; pre.update(); break;
        case 33: pre.numeratorR = toIndex (v, 32); pre.update(); break;
        case 34: pre.denominatorR = toIndex (v, 31) + 1; pre.update(); break;

        case 35: core.overdriveOn = toSwitch (v); break;
        case 36: core.preampGain = (float) decibelsToGain (48.0 * v); break;
        case 37: core.colour = (2.0f * v + 1.0f) * v - 1.0f; break;
        case 38: core.overdriveGain = 0.125f - 0.175f * v / (v - 1.2f); break;
        case 39: core.feedback = 2.0f * v - 1.0f; core.feedbackGain = (2.0f * v - 1.0f) * 0.99f; break;
        case 40: core.feedbackHold = toSwitch (v); break;

        case 41: if (core.spread != v) { core.spread = v; core.update(); } break;

        case 42: core.modulationSource = toIndex (v, 1); assignModulationSources(); break;
        case 43: core.logModulation = toSwitch (v); break;

        case 44: if (core.modTime != v) { core.modTime = v; core.update(); } break;
        case 45: core.modCutoff = v; break;
        case 46: core.tremolo = v; break;
        default: break;
    }
}

void DelayEngine::setGlobalParameter (int id, float v)
{
    if (id < firstGlobalParameter || id > lastGlobalParameter)
        return;

    if (id <= 86)
    {
        // MOD 2's parameters repeat MOD 1's, twenty ids later.
        const int m = id >= 67 ? 1 : 0;

        switch (id - 20 * m)
        {
            case 47: modulators.setType (m, toIndex (v, 2)); assignModulationSources(); break;
            case 48: modulators.setRetriggerMode (m, toIndex (v, 2)); break;
            case 49: modulators.getTransientDetector (m).setSpeed (v * v * 1.45f + 0.05f); break;
            case 50: modulators.getTransientDetector (m).setTriggerThreshold (transientThreshold (v)); break;
            case 51: modulators.getTransientDetector (m).setRearmThreshold (transientThreshold (v)); break;
            case 52: setLfoTempoSync (m, toSwitch (v)); break;
            case 53: break;     // part of the tempo rate, which the owner forms
            case 54: setLfoFrequency (m, v); break;
            case 55: break;     // likewise

            case 56:
            {
                const int entry = toIndex (v, 4);

                if (entry >= 0 && entry < (int) std::size (waveformCodes))
                    modulators.setLfoWaveform (m, waveformCodes[entry]);

                assignModulationSources();
                break;
            }

            case 57: modulators.setLfoInvert (m, toSwitch (v)); break;
            case 58: modulators.setLfoPhaseShift (m, v * pi); break;
            case 59: modulators.getEnvelope (m).setAttack (v); break;
            case 60: modulators.getEnvelope (m).setDecay (v); break;
            case 61: modulators.getEnvelope (m).setSustain (v); break;
            case 62: modulators.getEnvelope (m).setHold (v); break;
            case 63: modulators.getEnvelope (m).setRelease (v); break;
            case 64: modulators.getPeakFollower (m).setInputGain (decibelsToGain (24.0 * v)); break;
            case 65: modulators.getPeakFollower (m).setAttack (v); break;
            case 66: modulators.getPeakFollower (m).setRelease (v); break;
            default: break;
        }

        return;
    }

    switch (id)
    {
        case 87:
        {
            const bool wasActive = limiterActive;
            limiterActive = toSwitch (v);

            // The limiter's rings still hold audio from the last time it ran.
            if (limiterActive && ! wasActive)
                limiter.reset();

            updateMasterGain();
            break;
        }

        case 88:
        {
            const float thresholdDb = (1.0f - v) * -24.0f;
            limiter.setThresholdDb (thresholdDb);
            limiter.setMakeupGain ((float) decibelsToGain (-thresholdDb) + 1e-20f);
            break;
        }

        case 89: fxAmount = v; break;
        case 90: routing = std::clamp (toIndex (v, 8), 0, numRoutings - 1); break;
        case 91: masterVolume = v; updateMasterGain(); break;
        default: break;
    }
}

void DelayEngine::updateMasterGain()
{
    const float g = masterVolumeGain (masterVolume);

    if (limiterActive)
    {
        limiter.setOutputGain (g);
        masterGain = 1.0f;
    }
    else
    {
        masterGain = g;
    }
}

void DelayEngine::setLfoTempoSync (int modulator, bool shouldSync)    { modulators.setLfoTempoSync (modulator, shouldSync); }
void DelayEngine::setLfoFrequency (int modulator, double v)           { modulators.setLfoFrequency (modulator, lfoFrequency (v)); }

void DelayEngine::setLfo1TempoSync (bool shouldSync)    { setLfoTempoSync (0, shouldSync); }
void DelayEngine::setLfo2TempoSync (bool shouldSync)    { setLfoTempoSync (1, shouldSync); }
void DelayEngine::setLfo1Frequency (double v)           { setLfoFrequency (0, v); }
void DelayEngine::setLfo2Frequency (double v)           { setLfoFrequency (1, v); }

void DelayEngine::setQuality (int quality)
{
    int mode = 0;
    double step = 512.0;

    switch (quality)
    {
        case 1:  mode = 1; step = 128.0; break;
        case 2:  mode = 2; step = 64.0;  break;
        case 3:  mode = 2; step = 16.0;  break;
        default: break;
    }

    for (auto& core : delayCores)
        core->setQuality (mode, step);
}

void DelayEngine::setMaximumDelayLength (int seconds)
{
    maximumDelaySeconds = std::clamp (seconds, 1, 15);
    resizeLines();
}

void DelayEngine::resizeLines()
{
    for (int line = 0; line < numLines; ++line)
    {
        delayCores[line]->resize (rates.sampleRateFloat, blockCapacity, maximumDelaySeconds);
        preDelayCores[line]->resize (rates.sampleRateFloat, blockCapacity, maximumDelaySeconds);
    }
}

void DelayEngine::setHostBpm (double beatsPerMinute)
{
    modulators.setTempo (beatsPerMinute);

    for (int line = 0; line < numLines; ++line)
    {
        for (CorvaneDelayLine* stage : { (CorvaneDelayLine*) delayCores[line].get(), (CorvaneDelayLine*) preDelayCores[line].get() })
        {
            if (stage->bpm != beatsPerMinute)
            {
                stage->bpm = beatsPerMinute;

                if (stage->tempoSync)
                    stage->update();
            }
        }
    }
}

void DelayEngine::setLfoTempoRate (int modulator, double cyclesPerBeat)
{
    if (modulator == 0 || modulator == 1)
        modulators.setLfoTempoRate (modulator, cyclesPerBeat);
}

//==============================================================================
void DelayEngine::retrigger (int modulator)
{
    if (modulator != 0 && modulator != 1)
        return;

    indicators.modulatorRestartFlag[modulator].exchange (1);
    modulators.retrigger (modulator);
}

void DelayEngine::rephaseLfo (int modulator, double positionInBeats, double cyclesPerBeat)
{
    modulators.rephase (modulator, positionInBeats, cyclesPerBeat);
}

void DelayEngine::assignModulationSources()
{
    for (auto& core : delayCores)
    {
        const int m = core->modulationSource;

        if (m != 0 && m != 1)
            continue;

        const auto source = modulators.getSource (m);

        if (source.left != nullptr)
            core->setModulationSource (source.left, source.right);

        core->smoothModulatedTime = source.smoothTime;
    }
}
