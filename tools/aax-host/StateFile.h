#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <vector>

/**
    The file in which corvane-host keeps an instance's state: every chunk the effect offered,
    each as the chunk record the host received (the 56-byte header, in the machine's own byte
    order, and the data).

    Layout: the 8 bytes "CVHSTATE", a 32-bit little-endian format version (1), a 32-bit
    little-endian record count, then the records one after the other.
*/
class StateFile
{
public:
    using Record = std::vector<uint8_t>;

    /** Writes the records into a new file that replaces the old one only once it is complete;
        answers an error text, or an empty one on success. The check is made just before the
        old file is replaced (see OutputFile).
    */
    static juce::String write (const juce::File& file, const std::vector<Record>& records,
                               std::function<juce::Result()> checkBeforeReplacing);

    /** Reads the records; answers an error text (an unreadable file, another kind of file, a
        record that claims more data than the file holds), or an empty one on success.
    */
    static juce::String read (const juce::File& file, std::vector<Record>& records);
};
