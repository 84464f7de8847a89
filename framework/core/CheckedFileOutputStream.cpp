#include "CheckedFileOutputStream.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
    constexpr size_t bufferSize = 16384;
}

int CheckedFileOutputStream::createFile (const juce::File& file, const juce::File& replaced)
{
    struct stat info {};
    const auto replacesFile = replaced != juce::File() && ::stat (replaced.getFullPathName().toRawUTF8(), &info) == 0
                               && S_ISREG (info.st_mode);
    const auto permissions = replacesFile ? (mode_t) (info.st_mode & 07777) : (mode_t) newFilePermissions;

    // The process's umask can only take permissions away: the file is never more open than
    // the one it replaces, and is given exactly its permissions before it holds a byte.
    const auto descriptor = ::open (file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, permissions);

    if (descriptor >= 0 && replacesFile)
        ::fchmod (descriptor, permissions);

    return descriptor;
}

CheckedFileOutputStream::CheckedFileOutputStream (const juce::File& file, const juce::File& replaced)
    : descriptor (createFile (file, replaced))
{
    if (descriptor < 0)
        failWithErrno();
    else
        buffer.malloc (bufferSize);
}

CheckedFileOutputStream::~CheckedFileOutputStream()
{
    if (descriptor >= 0)
        ::close (descriptor);
}

bool CheckedFileOutputStream::fail (const juce::String& reason)
{
    if (status.wasOk())
        status = juce::Result::fail (reason);

    return false;
}

bool CheckedFileOutputStream::failWithErrno()
{
    return fail (std::strerror (errno));
}

bool CheckedFileOutputStream::writeOut (const void* data, size_t numBytes)
{
    // The system may take part of a block (a disk filling up, a file-size limit) and give its
    // reason only at the next call.
    for (auto* bytes = static_cast<const char*> (data); numBytes > 0;)
    {
        const auto written = ::write (descriptor, bytes, numBytes);

        if (written < 0 && errno == EINTR)
            continue;

        if (written < 0)
            return failWithErrno();

        if (written == 0)
            return fail ("the system took no more of the file");

        bytes += written;
        numBytes -= (size_t) written;
    }

    return true;
}

bool CheckedFileOutputStream::writeBuffer()
{
    const auto used = std::exchange (bufferUsed, (size_t) 0);
    return used == 0 || writeOut (buffer, used);
}

bool CheckedFileOutputStream::write (const void* data, size_t numBytes)
{
    if (descriptor < 0 || status.failed())
        return false;

    position += (juce::int64) numBytes;
    length = juce::jmax (length, position);

    if (bufferUsed + numBytes <= bufferSize)
    {
        std::memcpy (buffer + bufferUsed, data, numBytes);
        bufferUsed += numBytes;
        return true;
    }

    if (! writeBuffer())
        return false;

    if (numBytes >= bufferSize)
        return writeOut (data, numBytes);

    std::memcpy (buffer, data, numBytes);
    bufferUsed = numBytes;
    return true;
}

bool CheckedFileOutputStream::setPosition (juce::int64 newPosition)
{
    if (newPosition == position)
        return true;

    if (descriptor < 0 || status.failed() || newPosition < 0 || newPosition > length || ! writeBuffer())
        return false;

    if (::lseek (descriptor, (off_t) newPosition, SEEK_SET) != (off_t) newPosition)
        return failWithErrno();

    position = newPosition;
    return true;
}

void CheckedFileOutputStream::flush()
{
    if (descriptor >= 0 && status.wasOk() && writeBuffer() && ::fsync (descriptor) != 0)
        failWithErrno();
}

juce::Result CheckedFileOutputStream::finish()
{
    flush();

    if (descriptor < 0)
        return status;

    // What the file holds is checked against what was given, whatever each call reported.
    struct stat info {};

    if (status.wasOk() && ::fstat (descriptor, &info) != 0)
        failWithErrno();
    else if (status.wasOk() && (juce::int64) info.st_size != length)
        fail ("the file holds " + juce::String ((juce::int64) info.st_size) + " of the " + juce::String (length) + " bytes written");

    // Some file systems report a failed write only when the file is closed.
    if (::close (std::exchange (descriptor, -1)) != 0)
        failWithErrno();

    return status;
}
