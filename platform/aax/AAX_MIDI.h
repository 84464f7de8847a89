#pragma once

#include "AAX_Types.h"

/** One MIDI message of a render block. */
struct AAX_MIDIPacket
{
    uint32_t timestamp = 0;       ///< sample offset within the block
    uint32_t length = 0;          ///< bytes used in data (1 to 4)
    uint8_t data[4] {};
    AAX_CBoolean isImmediate = 0;
};

/** The messages a MIDI node received for the current block, in time order. */
struct AAX_MIDIStream
{
    uint32_t packetCount = 0;
    AAX_MIDIPacket* packets = nullptr;
};

/** A MIDI node of a render context, valid for the duration of one render call. */
class AAX_IMIDINode
{
public:
    virtual AAX_MIDIStream* GetNodeBuffer() = 0;

protected:
    ~AAX_IMIDINode() = default;
};
