#pragma once

#include "AAX_Types.h"

/** The host's description of one processing component: the fields of its render context, in
    field-index order, and its render procedure with the component's properties.
*/
class AAX_IACFComponentDescriptor : public IACFUnknown
{
public:
    virtual AAX_Result Clear() = 0;
    virtual AAX_Result AddReservedField (AAX_CFieldIndex field, uint32_t fieldType) = 0;
    virtual AAX_Result AddAudioIn (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddAudioOut (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddAudioBufferLength (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddSampleRate (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddClock (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddSideChainIn (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddDataInPort (AAX_CFieldIndex field, uint32_t packetSize, uint32_t portType) = 0;
    virtual AAX_Result AddAuxOutputStem (AAX_CFieldIndex field, uint32_t stemFormat, const char* name) = 0;
    virtual AAX_Result AddPrivateData (AAX_CFieldIndex field, int32_t dataSize, uint32_t options) = 0;
    virtual AAX_Result AddMeters (AAX_CFieldIndex field, const AAX_CTypeID* meterIDs, uint32_t meterCount) = 0;
    virtual AAX_Result AddMIDINode (AAX_CFieldIndex field, uint32_t nodeType, const char* name, uint32_t channelMask) = 0;
    virtual AAX_Result AddProcessProc_Native (AAX_RenderProc procedure, IACFUnknown* propertyMap,
                                              AAX_InstanceInitProc instanceInit,
                                              AAX_BackgroundProc background,
                                              uint32_t* outProcID) = 0;
    virtual AAX_Result AddProcessProcByName (const char* libraryName, const char* procedureName,
                                             IACFUnknown* propertyMap) = 0;
    virtual AAX_Result AddDirectMemoryField (AAX_CFieldIndex field, uint32_t mode) = 0;

protected:
    ~AAX_IACFComponentDescriptor() = default;
};

/** Second version: per-render scratch memory. */
class AAX_IACFComponentDescriptor_V2 : public AAX_IACFComponentDescriptor
{
public:
    virtual AAX_Result AddScratchData (AAX_CFieldIndex field, uint32_t dataSize) = 0;

protected:
    ~AAX_IACFComponentDescriptor_V2() = default;
};
