#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

/**
    A reader of the WAV encodings that JUCE's own WAV reader turns away: 64-bit float, A-law
    and u-law (in the plain or the extensible format chunk, in RIFF or RF64 files). Samples
    are handed out as 32-bit floats.

    Asked about a WAV file in any other encoding that JUCE cannot read, it names the encoding,
    so a user learns what the file holds instead of being told it is no WAV file.
*/
class WavEncodingReader : public juce::AudioFormatReader
{
public:
    /** Answers a reader for a WAV file in one of these encodings. For another WAV file the
        error names what stands in the way (its encoding, a damaged or cut header); for a
        file that is no WAV file at all it stays empty.
    */
    static std::unique_ptr<juce::AudioFormatReader> create (std::unique_ptr<juce::InputStream> stream, juce::String& error);

    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;

private:
    enum class Encoding
    {
        float64,
        aLaw,
        uLaw
    };

    WavEncodingReader (juce::InputStream* stream, Encoding encoding, juce::int64 dataStart);

    float decode (const uint8_t* sample) const noexcept;

    const Encoding encoding;
    const juce::int64 dataStart;
    int bytesPerSample = 0, bytesPerFrame = 0;
    juce::HeapBlock<uint8_t> frames;
    int framesSize = 0;
};
