#include "RegularFileInputStream.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::unique_ptr<RegularFileInputStream> RegularFileInputStream::open (const juce::File& file, juce::int64 maxBytes)
{
    const auto path = file.getFullPathName();
    struct stat info {};
    const auto isReadable = [&info, maxBytes] { return S_ISREG (info.st_mode) && (juce::int64) info.st_size <= maxBytes; };

    // A device is never opened, as opening some does something. Without O_NONBLOCK, opening
    // a FIFO (put in the file's place since it was looked at) would wait for a writer that
    // may never come; what was opened is looked at again.
    if (::stat (path.toRawUTF8(), &info) != 0 || ! isReadable())
        return {};

    const auto descriptor = ::open (path.toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);

    if (descriptor < 0)
        return {};

    if (::fstat (descriptor, &info) != 0 || ! isReadable())
    {
        ::close (descriptor);
        return {};
    }

    return std::unique_ptr<RegularFileInputStream> (new RegularFileInputStream (descriptor, (juce::int64) info.st_size));
}

RegularFileInputStream::RegularFileInputStream (int fileDescriptor, juce::int64 fileLength)
    : descriptor (fileDescriptor), length (fileLength)
{
}

RegularFileInputStream::~RegularFileInputStream()
{
    ::close (descriptor);
}

juce::int64 RegularFileInputStream::getTotalLength()
{
    return length;
}

bool RegularFileInputStream::isExhausted()
{
    return position >= length;
}

int RegularFileInputStream::read (void* destBuffer, int maxBytesToRead)
{
    const auto wanted = (size_t) juce::jlimit ((juce::int64) 0, length - position, (juce::int64) juce::jmax (0, maxBytesToRead));
    ssize_t numRead;

    do
        numRead = ::pread (descriptor, destBuffer, wanted, (off_t) position);
    while (numRead < 0 && errno == EINTR);

    if (numRead <= 0)
        return 0;

    position += numRead;
    return (int) numRead;
}

juce::int64 RegularFileInputStream::getPosition()
{
    return position;
}

bool RegularFileInputStream::setPosition (juce::int64 newPosition)
{
    position = juce::jlimit ((juce::int64) 0, length, newPosition);
    return true;
}
