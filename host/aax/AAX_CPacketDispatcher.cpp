#include "AAX_CPacketDispatcher.h"

#include "AAX_IACFEffectParameters.h"
#include "AAX_IParameter.h"
#include "AAX_VController.h"

AAX_CPacketDispatcher::AAX_CPacketDispatcher()
    : mutex (std::make_unique<AAX_CMutex>())
{
    if (! mutex->IsValid())
        mutex.reset();
}

AAX_CPacketDispatcher::~AAX_CPacketDispatcher()
{
    {
        const AAX_CMutex::ScopedLock lock (mutex.get());
        handlers.clear();
        packets.clear();
    }

    mutex.reset();
}

void AAX_CPacketDispatcher::Initialize (AAX_IController* c, AAX_IACFEffectParameters* e)
{
    const AAX_CMutex::ScopedLock lock (mutex.get());
    controller = c;
    effectParameters = e;
}

AAX_Result AAX_CPacketDispatcher::RegisterPacket (AAX_CParamID id, AAX_CFieldIndex field, const AAX_IPacketHandler& handler)
{
    if (id == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const AAX_CMutex::ScopedLock lock (mutex.get());
    auto& packet = packets[field];

    if (packet == nullptr)
        packet = std::make_unique<AAX_CPacket> (field);

    handlers.emplace (id, std::make_pair (packet.get(), handler.Clone()));
    return AAX_OK;
}

AAX_Result AAX_CPacketDispatcher::SetDirty (AAX_CParamID id)
{
    if (id == nullptr)
        return AAX_OK;

    const AAX_CMutex::ScopedLock lock (mutex.get());
    const auto range = handlers.equal_range (id);

    for (auto entry = range.first; entry != range.second; ++entry)
        entry->second.first->SetDirty (true);

    return AAX_OK;
}

AAX_Result AAX_CPacketDispatcher::Dispatch()
{
    const AAX_CMutex::ScopedLock lock (mutex.get());

    if (controller == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    AAX_Result result = AAX_OK;

    for (auto& [id, entry] : handlers)
    {
        auto& packet = *entry.first;

        if (! packet.IsDirty())
            continue;

        if (entry.second->Call (id.c_str(), packet) == AAX_OK)
            result = controller->PostPacket (packet.GetID(), packet.GetData(), packet.GetSize());

        packet.SetDirty (false);
    }

    return result;
}

AAX_Result AAX_CPacketDispatcher::GenerateSingleValuePacket (AAX_CParamID id, AAX_CPacket& packet)
{
    AAX_IParameter* parameter = nullptr;

    if (effectParameters == nullptr
         || effectParameters->GetParameter (id, &parameter) != AAX_OK
         || parameter == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    bool boolValue = false;
    float floatValue = 0.0f;
    int32_t intValue = 0;
    double doubleValue = 0.0;

    if (parameter->GetValueAsBool (&boolValue))
        packet.Set (static_cast<int32_t> (boolValue ? 1 : 0));
    else if (parameter->GetValueAsFloat (&floatValue))
        packet.Set (floatValue);
    else if (parameter->GetValueAsInt32 (&intValue))
        packet.Set (intValue);
    else if (parameter->GetValueAsDouble (&doubleValue))
        packet.Set (doubleValue);
    else
        return AAX_ERROR_NULL_OBJECT;

    return AAX_OK;
}
