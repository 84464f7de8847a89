#pragma once

#include "AAX_ChunkRecord.h"
#include "AAX_CString.h"

#include <vector>

/** The content of the control-state chunk: a list of typed, named values, written into a
    self-describing block whose values are big-endian on every machine, and read back from one.

    The block is a 4-byte marker, then per entry a two-letter tag, the NUL-terminated name padded
    to a multiple of 4, and the value (a string padded the same way). The record's data size ends
    the list.
*/
class AAX_CChunkDataParser
{
public:
    enum EntryType : int32_t
    {
        typeUnknown = 0,
        typeFloat = 1,
        typeInt32 = 2,
        typeDouble = 3,
        typeInt16 = 4,
        typeString = 5
    };

    struct Entry
    {
        EntryType type = typeUnknown;
        AAX_CString name;
        union
        {
            float floatValue;
            int32_t int32Value;
            double doubleValue;
            int16_t int16Value;
        };
        AAX_CString stringValue;

        Entry() : doubleValue (0.0) {}
    };

    AAX_CChunkDataParser() = default;
    virtual ~AAX_CChunkDataParser() = default;

    void AddFloat (const char* name, float value);
    void AddInt32 (const char* name, int32_t value);
    void AddDouble (const char* name, double value);
    void AddInt16 (const char* name, int16_t value);
    void AddString (const char* name, const char* value);

    /** Empties the list and resets the lookup cursor. */
    void Clear();

    int32_t GetChunkVersion() const noexcept           { return chunkVersion; }
    void SetChunkVersion (int32_t version) noexcept    { chunkVersion = version; }

    /** The bytes of the data block; -1 when the list would not fit a 32-bit size. */
    int32_t GetChunkDataSize() const;

    /** Writes the size into the record and the block after it, which must have room for
        GetChunkDataSize bytes. Answers 0, or AAX_ERROR_CHUNK_WRITE (traced to the host when an
        entry would overflow the block).
    */
    AAX_Result GetChunkData (AAX_ChunkRecord& record) const;

    /** Replaces the list by the record's entries. Every read stays within the record's data size:
        reading stops at the first entry that does not fit, keeping the entries before it.
    */
    void LoadChunk (const AAX_ChunkRecord& record);

    bool FindDouble (const char* name, double* outValue);
    bool FindInt32 (const char* name, int32_t* outValue);
    bool FindString (const char* name, AAX_CString* outValue);

    /** The index of the entry with that name, or -1. Searching starts after the last entry found
        and wraps round, so names asked for in stored order cost one comparison each.
    */
    int32_t FindIndex (const char* name);

    const std::vector<Entry>& GetEntries() const noexcept    { return entries; }

private:
    Entry& addEntry (const char* name, EntryType type);

    /** The entry of that name found by FindIndex, or null when there is none or it holds
        another type.
    */
    const Entry* findEntry (const char* name, EntryType type);

    int32_t lastFoundIndex = -1;
    int32_t chunkVersion = -1;
    std::vector<Entry> entries;
};
