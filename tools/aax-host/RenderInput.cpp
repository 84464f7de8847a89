#include "RenderInput.h"

#include "FlacFileReader.h"
#include "OggVorbisFileReader.h"
#include "UncompressedFileReader.h"
#include "UncompressedHeaderCheck.h"
#include "WavEncodingReader.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace
{
    constexpr int fileBlockSize = 4096;

    enum class Container
    {
        unknown,
        wav,
        aiff,
        flac,
        ogg
    };

    /** The container that a file's first bytes name. Each reader is given only files of its
        own: libFLAC, for one, passes over whatever comes before the mark of a FLAC stream.
    */
    Container findContainer (juce::InputStream& stream)
    {
        uint8_t start[12] {};
        const auto size = stream.read (start, sizeof (start));
        const auto is = [&] (int at, const char* name) { return size >= at + 4 && std::memcmp (start + at, name, 4) == 0; };

        if ((is (0, "RIFF") || is (0, "RF64")) && is (8, "WAVE"))
            return Container::wav;

        if (is (0, "FORM") && (is (8, "AIFF") || is (8, "AIFC")))
            return Container::aiff;

        if (is (0, "OggS"))
            return Container::ogg;

        // A FLAC stream may follow ID3v2 tags: a header of 10 bytes, a size in 7-bit bytes, and
        // a footer of 10 more where a flag announces one.
        for (juce::int64 at = 0;;)
        {
            uint8_t tag[10] {};

            if (! stream.setPosition (at) || stream.read (tag, sizeof (tag)) < 4)
                return Container::unknown;

            if (std::memcmp (tag, "fLaC", 4) == 0)
                return Container::flac;

            if (std::memcmp (tag, "ID3", 3) != 0)
                return Container::unknown;

            at += 10 + ((tag[6] & 0x7f) << 21 | (tag[7] & 0x7f) << 14 | (tag[8] & 0x7f) << 7 | (tag[9] & 0x7f)) + ((tag[5] & 0x10) != 0 ? 10 : 0);
        }
    }
}

RenderInput::RenderInput (std::unique_ptr<juce::AudioFormatReader> r, double rate, int channels)
    : reader (std::move (r)), sampleRate (rate), numChannels (channels),
      fileBlock (static_cast<int> (reader->numChannels), fileBlockSize),
      resampled (static_cast<int> (reader->numChannels), 0)
{
    if (reader->sampleRate != sampleRate)
        resampler = std::make_unique<Resampler> (reader->sampleRate, sampleRate, static_cast<int> (reader->numChannels));

    length = static_cast<int64_t> (std::llround (static_cast<double> (reader->lengthInSamples) * sampleRate / reader->sampleRate));
}

void RenderInput::restart()
{
    // The readers read on from where they stopped, or from the start again.
    position = 0;
    ready = nullptr;
    readyPosition = 0;
    flushed = false;

    if (resampler != nullptr)
        resampler = std::make_unique<Resampler> (reader->sampleRate, sampleRate, static_cast<int> (reader->numChannels));
}

std::unique_ptr<juce::AudioFormatReader> RenderInput::createReader (const juce::File& file, juce::StringArray& notes)
{
    notes.clear();

    // The content tells the format: a file's name may carry another extension, or none.
    auto stream = file.createInputStream();
    const auto container = stream != nullptr ? findContainer (*stream) : Container::unknown;

    if (stream != nullptr)
        stream->setPosition (0);

    std::unique_ptr<juce::AudioFormatReader> reader;
    juce::String error;

    if (container == Container::wav || container == Container::aiff)
    {
        // A header whose sizes, channels or encoding lie is turned away before JUCE's reader trusts it.
        const UncompressedHeaderCheck header (*stream);

        if (header.getProblem().isNotEmpty())
            throw std::runtime_error (header.getProblem().toStdString());

        notes = header.getNotes();

        if (container == Container::wav && WavEncodingReader::reads (header.getWavFormat()))
            reader = WavEncodingReader::create (std::move (stream), header);
        else
            reader = UncompressedFileReader::create (std::move (stream), header, container == Container::aiff);
    }
    else if (container == Container::flac)
    {
        reader = FlacFileReader::create (std::move (stream), error);
    }
    else if (container == Container::ogg)
    {
        reader = OggVorbisFileReader::create (std::move (stream), error, notes);
    }

    if (reader == nullptr)
        throw std::runtime_error (error.isNotEmpty() ? error.toStdString() : "not a WAV, AIFF, FLAC or Ogg Vorbis file");

    return reader;
}

bool RenderInput::refill()
{
    if (flushed)
        return false;

    const auto count = static_cast<int> (juce::jmin (static_cast<juce::int64> (fileBlockSize), reader->lengthInSamples - position));
    fileBlock.setSize (fileBlock.getNumChannels(), count, false, false, true);

    if (count > 0)
    {
        if (! reader->read (&fileBlock, 0, count, position, true, true))
            throw std::runtime_error ("the file is damaged");

        position += count;

        for (int channel = 0; channel < fileBlock.getNumChannels(); ++channel)
        {
            auto* samples = fileBlock.getWritePointer (channel);

            for (int i = 0; i < count; ++i)
            {
                if (! std::isfinite (samples[i]))
                {
                    samples[i] = 0.0f;
                    ++numNonFinite;
                }
            }
        }
    }

    // An empty block tells the resampler that the file has ended, so it hands out what it holds.
    flushed = count == 0;

    if (resampler != nullptr)
        resampler->process (fileBlock.getArrayOfReadPointers(), count, resampled);

    ready = resampler != nullptr ? &resampled : &fileBlock;
    readyPosition = 0;
    return ! flushed || ready->getNumSamples() > 0;
}

int RenderInput::read (juce::AudioBuffer<float>& destination, int numSamples)
{
    int filled = 0;

    while (filled < numSamples)
    {
        if (ready == nullptr || readyPosition == ready->getNumSamples())
        {
            if (! refill())
                break;

            continue;
        }

        const auto count = juce::jmin (numSamples - filled, ready->getNumSamples() - readyPosition);

        for (int channel = 0; channel < numChannels; ++channel)
        {
            if (ready->getNumChannels() == numChannels)
            {
                destination.copyFrom (channel, filled, *ready, channel, readyPosition, count);
            }
            else if (numChannels == 1)
            {
                destination.copyFrom (0, filled, ready->getReadPointer (0, readyPosition), count, 0.5f);
                destination.addFrom (0, filled, *ready, 1, readyPosition, count, 0.5f);
            }
            else
            {
                destination.copyFrom (channel, filled, *ready, 0, readyPosition, count);
            }
        }

        filled += count;
        readyPosition += count;
    }

    return filled;
}
