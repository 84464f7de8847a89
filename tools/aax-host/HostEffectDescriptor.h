#pragma once

#include "AAX_IACFEffectDescriptor.h"
#include "HostCallLog.h"
#include "HostComponentDescriptor.h"

#include <memory>
#include <vector>

/** An effect descriptor of the simulated host: names, categories, creation procedures and the
    components added to it (each kept with a reference until the descriptor goes).
*/
class HostEffectDescriptor final : public HostObject<AAX_IACFEffectDescriptor_V2>
{
public:
    explicit HostEffectDescriptor (std::shared_ptr<HostCallLog> log);
    ~HostEffectDescriptor() override;

    AAX_Result AddComponent (IACFUnknown* componentDescriptor) override;
    AAX_Result AddName (const char* name) override;
    AAX_Result AddCategory (uint32_t category) override;
    AAX_Result SetCategoryBypass (uint32_t category, AAX_CParamID bypassParameter) override;
    AAX_Result AddProcPtr (void* procedure, uint32_t procID) override;
    AAX_Result SetProperties (IACFUnknown* propertyMap) override;
    AAX_Result AddResourcePath (uint32_t resourceType, const char* path) override;
    AAX_Result AddMeter (AAX_CTypeID meterID, const char* name, IACFUnknown* propertyMap) override;
    AAX_Result AddControlMidiInput (AAX_CTypeID nodeID, uint32_t nodeType, const char* name, uint32_t channelMask) override;

    /** The description so far, under the identifier the collection gave it. */
    EffectDescription getDescription (const std::string& identifier) const;

private:
    void* findInterface (const acfIID& iid) override;

    std::shared_ptr<HostCallLog> log;
    EffectDescription description;
    std::vector<HostComponentDescriptor*> components;
};
