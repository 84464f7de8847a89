#include "FactoryPresetUnpacker.h"

FactoryPresetUnpacker::FactoryPresetUnpacker (juce::InputStream& archiveStream, juce::int64 sizeLimit)
    : zip (archiveStream), limit (sizeLimit)
{
}

juce::Result FactoryPresetUnpacker::unpackInto (const juce::File& folder, Listener& listener)
{
    written = 0;
    numRefused = 0;
    const auto numEntries = zip.getNumEntries();

    for (int i = 0; i < numEntries; ++i)
    {
        // JUCE keeps an entry's name as the bytes the archive holds: nothing may read it as
        // text, or hand it to a path function, before it is known to be valid.
        const auto* entry = zip.getEntry (i);
        const auto* nameBytes = entry != nullptr ? entry->filename.toRawUTF8() : "";

        if (entry != nullptr && isValidUtf8 (nameBytes, std::strlen (nameBytes)))
            listener.entryStarting (entry->filename);

        switch (unpackEntry (i, folder))
        {
            case Outcome::overLimit:
                return juce::Result::fail ("Error: The factory presets would take more than "
                                           + juce::String (limit / (1024 * 1024)) + " MB unpacked."
                                           "\nThe installation has been stopped.");
            case Outcome::refused:
                ++numRefused;
                break;
            case Outcome::written:
            case Outcome::failed:
                break;
        }

        if (! listener.entryFinished (i, numEntries))
            break;
    }

    return juce::Result::ok();
}

FactoryPresetUnpacker::Outcome FactoryPresetUnpacker::unpackEntry (int index, const juce::File& folder)
{
    const auto* entry = zip.getEntry (index);

    if (entry == nullptr)
        return Outcome::failed;

    const auto* nameBytes = entry->filename.toRawUTF8();

    if (! isValidUtf8 (nameBytes, std::strlen (nameBytes)) || entry->isSymbolicLink)
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
        return Outcome::written;

    const auto target = parent.getChildFile (fileName);

    // Never write through a link, and leave a folder in the way as it is.
    if (target.isSymbolicLink() || target.isDirectory())
        return Outcome::refused;

    if (entry->uncompressedSize > limit - written)
        return Outcome::overLimit;

    std::unique_ptr<juce::InputStream> in (zip.createStreamForEntry (index));

    if (in == nullptr)
        return Outcome::failed;

    juce::TemporaryFile temporary (target);
    juce::int64 entryBytes = 0;

    {
        juce::FileOutputStream out (temporary.getFile());

        if (out.failedToOpen())
            return Outcome::failed;

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

        out.flush();

        if (out.getStatus().failed())
            return Outcome::failed;
    }

    // A damaged entry that ends early does not replace a file with a cut one.
    if (entryBytes != entry->uncompressedSize || ! temporary.overwriteTargetFileWithTemporary())
        return Outcome::failed;

    target.setCreationTime (entry->fileTime);
    target.setLastModificationTime (entry->fileTime);
    target.setLastAccessTime (entry->fileTime);
    return Outcome::written;
}

bool FactoryPresetUnpacker::makeFolderBelow (const juce::File& root, const juce::StringArray& folders, juce::File& result)
{
    // Checked one folder at a time: a link anywhere below the root could lead outside it.
    auto current = root;

    for (const auto& name : folders)
    {
        current = current.getChildFile (name);

        if (current.isSymbolicLink())
            return false;

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

bool FactoryPresetUnpacker::isValidUtf8 (const char* text, size_t numBytes) noexcept
{
    const auto* bytes = reinterpret_cast<const unsigned char*> (text);
    size_t i = 0;

    while (i < numBytes)
    {
        const auto lead = bytes[i];

        if (lead == 0)
            return false;

        if (lead < 0x80)
        {
            ++i;
            continue;
        }

        int numExtra;
        juce::uint32 minimum, value;

        if ((lead & 0xe0) == 0xc0)      { numExtra = 1; minimum = 0x80;    value = lead & 0x1fu; }
        else if ((lead & 0xf0) == 0xe0) { numExtra = 2; minimum = 0x800;   value = lead & 0x0fu; }
        else if ((lead & 0xf8) == 0xf0) { numExtra = 3; minimum = 0x10000; value = lead & 0x07u; }
        else                             return false;

        if (numBytes - i <= (size_t) numExtra)
            return false;

        for (int k = 1; k <= numExtra; ++k)
        {
            const auto next = bytes[i + (size_t) k];

            if ((next & 0xc0) != 0x80)
                return false;

            value = (value << 6) | (next & 0x3fu);
        }

        if (value < minimum || value > 0x10ffff || (value >= 0xd800 && value <= 0xdfff))
            return false;

        i += (size_t) numExtra + 1;
    }

    return true;
}
