#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>

/**
    The header of a WAV (RIFF or RF64) or AIFF (AIFF or AIFF-C) file, walked chunk by chunk and
    checked before the audio is read. No reader is given the file's own header: JUCE's are given
    one made of what this check found (see UncompressedFileReader), since they trust what a
    header says and read every chunk of it, taking memory and time in what its counts announce.
    Its damage is still named where a reader given such a header would go wrong on it.
*/
class UncompressedHeaderCheck
{
public:
    /** What a WAV header says of its audio. The data is that of the first data chunk, -1 bytes
        when there is none; a streaming writer's mark for its size stands for the rest of the file.
    */
    struct WavFormat
    {
        int tag = 0, numChannels = 0, bitsPerSample = 0, blockAlign = 0;
        uint32_t sampleRate = 0;
        juce::int64 dataStart = 0, dataSize = -1;
    };

    /** What an AIFF header says of its audio. The number of frames is the one to be read, once
        the header has passed its check.
    */
    struct AiffFormat
    {
        int numChannels = 0, bitsPerSample = 0, numCommonChunks = 0, compression = 0;
        uint8_t sampleRate[10] {};  ///< the 80-bit float, as the file holds it
        int32_t sampleRateHz = 0, dataOffset = 0;
        uint32_t dataChunkSize = 0;
        juce::int64 numFrames = 0, dataStart = 0;   ///< a size of 0 announces nothing, as a writer that cannot seek back leaves it
        bool hasData = false, dataRunsToEnd = false;
    };

    /** Reads the header from the start of the stream, leaving the stream at no position in particular. */
    explicit UncompressedHeaderCheck (juce::InputStream& stream);

    /** Why no reader should be given the file: its header is damaged (saying what is wrong with
        it), it holds less audio than it announces, it has more than two channels, or its
        encoding is none of those the host reads. Empty for a file that may be read, and for a
        file that is neither WAV nor AIFF.
    */
    const juce::String& getProblem() const noexcept     { return problem; }

    /** What the user is told of how a file that may be read is read, each in a phrase ("its
        'LIST' chunk after the audio is cut by the end of the file"): what is passed over, and a
        count its audio does not bear out.
    */
    const juce::StringArray& getNotes() const noexcept  { return notes; }

    /** For a WAV file, what its header says of its audio. */
    const WavFormat& getWavFormat() const noexcept      { return wav; }

    /** For an AIFF file, what its header says of its audio. */
    const AiffFormat& getAiffFormat() const noexcept    { return aiff; }

private:
    /** Reads the chunks after the container's first 12 bytes as JUCE's reader does, stopping
        where it stops, and notes the damage it would go wrong on.
    */
    void walkWav (juce::InputStream& stream, bool isRF64);
    void walkAiff (juce::InputStream& stream, juce::int64 end);

    /** Reads the text chunks of a WAV cue list, from after its 'adtl' to its end, as JUCE's
        reader does, and notes those it would read past.
    */
    void walkCueTexts (juce::InputStream& stream, juce::int64 listEnd);

    /** Why the file whose header was walked cannot be read; empty when it can. For an AIFF file
        that can, settles the number of frames to read.
    */
    juce::String findWavProblem (juce::int64 fileLength) const;
    juce::String findAiffProblem (juce::int64 fileLength);

    /** Notes the first chunk JUCE's reader would read into memory past the end of the file. */
    void checkChunkFits (int chunk, juce::int64 contentEnd, juce::int64 fileLength, const char* container);

    WavFormat wav;
    AiffFormat aiff;
    int numFormatChunks = 0;
    bool formatFollowsData = false;
    uint32_t channelMask = 0, byteRate = 0;
    juce::String damage;    ///< what is wrong with the header, found as it is walked
    juce::String stopper;   ///< why the walk stops before the chunks it needs
    juce::String problem;
    juce::StringArray notes;
};
