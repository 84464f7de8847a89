#include "RenderInput.h"

#include "FlacFileReader.h"
#include "OggVorbisFileReader.h"
#include "UncompressedFileReader.h"
#include "UncompressedHeaderCheck.h"
#include "WavEncodingReader.h"

#include <cmath>
#include <stdexcept>

namespace
{
    constexpr int fileBlockSize = 4096;
}

RenderInput::RenderInput (std::unique_ptr<juce::AudioFormatReader> r, double sampleRate, int channels)
    : reader (std::move (r)), numChannels (channels),
      fileBlock (static_cast<int> (reader->numChannels), fileBlockSize),
      resampled (static_cast<int> (reader->numChannels), 0)
{
    if (reader->sampleRate != sampleRate)
        resampler = std::make_unique<Resampler> (reader->sampleRate, sampleRate, static_cast<int> (reader->numChannels));

    length = static_cast<int64_t> (std::llround (static_cast<double> (reader->lengthInSamples) * sampleRate / reader->sampleRate));
}

std::unique_ptr<juce::AudioFormatReader> RenderInput::createReader (const juce::File& file)
{
    // A header whose sizes, channels or encoding lie is turned away before JUCE's reader trusts it.
    const auto stream = file.createInputStream();

    if (stream == nullptr)
        throw std::runtime_error ("not a WAV, AIFF, FLAC or Ogg Vorbis file");

    const UncompressedHeaderCheck header (*stream);

    if (header.getProblem().isNotEmpty())
        throw std::runtime_error (header.getProblem().toStdString());

    // The content tells the format: a file's name may carry another extension, or none.
    juce::String error;
    juce::WavAudioFormat wav;
    juce::AiffAudioFormat aiff;
    auto reader = UncompressedFileReader::create (file, wav, error);

    if (reader == nullptr && error.isEmpty())
        reader = UncompressedFileReader::create (file, aiff, error);

    if (reader == nullptr && error.isEmpty())
        reader = FlacFileReader::create (file.createInputStream());

    if (reader == nullptr && error.isEmpty())
        reader = OggVorbisFileReader::create (file.createInputStream(), error);

    if (reader == nullptr && error.isEmpty())
        reader = WavEncodingReader::create (file.createInputStream(), header);

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
