#pragma once

#include "AAX_VComponentDescriptor.h"
#include "AAX_IACFEffectDescriptor.h"

/** The description of one effect, as the module fills it. Component descriptors and property
    maps made here belong to the effect descriptor.
*/
class AAX_IEffectDescriptor
{
public:
    virtual ~AAX_IEffectDescriptor() = default;

    virtual AAX_IComponentDescriptor* NewComponentDescriptor() = 0;
    virtual AAX_Result AddComponent (AAX_IComponentDescriptor* component) = 0;
    virtual AAX_Result AddName (const char* name) = 0;
    virtual AAX_Result AddCategory (uint32_t category) = 0;
    virtual AAX_Result SetCategoryBypass (uint32_t category, AAX_CParamID bypassParameter) = 0;
    virtual AAX_Result AddProcPtr (void* procedure, uint32_t procID) = 0;
    virtual AAX_IPropertyMap* NewPropertyMap() = 0;
    virtual AAX_Result SetProperties (AAX_IPropertyMap* properties) = 0;
    virtual AAX_Result AddResourcePath (uint32_t resourceType, const char* path) = 0;
    virtual AAX_Result AddMeter (AAX_CTypeID meterID, const char* name, AAX_IPropertyMap* properties) = 0;
    virtual AAX_Result AddControlMidiInput (AAX_CTypeID nodeID, uint32_t nodeType, const char* name, uint32_t channelMask) = 0;
};

/** An effect descriptor the host's component factory makes, in its first and second version. */
class AAX_VEffectDescriptor final : public AAX_IEffectDescriptor
{
public:
    explicit AAX_VEffectDescriptor (IACFUnknown* hostObject);

    AAX_IComponentDescriptor* NewComponentDescriptor() override;
    AAX_Result AddComponent (AAX_IComponentDescriptor* component) override;
    AAX_Result AddName (const char* name) override;
    AAX_Result AddCategory (uint32_t category) override;
    AAX_Result SetCategoryBypass (uint32_t category, AAX_CParamID bypassParameter) override;
    AAX_Result AddProcPtr (void* procedure, uint32_t procID) override;
    AAX_IPropertyMap* NewPropertyMap() override;
    AAX_Result SetProperties (AAX_IPropertyMap* properties) override;
    AAX_Result AddResourcePath (uint32_t resourceType, const char* path) override;
    AAX_Result AddMeter (AAX_CTypeID meterID, const char* name, AAX_IPropertyMap* properties) override;
    AAX_Result AddControlMidiInput (AAX_CTypeID nodeID, uint32_t nodeType, const char* name, uint32_t channelMask) override;

    IACFUnknown* GetIUnknown() const noexcept    { return descriptor.get(); }

private:
    ACFPtr<IACFUnknown> hostObject;
    std::vector<std::unique_ptr<AAX_VComponentDescriptor>> componentDescriptors;
    std::vector<std::unique_ptr<AAX_VPropertyMap>> propertyMaps;
    ACFPtr<AAX_IACFEffectDescriptor> descriptor;
    ACFPtr<AAX_IACFEffectDescriptor_V2> descriptorV2;
};
