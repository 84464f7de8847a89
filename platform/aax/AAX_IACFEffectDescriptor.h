#pragma once

#include "AAX_Types.h"

/** The host's description of one effect: its names, category, creation procedures and the
    components (one per channel configuration) it offers.
*/
class AAX_IACFEffectDescriptor : public IACFUnknown
{
public:
    virtual AAX_Result AddComponent (IACFUnknown* componentDescriptor) = 0;
    virtual AAX_Result AddName (const char* name) = 0;
    virtual AAX_Result AddCategory (uint32_t category) = 0;
    virtual AAX_Result SetCategoryBypass (uint32_t category, AAX_CParamID bypassParameter) = 0;
    virtual AAX_Result AddProcPtr (void* procedure, uint32_t procID) = 0;
    virtual AAX_Result SetProperties (IACFUnknown* propertyMap) = 0;
    virtual AAX_Result AddResourcePath (uint32_t resourceType, const char* path) = 0;
    virtual AAX_Result AddMeter (AAX_CTypeID meterID, const char* name, IACFUnknown* propertyMap) = 0;

protected:
    ~AAX_IACFEffectDescriptor() = default;
};

/** Second version: MIDI inputs that are not tied to a render context. */
class AAX_IACFEffectDescriptor_V2 : public AAX_IACFEffectDescriptor
{
public:
    virtual AAX_Result AddControlMidiInput (AAX_CTypeID nodeID, uint32_t nodeType,
                                            const char* name, uint32_t channelMask) = 0;

protected:
    ~AAX_IACFEffectDescriptor_V2() = default;
};
