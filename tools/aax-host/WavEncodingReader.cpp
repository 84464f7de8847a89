#include "WavEncodingReader.h"

#include <cstring>
#include <optional>

namespace
{
    constexpr int pcmTag = 0x0001, floatTag = 0x0003, aLawTag = 0x0006, uLawTag = 0x0007, extensibleTag = 0xfffe;

    /** The speaker positions of an extensible WAV file's channel mask, front left to top back right. */
    constexpr uint32_t knownSpeakers = 0x3ffff;

    int tagOf (const char* name) noexcept
    {
        return static_cast<int> (juce::ByteOrder::littleEndianInt (name));
    }

    juce::String describeEncoding (int tag, int bitsPerSample)
    {
        const auto bits = juce::String (bitsPerSample) + "-bit ";

        switch (tag)
        {
            case pcmTag:    return bits + "integer PCM";
            case floatTag:  return bits + "float";
            case aLawTag:   return bits + "A-law";
            case uLawTag:   return bits + "u-law";
            case 0x0002:    return "Microsoft ADPCM";
            case 0x0011:    return "IMA ADPCM";
            case 0x0031:    return "GSM 6.10";
            case 0x0050:
            case 0x0055:    return "MPEG audio";
            default:        return "format 0x" + juce::String::toHexString (tag).paddedLeft ('0', 4);
        }
    }

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

std::optional<WavEncodingReader::Header> WavEncodingReader::readHeader (juce::InputStream& stream)
{
    char riff[12] {};

    if (stream.read (riff, sizeof (riff)) != sizeof (riff)
         || (tagOf (riff) != tagOf ("RIFF") && tagOf (riff) != tagOf ("RF64")) || tagOf (riff + 8) != tagOf ("WAVE"))
        return {};

    const auto isRF64 = tagOf (riff) == tagOf ("RF64");
    Header header;
    juce::int64 rf64DataSize = -1;

    while (header.dataSize < 0 && ! stream.isExhausted())
    {
        const auto chunk = stream.readInt();
        const auto length = static_cast<uint32_t> (stream.readInt());
        const auto chunkEnd = stream.getPosition() + length + (length & 1);

        if (chunk == tagOf ("ds64") && isRF64 && length >= 16)
        {
            stream.readInt64();
            rf64DataSize = stream.readInt64();
        }
        else if (chunk == tagOf ("fmt ") && length >= 16)
        {
            header.tag = static_cast<uint16_t> (stream.readShort());
            header.numChannels = static_cast<uint16_t> (stream.readShort());
            header.sampleRate = static_cast<uint32_t> (stream.readInt());
            stream.readInt();
            header.blockAlign = static_cast<uint16_t> (stream.readShort());
            header.bitsPerSample = static_cast<uint16_t> (stream.readShort());

            // The extensible chunk's sub-format begins with the plain chunk's tag.
            if (header.tag == extensibleTag && length >= 40)
            {
                stream.skipNextBytes (4);
                header.channelMask = static_cast<uint32_t> (stream.readInt());
                header.tag = static_cast<uint16_t> (stream.readShort());
            }
        }
        else if (chunk == tagOf ("data"))
        {
            header.dataStart = stream.getPosition();
            header.dataSize = isRF64 && length == 0xffffffffu && rf64DataSize >= 0 ? rf64DataSize : static_cast<juce::int64> (length);
        }

        if (header.dataSize < 0 && ! stream.setPosition (chunkEnd))
            break;
    }

    return header;
}

juce::String WavEncodingReader::checkHeader (std::unique_ptr<juce::InputStream> stream)
{
    const auto header = stream != nullptr ? readHeader (*stream) : std::nullopt;

    if (! header.has_value() || header->dataSize < 0)
        return {};

    // Both sizes fit, so comparing what is left after the start cannot overflow as their sum may.
    if (header->dataSize > stream->getTotalLength() - header->dataStart)
        return "the file is cut short";

    // JUCE 7.0.5 turns each bit of the mask into a speaker of its own, one that WAV does not
    // define included, and reads the top bit as a sign that it then negates past what an int holds.
    if ((header->channelMask & ~knownSpeakers) != 0)
        return "its channel mask (0x" + juce::String::toHexString (static_cast<int> (header->channelMask)).paddedLeft ('0', 8)
                 + ") names speakers that WAV does not define";

    return {};
}

std::unique_ptr<juce::AudioFormatReader> WavEncodingReader::create (std::unique_ptr<juce::InputStream> stream, juce::String& error)
{
    error.clear();

    const auto header = stream != nullptr ? readHeader (*stream) : std::nullopt;

    if (! header.has_value())
        return {};

    const auto [tag, numChannels, bitsPerSample, blockAlign, sampleRate, channelMask, dataStart, dataSize] = *header;
    const auto bytesPerSample = bitsPerSample / 8;

    if (tag == 0 || numChannels == 0 || sampleRate <= 0.0 || dataSize < 0)
    {
        error = "the WAV header is damaged";
        return {};
    }

    std::optional<Encoding> encoding;

    if (tag == floatTag && bitsPerSample == 64)
        encoding = Encoding::float64;
    else if (tag == aLawTag && bitsPerSample == 8)
        encoding = Encoding::aLaw;
    else if (tag == uLawTag && bitsPerSample == 8)
        encoding = Encoding::uLaw;

    if (! encoding.has_value())
    {
        error = "its encoding (" + describeEncoding (tag, bitsPerSample) + ") is not supported";
        return {};
    }

    if (blockAlign != numChannels * bytesPerSample)
    {
        error = "the WAV header is damaged";
        return {};
    }

    if (dataSize > stream->getTotalLength() - dataStart)
    {
        error = "the file is cut short";
        return {};
    }

    std::unique_ptr<WavEncodingReader> reader (new WavEncodingReader (stream.release(), *encoding, dataStart));
    reader->sampleRate = sampleRate;
    reader->numChannels = static_cast<unsigned int> (numChannels);
    reader->bitsPerSample = 32;
    reader->usesFloatingPointData = true;
    reader->lengthInSamples = dataSize / blockAlign;
    reader->bytesPerSample = bytesPerSample;
    reader->bytesPerFrame = blockAlign;
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
        return false;

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
