#include "FactoryPresetUnpacker.h"

#include "AtomicFileWriter.h"
#include "FolderChild.h"
#include "StrictUtf8.h"

FactoryPresetUnpacker::FactoryPresetUnpacker (juce::InputStream& archiveStream, juce::int64 sizeLimit, int entryLimit)
    : stream (archiveStream), zip (archiveStream), limit (sizeLimit), maxEntries (entryLimit)
{
}

juce::Result FactoryPresetUnpacker::unpackInto (const juce::File& folder, Listener& listener)
{
    written = 0;
    numRefused = 0;
    const auto numEntries = zip.getNumEntries();
    int numFilesWritten = 0, numNotWritten = 0;

    if (stream.getTotalLength() > limit || ! isZipArchive())
        return juce::Result::fail (describeUnreadableArchive (limit));

    if (numEntries > maxEntries)
        return juce::Result::fail ("Error: The factory presets archive holds more than "
                                   + juce::String (maxEntries) + " entries."
                                   "\nThe installation has been stopped.");

    for (int i = 0; i < numEntries; ++i)
    {
        // JUCE keeps an entry's name as the bytes the archive holds: nothing may read it as
        // text, or hand it to a path function, before it is known to be valid.
        const auto* entry = zip.getEntry (i);
        const auto* nameBytes = entry != nullptr ? entry->filename.toRawUTF8() : "";

        if (entry != nullptr && StrictUtf8::isValid (nameBytes, std::strlen (nameBytes)))
            listener.entryStarting (entry->filename);

        switch (unpackEntry (i, folder))
        {
            case Outcome::overLimit:
                return juce::Result::fail ("Error: The factory presets would take more than "
                                           + juce::String (limit / (1024 * 1024)) + " MB unpacked."
                                           "\nThe installation has been stopped.");
            case Outcome::refused:
                ++numRefused;
                ++numNotWritten;
                break;
            case Outcome::failed:
                ++numNotWritten;
                break;
            case Outcome::writtenFile:
                ++numFilesWritten;
                break;
            case Outcome::writtenFolder:
                break;
        }

        if (! listener.entryFinished (i, numEntries))
            return juce::Result::ok();
    }

    // The caller records the presets as installed on success: a set of which nothing could
    // be written must be offered again.
    if (numFilesWritten == 0 && numNotWritten > 0)
        return juce::Result::fail ("Error: No factory preset could be written into " + folder.getFullPathName()
                                   + ".\nThe installation will be offered again.");

    return juce::Result::ok();
}

juce::String FactoryPresetUnpacker::describeUnreadableArchive (juce::int64 sizeLimit)
{
    return "Error: The factory presets archive is not a ZIP file of at most " + juce::String (sizeLimit / (1024 * 1024))
           + " MB.\nThe installation will be offered again.";
}

bool FactoryPresetUnpacker::isZipArchive()
{
    // JUCE finds no entries in what is no ZIP at all, as in an empty archive; an empty
    // archive is its end record alone.
    constexpr int endRecordSignature = 0x06054b50;
    return zip.getNumEntries() > 0 || (stream.setPosition (0) && stream.readInt() == endRecordSignature);
}

FactoryPresetUnpacker::Outcome FactoryPresetUnpacker::unpackEntry (int index, const juce::File& folder)
{
    const auto* entry = zip.getEntry (index);

    if (entry == nullptr)
        return Outcome::failed;

    const auto* nameBytes = entry->filename.toRawUTF8();

    if (! StrictUtf8::isValid (nameBytes, std::strlen (nameBytes)) || entry->isSymbolicLink)
        return Outcome::refused;

    bool isFolder = false;
    auto parts = splitEntryPath (entry->filename, isFolder);

    if (parts.isEmpty())
        return Outcome::refused;

    const auto fileName = isFolder ? juce::String() : parts[parts.size() - 1];

    if (! isFolder)
        parts.remove (parts.size() - 1);

    juce::File parent;

    if (! makeFolderBelow (folder, parts, parent))
        return Outcome::refused;

    if (isFolder)
        return Outcome::writtenFolder;

    // A link in the file's place is the user's own: the preset goes where it leads, which
    // replacing the file would not do. A folder or a special file in the way is left as it is.
    AtomicFileWriter writer (FolderChild::of (parent, fileName));

    if (writer.getOutcome() != AtomicFileWriter::Outcome::written && writer.getOutcome() != AtomicFileWriter::Outcome::failed)
        return Outcome::refused;

    if (entry->uncompressedSize > limit - written)
        return Outcome::overLimit;

    std::unique_ptr<juce::InputStream> in (zip.createStreamForEntry (index));

    if (in == nullptr)
        return Outcome::failed;

    juce::int64 entryBytes = 0;

    {
        if (writer.getStream() == nullptr)
            return Outcome::failed;

        auto& out = *writer.getStream();

        juce::HeapBlock<char> buffer (65536);

        for (;;)
        {
            const auto numRead = in->read (buffer, 65536);

            if (numRead <= 0)
                break;

            // The declared size may lie: what counts is what is written.
            written += numRead;
            entryBytes += numRead;

            if (written > limit)
                return Outcome::overLimit;

            if (! out.write (buffer, (size_t) numRead))
                return Outcome::failed;
        }
    }

    // A damaged entry that ends early does not replace a file with a cut one.
    if (entryBytes != entry->uncompressedSize || writer.commit() != AtomicFileWriter::Outcome::written)
        return Outcome::failed;

    writer.getTarget().setCreationTime (entry->fileTime);
    writer.getTarget().setLastModificationTime (entry->fileTime);
    writer.getTarget().setLastAccessTime (entry->fileTime);
    return Outcome::writtenFile;
}

bool FactoryPresetUnpacker::makeFolderBelow (const juce::File& root, const juce::StringArray& folders, juce::File& result)
{
    // The names stay inside (splitEntryPath), and a link on the way is the user's own.
    auto current = root;

    for (const auto& name : folders)
    {
        current = FolderChild::of (current, name);

        if (! current.isDirectory() && (current.exists() || ! current.createDirectory()))
            return false;
    }

    result = current;
    return true;
}

//==============================================================================
juce::StringArray FactoryPresetUnpacker::splitEntryPath (const juce::String& path, bool& isFolder)
{
    const auto normalised = path.replaceCharacter ('\\', '/');
    isFolder = normalised.endsWithChar ('/');

    if (normalised.isEmpty() || normalised.startsWithChar ('/'))
        return {};

    juce::StringArray parts;
    parts.addTokens (normalised, "/", {});
    parts.removeEmptyStrings();

    for (const auto& part : parts)
    {
        if (part == "." || part == ".." || part.containsChar (':'))
            return {};

        for (auto p = part.getCharPointer(); ! p.isEmpty(); ++p)
            if (*p < 0x20 || *p == 0x7f)
                return {};
    }

    return parts;
}
