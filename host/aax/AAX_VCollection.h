#pragma once

#include "AAX_VEffectDescriptor.h"
#include "AAX_IACFCollection.h"

/** The whole description of the module, as the registration fills it. Effect descriptors and
    property maps made here belong to the collection.
*/
class AAX_ICollection
{
public:
    virtual ~AAX_ICollection() = default;

    virtual AAX_IEffectDescriptor* NewDescriptor() = 0;
    virtual AAX_Result AddEffect (const char* effectID, AAX_IEffectDescriptor* effect) = 0;
    virtual AAX_Result SetManufacturerName (const char* name) = 0;
    virtual AAX_Result AddPackageName (const char* name) = 0;
    virtual AAX_Result SetPackageVersion (uint32_t version) = 0;
    virtual AAX_IPropertyMap* NewPropertyMap() = 0;
    virtual AAX_Result SetProperties (AAX_IPropertyMap* properties) = 0;
};

/** The host's collection, made through the host object's component factory. */
class AAX_VCollection final : public AAX_ICollection
{
public:
    /** Throws an ACFException carrying ACF_E_POINTER when the host object claims a component
        factory but hands out none.
    */
    explicit AAX_VCollection (IACFUnknown* hostObject);

    AAX_IEffectDescriptor* NewDescriptor() override;
    AAX_Result AddEffect (const char* effectID, AAX_IEffectDescriptor* effect) override;
    AAX_Result SetManufacturerName (const char* name) override;
    AAX_Result AddPackageName (const char* name) override;
    AAX_Result SetPackageVersion (uint32_t version) override;
    AAX_IPropertyMap* NewPropertyMap() override;
    AAX_Result SetProperties (AAX_IPropertyMap* properties) override;

    /** The host's collection object, which hands out the finished plug-in definition. */
    IACFUnknown* GetIUnknown() const noexcept    { return collection.get(); }

private:
    ACFPtr<IACFUnknown> hostObject;
    std::vector<std::unique_ptr<AAX_VEffectDescriptor>> effectDescriptors;
    std::vector<std::unique_ptr<AAX_VPropertyMap>> propertyMaps;
    ACFPtr<AAX_IACFCollection> collection;
};
