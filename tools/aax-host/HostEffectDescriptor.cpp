#include "HostEffectDescriptor.h"

#include "AAX_Identifiers.h"
#include "HostPropertyMap.h"

HostEffectDescriptor::HostEffectDescriptor (std::shared_ptr<HostCallLog> l) : log (std::move (l))
{
}

HostEffectDescriptor::~HostEffectDescriptor()
{
    for (auto* component : components)
        component->Release();
}

void* HostEffectDescriptor::findInterface (const acfIID& iid)
{
    if (iid == AAX_IID_EffectDescriptor || iid == AAX_IID_EffectDescriptorV2)
        return static_cast<AAX_IACFEffectDescriptor_V2*> (this);

    return nullptr;
}

AAX_Result HostEffectDescriptor::AddComponent (IACFUnknown* componentDescriptor)
{
    log->add ("EffectDescriptor.AddComponent");
    auto* component = findHostObject<HostComponentDescriptor> (componentDescriptor, AAX_IID_ComponentDescriptor);

    if (component == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    component->AddRef();
    components.push_back (component);
    return AAX_OK;
}

AAX_Result HostEffectDescriptor::AddName (const char* name)
{
    log->add (std::string ("EffectDescriptor.AddName ") + (name != nullptr ? name : ""));

    if (name == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    description.names.emplace_back (name);
    return AAX_OK;
}

AAX_Result HostEffectDescriptor::AddCategory (uint32_t category)
{
    log->add ("EffectDescriptor.AddCategory " + std::to_string (category));
    description.categories.push_back (category);
    return AAX_OK;
}

AAX_Result HostEffectDescriptor::SetCategoryBypass (uint32_t category, AAX_CParamID bypassParameter)
{
    log->add ("EffectDescriptor.SetCategoryBypass " + std::to_string (category) + " "
               + (bypassParameter != nullptr ? bypassParameter : ""));
    return AAX_OK;
}

AAX_Result HostEffectDescriptor::AddProcPtr (void* procedure, uint32_t procID)
{
    log->add ("EffectDescriptor.AddProcPtr " + std::to_string (procID));

    if (procedure == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    description.procedures.emplace_back (procedure, procID);
    return AAX_OK;
}

AAX_Result HostEffectDescriptor::SetProperties (IACFUnknown* propertyMap)
{
    log->add ("EffectDescriptor.SetProperties");
    return HostPropertyMap::readProperties (propertyMap, description.properties) ? AAX_OK : AAX_ERROR_NULL_OBJECT;
}

AAX_Result HostEffectDescriptor::AddResourcePath (uint32_t resourceType, const char* path)
{
    log->add ("EffectDescriptor.AddResourcePath " + std::to_string (resourceType) + " " + (path != nullptr ? path : ""));
    return AAX_OK;
}

AAX_Result HostEffectDescriptor::AddMeter (AAX_CTypeID meterID, const char* name, IACFUnknown*)
{
    log->add ("EffectDescriptor.AddMeter " + std::to_string (meterID) + " " + (name != nullptr ? name : ""));
    return AAX_OK;
}

AAX_Result HostEffectDescriptor::AddControlMidiInput (AAX_CTypeID nodeID, uint32_t nodeType, const char* name, uint32_t)
{
    log->add ("EffectDescriptor.AddControlMidiInput " + std::to_string (nodeID) + " " + std::to_string (nodeType)
               + " " + (name != nullptr ? name : ""));
    return AAX_OK;
}

EffectDescription HostEffectDescriptor::getDescription (const std::string& identifier) const
{
    auto result = description;
    result.identifier = identifier;

    for (auto* component : components)
        result.components.push_back (component->getDescription());

    return result;
}
