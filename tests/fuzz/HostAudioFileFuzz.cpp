// The command-line host's readers of audio files: the WAV and AIFF header check with the reader
// it hands the file to, the FLAC reader and the Ogg Vorbis reader, each given every input
// whatever its first bytes, and each read for a while as a render reads it.

#include "FlacFileReader.h"
#include "OggVorbisFileReader.h"
#include "UncompressedFileReader.h"
#include "UncompressedHeaderCheck.h"
#include "WavEncodingReader.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace
{
    /** Reads up to a few blocks from the start, as a render would; a file that fails says so
        with an exception, which is no fault.
    */
    void readSome (juce::AudioFormatReader* reader)
    {
        if (reader == nullptr || reader->numChannels < 1 || reader->numChannels > 2)
            return;

        juce::AudioBuffer<float> block (static_cast<int> (reader->numChannels), 4096);

        try
        {
            for (juce::int64 at = 0; at < juce::jmin (reader->lengthInSamples, juce::int64 (1) << 16); at += block.getNumSamples())
                if (! reader->read (&block, 0, block.getNumSamples(), at, true, true))
                    return;
        }
        catch (const std::runtime_error&)
        {
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto open = [data, size] { return std::make_unique<juce::MemoryInputStream> (data, size, false); };

    auto stream = open();
    const UncompressedHeaderCheck header (*stream);

    // As the host tells the containers apart; the check finds no problem in any other file.
    const auto is = [data, size] (size_t at, const char* name) { return size >= at + 4 && std::memcmp (data + at, name, 4) == 0; };
    const auto isWav = (is (0, "RIFF") || is (0, "RF64")) && is (8, "WAVE");
    const auto isAiff = is (0, "FORM") && (is (8, "AIFF") || is (8, "AIFC"));

    if (header.getProblem().isEmpty() && (isWav || isAiff))
    {
        const auto reader = ! isAiff && WavEncodingReader::reads (header.getWavFormat()) ? WavEncodingReader::create (open(), header)
                                                                                          : UncompressedFileReader::create (open(), header, isAiff);
        readSome (reader.get());
    }

    juce::String error;
    juce::StringArray notes;
    readSome (FlacFileReader::create (open(), error).get());
    readSome (OggVorbisFileReader::create (open(), error, notes).get());
    return 0;
}
