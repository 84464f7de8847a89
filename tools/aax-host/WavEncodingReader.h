#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>
#include <optional>

/**
    A reader of the WAV encodings that JUCE's own WAV reader turns away: 64-bit float, A-law
    and u-law (in the plain or the extensible format chunk, in RIFF or RF64 files). Samples
    are handed out as 32-bit floats.

    It also checks a WAV header before JUCE's reader is given the file: that reader trusts
    what the header says, and some of what a damaged header says leads it into undefined
    behaviour.
*/
class WavEncodingReader : public juce::AudioFormatReader
{
public:
    /** For a WAV file that no reader should be given, says why: its header is damaged (with
        what is wrong with it), its data runs past the end of the file (however large its
        header claims it to be), it has more than two channels, its channel mask names
        speakers that WAV does not define, or its encoding is none of integer PCM in 8, 16, 24
        or 32 bits, 32- or 64-bit float, A-law and u-law. The header is read as JUCE's WAV
        reader reads it: every format chunk that reader takes, and the data size it uses.
        Empty for any other file.
    */
    static juce::String checkHeader (std::unique_ptr<juce::InputStream> stream);

    /** Answers a reader for a WAV file in one of this reader's encodings that checkHeader
        passes; none for any other file.
    */
    static std::unique_ptr<juce::AudioFormatReader> create (std::unique_ptr<juce::InputStream> stream);

    /** Throws std::runtime_error where the file ends before the audio its header announced,
        as a file does that shrinks while it is read.
    */
    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;

private:
    /** What a WAV header says, as JUCE's reader takes it; a data size of -1 when no data chunk
        was found.
    */
    struct Header
    {
        int tag = 0, numChannels = 0, bitsPerSample = 0, blockAlign = 0, numFormatChunks = 0;
        uint32_t sampleRate = 0, byteRate = 0, channelMask = 0;
        bool formatFollowsData = false;
        juce::int64 dataStart = 0, dataSize = -1;
        juce::String damage;    ///< why JUCE's reader reads no chunk at all, as the reason to refuse the file
        juce::String stopper;   ///< why it stops reading chunks before the end of the file, likewise
    };

    /** Reads a RIFF or RF64 WAV header as JUCE's reader does; none for a file that is no WAV file. */
    static std::optional<Header> readHeader (juce::InputStream& stream);

    /** Why the file with this header cannot be read; empty when it can. */
    static juce::String findProblem (const Header& header, juce::int64 fileLength);

    enum class Encoding
    {
        float64,
        aLaw,
        uLaw
    };

    /** The encoding of this reader's own that a header names, if any. */
    static std::optional<Encoding> findEncoding (const Header& header);

    WavEncodingReader (juce::InputStream* stream, Encoding encoding, juce::int64 dataStart);

    float decode (const uint8_t* sample) const noexcept;

    const Encoding encoding;
    const juce::int64 dataStart;
    int bytesPerSample = 0, bytesPerFrame = 0;
    juce::HeapBlock<uint8_t> frames;
    int framesSize = 0;
};
