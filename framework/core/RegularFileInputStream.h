#pragma once

#include <juce_core/juce_core.h>

/**
    The stream through which a file from outside the plug-in is read (a document, a map, the
    settings, an archive): only a regular file, or a link to one, no larger than the reader's
    limit. The file is opened without waiting and checked once open, so that a FIFO or a device
    in its place, even one put there after its path was looked at, never holds the reading
    thread, and an oversized file is refused before a byte of it is read.
*/
class RegularFileInputStream  : public juce::InputStream
{
public:
    /** The file's stream, or null when the file cannot be opened, is not a regular file or
        holds more than maxBytes. The stream reads no further than the length it had when opened.
    */
    static std::unique_ptr<RegularFileInputStream> open (const juce::File& file, juce::int64 maxBytes);

    ~RegularFileInputStream() override;

    juce::int64 getTotalLength() override;
    bool isExhausted() override;
    int read (void* destBuffer, int maxBytesToRead) override;
    juce::int64 getPosition() override;
    bool setPosition (juce::int64 newPosition) override;

private:
    RegularFileInputStream (int descriptor, juce::int64 length);

    int descriptor;
    juce::int64 length, position = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RegularFileInputStream)
};
