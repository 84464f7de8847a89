#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>

/**
    The header of a WAV (RIFF or RF64) or AIFF (AIFF or AIFF-C) file, walked chunk by chunk as
    JUCE's reader of that format walks it, and checked before any reader is given the file.
    JUCE's readers trust what a header says: a damaged one leads them into undefined behaviour,
    out of the bounds of what they read, or into taking as much memory as a chunk claims.
*/
class UncompressedHeaderCheck
{
public:
    /** What a WAV header says of its audio, as JUCE's reader takes it; a data size of -1 when
        no data chunk was found.
    */
    struct WavFormat
    {
        int tag = 0, numChannels = 0, bitsPerSample = 0, blockAlign = 0;
        uint32_t sampleRate = 0;
        juce::int64 dataStart = 0, dataSize = -1;
    };

    /** Reads the header from the start of the stream, leaving the stream at no position in particular. */
    explicit UncompressedHeaderCheck (juce::InputStream& stream);

    /** Why no reader should be given the file: its header is damaged (saying what is wrong with
        it), it holds less audio than it announces, it has more than two channels, or its
        encoding is none of those the host reads. Empty for a file that may be read, and for a
        file that is neither WAV nor AIFF.
    */
    const juce::String& getProblem() const noexcept     { return problem; }

    /** For a WAV file, what its header says of its audio. */
    const WavFormat& getWavFormat() const noexcept      { return wav; }

private:
    /** What an AIFF header says, as JUCE's reader takes it. */
    struct AiffFormat
    {
        int numChannels = 0, bitsPerSample = 0, numCommonChunks = 0, compression = 0;
        int32_t sampleRate = 0, dataOffset = 0;
        uint32_t dataChunkSize = 0;
        juce::int64 numFrames = 0, dataStart = 0;
        bool hasData = false, commonFollowsData = false;
    };

    /** Reads the chunks after the container's first 12 bytes as JUCE's reader does, stopping
        where it stops, and notes the damage it would go wrong on.
    */
    void walkWav (juce::InputStream& stream, bool isRF64);
    void walkAiff (juce::InputStream& stream, juce::int64 end);

    /** Reads the text chunks of a WAV cue list, from after its 'adtl' to its end, as JUCE's
        reader does, and notes those it would read past.
    */
    void walkCueTexts (juce::InputStream& stream, juce::int64 listEnd);

    /** Why the file whose header was walked cannot be read; empty when it can. */
    juce::String findWavProblem (juce::int64 fileLength) const;
    juce::String findAiffProblem (juce::int64 fileLength) const;

    /** Notes the first chunk JUCE's reader would read into memory past the end of the file. */
    void checkChunkFits (int chunk, juce::int64 contentEnd, juce::int64 fileLength, const char* container);

    WavFormat wav;
    AiffFormat aiff;
    int numFormatChunks = 0;
    bool formatFollowsData = false;
    uint32_t channelMask = 0, byteRate = 0;
    juce::String damage;    ///< why JUCE's reader would go wrong on the header as it walks it
    juce::String stopper;   ///< why it stops walking before the chunks it needs, likewise
    juce::String problem;
};
