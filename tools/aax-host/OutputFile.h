#pragma once

#include "CheckedFileOutputStream.h"

#include <functional>

/**
    A file that corvane-host writes for the user (a rendered WAV file, a state, a picture).
    The data goes to a temporary file first and reaches the target only once complete, so a
    run that fails or is stopped leaves what was there as it was. The temporary file lies beside
    the target (for a FIFO, in the system's temporary folder), under a name that fits wherever
    the target's own name fits.

    The target is what the name leads to: a symbolic link is written through to the file it
    points at, and stays a link; a plain file (or none yet) is replaced by renaming the
    finished temporary file over it; a FIFO receives the finished data in place, as the reader
    at its other end expects. A device or a socket is refused: renaming over one destroys it,
    and writing a file into one is never what a user means. The temporary file is made and
    written as the plug-in's own writer makes and writes its files: with the permissions of the
    file it replaces, and every byte checked to be on the disk.

    The caller's checks of what the target may be (checkReplaceable() among them) are made
    again just before it is replaced: the run may have taken long.

    The temporary file is removed when the object goes away without commit(), and when the
    program is ended by a signal it may catch (SIGINT, SIGTERM, SIGQUIT, SIGUSR1 and the rest
    whose default action ends it), but for the ones that report a fault of its own.
*/
class OutputFile
{
public:
    /** The kinds of file an output writes. */
    enum class Kind { wav, png, state };

    /** The check is made again in commit(), just before the target is replaced; its failure
        message follows the target's name ("is the file given to --in").
    */
    OutputFile (const juce::File& target, std::function<juce::Result()> checkBeforeReplacing);
    ~OutputFile();

    /** Fails, saying what the name leads to, for a folder, a device, a socket, the host's own
        standard output or error, a loop of symbolic links or a chain of more of them than the
        system follows, or for a name in a folder that does not exist or longer than the system
        takes.
    */
    static juce::Result checkTarget (const juce::File& target);

    /** Fails, saying what the file is ("is a program or library, not a WAV file"), for an
        existing file that an output of this kind may not replace: one of another kind, unless
        it is empty, or one that the user may not write (write-protected, even for root). A
        name that leads nowhere yet and a FIFO pass; a link is judged by what it leads to.
    */
    static juce::Result checkReplaceable (const juce::File& target, Kind kind);

    /** "cannot write FILE", followed by the reason where there is one (the system's own). */
    static juce::String describeFailure (const juce::File& target, const juce::String& reason);

    /** Makes the temporary file, into which the data is written before commit(); check the
        stream's openedOk(), and its finish() once every byte is written.
    */
    std::unique_ptr<CheckedFileOutputStream> createStream() const;

    /** Hands the finished data to the target; for a FIFO, this waits for its reader. */
    juce::Result commit();

private:
    juce::Result copyIntoFifo() const;

    const juce::File target;
    const bool isFifo;
    const std::function<juce::Result()> checkBeforeReplacing;
    juce::TemporaryFile temporary;
    int pendingSlot = -1;

    JUCE_DECLARE_NON_COPYABLE (OutputFile)
};
