#include "StateFile.h"

#include "AAX_ChunkRecord.h"
#include "OutputFile.h"
#include "XmlHelpers.h"

#include <cstring>

namespace
{
    constexpr char magic[8] = { 'C', 'V', 'H', 'S', 'T', 'A', 'T', 'E' };
    constexpr uint32_t formatVersion = 1;
    constexpr uint32_t maxRecords = 1024;

    /** A state is bounded as a preset is: its largest part is the same document. */
    constexpr auto maxSize = XmlHelpers::maximumDocumentSize;

    juce::String describeSize (juce::int64 bytes)
    {
        return juce::File::descriptionOfSizeInBytes (bytes) + " (" + juce::String (bytes) + " bytes)";
    }
}

juce::String StateFile::write (const juce::File& file, const std::vector<Record>& records,
                               std::function<juce::Result()> checkBeforeReplacing)
{
    OutputFile output (file, std::move (checkBeforeReplacing));
    const auto stream = output.createStream();

    stream->write (magic, sizeof (magic));
    stream->writeInt (static_cast<int> (formatVersion));
    stream->writeInt (static_cast<int> (records.size()));

    for (const auto& record : records)
        stream->write (record.data(), record.size());

    // The stream keeps its first failure, and finish() reports it.
    if (const auto written = stream->finish(); written.failed())
        return OutputFile::describeFailure (file, written.getErrorMessage());

    return output.commit().getErrorMessage();
}

juce::String StateFile::read (const juce::File& file, std::vector<Record>& records)
{
    records.clear();

    if (! file.existsAsFile())
        return "cannot read state " + file.getFullPathName() + ": no such file";

    juce::FileInputStream stream (file);

    if (! stream.openedOk())
        return "cannot read state " + file.getFullPathName() + ": " + stream.getStatus().getErrorMessage();

    // A file that grows while it is read is bounded all the same.
    juce::MemoryBlock contents;
    const auto length = juce::jmax (stream.getTotalLength(),
                                    static_cast<juce::int64> (stream.readIntoMemoryBlock (contents, maxSize + 1)));

    if (length > maxSize)
        return "cannot read state " + file.getFullPathName() + ": it is " + describeSize (length) + ", more than the "
                 + describeSize (maxSize) + " a state file may hold";

    const auto* bytes = static_cast<const uint8_t*> (contents.getData());
    const auto size = contents.getSize();
    const auto notAState = "cannot read state " + file.getFullPathName() + ": not a state file";

    if (size < sizeof (magic) + 8 || std::memcmp (bytes, magic, sizeof (magic)) != 0)
        return notAState;

    const auto version = juce::ByteOrder::littleEndianInt (bytes + 8);
    const auto count = juce::ByteOrder::littleEndianInt (bytes + 12);

    if (version != formatVersion)
        return "cannot read state " + file.getFullPathName() + ": format version " + juce::String (version) + " is not known";

    if (count > maxRecords)
        return notAState;

    size_t position = sizeof (magic) + 8;

    for (uint32_t index = 0; index < count; ++index)
    {
        AAX_ChunkRecord header {};

        if (size - position < sizeof (header))
            return "cannot read state " + file.getFullPathName() + ": the file is cut short";

        std::memcpy (&header, bytes + position, sizeof (header));

        if (header.dataSize < 0 || static_cast<size_t> (header.dataSize) > size - position - sizeof (header))
            return "cannot read state " + file.getFullPathName() + ": the file is cut short";

        const auto recordSize = sizeof (header) + static_cast<size_t> (header.dataSize);
        records.emplace_back (bytes + position, bytes + position + recordSize);
        position += recordSize;
    }

    if (position != size)
        return notAState;

    return {};
}
