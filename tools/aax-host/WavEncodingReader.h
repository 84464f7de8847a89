#pragma once

#include "UncompressedHeaderCheck.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>
#include <optional>

/**
    A reader of the WAV encodings that JUCE's own WAV reader turns away: 64-bit float, A-law
    and u-law (in the plain or the extensible format chunk, in RIFF or RF64 files). Samples
    are handed out as 32-bit floats.
*/
class WavEncodingReader : public juce::AudioFormatReader
{
public:
    /** Answers a reader for a WAV file in one of this reader's encodings whose header passed
        its check; none for any other file.
    */
    static std::unique_ptr<juce::AudioFormatReader> create (std::unique_ptr<juce::InputStream> stream,
                                                            const UncompressedHeaderCheck& header);

    /** True for a WAV file in one of this reader's encodings. */
    static bool reads (const UncompressedHeaderCheck::WavFormat& format)    { return findEncoding (format).has_value(); }

    /** Throws std::runtime_error where the file ends before the audio its header announced,
        as a file does that shrinks while it is read.
    */
    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;

private:
    enum class Encoding
    {
        float64,
        aLaw,
        uLaw
    };

    /** The encoding of this reader's own that a header names, if any. */
    static std::optional<Encoding> findEncoding (const UncompressedHeaderCheck::WavFormat& format);

    WavEncodingReader (juce::InputStream* stream, Encoding encoding, juce::int64 dataStart);

    float decode (const uint8_t* sample) const noexcept;

    const Encoding encoding;
    const juce::int64 dataStart;
    int bytesPerSample = 0, bytesPerFrame = 0;
    juce::HeapBlock<uint8_t> frames;
    int framesSize = 0;
};
