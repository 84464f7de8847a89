#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <vorbis/vorbisfile.h>

#include <memory>

/**
    An Ogg Vorbis file read with libvorbisfile, in order from its start. Unlike JUCE's reader,
    which fills what it cannot decode with silence, it fails where the audio stops short of the
    length the file announces (a file that lies about its length, or shrinks while it is read)
    or where its data is damaged; a file whose last page does not end its stream, as one that
    was cut, is refused when it is opened, and bytes after that page are passed over. Samples
    are handed out as 32-bit floats.
*/
class OggVorbisFileReader : public juce::AudioFormatReader
{
public:
    /** Answers a reader for an Ogg Vorbis file. For one that was cut, whose headers are
        damaged, whose chained streams differ in channels or rate, or whose stream is FLAC, the
        error says so; for any other file both stay empty.
    */
    static std::unique_ptr<juce::AudioFormatReader> create (std::unique_ptr<juce::InputStream> stream, juce::String& error);

    ~OggVorbisFileReader() override;

    /** Reads on from where the last read ended (a read from elsewhere returns false); throws
        std::runtime_error, saying what is wrong, where the audio ends early or is damaged.
    */
    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;

private:
    explicit OggVorbisFileReader (juce::InputStream* stream);

    /** True when the first packet of the file's first page begins with these bytes. */
    static bool firstPacketBegins (juce::InputStream& stream, const char* mark, size_t size);

    /** Finds the last whole page of the file, whatever bytes follow it: where it ends and
        whether it carries the end-of-stream mark.
    */
    void findLastPage();

    // The decoder sees the file end with its last whole page: libvorbisfile goes back over what
    // follows once for each 64 kB of it, so a file followed by many bytes would take time in
    // their square.
    static size_t readBytes (void* buffer, size_t size, size_t count, void* reader);
    static int seekTo (void* reader, ogg_int64_t offset, int origin);
    static long tellPosition (void* reader);

    OggVorbis_File file {};
    bool opened = false;
    juce::int64 streamEnd = 0;   ///< where the last whole page ends; 0 where there is none
    bool lastPageEndsStream = false;
    juce::int64 nextSample = 0;
};
