// The control-state chunk's data block, as the host hands it back.

#include "AAX_CChunkDataParser.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size > (size_t) std::numeric_limits<int32_t>::max() - sizeof (AAX_ChunkRecord))
        return 0;

    // The record and its block in one allocation of exactly their size, as a host gives them.
    std::unique_ptr<uint8_t[]> storage (new uint8_t[sizeof (AAX_ChunkRecord) + size]);
    auto* record = new (storage.get()) AAX_ChunkRecord();
    record->dataSize = (int32_t) size;

    if (size > 0)
        std::memcpy (record->data(), data, size);

    AAX_CChunkDataParser parser;
    parser.LoadChunk (*record);

    double doubleValue = 0.0;
    int32_t intValue = 0;
    parser.FindDouble ("FX Amount", &doubleValue);
    parser.FindInt32 ("MasterBypassID", &intValue);
    return 0;
}
