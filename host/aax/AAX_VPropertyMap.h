#pragma once

#include "ACFPtr.h"
#include "AAX_IACFPropertyMap.h"

/** A map of 32-bit properties of a description, as the module fills it. */
class AAX_IPropertyMap
{
public:
    virtual ~AAX_IPropertyMap() = default;

    virtual AAX_CBoolean GetProperty (AAX_EProperty property, AAX_CPropertyValue* outValue) const = 0;
    virtual AAX_Result AddProperty (AAX_EProperty property, AAX_CPropertyValue value) = 0;
    virtual AAX_Result RemoveProperty (AAX_EProperty property) = 0;
    virtual AAX_Result GetPropertyCount (uint32_t* outCount) const = 0;
    virtual AAX_Result GetPropertyAt (uint32_t index, AAX_EProperty* outProperty, AAX_CPropertyValue* outValue) const = 0;
};

/** A property map the host's component factory makes, in its first and second version. */
class AAX_VPropertyMap final : public AAX_IPropertyMap
{
public:
    explicit AAX_VPropertyMap (IACFUnknown* hostObject);

    AAX_CBoolean GetProperty (AAX_EProperty property, AAX_CPropertyValue* outValue) const override;
    AAX_Result AddProperty (AAX_EProperty property, AAX_CPropertyValue value) override;
    AAX_Result RemoveProperty (AAX_EProperty property) override;
    AAX_Result GetPropertyCount (uint32_t* outCount) const override;
    AAX_Result GetPropertyAt (uint32_t index, AAX_EProperty* outProperty, AAX_CPropertyValue* outValue) const override;

    /** The host's own object, which the host receives wherever a map is passed to it. */
    IACFUnknown* GetIUnknown() const noexcept    { return map.get(); }

    /** The host's object of a map made by this module; null for null or a foreign map. */
    static IACFUnknown* HostObjectOf (const AAX_IPropertyMap* propertyMap);

private:
    ACFPtr<IACFUnknown> hostObject;
    ACFPtr<AAX_IACFPropertyMap> map;
    ACFPtr<AAX_IACFPropertyMap_V2> mapV2;
};
