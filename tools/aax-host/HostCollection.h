#pragma once

#include "AAX_IACFCollection.h"
#include "HostEffectDescriptor.h"
#include "IACFPluginDefinition.h"

#include <memory>
#include <utility>
#include <vector>

/** The collection of the simulated host: the module's whole description as it registers. Once
    filled, it is also the plug-in definition that the registration entry point hands back.
*/
class HostCollection final : public HostObject<AAX_IACFCollection, IACFPluginDefinition>
{
public:
    explicit HostCollection (std::shared_ptr<HostCallLog> log);
    ~HostCollection() override;

    AAX_Result AddEffect (const char* effectID, IACFUnknown* effectDescriptor) override;
    AAX_Result SetManufacturerName (const char* name) override;
    AAX_Result AddPackageName (const char* name) override;
    AAX_Result SetPackageVersion (uint32_t version) override;
    AAX_Result SetProperties (IACFUnknown* propertyMap) override;

    ModuleDescription getDescription() const;

private:
    void* findInterface (const acfIID& iid) override;

    std::shared_ptr<HostCallLog> log;
    ModuleDescription description;
    std::vector<std::pair<std::string, HostEffectDescriptor*>> effects;
};
