#pragma once

#include "UncompressedHeaderCheck.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

/**
    JUCE's reader of a WAV or AIFF file, given a header made of what the header check found in
    place of the file's own, and made to fail where the file holds less audio than that. JUCE's
    own reader would read every chunk of the file's header into memory, cue points and loops
    alike, and fills what it cannot read with silence, so that a file that shrinks while it is
    read would pass for a whole one.
*/
class UncompressedFileReader : public juce::AudioFormatReader
{
public:
    /** Answers JUCE's reader for a WAV or AIFF file whose header passed its check, reading the
        audio from the stream; none where JUCE's reader turns it away.
    */
    static std::unique_ptr<juce::AudioFormatReader> create (std::unique_ptr<juce::InputStream> file, const UncompressedHeaderCheck& header,
                                                            bool isAiff);

    /** Throws std::runtime_error where the file ends before the audio its header announced. */
    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;

private:
    class Stream;

    UncompressedFileReader (std::unique_ptr<juce::AudioFormatReader> source, Stream& stream);

    std::unique_ptr<juce::AudioFormatReader> source;
    Stream& stream;
};
