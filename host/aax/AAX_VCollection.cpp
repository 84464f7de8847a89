#include "AAX_VCollection.h"

#include "ACFException.h"

static ACFPtr<AAX_IACFCollection> makeCollection (IACFUnknown* host)
{
    ACFPtr<AAX_IACFCollection> result;

    if (host == nullptr)
        return result;

    void* found = nullptr;

    if (host->QueryInterface (AAX_IID_ComponentFactory, &found) != ACF_OK)
        return result;

    if (found == nullptr)
        throw ACFException (ACF_E_POINTER);

    auto factory = ACFPtr<IACFComponentFactory>::adopt (static_cast<IACFComponentFactory*> (found));
    void* made = nullptr;

    if (factory->CreateComponent (AAX_CLSID_Collection, nullptr, AAX_IID_Collection, &made) == ACF_OK)
        result = ACFPtr<AAX_IACFCollection>::adopt (static_cast<AAX_IACFCollection*> (made));

    return result;
}

AAX_VCollection::AAX_VCollection (IACFUnknown* host)
    : hostObject (ACFPtr<IACFUnknown>::share (host)),
      collection (makeCollection (host))
{
}

AAX_IEffectDescriptor* AAX_VCollection::NewDescriptor()
{
    effectDescriptors.push_back (std::make_unique<AAX_VEffectDescriptor> (hostObject.get()));
    return effectDescriptors.back().get();
}

AAX_Result AAX_VCollection::AddEffect (const char* effectID, AAX_IEffectDescriptor* effect)
{
    auto* ours = dynamic_cast<AAX_VEffectDescriptor*> (effect);

    if (! collection || ours == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    return collection->AddEffect (effectID, ours->GetIUnknown());
}

AAX_Result AAX_VCollection::SetManufacturerName (const char* name)
{
    return collection ? collection->SetManufacturerName (name) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VCollection::AddPackageName (const char* name)
{
    return collection ? collection->AddPackageName (name) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VCollection::SetPackageVersion (uint32_t version)
{
    return collection ? collection->SetPackageVersion (version) : AAX_ERROR_NULL_OBJECT;
}

AAX_IPropertyMap* AAX_VCollection::NewPropertyMap()
{
    propertyMaps.push_back (std::make_unique<AAX_VPropertyMap> (hostObject.get()));
    return propertyMaps.back().get();
}

AAX_Result AAX_VCollection::SetProperties (AAX_IPropertyMap* properties)
{
    return collection ? collection->SetProperties (AAX_VPropertyMap::HostObjectOf (properties)) : AAX_ERROR_NULL_OBJECT;
}
