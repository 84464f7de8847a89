#pragma once

#include "AAX_VPropertyMap.h"
#include "AAX_IACFComponentDescriptor.h"

#include <memory>
#include <vector>

/** The description of one processing component, as the effect's description fills it. Property
    maps made here belong to the descriptor.
*/
class AAX_IComponentDescriptor
{
public:
    virtual ~AAX_IComponentDescriptor() = default;

    virtual AAX_Result Clear() = 0;
    virtual AAX_Result AddAudioIn (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddAudioOut (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddAudioBufferLength (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddSampleRate (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddClock (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddSideChainIn (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddDataInPort (AAX_CFieldIndex field, uint32_t packetSize, uint32_t portType) = 0;
    virtual AAX_Result AddAuxOutputStem (AAX_CFieldIndex field, uint32_t stemFormat, const char* name) = 0;
    virtual AAX_Result AddPrivateData (AAX_CFieldIndex field, int32_t dataSize, uint32_t options) = 0;
    virtual AAX_Result AddScratchData (AAX_CFieldIndex field, uint32_t dataSize) = 0;
    virtual AAX_Result AddMeters (AAX_CFieldIndex field, const AAX_CTypeID* meterIDs, uint32_t meterCount) = 0;
    virtual AAX_Result AddDirectMemoryField (AAX_CFieldIndex field, uint32_t mode) = 0;
    virtual AAX_Result AddMIDINode (AAX_CFieldIndex field, uint32_t nodeType, const char* name, uint32_t channelMask) = 0;
    virtual AAX_Result AddReservedField (AAX_CFieldIndex field, uint32_t fieldType) = 0;
    virtual AAX_IPropertyMap* NewPropertyMap() = 0;

    /** A new map holding every property of the given one. */
    virtual AAX_IPropertyMap* DuplicatePropertyMap (const AAX_IPropertyMap& source) = 0;

    virtual AAX_Result AddProcessProc_Native (AAX_RenderProc procedure, const AAX_IPropertyMap* properties,
                                              AAX_InstanceInitProc instanceInit, AAX_BackgroundProc background,
                                              uint32_t* outProcID) = 0;
    virtual AAX_Result AddProcessProcByName (const char* libraryName, const char* procedureName,
                                             const AAX_IPropertyMap* properties) = 0;
};

/** A component descriptor the host's component factory makes, in its first and second version. */
class AAX_VComponentDescriptor final : public AAX_IComponentDescriptor
{
public:
    explicit AAX_VComponentDescriptor (IACFUnknown* hostObject);

    AAX_Result Clear() override;
    AAX_Result AddAudioIn (AAX_CFieldIndex field) override;
    AAX_Result AddAudioOut (AAX_CFieldIndex field) override;
    AAX_Result AddAudioBufferLength (AAX_CFieldIndex field) override;
    AAX_Result AddSampleRate (AAX_CFieldIndex field) override;
    AAX_Result AddClock (AAX_CFieldIndex field) override;
    AAX_Result AddSideChainIn (AAX_CFieldIndex field) override;
    AAX_Result AddDataInPort (AAX_CFieldIndex field, uint32_t packetSize, uint32_t portType) override;
    AAX_Result AddAuxOutputStem (AAX_CFieldIndex field, uint32_t stemFormat, const char* name) override;
    AAX_Result AddPrivateData (AAX_CFieldIndex field, int32_t dataSize, uint32_t options) override;
    AAX_Result AddScratchData (AAX_CFieldIndex field, uint32_t dataSize) override;
    AAX_Result AddMeters (AAX_CFieldIndex field, const AAX_CTypeID* meterIDs, uint32_t meterCount) override;
    AAX_Result AddDirectMemoryField (AAX_CFieldIndex field, uint32_t mode) override;
    AAX_Result AddMIDINode (AAX_CFieldIndex field, uint32_t nodeType, const char* name, uint32_t channelMask) override;
    AAX_Result AddReservedField (AAX_CFieldIndex field, uint32_t fieldType) override;
    AAX_IPropertyMap* NewPropertyMap() override;
    AAX_IPropertyMap* DuplicatePropertyMap (const AAX_IPropertyMap& source) override;
    AAX_Result AddProcessProc_Native (AAX_RenderProc procedure, const AAX_IPropertyMap* properties,
                                      AAX_InstanceInitProc instanceInit, AAX_BackgroundProc background,
                                      uint32_t* outProcID) override;
    AAX_Result AddProcessProcByName (const char* libraryName, const char* procedureName,
                                     const AAX_IPropertyMap* properties) override;

    IACFUnknown* GetIUnknown() const noexcept    { return descriptor.get(); }

private:
    ACFPtr<IACFUnknown> hostObject;
    std::vector<std::unique_ptr<AAX_VPropertyMap>> propertyMaps;
    ACFPtr<AAX_IACFComponentDescriptor> descriptor;
    ACFPtr<AAX_IACFComponentDescriptor_V2> descriptorV2;
};
