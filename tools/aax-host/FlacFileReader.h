#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <FLAC/stream_decoder.h>

#include <memory>

/**
    A FLAC file read with libFLAC, in order from its start. Unlike JUCE's reader, which fills
    what it cannot decode with silence, it fails where the audio stops short of the length the
    file announces (a file that was cut, that lies about its length, or that shrinks while it
    is read), where its frames are damaged, repeated, missing or change the stream's rate or
    channels (the frames continue from the first one the file holds, whatever its number), or where its audio does not match the MD5 signature it has. Samples are handed out as 32-bit integers.
*/
class FlacFileReader : public juce::AudioFormatReader
{
public:
    /** Answers a reader for a FLAC file. For one without a length in its header whose audio
        is damaged or cut, the error says so; for any other file both stay empty.
    */
    static std::unique_ptr<juce::AudioFormatReader> create (std::unique_ptr<juce::InputStream> stream, juce::String& error);

    ~FlacFileReader() override;

    /** Reads on from where the last read ended, or from the start again (a read from elsewhere
        returns false); throws std::runtime_error, saying what is wrong, where the audio ends
        early or is damaged.
    */
    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;

private:
    explicit FlacFileReader (juce::InputStream* stream);

    /** Goes back to the start of the stream, to read it again. */
    void restart();

    /** Starts the decoder at the start of the stream and reads up to its first frame. */
    bool start();

    /** Decodes the next frame into the block; false at the end of the stream. */
    bool decodeFrame();

    /** After a count that lost sync with no frame after it: tells from the bytes that follow
        the last frame whether the audio simply ended there, the file was cut in a frame, or
        the file is damaged.
    */
    void classifyWhatFollowsTheAudio();

    /** The error for audio that cannot be decoded after this sample. */
    std::runtime_error damage (juce::int64 sample) const;

    static FLAC__StreamDecoderReadStatus readBytes (const FLAC__StreamDecoder*, FLAC__byte* buffer, size_t* size, void* reader);
    static FLAC__StreamDecoderSeekStatus seekTo (const FLAC__StreamDecoder*, FLAC__uint64 position, void* reader);
    static FLAC__StreamDecoderTellStatus tellPosition (const FLAC__StreamDecoder*, FLAC__uint64* position, void* reader);
    // The end of the file is told by a read that finds nothing, never by the file's length:
    // JUCE's stream asks the file system for that by name, which may lead to another file.
    static FLAC__StreamDecoderLengthStatus tellLength (const FLAC__StreamDecoder*, FLAC__uint64* length, void* reader);
    static FLAC__bool isAtEnd (const FLAC__StreamDecoder*, void* reader);
    static FLAC__StreamDecoderWriteStatus takeFrame (const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                                     const FLAC__int32* const* samples, void* reader);
    static void takeMetadata (const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata, void* reader);
    static void takeError (const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* reader);

    FLAC__StreamDecoder* const decoder;
    juce::HeapBlock<int> block;    ///< the last frame decoded, channel after channel
    int blockCapacity = 0, blockLength = 0, blockPosition = 0;
    juce::int64 nextSample = 0;
    juce::int64 audioEnd = 0;   ///< while counting, where the last frame ended
    bool counting = false;
    bool damaged = false;   ///< the library reported an error other than a loss of sync where the stream ends
    bool lostSync = false;  ///< it lost sync and has found no frame since, as where a file was cut
    juce::String cause;     ///< what is wrong with a damaged frame, where it is known
    juce::int64 causeAt = 0;    ///< the sample where that damage begins
    FLAC__uint64 nextFrameStart = 0;    ///< the first sample of the frame that comes next, as the frames number it
    FLAC__uint64 streamStart = 0;       ///< the first sample of the file's first frame, as the frames number it
    bool framesBegun = false;
    FLAC__uint64 lastFramePosition = 0, lastFrameLength = 0;    ///< where the last frame ended in the file, and its samples
};
