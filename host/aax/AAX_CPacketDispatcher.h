#pragma once

#include "AAX_CMutex.h"
#include "AAX_CPacketHandler.h"

#include <map>
#include <memory>
#include <string>
#include <utility>

class AAX_IController;
class AAX_IACFEffectParameters;

/** Carries parameter changes to the render callback as packets.

    Each render-context port has one packet; handlers registered per parameter id fill it. A
    change marks the id's packets dirty, and Dispatch (when the host asks for coefficients) fills
    every dirty packet and posts it to the host. A mutex that the owning thread may re-enter guards
    the tables against the host's threads.
*/
class AAX_CPacketDispatcher
{
public:
    AAX_CPacketDispatcher();
    ~AAX_CPacketDispatcher();

    AAX_CPacketDispatcher (const AAX_CPacketDispatcher&) = delete;
    AAX_CPacketDispatcher& operator= (const AAX_CPacketDispatcher&) = delete;

    /** Sets the controller packets are posted to and the effect whose parameters fill them;
        either may be null, and nothing is posted without a controller.
    */
    void Initialize (AAX_IController* controller, AAX_IACFEffectParameters* effectParameters);

    /** Adds a clone of the handler for the id on the field's packet, made (dirty) when new. */
    AAX_Result RegisterPacket (AAX_CParamID id, AAX_CFieldIndex field, const AAX_IPacketHandler& handler);

    AAX_Result SetDirty (AAX_CParamID id);

    /** Fills and posts every dirty packet, in id order, and clears its dirty flag even when its
        handler fails. Answers the last post's result, 0 when nothing was posted, and
        AAX_ERROR_NULL_OBJECT (leaving the packets dirty) without a controller.
    */
    AAX_Result Dispatch();

    /** The standard handler: the parameter's value as a 32-bit 0 or 1 for a switch, its float,
        32-bit integer or double otherwise.
    */
    AAX_Result GenerateSingleValuePacket (AAX_CParamID id, AAX_CPacket& packet);

private:
    std::map<AAX_CFieldIndex, std::unique_ptr<AAX_CPacket>> packets;
    std::multimap<std::string, std::pair<AAX_CPacket*, std::unique_ptr<AAX_IPacketHandler>>> handlers;
    AAX_IController* controller = nullptr;
    AAX_IACFEffectParameters* effectParameters = nullptr;
    std::unique_ptr<AAX_CMutex> mutex;
};
