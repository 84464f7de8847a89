#pragma once

#include "AAX_Types.h"

#include <cstddef>
#include <cstring>

/** The 56-byte header of a state chunk as the host hands it in and out; the data block of
    dataSize bytes follows it directly in the same allocation. Header fields are in the machine's
    own byte order.
*/
struct AAX_ChunkRecord
{
    int32_t dataSize;         ///< bytes of the data block after the header
    int32_t version;
    uint32_t hostFields[3];   ///< the host's own; the module neither reads nor writes them
    AAX_CTypeID chunkID;
    char name[32];            ///< NUL-padded

    /** Names the chunk, cut to fit, the rest of the field NUL-padded. */
    void setName (const char* text) noexcept
    {
        std::strncpy (name, text, sizeof (name) - 1);
        name[sizeof (name) - 1] = 0;
    }

    uint8_t* data() noexcept { return reinterpret_cast<uint8_t*> (this) + sizeof (AAX_ChunkRecord); }
    const uint8_t* data() const noexcept { return reinterpret_cast<const uint8_t*> (this) + sizeof (AAX_ChunkRecord); }
};

static_assert (sizeof (AAX_ChunkRecord) == 56, "the chunk header must be exactly 56 bytes");
static_assert (offsetof (AAX_ChunkRecord, chunkID) == 20, "the chunk id lies at offset 20");
