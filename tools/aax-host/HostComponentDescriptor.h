#pragma once

#include "AAX_IACFComponentDescriptor.h"
#include "HostCallLog.h"
#include "HostObject.h"
#include "ModuleDescription.h"

#include <memory>

/** A component descriptor of the simulated host: it records the fields of the render context
    and the render procedure, with a copy of the properties its map holds at that moment.
*/
class HostComponentDescriptor final : public HostObject<AAX_IACFComponentDescriptor_V2>
{
public:
    explicit HostComponentDescriptor (std::shared_ptr<HostCallLog> log);

    AAX_Result Clear() override;
    AAX_Result AddReservedField (AAX_CFieldIndex field, uint32_t fieldType) override;
    AAX_Result AddAudioIn (AAX_CFieldIndex field) override;
    AAX_Result AddAudioOut (AAX_CFieldIndex field) override;
    AAX_Result AddAudioBufferLength (AAX_CFieldIndex field) override;
    AAX_Result AddSampleRate (AAX_CFieldIndex field) override;
    AAX_Result AddClock (AAX_CFieldIndex field) override;
    AAX_Result AddSideChainIn (AAX_CFieldIndex field) override;
    AAX_Result AddDataInPort (AAX_CFieldIndex field, uint32_t packetSize, uint32_t portType) override;
    AAX_Result AddAuxOutputStem (AAX_CFieldIndex field, uint32_t stemFormat, const char* name) override;
    AAX_Result AddPrivateData (AAX_CFieldIndex field, int32_t dataSize, uint32_t options) override;
    AAX_Result AddMeters (AAX_CFieldIndex field, const AAX_CTypeID* meterIDs, uint32_t meterCount) override;
    AAX_Result AddMIDINode (AAX_CFieldIndex field, uint32_t nodeType, const char* name, uint32_t channelMask) override;
    AAX_Result AddProcessProc_Native (AAX_RenderProc procedure, IACFUnknown* propertyMap,
                                      AAX_InstanceInitProc instanceInit, AAX_BackgroundProc background,
                                      uint32_t* outProcID) override;
    AAX_Result AddProcessProcByName (const char* libraryName, const char* procedureName, IACFUnknown* propertyMap) override;
    AAX_Result AddDirectMemoryField (AAX_CFieldIndex field, uint32_t mode) override;
    AAX_Result AddScratchData (AAX_CFieldIndex field, uint32_t dataSize) override;

    const ComponentDescription& getDescription() const noexcept    { return description; }

private:
    void* findInterface (const acfIID& iid) override;
    AAX_Result addField (const char* call, FieldDescription field);

    std::shared_ptr<HostCallLog> log;
    ComponentDescription description;
    uint32_t nextProcedureID = 1;
};
