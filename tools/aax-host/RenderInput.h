#pragma once

#include "Resampler.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

/**
    An audio file read as a stream at the render's rate and channel count: a block is read,
    resampled when the rates differ and matched to the channel count (a mono file played on
    both inputs, a stereo file mixed down for one), so memory does not grow with the file.

    Non-finite samples (NaN, infinity) are read as silence and counted, so that one bad sample
    cannot spread through the resampler's filter.
*/
class RenderInput
{
public:
    RenderInput (std::unique_ptr<juce::AudioFormatReader> reader, double sampleRate, int numChannels);

    /** Answers a reader for a WAV, AIFF, FLAC or Ogg Vorbis file, told apart by its first bytes, one
        that fails rather than hands out silence where the file holds less audio than it
        announced. Throws std::runtime_error saying what stands in the way.

        Every reader decides by the samples, not by what wraps them: a file whose samples are
        missing, repeated or change rate or channels is refused, and one that holds them all
        in order is read, whatever lies between them; notes gets a phrase for each thing the
        user is told of that ("1 stray byte between its pages at byte 4000").
    */
    static std::unique_ptr<juce::AudioFormatReader> createReader (const juce::File& file, juce::StringArray& notes);

    /** Fills up to numSamples of the destination from its start; answers how many were
        filled, fewer only at the end of the file. Throws std::runtime_error where the file
        cannot be read as what it claims (cut short, damaged).
    */
    int read (juce::AudioBuffer<float>& destination, int numSamples);

    /** Goes back to the start of the file, to read it again from the stream it was opened with. */
    void restart();

    /** The file's length at the render's rate. */
    int64_t getLength() const noexcept                   { return length; }
    int64_t getNumNonFiniteSamples() const noexcept      { return numNonFinite; }

private:
    bool refill();

    std::unique_ptr<juce::AudioFormatReader> reader;
    std::unique_ptr<Resampler> resampler;
    const double sampleRate;
    const int numChannels;
    juce::int64 position = 0;
    int64_t length = 0, numNonFinite = 0;
    juce::AudioBuffer<float> fileBlock, resampled;
    const juce::AudioBuffer<float>* ready = nullptr;
    int readyPosition = 0;
    bool flushed = false;
};
