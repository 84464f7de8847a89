#include "UncompressedFileReader.h"

#include <stdexcept>

/** The file as JUCE's reader reads it, noting a read that comes back short. */
class UncompressedFileReader::Stream : public juce::FileInputStream
{
public:
    using juce::FileInputStream::FileInputStream;

    int read (void* destination, int size) override
    {
        const auto count = juce::FileInputStream::read (destination, size);
        cameShort = cameShort || count < size;
        return count;
    }

    bool cameShort = false;
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

std::unique_ptr<juce::AudioFormatReader> UncompressedFileReader::create (const juce::File& file, juce::AudioFormat& format, juce::String& error)
{
    error.clear();

    auto stream = std::make_unique<Stream> (file);
    std::unique_ptr<juce::AudioFormatReader> reader (format.createReaderFor (stream.get(), false));

    if (reader == nullptr)
        return {};

    auto& owned = *stream.release();

    // The mapping covers only the part of the announced audio that the file really holds.
    if (std::unique_ptr<juce::MemoryMappedAudioFormatReader> mapped (format.createMemoryMappedReader (file));
         mapped != nullptr && (! mapped->mapEntireFile() || mapped->getMappedSection().getLength() < mapped->lengthInSamples))
    {
        error = "the file is cut short";
        return {};
    }

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
