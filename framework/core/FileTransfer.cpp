#include "FileTransfer.h"

#include "FileIdentity.h"
#include "FolderChild.h"
#include "RegularFileInputStream.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>

#include <sys/stat.h>
#include <unistd.h>

namespace
{
    juce::String describeRefusal (const AtomicFileWriter& writer)
    {
        switch (writer.getOutcome())
        {
            case AtomicFileWriter::Outcome::notAFile:           return "a folder or a special file is in the way";
            case AtomicFileWriter::Outcome::nameTooLong:        return AtomicFileWriter::getNameTooLongText();
            case AtomicFileWriter::Outcome::linkLeadsNowhere:   return "a link in the way leads nowhere";
            case AtomicFileWriter::Outcome::written:
            case AtomicFileWriter::Outcome::failed:             break;
        }

        return writer.getFailureReason().isNotEmpty() ? writer.getFailureReason() : juce::String ("it could not be written");
    }

    /** Makes the link again at the destination, leading where it led, beside it and renamed over it. */
    juce::Result copyLink (const std::filesystem::path& from, const juce::File& destination)
    {
        namespace fs = std::filesystem;
        const auto made = FolderChild::nonexistentChild (destination.getParentDirectory(), ".moved-link", {}, false);
        const fs::path madePath (made.getFullPathName().toStdString());
        std::error_code error;
        fs::copy_symlink (from, madePath, error);

        if (! error)
            fs::rename (madePath, destination.getFullPathName().toStdString(), error);

        if (error)
            fs::remove (madePath, error);

        return error ? juce::Result::fail (error.message()) : juce::Result::ok();
    }
}

juce::Result FileTransfer::copy (const juce::File& source, const juce::File& destination, juce::int64 maxBytes,
                                 AtomicFileWriter::DanglingLinks danglingLinks)
{
    return copyTo (source, destination, maxBytes, danglingLinks, AtomicFileWriter::LinkAtPath::writeThrough);
}

juce::Result FileTransfer::copyTo (const juce::File& source, const juce::File& destination, juce::int64 maxBytes,
                                   AtomicFileWriter::DanglingLinks danglingLinks, AtomicFileWriter::LinkAtPath linkAtPath)
{
    const auto in = RegularFileInputStream::open (source, maxBytes);

    if (in == nullptr)
        return juce::Result::fail (source.existsAsFile() && source.getSize() > maxBytes
                                     ? "it holds more than " + juce::File::descriptionOfSizeInBytes (maxBytes)
                                     : juce::String ("it cannot be read"));

    AtomicFileWriter writer (destination, danglingLinks, source, linkAtPath);

    if (auto* out = writer.getStream())
    {
        juce::HeapBlock<char> block (65536);
        bool writing = true;

        for (int numRead; writing && (numRead = in->read (block, 65536)) > 0;)
            writing = out->write (block, (size_t) numRead);

        // A failed write has its reason from commit().
        if (writing && ! in->isExhausted())
            return juce::Result::fail ("it could not be read to its end");
    }

    if (writer.commit() != AtomicFileWriter::Outcome::written)
        return juce::Result::fail (describeRefusal (writer));

    return juce::Result::ok();
}

juce::Result FileTransfer::checkNotOntoItself (const juce::File& source, const juce::File& destination)
{
    using Links = FileIdentity::Links;
    const auto atDestination = FileIdentity::of (destination, Links::keep);

    if (atDestination.has_value() && (atDestination == FileIdentity::of (source, Links::keep)
                                       || atDestination == FileIdentity::of (source, Links::follow)))
        return juce::Result::fail ("it is the file at the destination itself, reached another way");

    return juce::Result::ok();
}

juce::Result FileTransfer::move (const juce::File& source, const juce::File& destination)
{
    const auto from = source.getFullPathName().toStdString();
    const auto ontoItself = checkNotOntoItself (source, destination);
    struct stat info {};

    if (::lstat (from.c_str(), &info) != 0)
        return juce::Result::fail (std::strerror (errno));

    // Renamed onto another name of itself, a file stays where it is (and where the file system
    // ignores letter case, its name takes the new case); a link renamed over the file it leads
    // to would leave nothing.
    if (ontoItself.failed() && S_ISLNK (info.st_mode))
        return ontoItself;

    if (std::rename (from.c_str(), destination.getFullPathName().toRawUTF8()) == 0)
        return juce::Result::ok();

    if (errno != EXDEV)
        return juce::Result::fail (std::strerror (errno));

    // A copy onto itself, through a second mount, would be removed with the original.
    if (ontoItself.failed())
        return ontoItself;

    if (S_ISDIR (info.st_mode))
        return juce::Result::fail ("a folder is not moved to another file system");

    const auto copied = S_ISLNK (info.st_mode)
                          ? copyLink (from, destination)
                          : copyTo (source, destination, std::numeric_limits<juce::int64>::max(),
                                    AtomicFileWriter::DanglingLinks::refuse, AtomicFileWriter::LinkAtPath::replace);

    if (copied.failed())
        return copied;

    // Whatever was reached by which name meanwhile, the source goes only beside a copy of its own.
    if (const auto checked = checkNotOntoItself (source, destination); checked.failed())
        return checked;

    // The copy is kept: what it replaced is gone, and it is whole.
    if (::unlink (from.c_str()) != 0)
        return juce::Result::fail ("it was copied, but could not be removed from where it was: " + juce::String (std::strerror (errno)));

    return juce::Result::ok();
}
