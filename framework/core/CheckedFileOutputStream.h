#pragma once

#include <juce_core/juce_core.h>

/**
    A stream into a file made for it, which knows whether every byte reached the disk.

    juce::FileOutputStream takes a write the system cut short (a disk filling up, a file-size
    limit) for a whole one: only a write that fails outright is recorded. Here each write's
    count is checked and the rest written again, so that a short write ends with the system's
    reason; finish() then syncs the file and checks its size against what was written.

    The file is made with the permissions of the file it is to replace from the start, so
    that its content is never open to more users than that file's was, even for a moment.
*/
class CheckedFileOutputStream  : public juce::OutputStream
{
public:
    /** The permissions of a file made where none is replaced. */
    static constexpr int newFilePermissions = 0644;

    /** Makes the file, which must not exist yet (not even as a link), with the permissions
        that the replaced file has, or newFilePermissions when there is no such file. Returns
        its descriptor, open for writing, or -1 with errno set.
    */
    static int createFile (const juce::File& file, const juce::File& replaced);

    /** Makes the file as createFile does; check openedOk(). */
    CheckedFileOutputStream (const juce::File& file, const juce::File& replaced);

    /** Closes the file, without the checks of finish(). */
    ~CheckedFileOutputStream() override;

    /** False when the file could not be made; getStatus() says why. */
    bool openedOk() const noexcept                  { return descriptor >= 0; }

    /** The first failure, with the system's reason, or ok. */
    const juce::Result& getStatus() const noexcept  { return status; }

    /** Writes out what is held, waits until the disk has it, checks that the file holds every
        byte written, and closes it. Fails with the reason when anything went wrong since the
        file was made.
    */
    juce::Result finish();

    /** Writes out what is held and syncs it; a failure is kept in getStatus(). */
    void flush() override;

    juce::int64 getPosition() override              { return position; }

    /** Goes back to rewrite bytes already written (a header whose sizes are known only at the
        end), or to the end; the file cannot be extended past what was written.
    */
    bool setPosition (juce::int64 newPosition) override;

    bool write (const void* data, size_t numBytes) override;

private:
    bool writeOut (const void* data, size_t numBytes);
    bool writeBuffer();
    bool fail (const juce::String& reason);
    bool failWithErrno();

    int descriptor;
    juce::int64 position = 0, length = 0;
    juce::HeapBlock<char> buffer;
    size_t bufferUsed = 0;
    juce::Result status = juce::Result::ok();

    JUCE_DECLARE_NON_COPYABLE (CheckedFileOutputStream)
};
