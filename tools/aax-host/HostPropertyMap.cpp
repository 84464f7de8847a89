#include "HostPropertyMap.h"

#include "AAX_Identifiers.h"

#include <algorithm>

HostPropertyMap::HostPropertyMap (std::shared_ptr<HostCallLog> l) : log (std::move (l))
{
}

bool HostPropertyMap::readProperties (IACFUnknown* propertyMap, PropertyList& into)
{
    auto* map = findHostObject<HostPropertyMap> (propertyMap, AAX_IID_PropertyMap);

    if (map == nullptr)
        return false;

    into = map->properties;
    return true;
}

void* HostPropertyMap::findInterface (const acfIID& iid)
{
    if (iid == AAX_IID_PropertyMap || iid == AAX_IID_PropertyMapV2)
        return static_cast<AAX_IACFPropertyMap_V2*> (this);

    return nullptr;
}

AAX_CBoolean HostPropertyMap::GetProperty (AAX_EProperty property, AAX_CPropertyValue* outValue) const
{
    AAX_CPropertyValue value = 0;

    if (! findProperty (properties, property, value))
        return 0;

    if (outValue != nullptr)
        *outValue = value;

    return 1;
}

AAX_Result HostPropertyMap::AddProperty (AAX_EProperty property, AAX_CPropertyValue value)
{
    log->add ("PropertyMap.AddProperty " + std::to_string (property) + " " + std::to_string (value));

    const auto existing = std::find_if (properties.begin(), properties.end(),
                                        [property] (const auto& entry) { return entry.first == property; });

    if (existing != properties.end())
        existing->second = value;
    else
        properties.emplace_back (property, value);

    return AAX_OK;
}

AAX_Result HostPropertyMap::RemoveProperty (AAX_EProperty property)
{
    log->add ("PropertyMap.RemoveProperty " + std::to_string (property));
    properties.erase (std::remove_if (properties.begin(), properties.end(),
                                      [property] (const auto& entry) { return entry.first == property; }),
                      properties.end());
    return AAX_OK;
}

AAX_Result HostPropertyMap::GetPropertyCount (uint32_t* outCount) const
{
    if (outCount == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    *outCount = static_cast<uint32_t> (properties.size());
    return AAX_OK;
}

AAX_Result HostPropertyMap::GetPropertyAt (uint32_t index, AAX_EProperty* outProperty, AAX_CPropertyValue* outValue) const
{
    if (outProperty == nullptr || outValue == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    if (index >= properties.size())
        return AAX_ERROR_UNKNOWN_PARAMETER;

    *outProperty = static_cast<AAX_EProperty> (properties[index].first);
    *outValue = properties[index].second;
    return AAX_OK;
}
