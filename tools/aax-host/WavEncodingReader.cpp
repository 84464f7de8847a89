#include "WavEncodingReader.h"

#include "CommandLineOptions.h"

#include <cstring>
#include <limits>
#include <optional>
#include <stdexcept>

namespace
{
    constexpr int pcmTag = 0x0001, floatTag = 0x0003, aLawTag = 0x0006, uLawTag = 0x0007, extensibleTag = 0xfffe;

    /** The tag standing for an extensible chunk's sub-format that JUCE's reader does not know. */
    constexpr int unknownSubFormatTag = -1;

    /** The speaker positions of an extensible WAV file's channel mask, front left to top back right. */
    constexpr uint32_t knownSpeakers = 0x3ffff;

    int tagOf (const char* name) noexcept
    {
        return static_cast<int> (juce::ByteOrder::littleEndianInt (name));
    }

    /** The chunks that JUCE's reader reads, however small: it stops at any other of size 0. */
    bool isChunkJuceReads (int chunk) noexcept
    {
        for (const auto* name : { "fmt ", "data", "bext", "smpl", "inst", "INST", "cue ", "axml", "iXML", "LIST", "acid", "Trkn" })
            if (chunk == tagOf (name))
                return true;

        return false;
    }

    /** The plain chunk's tag for an extensible chunk's sub-format, as JUCE's reader tells them
        apart: by the whole identifier, the ambisonic one of integer PCM included.
    */
    int readSubFormat (juce::InputStream& stream)
    {
        const auto data1 = static_cast<uint32_t> (stream.readInt());
        const auto data2 = static_cast<uint16_t> (stream.readShort());
        const auto data3 = static_cast<uint16_t> (stream.readShort());
        uint8_t data4[8] {};
        stream.read (data4, sizeof (data4));

        constexpr uint8_t standard[] { 0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71 };
        constexpr uint8_t ambisonic[] { 0x86, 0x44, 0xc8, 0xc1, 0xca, 0x00, 0x00, 0x00 };

        if (data2 == 0x0000 && data3 == 0x0010 && std::memcmp (data4, standard, sizeof (data4)) == 0 && data1 <= 0xffff)
            return static_cast<int> (data1);

        if (data1 == pcmTag && data2 == 0x0721 && data3 == 0x11d3 && std::memcmp (data4, ambisonic, sizeof (data4)) == 0)
            return pcmTag;

        return unknownSubFormatTag;
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
            case unknownSubFormatTag:  return "an extensible format of unknown kind";
            default:        return "format 0x" + juce::String::toHexString (tag).paddedLeft ('0', 4);
        }
    }

    /** True for the encodings JUCE's reader reads. */
    bool isJuceEncoding (int tag, int bitsPerSample) noexcept
    {
        return (tag == pcmTag && (bitsPerSample == 8 || bitsPerSample == 16 || bitsPerSample == 24 || bitsPerSample == 32))
            || (tag == floatTag && bitsPerSample == 32);
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

    // JUCE's reader reads chunks up to the end that the RIFF size gives, or for RF64 the size in
    // the ds64 chunk, which must come first: without it it reads no chunk at all.
    auto end = static_cast<uint64_t> (juce::ByteOrder::littleEndianInt (riff + 4)) + 8;
    juce::int64 rf64DataSize = 0;

    if (isRF64)
    {
        const auto chunk = stream.readInt();
        const auto length = static_cast<uint32_t> (stream.readInt());
        const auto chunkEnd = stream.getPosition() + length + (length & 1);

        if (chunk != tagOf ("ds64"))
            header.damage = "the WAV header is damaged: it does not begin with its RF64 size chunk (ds64)";
        else if (length < 28)
            header.damage = "the WAV header is damaged: its RF64 size chunk (ds64) is too short";

        if (header.damage.isNotEmpty())
            return header;

        end = static_cast<uint64_t> (stream.readInt64()) + 8;
        rf64DataSize = stream.readInt64();
        stream.setPosition (chunkEnd);
    }

    auto hasData = false;

    while (static_cast<uint64_t> (stream.getPosition()) < end && ! stream.isExhausted())
    {
        const auto chunk = stream.readInt();
        const auto length = static_cast<uint32_t> (stream.readInt());
        auto chunkEnd = stream.getPosition() + length + (length & 1);

        // Each format chunk is read as JUCE's reader reads it, whatever size it gives.
        if (chunk == tagOf ("fmt "))
        {
            ++header.numFormatChunks;
            header.formatFollowsData = header.formatFollowsData || hasData;
            header.tag = static_cast<uint16_t> (stream.readShort());
            header.numChannels = static_cast<uint16_t> (stream.readShort());
            header.sampleRate = static_cast<uint32_t> (stream.readInt());
            header.byteRate = static_cast<uint32_t> (stream.readInt());
            header.blockAlign = static_cast<uint16_t> (stream.readShort());
            header.bitsPerSample = static_cast<uint16_t> (stream.readShort());
            header.channelMask = 0;

            if (header.tag == extensibleTag && length >= 40)
            {
                stream.skipNextBytes (4);
                header.channelMask = static_cast<uint32_t> (stream.readInt());
                header.tag = readSubFormat (stream);
            }
        }
        else if (chunk == tagOf ("data"))
        {
            // An RF64 file's data size is the one in its ds64 chunk, whatever its data chunk says.
            hasData = true;
            header.dataStart = stream.getPosition();
            header.dataSize = isRF64 ? rf64DataSize : static_cast<juce::int64> (length);

            if (isRF64 && rf64DataSize > 0)
            {
                // JUCE's reader adds the size to the position, a sum that overflows for a size
                // far past the end of the file.
                if (rf64DataSize > stream.getTotalLength() - header.dataStart)
                    break;

                chunkEnd = header.dataStart + rf64DataSize + (rf64DataSize & 1);
            }
        }
        else if (! isChunkJuceReads (chunk) && chunkEnd <= stream.getPosition())
        {
            header.stopper = "the WAV reader stops at an empty chunk before its format chunk";
            break;
        }

        stream.setPosition (chunkEnd);
    }

    if (static_cast<uint64_t> (stream.getPosition()) >= end && ! stream.isExhausted())
        header.stopper = juce::String ("the WAV header is damaged: its ") + (isRF64 ? "RF64" : "RIFF") + " size ends it before its format chunk";

    return header;
}

std::optional<WavEncodingReader::Encoding> WavEncodingReader::findEncoding (const Header& header)
{
    if (header.tag == floatTag && header.bitsPerSample == 64)
        return Encoding::float64;

    if (header.tag == aLawTag && header.bitsPerSample == 8)
        return Encoding::aLaw;

    if (header.tag == uLawTag && header.bitsPerSample == 8)
        return Encoding::uLaw;

    return {};
}

juce::String WavEncodingReader::findProblem (const Header& header, juce::int64 fileLength)
{
    const juce::String damaged ("the WAV header is damaged");

    if (header.damage.isNotEmpty())
        return header.damage;

    // Both sizes fit, so comparing what is left after the start cannot overflow as their sum may.
    if (header.dataSize > fileLength - header.dataStart)
        return "the file is cut short";

    if (header.numFormatChunks == 0)
        return header.stopper.isNotEmpty() ? header.stopper : damaged + ": it has no format chunk";

    if (header.numFormatChunks > 1)
        return damaged + ": it has " + juce::String (header.numFormatChunks) + " format chunks";

    if (header.formatFollowsData)
        return damaged + ": its format chunk follows its data chunk";

    // JUCE's reader builds a channel layout from the channel count and mask, one speaker for
    // each channel and each bit of the mask, and runs out of speaker kinds past 128 channels.
    if (header.numChannels == 0)
        return damaged + ": it has no channels";

    if (header.numChannels > 2)
        return "it has " + juce::String (header.numChannels) + " channels; only mono and stereo files can be rendered";

    // It also turns a bit of the mask that WAV does not define into a speaker of its own, and
    // reads the top bit as a sign that it then negates past what an int holds.
    if ((header.channelMask & ~knownSpeakers) != 0)
        return "its channel mask (0x" + juce::String::toHexString (static_cast<int> (header.channelMask)).paddedLeft ('0', 8)
                 + ") names speakers that WAV does not define";

    if (header.tag == extensibleTag)
        return damaged + ": its extensible format chunk is too short";

    const auto ownEncoding = findEncoding (header);

    if (! ownEncoding.has_value() && ! isJuceEncoding (header.tag, header.bitsPerSample))
        return "its encoding (" + describeEncoding (header.tag, header.bitsPerSample) + ") is not supported";

    // JUCE's reader takes the frame size from the channels and bits alone.
    if (ownEncoding.has_value() && header.blockAlign != header.numChannels * header.bitsPerSample / 8)
        return damaged + ": its frame size does not fit its channels and bits";

    // JUCE's reader reads the rate as a signed number, so one past what an int holds comes out
    // negative. A rate beyond those a render takes is believed only where the byte rate bears
    // it out, since the user is then asked to resample from it.
    const auto byteRateFits = static_cast<uint64_t> (header.sampleRate) * static_cast<uint64_t> (header.blockAlign) == header.byteRate;

    if (header.sampleRate == 0 || header.sampleRate > static_cast<uint32_t> (std::numeric_limits<int>::max())
         || (header.sampleRate > CommandLineOptions::maxSampleRate && ! byteRateFits))
        return damaged + ": its sample rate reads " + juce::String (header.sampleRate) + " Hz"
                 + (byteRateFits ? juce::String() : ", which does not match its byte rate of " + juce::String (header.byteRate) + " bytes a second");

    return {};
}

juce::String WavEncodingReader::checkHeader (std::unique_ptr<juce::InputStream> stream)
{
    const auto header = stream != nullptr ? readHeader (*stream) : std::nullopt;
    return header.has_value() ? findProblem (*header, stream->getTotalLength()) : juce::String();
}

std::unique_ptr<juce::AudioFormatReader> WavEncodingReader::create (std::unique_ptr<juce::InputStream> stream)
{
    const auto header = stream != nullptr ? readHeader (*stream) : std::nullopt;

    if (! header.has_value() || findProblem (*header, stream->getTotalLength()).isNotEmpty())
        return {};

    const auto encoding = findEncoding (*header);

    if (! encoding.has_value())
        return {};

    std::unique_ptr<WavEncodingReader> reader (new WavEncodingReader (stream.release(), *encoding, header->dataStart));
    reader->sampleRate = header->sampleRate;
    reader->numChannels = static_cast<unsigned int> (header->numChannels);
    reader->bitsPerSample = 32;
    reader->usesFloatingPointData = true;
    reader->lengthInSamples = juce::jmax (juce::int64 (0), header->dataSize / header->blockAlign);
    reader->bytesPerSample = header->bitsPerSample / 8;
    reader->bytesPerFrame = header->blockAlign;
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
