#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>
#include <optional>

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

    /** For a WAV file that no reader should be given, says why: its data runs past the end of
        the file (however large its header claims it to be), or its channel mask names speakers
        that WAV does not define. Empty for any other file.
    */
    static juce::String checkHeader (std::unique_ptr<juce::InputStream> stream);

    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;

private:
    /** What a WAV header says; a data size of -1 when no data chunk was found. */
    struct Header
    {
        int tag = 0, numChannels = 0, bitsPerSample = 0, blockAlign = 0;
        double sampleRate = 0.0;
        uint32_t channelMask = 0;
        juce::int64 dataStart = 0, dataSize = -1;
    };

    /** Reads a RIFF or RF64 WAV header up to its data chunk; none for a file that is no WAV file. */
    static std::optional<Header> readHeader (juce::InputStream& stream);

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
