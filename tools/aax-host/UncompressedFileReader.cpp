#include "UncompressedFileReader.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace
{
    /** An RF64 header, so that any size fits, of a plain format chunk and a data chunk of this
        many bytes; 'WAVE' follows its first 8 bytes, as in every WAV file.
    */
    juce::MemoryBlock makeWavHeader (const UncompressedHeaderCheck::WavFormat& format, juce::int64 dataSize)
    {
        constexpr int headerSize = 12 + 36 + 24 + 8;
        juce::MemoryOutputStream out;
        out.write ("RF64", 4);
        out.writeInt (-1);
        out.write ("WAVEds64", 8);
        out.writeInt (28);
        out.writeInt64 (headerSize - 8 + dataSize);
        out.writeInt64 (dataSize);
        out.writeInt64 (0);
        out.writeInt (0);
        out.write ("fmt ", 4);
        out.writeInt (16);
        out.writeShort (static_cast<short> (format.tag));
        out.writeShort (static_cast<short> (format.numChannels));
        out.writeInt (static_cast<int> (format.sampleRate));
        out.writeInt (static_cast<int> (format.sampleRate * static_cast<uint32_t> (format.blockAlign)));
        out.writeShort (static_cast<short> (format.blockAlign));
        out.writeShort (static_cast<short> (format.bitsPerSample));
        out.write ("data", 4);
        out.writeInt (-1);
        jassert (out.getDataSize() == headerSize);
        return out.getMemoryBlock();
    }

    /** An AIFF-C header of a common chunk and a sound data chunk that holds this many frames. */
    juce::MemoryBlock makeAiffHeader (const UncompressedHeaderCheck::AiffFormat& format, juce::int64 numFrames)
    {
        const auto frameSize = format.numChannels * format.bitsPerSample / 8;
        const auto dataSize = juce::jmin (numFrames * frameSize, static_cast<juce::int64> (std::numeric_limits<int>::max()) - 8);

        juce::MemoryOutputStream out;
        out.write ("FORM", 4);
        out.writeIntBigEndian (4 + 30 + 16);
        out.write ("AIFCCOMM", 8);
        out.writeIntBigEndian (22);
        out.writeShortBigEndian (static_cast<short> (format.numChannels));
        out.writeIntBigEndian (static_cast<int> (dataSize / frameSize));
        out.writeShortBigEndian (static_cast<short> (format.bitsPerSample));
        out.write (format.sampleRate, sizeof (format.sampleRate));
        out.writeInt (format.compression);
        out.write ("SSND", 4);
        out.writeIntBigEndian (static_cast<int> (8 + dataSize));
        out.writeInt64 (0);
        return out.getMemoryBlock();
    }
}

/** The file as JUCE's reader is given it: a header, then the audio where the file holds it.
    A read that comes back short is noted.
*/
class UncompressedFileReader::Stream : public juce::InputStream
{
public:
    Stream (std::unique_ptr<juce::InputStream> f, juce::MemoryBlock h, juce::int64 start, juce::int64 size)
        : file (std::move (f)), header (std::move (h)), audioStart (start),
          totalLength (static_cast<juce::int64> (header.getSize()) + size)
    {
    }

    juce::int64 getTotalLength() override     { return totalLength; }
    bool isExhausted() override               { return position >= totalLength; }
    juce::int64 getPosition() override        { return position; }

    bool setPosition (juce::int64 newPosition) override
    {
        position = juce::jlimit (juce::int64 (0), totalLength, newPosition);
        return true;
    }

    int read (void* destination, int size) override
    {
        auto* bytes = static_cast<char*> (destination);
        const auto headerSize = static_cast<juce::int64> (header.getSize());
        int count = 0;

        if (position < headerSize)
        {
            count = static_cast<int> (juce::jmin (static_cast<juce::int64> (size), headerSize - position));
            std::memcpy (bytes, static_cast<const char*> (header.getData()) + position, static_cast<size_t> (count));
            position += count;
        }

        const auto wanted = static_cast<int> (juce::jmin (static_cast<juce::int64> (size - count), totalLength - position));

        if (wanted > 0 && file->setPosition (audioStart + position - headerSize))
        {
            const auto got = juce::jmax (0, file->read (bytes + count, wanted));
            count += got;
            position += got;
        }

        cameShort = cameShort || count < size;
        return count;
    }

    bool cameShort = false;

private:
    std::unique_ptr<juce::InputStream> file;
    const juce::MemoryBlock header;
    const juce::int64 audioStart, totalLength;
    juce::int64 position = 0;
};

UncompressedFileReader::UncompressedFileReader (std::unique_ptr<juce::AudioFormatReader> r, Stream& s)
    : juce::AudioFormatReader (nullptr, r->getFormatName()), source (std::move (r)), stream (s)
{
    sampleRate = source->sampleRate;
    bitsPerSample = source->bitsPerSample;
    lengthInSamples = source->lengthInSamples;
    numChannels = source->numChannels;
    usesFloatingPointData = source->usesFloatingPointData;
}

std::unique_ptr<juce::AudioFormatReader> UncompressedFileReader::create (std::unique_ptr<juce::InputStream> file,
                                                                       const UncompressedHeaderCheck& header, bool isAiff)
{
    const auto& wav = header.getWavFormat();
    const auto& aiff = header.getAiffFormat();
    const auto wavSize = juce::jmax (juce::int64 (0), wav.dataSize);
    const auto aiffSize = aiff.numFrames * (aiff.numChannels * aiff.bitsPerSample / 8);

    auto stream = std::make_unique<Stream> (std::move (file), isAiff ? makeAiffHeader (aiff, aiff.numFrames) : makeWavHeader (wav, wavSize),
                                            isAiff ? aiff.dataStart : wav.dataStart, isAiff ? aiffSize : wavSize);
    juce::WavAudioFormat wavFormat;
    juce::AiffAudioFormat aiffFormat;
    std::unique_ptr<juce::AudioFormatReader> reader (isAiff ? aiffFormat.createReaderFor (stream.get(), false)
                                                            : wavFormat.createReaderFor (stream.get(), false));

    if (reader == nullptr)
        return {};

    // An AIFF common chunk counts frames in 32 bits, which JUCE's reader takes as signed.
    if (isAiff)
        reader->lengthInSamples = aiff.numFrames;

    auto& owned = *stream.release();
    return std::unique_ptr<juce::AudioFormatReader> (new UncompressedFileReader (std::move (reader), owned));
}

bool UncompressedFileReader::readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                                          juce::int64 startSampleInFile, int numSamples)
{
    stream.cameShort = false;
    const auto done = source->readSamples (destChannels, numDestChannels, startOffsetInDestBuffer, startSampleInFile, numSamples);

    // JUCE's reader asks for the bytes of the samples wanted and no more, so a read that comes
    // back short has met the end of the file.
    if (stream.cameShort)
        throw std::runtime_error ("the file is cut short");

    return done;
}
