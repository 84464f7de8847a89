#include "Resampler.h"

#include <stdexcept>
#include <string>

Resampler::Resampler (double inputRate, double outputRate, int numChannels) : ratio (outputRate / inputRate)
{
    const auto io = soxr_io_spec (SOXR_FLOAT32_S, SOXR_FLOAT32_S);
    const auto quality = soxr_quality_spec (SOXR_VHQ, 0);
    soxr_error_t error = nullptr;
    soxr = soxr_create (inputRate, outputRate, static_cast<unsigned> (numChannels), &error, &io, &quality, nullptr);

    if (error != nullptr || soxr == nullptr)
        throw std::runtime_error (std::string ("cannot resample: ") + (error != nullptr ? error : "no converter"));
}

Resampler::~Resampler()
{
    soxr_delete (soxr);
}

void Resampler::process (const float* const* input, int numSamples, juce::AudioBuffer<float>& output)
{
    const auto numChannels = output.getNumChannels();
    const auto capacity = static_cast<int> (std::ceil (numSamples * ratio)) + 1024;
    output.setSize (numChannels, capacity, false, false, true);

    size_t consumed = 0, produced = 0, total = 0;
    std::vector<float*> destination (static_cast<size_t> (numChannels));
    std::vector<const float*> source (static_cast<size_t> (numChannels));

    // A flush may give more than one output buffer's worth; so may an input the filter had held back.
    for (;;)
    {
        if (static_cast<int> (total) == output.getNumSamples())
            output.setSize (numChannels, output.getNumSamples() * 2, true, false, true);

        for (int channel = 0; channel < numChannels; ++channel)
            destination[static_cast<size_t> (channel)] = output.getWritePointer (channel, static_cast<int> (total));

        for (int channel = 0; channel < numChannels && numSamples > 0; ++channel)
            source[static_cast<size_t> (channel)] = input[channel] + consumed;

        const auto remaining = numSamples > 0 ? static_cast<size_t> (numSamples) - consumed : 0;
        size_t used = 0;

        if (const auto error = soxr_process (soxr, numSamples > 0 ? source.data() : nullptr, remaining, &used,
                                             destination.data(), static_cast<size_t> (output.getNumSamples()) - total, &produced);
            error != nullptr)
            throw std::runtime_error (std::string ("cannot resample: ") + error);

        consumed += used;
        total += produced;

        const auto inputDone = numSamples == 0 || consumed == static_cast<size_t> (numSamples);

        if (inputDone && (numSamples > 0 || produced == 0) && static_cast<int> (total) < output.getNumSamples())
            break;
    }

    output.setSize (numChannels, static_cast<int> (total), true, false, true);
}
