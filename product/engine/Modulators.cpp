#include "Modulators.h"

#include <algorithm>
#include <cmath>

Modulators::Modulators() = default;

void Modulators::prepare (const SampleRateConstants& rates, int blockSize)
{
    blockCapacity = std::max (0, blockSize);

    for (auto& buffer : buffers)
        buffer.assign ((size_t) blockCapacity, 0.0f);

    for (auto& detector : transientDetectors)
        detector.prepare (rates);

    lfoSmoothingCoefficient = (float) (rates.k * 0.05);
    std::fill (std::begin (lfoSmoothed), std::end (lfoSmoothed), 0.0f);

    for (auto& lfo : lfos)
        lfo.prepare (rates);

    for (auto& envelope : envelopes)
        envelope.prepare (rates);

    for (auto& follower : peakFollowers)
        follower.prepare (rates);
}

void Modulators::reset() noexcept
{
    for (auto& lfo : lfos)
        lfo.restart();
}

void Modulators::process (const float* inputLeft, const float* inputRight, int numSamples) noexcept
{
    numSamples = std::min (numSamples, blockCapacity);

    for (auto& flag : transientRetriggered)
        flag = false;

    float* out[numBuffers];

    for (int b = 0; b < numBuffers; ++b)
        out[b] = buffers[b].data();

    // Each generator renders a stretch at a time. A stretch ends after a sample at
    // which a transient restarts a modulator: the restart shows from the next
    // sample, as it would sample by sample.
    for (int start = 0; start < numSamples;)
    {
        int end = numSamples;
        bool restart[numModulators] = {};

        for (int i = start; i < end; ++i)
        {
            for (int m = 0; m < numModulators; ++m)
            {
                if (transientDetectors[m].process (inputLeft[i], inputRight[i]) && retriggerModes[m] == retriggerOnTransient)
                {
                    restart[m] = true;
                    end = i + 1;
                }
            }
        }

        for (int m = 0; m < numModulators; ++m)
        {
            leftLfo (m).process (out[mod1LfoLeft + m] + start, end - start);
            rightLfo (m).process (out[mod1LfoRight + m] + start, end - start);
        }

        // The envelopes, the LFOs' smoothing (in place) and the peak followers go
        // through the stretch side by side, each filling the gaps of the others'
        // chains of dependent steps; copies keep their states in registers.
        static_assert (numModulators == 2, "one copy per modulator");
        EnvelopeGenerator first = envelopes[0], second = envelopes[1];
        const float c = lfoSmoothingCoefficient;
        float smoothed[2 * numModulators];
        std::copy (std::begin (lfoSmoothed), std::end (lfoSmoothed), smoothed);

        for (int i = start; i < end; ++i)
        {
            out[mod1Envelope][i] = first.process();
            out[mod2Envelope][i] = second.process();

            for (int lane = 0; lane < 2 * numModulators; ++lane)
            {
                float& s = smoothed[lane];
                s = s - (s - out[mod1LfoLeft + lane][i]) * c + 1e-20f;
                out[mod1LfoLeft + lane][i] = s;
            }

            for (int m = 0; m < numModulators; ++m)
                out[mod1Peak + m][i] = peakFollowers[m].process (inputLeft[i], inputRight[i]);
        }

        envelopes[0] = first;
        envelopes[1] = second;
        std::copy (std::begin (smoothed), std::end (smoothed), lfoSmoothed);

        for (int m = 0; m < numModulators; ++m)
        {
            if (restart[m])
            {
                retrigger (m);
                transientRetriggered[m] = true;
            }
        }

        start = end;
    }
}

void Modulators::retrigger (int modulator) noexcept
{
    if (modulator < 0 || modulator >= numModulators)
        return;

    leftLfo (modulator).restart();
    rightLfo (modulator).restart();
    envelopes[modulator].retrigger();
}

void Modulators::rephase (int modulator, double positionInBeats, double cyclesPerBeat) noexcept
{
    if (modulator < 0 || modulator >= numModulators || ! leftLfo (modulator).isTempoSynced())
        return;

    const double q = positionInBeats * cyclesPerBeat;
    const double phase = (double) (float) ((q - std::floor (q)) * 2.0 * 3.141592653589793);

    leftLfo (modulator).rephase (phase);
    rightLfo (modulator).rephase (phase);
}

Modulators::Source Modulators::getSource (int modulator) const noexcept
{
    Source source;

    switch (types[modulator])
    {
        case lfoType:
        {
            const int waveform = lfos[modulator].getWaveform();
            source.left = buffers[mod1LfoLeft + modulator].data();
            source.right = buffers[mod1LfoRight + modulator].data();
            source.smoothTime = ! (waveform == LfoGenerator::triangle || waveform == LfoGenerator::sine);
            break;
        }

        case envelopeType:
            source.left = source.right = buffers[mod1Envelope + modulator].data();
            break;

        case peakType:
            source.left = source.right = buffers[mod1Peak + modulator].data();
            break;

        default:
            break;
    }

    return source;
}

void Modulators::setLfoWaveform (int modulator, int waveformCode) noexcept
{
    leftLfo (modulator).setWaveform (waveformCode);
    rightLfo (modulator).setWaveform (waveformCode);
}

void Modulators::setLfoInvert (int modulator, bool shouldInvert) noexcept
{
    leftLfo (modulator).setInvert (shouldInvert);
    rightLfo (modulator).setInvert (shouldInvert);
}

void Modulators::setLfoTempoSync (int modulator, bool shouldSync) noexcept
{
    leftLfo (modulator).setTempoSync (shouldSync);
    rightLfo (modulator).setTempoSync (shouldSync);
}

void Modulators::setLfoFrequency (int modulator, double hertz) noexcept
{
    leftLfo (modulator).setFreeFrequency (hertz);
    rightLfo (modulator).setFreeFrequency (hertz);
}

void Modulators::setLfoTempoRate (int modulator, double cyclesPerBeat) noexcept
{
    leftLfo (modulator).setRateMultiplier (cyclesPerBeat);
    rightLfo (modulator).setRateMultiplier (cyclesPerBeat);
}

void Modulators::setLfoPhaseShift (int modulator, double radians) noexcept
{
    rightLfo (modulator).setPhaseOffset (radians);
}

void Modulators::setTempo (double beatsPerMinute) noexcept
{
    for (auto& lfo : lfos)
        lfo.setTempo (beatsPerMinute);
}

bool Modulators::isLfoInFirstHalf (int modulator) const noexcept
{
    return lfos[modulator].getBasePhase() <= 3.141592653589793;
}
