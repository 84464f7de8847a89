#pragma once

#include "AAX_Types.h"

#include <cstring>
#include <vector>

/** The data of one render-context port, filled by a packet handler and posted to the host. */
class AAX_CPacket
{
public:
    explicit AAX_CPacket (AAX_CFieldIndex field) : fieldIndex (field) {}

    AAX_CFieldIndex GetID() const noexcept      { return fieldIndex; }
    bool IsDirty() const noexcept               { return dirty; }
    void SetDirty (bool isDirty) noexcept       { dirty = isDirty; }
    uint32_t GetSize() const noexcept           { return dataSize; }
    const void* GetData() const noexcept        { return data.data(); }

    /** Replaces the data by the value's bytes in the machine's own order; the buffer grows as needed. */
    template <typename Value>
    void Set (const Value& value)
    {
        if (data.size() < sizeof (Value))
            data.resize (sizeof (Value));

        std::memcpy (data.data(), &value, sizeof (Value));
        dataSize = sizeof (Value);
    }

private:
    AAX_CFieldIndex fieldIndex;
    bool dirty = true;
    uint32_t dataSize = 0;
    std::vector<uint8_t> data = std::vector<uint8_t> (8, 0);
};
