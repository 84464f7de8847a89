#include "AAX_VEffectDescriptor.h"

AAX_VEffectDescriptor::AAX_VEffectDescriptor (IACFUnknown* host)
    : hostObject (ACFPtr<IACFUnknown>::share (host)),
      descriptor (ACFPtr<AAX_IACFEffectDescriptor>::create (host, AAX_CLSID_EffectDescriptor, AAX_IID_EffectDescriptor)),
      descriptorV2 (ACFPtr<AAX_IACFEffectDescriptor_V2>::query (descriptor.get(), AAX_IID_EffectDescriptorV2))
{
}

AAX_IComponentDescriptor* AAX_VEffectDescriptor::NewComponentDescriptor()
{
    componentDescriptors.push_back (std::make_unique<AAX_VComponentDescriptor> (hostObject.get()));
    return componentDescriptors.back().get();
}

AAX_Result AAX_VEffectDescriptor::AddComponent (AAX_IComponentDescriptor* component)
{
    auto* ours = dynamic_cast<AAX_VComponentDescriptor*> (component);
    return descriptor ? descriptor->AddComponent (ours != nullptr ? ours->GetIUnknown() : nullptr)
                      : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VEffectDescriptor::AddName (const char* name)
{
    return descriptor ? descriptor->AddName (name) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VEffectDescriptor::AddCategory (uint32_t category)
{
    return descriptor ? descriptor->AddCategory (category) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VEffectDescriptor::SetCategoryBypass (uint32_t category, AAX_CParamID bypassParameter)
{
    return descriptor ? descriptor->SetCategoryBypass (category, bypassParameter) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VEffectDescriptor::AddProcPtr (void* procedure, uint32_t procID)
{
    return descriptor ? descriptor->AddProcPtr (procedure, procID) : AAX_ERROR_NULL_OBJECT;
}

AAX_IPropertyMap* AAX_VEffectDescriptor::NewPropertyMap()
{
    propertyMaps.push_back (std::make_unique<AAX_VPropertyMap> (hostObject.get()));
    return propertyMaps.back().get();
}

AAX_Result AAX_VEffectDescriptor::SetProperties (AAX_IPropertyMap* properties)
{
    return descriptor ? descriptor->SetProperties (AAX_VPropertyMap::HostObjectOf (properties)) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VEffectDescriptor::AddResourcePath (uint32_t resourceType, const char* path)
{
    return descriptor ? descriptor->AddResourcePath (resourceType, path) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VEffectDescriptor::AddMeter (AAX_CTypeID meterID, const char* name, AAX_IPropertyMap* properties)
{
    return descriptor ? descriptor->AddMeter (meterID, name, AAX_VPropertyMap::HostObjectOf (properties))
                      : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VEffectDescriptor::AddControlMidiInput (AAX_CTypeID nodeID, uint32_t nodeType, const char* name, uint32_t channelMask)
{
    return descriptorV2 ? descriptorV2->AddControlMidiInput (nodeID, nodeType, name, channelMask)
                        : AAX_ERROR_NOT_IMPLEMENTED;
}
