#include "AtomicFileWriter.h"

#include "FolderChild.h"
#include "StrictUtf8.h"

#include <cstring>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <unistd.h>

namespace
{
    namespace fs = std::filesystem;

    fs::path pathOf (const juce::File& file)
    {
        return fs::u8path (file.getFullPathName().toStdString());
    }

    juce::File fileFromBytes (const std::string& path)
    {
        const auto text = StrictUtf8::toString (path);
        return text.has_value() ? juce::File (*text) : juce::File();
    }

    /** As many links as the system itself follows before it takes them for a loop. */
    constexpr int maximumLinkHops = 40;
}

AtomicFileWriter::AtomicFileWriter (const juce::File& file, DanglingLinks danglingLinks, const juce::File& permissionsOf,
                                    LinkAtPath linkAtPath)
    : outcome (findTarget (file, danglingLinks, target, linkAtPath))
{
    if (outcome != Outcome::written)
        return;

    // A name of its own, and a short one: a name made from the target's would pass the limit
    // for a target whose name is near it. The dot keeps it out of listings.
    for (int attempt = 0; attempt < 16; ++attempt)
    {
        // JUCE's shared random generator may not be used from several threads at once.
        const auto number = juce::String::toHexString ((int) std::random_device() ()).paddedLeft ('0', 8);
        const auto candidate = FolderChild::besides (target, ".tmp-" + number);

        if (candidate.exists() || candidate.isSymbolicLink())
            continue;

        stream = std::make_unique<CheckedFileOutputStream> (candidate, permissionsOf != juce::File() ? permissionsOf : target);

        if (! stream->openedOk())
            break;

        temporary = candidate;
        return;
    }

    failureReason = stream != nullptr ? stream->getStatus().getErrorMessage() : juce::String();
    stream.reset();
    outcome = Outcome::failed;
}

AtomicFileWriter::~AtomicFileWriter()
{
    stream.reset();

    if (temporary != juce::File())
        temporary.deleteFile();
}

AtomicFileWriter::Outcome AtomicFileWriter::commit()
{
    if (stream == nullptr)
        return outcome == Outcome::written ? Outcome::failed : outcome;

    const auto finished = stream->finish();
    stream.reset();

    if (finished.failed())
    {
        failureReason = finished.getErrorMessage();
        return outcome = Outcome::failed;
    }

    std::error_code error;
    fs::rename (pathOf (temporary), pathOf (target), error);

    if (error)
    {
        failureReason = error.message();
        return outcome = Outcome::failed;
    }

    temporary = juce::File();

    // The new name itself is on the disk once its folder is: a caller may then remove what
    // the file was copied from.
    if (const auto folder = ::open (pathOf (target.getParentDirectory()).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); folder >= 0)
    {
        ::fsync (folder);
        ::close (folder);
    }

    return outcome;
}

//==============================================================================
AtomicFileWriter::Outcome AtomicFileWriter::write (const juce::File& file, const void* data, size_t numBytes,
                                                   DanglingLinks danglingLinks)
{
    AtomicFileWriter writer (file, danglingLinks);

    if (auto* out = writer.getStream(); out != nullptr && ! out->write (data, numBytes))
        return Outcome::failed;

    return writer.commit();
}

AtomicFileWriter::Outcome AtomicFileWriter::write (const juce::File& file, const juce::XmlElement& document,
                                                   DanglingLinks danglingLinks)
{
    AtomicFileWriter writer (file, danglingLinks);

    if (auto* out = writer.getStream())
        document.writeTo (*out);

    return writer.commit();
}

bool AtomicFileWriter::isNameTooLong (const juce::File& file)
{
    return file.getFileName().getNumBytesAsUTF8() > (size_t) maximumNameBytes;
}

juce::String AtomicFileWriter::getNameTooLongText()
{
    return "the name is too long: at most " + juce::String (maximumNameBytes) + " bytes with its extension";
}

AtomicFileWriter::Outcome AtomicFileWriter::findTarget (const juce::File& file, DanglingLinks danglingLinks, juce::File& result,
                                                        LinkAtPath linkAtPath)
{
    result = juce::File();

    // JUCE's path functions cut a path that is not well-formed UTF-8 in the wrong places: the
    // file would be written by way of another folder, and named after a fragment of its name.
    const auto* bytes = file.getFullPathName().toRawUTF8();

    if (file == juce::File() || ! StrictUtf8::isValid (bytes, std::strlen (bytes)))
        return Outcome::failed;

    if (isNameTooLong (file))
        return Outcome::nameTooLong;

    auto path = pathOf (file);
    std::error_code error;
    auto status = fs::symlink_status (path, error);
    int hops = 0;

    if (linkAtPath == LinkAtPath::replace && fs::is_symlink (status))
    {
        result = file;
        return Outcome::written;
    }

    for (; fs::is_symlink (status); ++hops)
    {
        const auto linked = fs::read_symlink (path, error);

        if (hops == maximumLinkHops || error)
            return Outcome::linkLeadsNowhere;

        path = linked.is_absolute() ? linked : path.parent_path() / linked;
        status = fs::symlink_status (path, error);
    }

    const auto type = status.type();

    if (error && type != fs::file_type::not_found)
        return hops > 0 ? Outcome::linkLeadsNowhere : Outcome::failed;

    if (type != fs::file_type::regular && type != fs::file_type::not_found)
        return Outcome::notAFile;

    if (hops == 0)
    {
        result = file;
        return Outcome::written;
    }

    if (type == fs::file_type::not_found && danglingLinks == DanglingLinks::refuse)
        return Outcome::linkLeadsNowhere;

    // The ".." steps of a relative link start from the link's real folder, so the system
    // resolves the folder: JUCE's path functions would take them from the path that led there.
    // The file is then made or replaced beside the one the links lead to, by its real path.
    const auto folder = fs::canonical (path.parent_path(), error);
    result = error ? juce::File() : fileFromBytes ((folder / path.filename()).u8string());
    return result == juce::File() ? Outcome::linkLeadsNowhere : Outcome::written;
}

juce::File AtomicFileWriter::keepUnderSecondName (const juce::File& file, const juce::String& newName)
{
    juce::File original;
    std::error_code error;

    if (findTarget (file, DanglingLinks::refuse, original) != Outcome::written || ! fs::is_regular_file (pathOf (original), error))
        return {};

    // A second link to the same data costs nothing whatever the file's size, and the writer
    // never writes into a file, only renames a new one over it.
    const auto dot = newName.lastIndexOfChar ('.');
    const auto stem = dot < 0 ? newName : newName.substring (0, dot);
    const auto extension = dot < 0 ? juce::String() : newName.substring (dot);

    for (int number = 1; number < 100; ++number)
    {
        const auto kept = FolderChild::besides (original, number == 1 ? newName : stem + " (" + juce::String (number) + ")" + extension);

        fs::create_hard_link (pathOf (original), pathOf (kept), error);

        if (! error)
            return kept;

        // A second name of the same data keeps it; a symbolic link would lead to the new content.
        const auto existing = fs::symlink_status (pathOf (kept), error).type();

        if (existing == fs::file_type::not_found)
            return {};

        if (existing == fs::file_type::regular && fs::equivalent (pathOf (original), pathOf (kept), error))
            return kept;
    }

    return {};
}
