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

WavFileWriter::WavFileWriter (const juce::File& file, double rate, int channels)
    : stream (file), sampleRate (rate), numChannels (channels)
{
    ok = stream.openedOk() && stream.setPosition (0) && stream.truncate().wasOk();

    if (ok)
        writeHeader (0);
}

void WavFileWriter::writeHeader (uint32_t frames)
{
    const auto blockAlign = static_cast<uint32_t> (sizeof (float)) * static_cast<uint32_t> (numChannels);
    const auto dataSize = frames * blockAlign;
    const auto writeTag = [this] (const char* tag) { stream.write (tag, 4); };

    writeTag ("RIFF");
    stream.writeInt (static_cast<int> (headerSize - 8 + dataSize));
    writeTag ("WAVE");

    writeTag ("fmt ");
    stream.writeInt (18);
    stream.writeShort (ieeeFloatFormat);
    stream.writeShort (static_cast<short> (numChannels));
    stream.writeInt (static_cast<int> (sampleRate));
    stream.writeInt (static_cast<int> (static_cast<uint32_t> (sampleRate) * blockAlign));
    stream.writeShort (static_cast<short> (blockAlign));
    stream.writeShort (32);
    stream.writeShort (0);                                                // the extension's size

    writeTag ("fact");
    stream.writeInt (4);
    stream.writeInt (static_cast<int> (frames));

    writeTag ("data");
    stream.writeInt (static_cast<int> (dataSize));
}

bool WavFileWriter::write (const juce::AudioBuffer<float>& audio, int numSamples)
{
    if (! ok || numFrames + numSamples > getMaxFrames (numChannels))
        return false;

    using Source = juce::AudioData::Format<juce::AudioData::Float32, juce::AudioData::NativeEndian>;
    using Destination = juce::AudioData::Format<juce::AudioData::Float32, juce::AudioData::LittleEndian>;

    interleaved.resize (static_cast<size_t> (numSamples * numChannels));
    juce::AudioData::interleaveSamples (juce::AudioData::NonInterleavedSource<Source> { audio.getArrayOfReadPointers(), numChannels },
                                        juce::AudioData::InterleavedDest<Destination> { interleaved.data(), numChannels }, numSamples);

    numFrames += numSamples;
    ok = stream.write (interleaved.data(), interleaved.size() * sizeof (float));
    return ok;
}

bool WavFileWriter::finish()
{
    if (! ok || ! stream.setPosition (0))
        return false;

    writeHeader (static_cast<uint32_t> (numFrames));
    stream.flush();
    return ! stream.getStatus().failed();
}
