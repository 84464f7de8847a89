#pragma once

#include "AAX_CPacket.h"

#include <memory>

/** Fills a packet from a parameter when the dispatcher finds the packet dirty. */
class AAX_IPacketHandler
{
public:
    virtual ~AAX_IPacketHandler() = default;

    virtual std::unique_ptr<AAX_IPacketHandler> Clone() const = 0;
    virtual AAX_Result Call (AAX_CParamID id, AAX_CPacket& packet) const = 0;
};

/** A handler that calls a member of its owner, or else a plain function given the owner. */
template <typename Owner>
class AAX_CPacketHandler final : public AAX_IPacketHandler
{
public:
    using PlainCallback = AAX_Result (*) (Owner&, AAX_CPacket&);
    using MemberCallback = AAX_Result (Owner::*) (AAX_CParamID, AAX_CPacket&);

    AAX_CPacketHandler (Owner* o, MemberCallback callback) : owner (o), memberCallback (callback) {}
    AAX_CPacketHandler (Owner* o, PlainCallback callback) : owner (o), plainCallback (callback) {}

    std::unique_ptr<AAX_IPacketHandler> Clone() const override
    {
        return std::make_unique<AAX_CPacketHandler> (*this);
    }

    /** The callback's result; AAX_ERROR_NULL_OBJECT without an owner or a callback. */
    AAX_Result Call (AAX_CParamID id, AAX_CPacket& packet) const override
    {
        if (owner != nullptr && memberCallback != nullptr)
            return (owner->*memberCallback) (id, packet);

        if (owner != nullptr && plainCallback != nullptr)
            return plainCallback (*owner, packet);

        return AAX_ERROR_NULL_OBJECT;
    }

private:
    Owner* owner;
    PlainCallback plainCallback = nullptr;
    MemberCallback memberCallback = nullptr;
};
