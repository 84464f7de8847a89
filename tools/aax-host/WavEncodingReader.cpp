#include "WavEncodingReader.h"

#include <cstring>
#include <optional>
#include <stdexcept>

namespace
{
    constexpr int floatTag = 0x0003, aLawTag = 0x0006, uLawTag = 0x0007;

    /** G.711's expansion to 16-bit steps. */
    int expandALaw (uint8_t code) noexcept
    {
        code ^= 0x55;
        const auto segment = (code & 0x70) >> 4;
        auto magnitude = (code & 0x0f) << 4;
        magnitude = segment == 0 ? magnitude + 8 : (magnitude + 0x108) << (segment - 1);
        return (code & 0x80) != 0 ? magnitude : -magnitude;
    }

    int expandULaw (uint8_t code) noexcept
    {
        code = static_cast<uint8_t> (~code);
        const auto magnitude = (((code & 0x0f) << 3) + 0x84) << ((code & 0x70) >> 4);
        return (code & 0x80) != 0 ? 0x84 - magnitude : magnitude - 0x84;
    }
}

WavEncodingReader::WavEncodingReader (juce::InputStream* stream, Encoding e, juce::int64 start)
    : juce::AudioFormatReader (stream, "WAV file"), encoding (e), dataStart (start)
{
}

std::optional<WavEncodingReader::Encoding> WavEncodingReader::findEncoding (const UncompressedHeaderCheck::WavFormat& format)
{
    if (format.tag == floatTag && format.bitsPerSample == 64)
        return Encoding::float64;

    if (format.tag == aLawTag && format.bitsPerSample == 8)
        return Encoding::aLaw;

    if (format.tag == uLawTag && format.bitsPerSample == 8)
        return Encoding::uLaw;

    return {};
}

std::unique_ptr<juce::AudioFormatReader> WavEncodingReader::create (std::unique_ptr<juce::InputStream> stream,
                                                                   const UncompressedHeaderCheck& header)
{
    const auto& format = header.getWavFormat();
    const auto encoding = findEncoding (format);

    if (stream == nullptr || header.getProblem().isNotEmpty() || ! encoding.has_value())
        return {};

    std::unique_ptr<WavEncodingReader> reader (new WavEncodingReader (stream.release(), *encoding, format.dataStart));
    reader->sampleRate = format.sampleRate;
    reader->numChannels = static_cast<unsigned int> (format.numChannels);
    reader->bitsPerSample = 32;
    reader->usesFloatingPointData = true;
    reader->lengthInSamples = juce::jmax (juce::int64 (0), format.dataSize / format.blockAlign);
    reader->bytesPerSample = format.bitsPerSample / 8;
    reader->bytesPerFrame = format.blockAlign;
    return reader;
}

float WavEncodingReader::decode (const uint8_t* sample) const noexcept
{
    switch (encoding)
    {
        case Encoding::float64:
        {
            const auto bits = juce::ByteOrder::littleEndianInt64 (sample);
            double value = 0.0;
            std::memcpy (&value, &bits, sizeof (value));
            return static_cast<float> (value);
        }
        case Encoding::aLaw:  return static_cast<float> (expandALaw (*sample)) / 32768.0f;
        case Encoding::uLaw:  return static_cast<float> (expandULaw (*sample)) / 32768.0f;
    }

    return 0.0f;
}

bool WavEncodingReader::readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                                     juce::int64 startSampleInFile, int numSamples)
{
    clearSamplesBeyondAvailableLength (destChannels, numDestChannels, startOffsetInDestBuffer, startSampleInFile,
                                       numSamples, lengthInSamples);

    if (numSamples <= 0)
        return true;

    const auto size = numSamples * bytesPerFrame;

    if (size > framesSize)
    {
        frames.malloc (size);
        framesSize = size;
    }

    if (! input->setPosition (dataStart + startSampleInFile * bytesPerFrame) || input->read (frames, size) != size)
        throw std::runtime_error ("the file is cut short");

    for (int channel = 0; channel < numDestChannels; ++channel)
    {
        if (destChannels[channel] == nullptr)
            continue;

        auto* destination = reinterpret_cast<float*> (destChannels[channel]) + startOffsetInDestBuffer;
        const auto* source = frames.get() + juce::jmin (channel, static_cast<int> (numChannels) - 1) * bytesPerSample;

        for (int i = 0; i < numSamples; ++i)
            destination[i] = decode (source + i * bytesPerFrame);
    }

    return true;
}
