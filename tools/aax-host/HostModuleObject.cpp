#include "HostModuleObject.h"

#include "AAX_Identifiers.h"
#include "HostCollection.h"
#include "HostPropertyMap.h"

HostModuleObject::HostModuleObject (std::shared_ptr<HostCallLog> l) : log (std::move (l))
{
}

void* HostModuleObject::findInterface (const acfIID& iid)
{
    if (iid == AAX_IID_ComponentFactory)
        return factoryAvailable ? static_cast<IACFComponentFactory*> (this) : nullptr;

    if (iid == AAX_IID_HostServices)
        return static_cast<AAX_IACFHostServices*> (this);

    return nullptr;
}

ACFRESULT HostModuleObject::CreateComponent (const acfCLSID& classID, IACFUnknown*, const acfIID& iid, void** outInterface)
{
    if (outInterface == nullptr)
        return ACF_E_POINTER;

    *outInterface = nullptr;
    IACFUnknown* unknown = nullptr;
    std::string className = "unknown class";

    if (classID == AAX_CLSID_Collection)
    {
        unknown = (new HostCollection (log))->asUnknown();
        className = "Collection";
    }
    else if (classID == AAX_CLSID_EffectDescriptor)
    {
        unknown = (new HostEffectDescriptor (log))->asUnknown();
        className = "EffectDescriptor";
    }
    else if (classID == AAX_CLSID_ComponentDescriptor)
    {
        unknown = (new HostComponentDescriptor (log))->asUnknown();
        className = "ComponentDescriptor";
    }
    else if (classID == AAX_CLSID_PropertyMap)
    {
        unknown = (new HostPropertyMap (log))->asUnknown();
        className = "PropertyMap";
    }

    log->add ("ComponentFactory.CreateComponent " + className);

    if (unknown == nullptr)
        return ACF_E_NOINTERFACE;

    // The creator's reference is handed over: on success the caller holds the only one.
    const auto result = unknown->QueryInterface (iid, outInterface);
    unknown->Release();
    return result;
}

AAX_Result HostModuleObject::ReportAssertion (const char* file, int32_t line, const char* note)
{
    log->add (std::string ("HostServices.ReportAssertion ") + (file != nullptr ? file : "") + ":"
               + std::to_string (line) + " " + (note != nullptr ? note : ""));
    return AAX_OK;
}

AAX_Result HostModuleObject::Trace (int32_t priority, const char* message)
{
    const std::string text (message != nullptr ? message : "");
    log->add ("HostServices.Trace " + std::to_string (priority) + " " + text);

    const std::lock_guard<std::mutex> guard (traceLock);
    traces.emplace_back (priority, text);
    return AAX_OK;
}

std::vector<std::pair<int32_t, std::string>> HostModuleObject::getTraces() const
{
    const std::lock_guard<std::mutex> guard (traceLock);
    return traces;
}
