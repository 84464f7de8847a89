#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

/**
    JUCE's reader of a WAV or AIFF file, made to fail where the file holds less audio than its
    header announces. JUCE's own reader fills what it cannot read with silence, so a file that
    was cut, or that shrinks while it is read, would pass for a whole one.
*/
class UncompressedFileReader : public juce::AudioFormatReader
{
public:
    /** Answers JUCE's reader of this format for a file of it that holds the audio its header
        announces. For one that does not, the error says that the file is cut short; for any
        other file both stay empty.
    */
    static std::unique_ptr<juce::AudioFormatReader> create (const juce::File& file, juce::AudioFormat& format, juce::String& error);

    /** Throws std::runtime_error where the file ends before the audio its header announced. */
    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;

private:
    class Stream;

    UncompressedFileReader (std::unique_ptr<juce::AudioFormatReader> source, Stream& stream);

    std::unique_ptr<juce::AudioFormatReader> source;
    Stream& stream;
};
