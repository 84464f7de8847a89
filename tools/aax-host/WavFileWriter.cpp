#include "WavFileWriter.h"

namespace
{
    constexpr int headerSize = 58;
    constexpr short ieeeFloatFormat = 3;
}

int64_t WavFileWriter::getMaxFrames (int numChannels) noexcept
{
    return (static_cast<int64_t> (0xffffffffu) - headerSize) / (static_cast<int64_t> (sizeof (float)) * numChannels);
}

WavFileWriter::WavFileWriter (std::unique_ptr<CheckedFileOutputStream> output, double rate, int channels)
    : stream (std::move (output)), sampleRate (rate), numChannels (channels)
{
    ok = writeHeader (0);
}

bool WavFileWriter::fail()
{
    error = stream->getStatus().getErrorMessage();
    return false;
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

    return stream->write (header.getData(), header.getDataSize()) || fail();
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
    ok = stream->write (interleaved.data(), interleaved.size() * sizeof (float)) || fail();
    return ok;
}

bool WavFileWriter::finish()
{
    if (! ok)
        return false;

    ok = (stream->setPosition (0) || fail()) && writeHeader (static_cast<uint32_t> (numFrames))
          && (stream->finish().wasOk() || fail());
    return ok;
}
