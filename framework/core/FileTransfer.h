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
        Within one file system it is renamed. Onto another, a file is copied as copy() copies it,
        but onto the name itself (a link there is replaced, not written through), and removed
        once the copy is on the disk; a link is made again there as it was; a folder is not
        moved. Neither a copy nor a link ever goes onto the file it came from (see
        checkNotOntoItself). A failure leaves the original where it was, and says why.
    */
    static juce::Result move (const juce::File& source, const juce::File& destination);

    /** Fails where the destination name is the source, or the file its links lead to, reached
        by another name or mount: a move there would replace or remove the only copy.
    */
    static juce::Result checkNotOntoItself (const juce::File& source, const juce::File& destination);

private:
    static juce::Result copyTo (const juce::File& source, const juce::File& destination, juce::int64 maxBytes,
                                AtomicFileWriter::DanglingLinks danglingLinks, AtomicFileWriter::LinkAtPath linkAtPath);
};
