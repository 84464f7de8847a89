#include "WavFileWriter.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace
{
    constexpr int headerSize = 58;
    constexpr short ieeeFloatFormat = 3;
}

int64_t WavFileWriter::getMaxFrames (int numChannels) noexcept
{
    return (static_cast<int64_t> (0xffffffffu) - headerSize) / (static_cast<int64_t> (sizeof (float)) * numChannels);
}

WavFileWriter::WavFileWriter (const juce::File& file, double rate, int channels)
    : sampleRate (rate), numChannels (channels)
{
    descriptor = open (file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    ok = descriptor >= 0 ? writeHeader (0) : fail();
}

WavFileWriter::~WavFileWriter()
{
    if (descriptor >= 0)
        close (descriptor);
}

bool WavFileWriter::fail()
{
    error = std::strerror (errno);
    return false;
}

bool WavFileWriter::writeAll (const void* data, size_t size)
{
    // The system may take part of a block (a disk filling up) and give its reason at the next call.
    for (const auto* bytes = static_cast<const char*> (data); size > 0;)
    {
        const auto written = ::write (descriptor, bytes, size);

        if (written < 0 && errno != EINTR)
            return fail();

        if (written > 0)
        {
            bytes += written;
            size -= static_cast<size_t> (written);
        }
    }

    return true;
}

bool WavFileWriter::writeHeader (uint32_t frames)
{
    const auto blockAlign = static_cast<uint32_t> (sizeof (float)) * static_cast<uint32_t> (numChannels);
    const auto dataSize = frames * blockAlign;
    juce::MemoryOutputStream header (headerSize);
    const auto writeTag = [&header] (const char* tag) { header.write (tag, 4); };

    writeTag ("RIFF");
    header.writeInt (static_cast<int> (headerSize - 8 + dataSize));
    writeTag ("WAVE");

    writeTag ("fmt ");
    header.writeInt (18);
    header.writeShort (ieeeFloatFormat);
    header.writeShort (static_cast<short> (numChannels));
    header.writeInt (static_cast<int> (sampleRate));
    header.writeInt (static_cast<int> (static_cast<uint32_t> (sampleRate) * blockAlign));
    header.writeShort (static_cast<short> (blockAlign));
    header.writeShort (32);
    header.writeShort (0);                                                // the extension's size

    writeTag ("fact");
    header.writeInt (4);
    header.writeInt (static_cast<int> (frames));

    writeTag ("data");
    header.writeInt (static_cast<int> (dataSize));

    return writeAll (header.getData(), header.getDataSize());
}

bool WavFileWriter::write (const juce::AudioBuffer<float>& audio, int numSamples)
{
    if (! ok)
        return false;

    if (numFrames + numSamples > getMaxFrames (numChannels))
    {
        error = "it would hold more than a WAV file can";
        return ok = false;
    }

    using Source = juce::AudioData::Format<juce::AudioData::Float32, juce::AudioData::NativeEndian>;
    using Destination = juce::AudioData::Format<juce::AudioData::Float32, juce::AudioData::LittleEndian>;

    interleaved.resize (static_cast<size_t> (numSamples * numChannels));
    juce::AudioData::interleaveSamples (juce::AudioData::NonInterleavedSource<Source> { audio.getArrayOfReadPointers(), numChannels },
                                        juce::AudioData::InterleavedDest<Destination> { interleaved.data(), numChannels }, numSamples);

    numFrames += numSamples;
    ok = writeAll (interleaved.data(), interleaved.size() * sizeof (float));
    return ok;
}

bool WavFileWriter::finish()
{
    if (! ok)
        return false;

    if (lseek (descriptor, 0, SEEK_SET) != 0)
        return ok = fail();

    ok = writeHeader (static_cast<uint32_t> (numFrames));
    return ok;
}
