#pragma once

#include "CheckedFileOutputStream.h"

/**
    Writes a file in the user's folders as a whole or not at all: the new content goes into a
    temporary file beside the one it replaces and is renamed over it once every byte of it is
    on the disk, so that a failed, cut or stopped write leaves the old file as it was. The
    temporary file has the replaced file's permissions from the start.

    The user's links are kept: a symbolic link is written through to the regular file its
    chain of links ends at (absolute, or relative from each link's own folder), and stays a
    link. A folder, a FIFO, a device or a socket at the path, or at the end of its links, is
    never replaced (a FIFO or a device would also block the writing thread), nor is a link
    that loops or leads into a folder that does not exist. A link that leads to nothing yet
    is refused too, unless the caller has asked the user whether to create what it leads to.

    Every file the plug-in writes into the user's folders goes through here: presets and
    their ratings and authors, both maps, the settings, the state dump and the factory presets.
*/
class AtomicFileWriter
{
public:
    /** What became of a write, or why the path is refused. */
    enum class Outcome
    {
        written,
        notAFile,           ///< a folder or a special file is there, or a link leads to one
        nameTooLong,        ///< the name is over maximumNameBytes
        linkLeadsNowhere,   ///< a link loops, leads to nothing, or into a missing or unreadable folder
        failed              ///< the folder is missing, or the file could not be written
    };

    /** Whether a link that leads to nothing yet may be written through (the file it names is made). */
    enum class DanglingLinks { refuse, writeThrough };

    /** What becomes of a symbolic link at the path itself: written through, as the user's links
        are, or replaced by the new file, as a rename onto the path replaces it (a move's
        destination is the name, never what a link there leads to).
    */
    enum class LinkAtPath { writeThrough, replace };

    /** The longest file name, in UTF-8 bytes, that the file systems the plug-in runs on take. */
    static constexpr int maximumNameBytes = 255;

    /** True when the file's name is longer than maximumNameBytes: no write can make it. */
    static bool isNameTooLong (const juce::File& file);

    /** The cause of a nameTooLong refusal as the user is told it, after a colon. */
    static juce::String getNameTooLongText();

    /** Prepares a write to the path; check getOutcome() or getStream() before writing. The new
        file takes the permissions of the one it replaces, or of permissionsOf where given (a
        copy keeps those of its original).
    */
    explicit AtomicFileWriter (const juce::File& file, DanglingLinks danglingLinks = DanglingLinks::refuse,
                               const juce::File& permissionsOf = {}, LinkAtPath linkAtPath = LinkAtPath::writeThrough);

    /** Removes the temporary file of a write that was not committed. */
    ~AtomicFileWriter();

    /** The stream into the temporary file, or null when the path is refused or the temporary
        file could not be made.
    */
    juce::OutputStream* getStream() const noexcept          { return stream.get(); }

    /** Why the path is refused, or written while nothing went wrong yet. */
    Outcome getOutcome() const noexcept                     { return outcome; }

    /** The file the write replaces: the path itself, or the regular file its links lead to. */
    const juce::File& getTarget() const noexcept            { return target; }

    /** Renames the temporary file over the target once it holds every byte written and is on
        the disk. Fails when the path was refused or anything written to the stream failed,
        leaving the target as it was.
    */
    Outcome commit();

    /** The system's reason for a failed write, where it gave one. */
    juce::String getFailureReason() const                   { return failureReason; }

    //==============================================================================
    /** Writes the bytes as the file's whole new content. */
    static Outcome write (const juce::File& file, const void* data, size_t numBytes,
                          DanglingLinks danglingLinks = DanglingLinks::refuse);

    /** Writes the document as UTF-8 text, as juce::XmlElement::writeTo does. */
    static Outcome write (const juce::File& file, const juce::XmlElement& document,
                          DanglingLinks danglingLinks = DanglingLinks::refuse);

    /** What a write to the path would replace, or why it is refused (see Outcome), without
        writing anything. A path that is not refused gives written.
    */
    static Outcome findTarget (const juce::File& file, DanglingLinks danglingLinks, juce::File& result,
                               LinkAtPath linkAtPath = LinkAtPath::writeThrough);

    /** Gives the regular file that a write to this path would replace a second name, beside
        it, so that its content stays there when the path is written again. Returns the file
        under its new name, or none when the path is refused or the name could not be given.
        A name that is taken gets a number.
    */
    static juce::File keepUnderSecondName (const juce::File& file, const juce::String& newName);

private:
    juce::File target, temporary;
    std::unique_ptr<CheckedFileOutputStream> stream;
    Outcome outcome;
    juce::String failureReason;

    JUCE_DECLARE_NON_COPYABLE (AtomicFileWriter)
};
