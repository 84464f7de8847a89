#pragma once

#include "CheckedFileOutputStream.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

/**
    A 32-bit float WAV file written as a stream. Float data carries the 18-byte format chunk
    (with its extension size of zero) and a fact chunk that readers expect of a format other
    than integer PCM: JUCE's own writer leaves both out, and sox warns about the extensible
    header as well, since it looks for a second extension after the sub-format.

    The sizes in the header are filled in by finish(); a file that was not finished is left
    with sizes of zero, so it never passes for a whole one.
*/
class WavFileWriter
{
public:
    /** The most frames a file may hold: its data must fit the 32-bit sizes of the header. */
    static int64_t getMaxFrames (int numChannels) noexcept;

    /** Starts the file in the stream; see openedOk. */
    WavFileWriter (std::unique_ptr<CheckedFileOutputStream> stream, double sampleRate, int numChannels);

    bool openedOk() const noexcept       { return ok; }

    /** Why the file could not be written: the system's reason, or the size limit. */
    const juce::String& getError() const noexcept    { return error; }

    /** Appends the first numSamples of every channel; false when the file cannot be written. */
    bool write (const juce::AudioBuffer<float>& audio, int numSamples);

    /** Writes the sizes into the header and checks that the whole file is on the disk. */
    bool finish();

private:
    bool writeHeader (uint32_t numFrames);
    bool fail();

    std::unique_ptr<CheckedFileOutputStream> stream;
    const double sampleRate;
    const int numChannels;
    int64_t numFrames = 0;
    std::vector<float> interleaved;
    juce::String error;
    bool ok;

    JUCE_DECLARE_NON_COPYABLE (WavFileWriter)
};
