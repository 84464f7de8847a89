#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <unordered_map>

/**
    Unpacks a factory-preset archive into a folder, for the installer's worker thread.

    The archive is outside input: an entry is written only as a regular file (or folder) below
    the target folder, and only when its name is valid UTF-8 and a relative path that stays
    inside. Other entries (links, absolute or escaping paths, broken names) are skipped and
    counted by their cause, as is an entry whose path differs only in letter case from that of
    a file the unpacking wrote before: on a disk that ignores case it would replace that file.
    An entry that could not be written (a damaged entry, a folder that takes no files, a full
    disk) does not stop the others, but fails the unpacking, named.
    Since the archive brings no links, a link already in the target folder is the user's own
    (a preset folder kept on another disk, say) and is followed. An archive that is no ZIP,
    is larger than the size limit or holds far more entries than the factory set is refused
    whole, and the unpacking stops when what it wrote passes a size far above the factory set,
    so that a small archive cannot fill the user's disk or folders.

    Each entry is written to a temporary file beside its target and moved over it at the end,
    so a stop never leaves a cut file in place of one the user had.
*/
class FactoryPresetUnpacker
{
public:
    /** Hears of every entry, on the unpacking thread. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** An entry with a valid name is about to be unpacked: its path within the archive. */
        virtual void entryStarting (const juce::String& path) = 0;

        /** Entry index of numEntries has been handled; false stops the unpacking there. */
        virtual bool entryFinished (int index, int numEntries) = 0;
    };

    /** Most bytes that one unpacking writes: many times the factory set. */
    static constexpr juce::int64 defaultSizeLimit = (juce::int64) 64 * 1024 * 1024;
    /** Most entries an archive may hold: many times the factory set. */
    static constexpr int defaultEntryLimit = 4096;

    explicit FactoryPresetUnpacker (juce::InputStream& archiveStream,
                                    juce::int64 sizeLimit = defaultSizeLimit,
                                    int entryLimit = defaultEntryLimit);

    /** Unpacks every entry into the folder, which must exist. Fails, with a message for the
        user, when the archive is larger than the size limit or is no ZIP archive (see
        describeUnreadableArchive), holds too many entries, when the size limit stopped it,
        when an entry could not be written, or when not one of its files was written; a stop
        asked by the listener is no failure. Entries skipped on purpose are no failure either.
    */
    juce::Result unpackInto (const juce::File& folder, Listener& listener);

    /** The message for an archive that cannot be read: no regular file, larger than the size
        limit, or no ZIP archive (an empty one is a ZIP archive).
    */
    static juce::String describeUnreadableArchive (juce::int64 sizeLimit = defaultSizeLimit);

    /** Entries skipped on purpose: they could reach outside the folder, their names are
        broken, or their places are taken by what the unpacking never replaces.
    */
    int getNumRefusedEntries() const noexcept;

    /** For the user: how many entries were skipped and why, or empty when none was. */
    juce::String describeRefusedEntries() const;

    /** The folders and file name of an entry's path, or nothing when the path may not be
        written below a folder: empty, absolute, a drive or stream name, a "." or ".."
        component, or control characters. A trailing separator marks a folder entry.
    */
    static juce::StringArray splitEntryPath (const juce::String& path, bool& isFolder);

private:
    /** Why an entry was skipped on purpose. */
    enum class Refusal { link, outsidePath, brokenName, placeTaken, nameTooLong, twinName, numRefusals };

    enum class Outcome { writtenFile, writtenFolder, refused, failed, overLimit };

    Outcome unpackEntry (int index, const juce::File& folder, Refusal& refusal);
    static Outcome makeFolderBelow (const juce::File& root, const juce::StringArray& folders, juce::File& result);
    juce::String describeFailedEntries (const juce::File& folder) const;

    bool isZipArchive();

    juce::InputStream& stream;
    juce::ZipFile zip;
    juce::int64 limit, written = 0;
    int maxEntries;
    std::array<int, (size_t) Refusal::numRefusals> numRefused {};
    juce::StringArray failedEntries;
    /** The paths of the files written so far, by their case keys. */
    std::unordered_map<juce::String, juce::String> writtenPaths;

    JUCE_DECLARE_NON_COPYABLE (FactoryPresetUnpacker)
};
