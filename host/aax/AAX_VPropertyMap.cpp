#include "AAX_VPropertyMap.h"

AAX_VPropertyMap::AAX_VPropertyMap (IACFUnknown* host)
    : hostObject (ACFPtr<IACFUnknown>::share (host)),
      map (ACFPtr<AAX_IACFPropertyMap>::create (host, AAX_CLSID_PropertyMap, AAX_IID_PropertyMap)),
      mapV2 (ACFPtr<AAX_IACFPropertyMap_V2>::query (map.get(), AAX_IID_PropertyMapV2))
{
}

AAX_CBoolean AAX_VPropertyMap::GetProperty (AAX_EProperty property, AAX_CPropertyValue* outValue) const
{
    return map ? map->GetProperty (property, outValue) : AAX_CBoolean (0);
}

AAX_Result AAX_VPropertyMap::AddProperty (AAX_EProperty property, AAX_CPropertyValue value)
{
    return map ? map->AddProperty (property, value) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VPropertyMap::RemoveProperty (AAX_EProperty property)
{
    return map ? map->RemoveProperty (property) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VPropertyMap::GetPropertyCount (uint32_t* outCount) const
{
    return mapV2 ? mapV2->GetPropertyCount (outCount) : AAX_ERROR_NOT_IMPLEMENTED;
}

AAX_Result AAX_VPropertyMap::GetPropertyAt (uint32_t index, AAX_EProperty* outProperty, AAX_CPropertyValue* outValue) const
{
    return mapV2 ? mapV2->GetPropertyAt (index, outProperty, outValue) : AAX_ERROR_NOT_IMPLEMENTED;
}

IACFUnknown* AAX_VPropertyMap::HostObjectOf (const AAX_IPropertyMap* propertyMap)
{
    auto* ours = dynamic_cast<const AAX_VPropertyMap*> (propertyMap);
    return ours != nullptr ? ours->GetIUnknown() : nullptr;
}
