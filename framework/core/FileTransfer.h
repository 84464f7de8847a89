#pragma once

#include "AtomicFileWriter.h"

/**
    The copies and moves of the user's files, made so that an original is never removed before
    its copy is whole and on the disk: juce::File::moveFileTo falls back to a copy that does not
    notice a short write, and removes the original all the same.
*/
struct FileTransfer
{
    /** Copies a regular file, or the one its links lead to, holding at most maxBytes, to the
        destination as AtomicFileWriter writes it (through its links, by its rules), with the
        source's permissions. A failure leaves the destination as it was, and says why.
    */
    static juce::Result copy (const juce::File& source, const juce::File& destination, juce::int64 maxBytes,
                              AtomicFileWriter::DanglingLinks danglingLinks);

    /** Moves a file, a link or a folder to the destination, replacing a file or a link there.
        Within one file system it is renamed. Onto another, a file is copied as copy() copies it
        and removed once the copy is on the disk, and a link is made again there as it was; a
        folder is not moved. A failure leaves the original where it was, and says why.
    */
    static juce::Result move (const juce::File& source, const juce::File& destination);
};
