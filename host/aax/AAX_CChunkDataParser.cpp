#include "AAX_CChunkDataParser.h"

#include "AAX_CHostServices.h"

#include <cstring>
#include <limits>

namespace
{
    constexpr uint8_t marker[4] = { 1, 1, 1, 1 };
    constexpr size_t maxNameBytes = 255;
    constexpr int32_t tracePriority = 0x8000000;

    constexpr size_t roundUpTo4 (size_t n) noexcept    { return (n + 3) & ~static_cast<size_t> (3); }

    size_t valueBytes (const AAX_CChunkDataParser::Entry& entry)
    {
        switch (entry.type)
        {
            case AAX_CChunkDataParser::typeDouble:   return 8;
            case AAX_CChunkDataParser::typeFloat:
            case AAX_CChunkDataParser::typeInt32:
            case AAX_CChunkDataParser::typeInt16:    return 4;
            case AAX_CChunkDataParser::typeString:   return roundUpTo4 (entry.stringValue.Length() + 1);
            case AAX_CChunkDataParser::typeUnknown:  break;
        }

        return 0;
    }

    const char* tagOf (AAX_CChunkDataParser::EntryType type)
    {
        switch (type)
        {
            case AAX_CChunkDataParser::typeFloat:    return "f_";
            case AAX_CChunkDataParser::typeInt32:    return "l_";
            case AAX_CChunkDataParser::typeDouble:   return "d_";
            case AAX_CChunkDataParser::typeInt16:    return "s_";
            case AAX_CChunkDataParser::typeString:   return "r_";
            case AAX_CChunkDataParser::typeUnknown:  break;
        }

        return "x_";
    }

    void writeBigEndian (uint8_t* destination, uint64_t value, size_t bytes)
    {
        for (size_t i = 0; i < bytes; ++i)
            destination[i] = static_cast<uint8_t> (value >> (8 * (bytes - 1 - i)));
    }

    uint64_t readBigEndian (const uint8_t* source, size_t bytes)
    {
        uint64_t value = 0;

        for (size_t i = 0; i < bytes; ++i)
            value = (value << 8) | source[i];

        return value;
    }

    /** The length of the NUL-terminated text at the position, looking at no more than limit
        bytes; -1 when no NUL lies within them.
    */
    int64_t terminatedLength (const uint8_t* text, size_t limit)
    {
        const auto* end = static_cast<const uint8_t*> (std::memchr (text, 0, limit));
        return end != nullptr ? end - text : -1;
    }
}

void AAX_CChunkDataParser::AddFloat (const char* name, float value)
{
    addEntry (name, typeFloat).floatValue = value;
}

void AAX_CChunkDataParser::AddInt32 (const char* name, int32_t value)
{
    addEntry (name, typeInt32).int32Value = value;
}

void AAX_CChunkDataParser::AddDouble (const char* name, double value)
{
    addEntry (name, typeDouble).doubleValue = value;
}

void AAX_CChunkDataParser::AddInt16 (const char* name, int16_t value)
{
    addEntry (name, typeInt16).int16Value = value;
}

void AAX_CChunkDataParser::AddString (const char* name, const char* value)
{
    addEntry (name, typeString).stringValue = value;
}

void AAX_CChunkDataParser::Clear()
{
    entries.clear();
    lastFoundIndex = -1;
}

int32_t AAX_CChunkDataParser::GetChunkDataSize() const
{
    size_t size = sizeof (marker);

    for (const auto& entry : entries)
        size += roundUpTo4 (2 + entry.name.Length() + 1) + valueBytes (entry);

    if (size > static_cast<size_t> (std::numeric_limits<int32_t>::max()))
        return -1;

    return static_cast<int32_t> (size);
}

AAX_Result AAX_CChunkDataParser::GetChunkData (AAX_ChunkRecord& record) const
{
    const auto size = GetChunkDataSize();

    if (size < 0)
        return AAX_ERROR_CHUNK_WRITE;

    record.dataSize = size;
    auto* block = record.data();
    std::memset (block, 0, static_cast<size_t> (size));
    std::memcpy (block, marker, sizeof (marker));
    size_t position = sizeof (marker);

    for (const auto& entry : entries)
    {
        const auto headerBytes = roundUpTo4 (2 + entry.name.Length() + 1);

        if (position + headerBytes + valueBytes (entry) > static_cast<size_t> (size))
        {
            AAX_CHostServices::Trace (tracePriority, "AAX_CChunkDataParser::GetChunkData ERROR: %s",
                                      "aborting: chunk data will overflow buffer");
            return AAX_ERROR_CHUNK_WRITE;
        }

        std::memcpy (block + position, tagOf (entry.type), 2);
        std::memcpy (block + position + 2, entry.name.Get(), entry.name.Length() + 1);
        position += headerBytes;

        switch (entry.type)
        {
            case typeDouble:
            {
                uint64_t bits;
                std::memcpy (&bits, &entry.doubleValue, sizeof (bits));
                writeBigEndian (block + position, bits, 8);
                break;
            }
            case typeFloat:
            {
                uint32_t bits;
                std::memcpy (&bits, &entry.floatValue, sizeof (bits));
                writeBigEndian (block + position, bits, 4);
                break;
            }
            case typeInt32:
                writeBigEndian (block + position, static_cast<uint32_t> (entry.int32Value), 4);
                break;
            case typeInt16:
                writeBigEndian (block + position, static_cast<uint16_t> (entry.int16Value), 2);
                break;
            case typeString:
                std::memcpy (block + position, entry.stringValue.Get(), entry.stringValue.Length() + 1);
                break;
            case typeUnknown:
                break;
        }

        position += valueBytes (entry);
    }

    return AAX_OK;
}

void AAX_CChunkDataParser::LoadChunk (const AAX_ChunkRecord& record)
{
    Clear();
    chunkVersion = record.version;

    if (record.dataSize < 5)
        return;

    const auto* block = record.data();
    const auto size = static_cast<size_t> (record.dataSize);

    if (std::memcmp (block, marker, sizeof (marker)) != 0)
        return;

    for (size_t position = sizeof (marker); position < size;)
    {
        const auto nameLength = terminatedLength (block + position, std::min (maxNameBytes, size - position));

        if (nameLength < 0)
            return;

        Entry entry;
        const auto* tagged = reinterpret_cast<const char*> (block + position);
        const auto tag = nameLength > 0 ? tagged[0] : '\0';

        if (nameLength > 2)
            entry.name = tagged + 2;

        position = roundUpTo4 (position + static_cast<size_t> (nameLength) + 1);
        const auto left = position < size ? size - position : 0;

        switch (tag)
        {
            case 'd':
            {
                if (left < 8)
                    return;

                const auto bits = readBigEndian (block + position, 8);
                entry.type = typeDouble;
                std::memcpy (&entry.doubleValue, &bits, sizeof (double));
                position += 8;
                break;
            }
            case 'f':
            {
                if (left < 4)
                    return;

                const auto bits = static_cast<uint32_t> (readBigEndian (block + position, 4));
                entry.type = typeFloat;
                std::memcpy (&entry.floatValue, &bits, sizeof (float));
                position += 4;
                break;
            }
            case 'l':
            {
                if (left < 4)
                    return;

                entry.type = typeInt32;
                entry.int32Value = static_cast<int32_t> (static_cast<uint32_t> (readBigEndian (block + position, 4)));
                position += 4;
                break;
            }
            case 's':
            {
                if (left < 2)
                    return;

                entry.type = typeInt16;
                entry.int16Value = static_cast<int16_t> (static_cast<uint16_t> (readBigEndian (block + position, 2)));
                position += 4;
                break;
            }
            case 'r':
            {
                const auto valueLength = left > 0 ? terminatedLength (block + position, left) : -1;

                if (valueLength < 0)
                    return;

                entry.type = typeString;
                entry.stringValue = reinterpret_cast<const char*> (block + position);
                position = roundUpTo4 (position + static_cast<size_t> (valueLength) + 1);
                break;
            }
            default:
                break;
        }

        entries.push_back (std::move (entry));
    }
}

bool AAX_CChunkDataParser::FindDouble (const char* name, double* outValue)
{
    const auto* entry = findEntry (name, typeDouble);

    if (entry == nullptr || outValue == nullptr)
        return false;

    *outValue = entry->doubleValue;
    return true;
}

bool AAX_CChunkDataParser::FindInt32 (const char* name, int32_t* outValue)
{
    const auto* entry = findEntry (name, typeInt32);

    if (entry == nullptr || outValue == nullptr)
        return false;

    *outValue = entry->int32Value;
    return true;
}

bool AAX_CChunkDataParser::FindString (const char* name, AAX_CString* outValue)
{
    const auto* entry = findEntry (name, typeString);

    if (entry == nullptr || outValue == nullptr)
        return false;

    *outValue = entry->stringValue;
    return true;
}

AAX_CChunkDataParser::Entry& AAX_CChunkDataParser::addEntry (const char* name, EntryType type)
{
    auto& entry = entries.emplace_back();
    entry.type = type;
    entry.name = name;
    return entry;
}

const AAX_CChunkDataParser::Entry* AAX_CChunkDataParser::findEntry (const char* name, EntryType type)
{
    const auto index = FindIndex (name);

    if (index < 0 || entries[static_cast<size_t> (index)].type != type)
        return nullptr;

    return &entries[static_cast<size_t> (index)];
}

int32_t AAX_CChunkDataParser::FindIndex (const char* name)
{
    if (name == nullptr)
        return -1;

    const auto count = static_cast<int32_t> (entries.size());
    const auto matches = [this, name] (int32_t i) { return std::strcmp (entries[static_cast<size_t> (i)].name.Get(), name) == 0; };

    if (lastFoundIndex >= count - 1)
        lastFoundIndex = -1;

    for (int32_t i = lastFoundIndex + 1; i < count; ++i)
    {
        if (matches (i))
            return lastFoundIndex = i;
    }

    if (lastFoundIndex == -1)
        return -1;

    for (int32_t i = 0; i <= lastFoundIndex; ++i)
    {
        if (matches (i))
            return lastFoundIndex = i;
    }

    return -1;
}
