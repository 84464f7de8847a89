#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <vorbis/vorbisfile.h>

#include <memory>

/**
    An Ogg Vorbis file read with libvorbisfile, in order from its start. Unlike JUCE's reader,
    which fills what it cannot decode with silence, it fails where the audio stops short of the
    length the file announces (a file that lies about its length, or shrinks while it is read)
    or where its data is damaged; a file whose pages stop before its last stream ends, as one
    that was cut, is refused when it is opened, and bytes after the pages of its last stream
    are passed over, as are stray bytes between pages. Samples are handed out as 32-bit floats.

    The links of a chain are read as they come, one at a time, so that memory does not grow
    with their number.
*/
class OggVorbisFileReader : public juce::AudioFormatReader
{
public:
    /** Answers a reader for an Ogg Vorbis file. For one that was cut, whose headers are
        damaged, whose pages are missing with their audio, whose chained streams differ in
        channels or rate, or whose stream is FLAC, the error says so; for any other file both
        stay empty. Stray bytes between pages (within a link or between two) and page numbers
        that jump where every packet is there are passed over, each with a phrase in notes.
    */
    static std::unique_ptr<juce::AudioFormatReader> create (std::unique_ptr<juce::InputStream> stream, juce::String& error,
                                                            juce::StringArray& notes);

    ~OggVorbisFileReader() override;

    /** Reads on from where the last read ended, or from the start again (a read from elsewhere
        returns false); throws std::runtime_error, saying what is wrong, where the audio ends
        early or is damaged.
    */
    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;

private:
    class PageSearch;
    class VorbisLink;

    explicit OggVorbisFileReader (juce::InputStream* stream);

    /** Walks the file's pages once from its start, link after link, for what libvorbisfile
        would otherwise learn by keeping every link's headers: the channels, rate and length of
        the audio, where its pages end, and whether every sample is there. Answers why the file
        cannot be read, if it cannot, and adds to notes what is passed over.
    */
    juce::String walkPages (juce::StringArray& notes);

    /** Opens the decoder at the start of the file, as a stream that cannot seek, so that it
        keeps only the link it is in.
    */
    bool openDecoder();

    /** True when the first packet of the file's first page begins with these bytes. */
    static bool firstPacketBegins (juce::InputStream& stream, const char* mark, size_t size);

    /** The decoder is handed the pages the walk found and nothing between them, so that it
        searches no stray bytes again; the file ends for it with the last page of its last
        stream.
    */
    static size_t readBytes (void* buffer, size_t size, size_t count, void* reader);

    OggVorbis_File file {};
    bool opened = false;
    juce::int64 streamEnd = 0;   ///< where the pages of the last stream end
    juce::int64 nextSample = 0;
    std::unique_ptr<PageSearch> decoderPages;
    const unsigned char* pageBytes = nullptr;   ///< what the decoder has not yet been handed of the page found last
    int pageLeft = 0;
};
