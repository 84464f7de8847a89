#pragma once

#include "AAX_MIDI.h"

#include <cstddef>
#include <vector>

/** The MIDI node of a render context: the messages of the block being rendered. */
class HostMIDINode final : public AAX_IMIDINode
{
public:
    /** Room for this many messages per block is kept, so that setting them never allocates. */
    explicit HostMIDINode (size_t capacity = 4096)     { packets.reserve (capacity); }

    AAX_MIDIStream* GetNodeBuffer() override
    {
        stream.packetCount = static_cast<uint32_t> (packets.size());
        stream.packets = packets.empty() ? nullptr : packets.data();
        return &stream;
    }

    /** The messages of the next block; those beyond the node's capacity are dropped. */
    void setPackets (const std::vector<AAX_MIDIPacket>& blockPackets)
    {
        packets.clear();

        for (const auto& packet : blockPackets)
            if (packets.size() < packets.capacity())
                packets.push_back (packet);
    }

private:
    std::vector<AAX_MIDIPacket> packets;
    AAX_MIDIStream stream;
};
