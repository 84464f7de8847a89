#include "FactoryPresetUnpacker.h"

#include "AtomicFileWriter.h"
#include "CaseKey.h"
#include "FolderChild.h"
#include "StrictUtf8.h"

#include <cstring>
#include <numeric>

FactoryPresetUnpacker::FactoryPresetUnpacker (juce::InputStream& archiveStream, juce::int64 sizeLimit, int entryLimit)
    : stream (archiveStream), zip (archiveStream), limit (sizeLimit), maxEntries (entryLimit)
{
}

juce::Result FactoryPresetUnpacker::unpackInto (const juce::File& folder, Listener& listener)
{
    written = 0;
    numRefused = {};
    failedEntries.clear();
    writtenPaths.clear();
    const auto numEntries = zip.getNumEntries();
    int numFilesWritten = 0;

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
        const auto hasValidName = entry != nullptr && StrictUtf8::isValid (nameBytes, std::strlen (nameBytes));

        if (hasValidName)
            listener.entryStarting (entry->filename);

        auto refusal = Refusal::numRefusals;

        switch (unpackEntry (i, folder, refusal))
        {
            case Outcome::overLimit:
                return juce::Result::fail ("Error: The factory presets would take more than "
                                           + juce::String (limit / (1024 * 1024)) + " MB unpacked."
                                           "\nThe installation has been stopped.");
            case Outcome::refused:
                ++numRefused[(size_t) refusal];
                break;
            case Outcome::failed:
                failedEntries.add (hasValidName ? entry->filename : "#" + juce::String (i + 1));
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

    // The caller records the presets as installed on success: a set that is not whole must be
    // offered again, and so must one of which nothing could be written.
    if (! failedEntries.isEmpty())
        return juce::Result::fail (describeFailedEntries (folder));

    if (numFilesWritten == 0 && getNumRefusedEntries() > 0)
        return juce::Result::fail ("Error: No factory preset could be written into " + folder.getFullPathName()
                                   + ".\nThe installation will be offered again.");

    return juce::Result::ok();
}

juce::String FactoryPresetUnpacker::describeFailedEntries (const juce::File& folder) const
{
    // The first few by name: the label has room for a few lines only.
    constexpr int numNamed = 3;
    const auto numFailed = failedEntries.size();
    juce::StringArray named;

    for (int i = 0; i < juce::jmin (numNamed, numFailed); ++i)
        named.add ("'" + failedEntries[i] + "'");

    const auto others = numFailed - named.size();

    return "Error: " + juce::String (numFailed) + (numFailed == 1 ? " factory preset" : " factory presets")
           + " could not be written into " + folder.getFullPathName() + ": " + named.joinIntoString (", ")
           + (others > 0 ? " and " + juce::String (others) + " more" : juce::String()) + "."
           "\nThe installation will be offered again.";
}

int FactoryPresetUnpacker::getNumRefusedEntries() const noexcept
{
    return std::accumulate (numRefused.begin(), numRefused.end(), 0);
}

juce::String FactoryPresetUnpacker::describeRefusedEntries() const
{
    const auto total = getNumRefusedEntries();

    if (total == 0)
        return {};

    // Each cause as the user may put it right, in the singular and the plural.
    static constexpr const char* causes[][2] =
    {
        { "a link", "links" },
        { "a path outside the presets folder", "paths outside the presets folder" },
        { "a name that is not UTF-8 text", "names that are not UTF-8 text" },
        { "a place taken by a folder, a special file or a link that leads to no file",
          "places taken by a folder, a special file or a link that leads to no file" },
        { "a name too long for the disk", "names too long for the disk" },
        { "a name another entry has in other letter case", "names other entries have in other letter case" },
    };

    juce::StringArray parts;

    for (size_t i = 0; i < numRefused.size(); ++i)
        if (const auto count = numRefused[i]; count > 0)
            parts.add (count == 1 ? juce::String (causes[i][0]) : juce::String (count) + " " + causes[i][1]);

    return juce::String (total) + (total == 1 ? " entry was" : " entries were") + " skipped: " + parts.joinIntoString (", ") + ".";
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

FactoryPresetUnpacker::Outcome FactoryPresetUnpacker::unpackEntry (int index, const juce::File& folder, Refusal& refusal)
{
    const auto* entry = zip.getEntry (index);

    if (entry == nullptr)
        return Outcome::failed;

    const auto* nameBytes = entry->filename.toRawUTF8();
    const auto refuse = [&refusal] (Refusal why) { refusal = why; return Outcome::refused; };

    if (! StrictUtf8::isValid (nameBytes, std::strlen (nameBytes)))
        return refuse (Refusal::brokenName);

    if (entry->isSymbolicLink)
        return refuse (Refusal::link);

    bool isFolder = false;
    auto parts = splitEntryPath (entry->filename, isFolder);

    if (parts.isEmpty())
        return refuse (Refusal::outsidePath);

    const auto fileName = isFolder ? juce::String() : parts[parts.size() - 1];
    const auto path = parts.joinIntoString ("/");

    if (const auto twin = writtenPaths.find (CaseKey::of (path)); ! isFolder && twin != writtenPaths.end() && twin->second != path)
        return refuse (Refusal::twinName);

    if (! isFolder)
        parts.remove (parts.size() - 1);

    juce::File parent;

    if (const auto made = makeFolderBelow (folder, parts, parent); made != Outcome::writtenFolder)
        return made == Outcome::refused ? refuse (Refusal::placeTaken) : made;

    if (isFolder)
        return Outcome::writtenFolder;

    // A link in the file's place is the user's own: the preset goes where it leads, which
    // replacing the file would not do. A folder or a special file in the way is left as it is.
    AtomicFileWriter writer (FolderChild::of (parent, fileName));

    switch (writer.getOutcome())
    {
        case AtomicFileWriter::Outcome::notAFile:
        case AtomicFileWriter::Outcome::linkLeadsNowhere:   return refuse (Refusal::placeTaken);
        case AtomicFileWriter::Outcome::nameTooLong:        return refuse (Refusal::nameTooLong);
        case AtomicFileWriter::Outcome::written:
        case AtomicFileWriter::Outcome::failed:             break;
    }

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
    writtenPaths.emplace (CaseKey::of (path), path);
    return Outcome::writtenFile;
}

FactoryPresetUnpacker::Outcome FactoryPresetUnpacker::makeFolderBelow (const juce::File& root, const juce::StringArray& folders,
                                                                        juce::File& result)
{
    // The names stay inside (splitEntryPath), and a link on the way is the user's own. What
    // stands in a folder's place is left as it is; a folder that cannot be made (no room, no
    // right to write) is a failure.
    auto current = root;

    for (const auto& name : folders)
    {
        current = FolderChild::of (current, name);

        if (current.isDirectory())
            continue;

        if (current.exists() || current.isSymbolicLink())
            return Outcome::refused;

        if (! current.createDirectory())
            return Outcome::failed;
    }

    result = current;
    return Outcome::writtenFolder;
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
