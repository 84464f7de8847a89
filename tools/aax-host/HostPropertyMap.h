#pragma once

#include "AAX_IACFPropertyMap.h"
#include "HostCallLog.h"
#include "HostObject.h"
#include "ModuleDescription.h"

#include <memory>

/** A property map of the simulated host, in its first and second version. */
class HostPropertyMap final : public HostObject<AAX_IACFPropertyMap_V2>
{
public:
    explicit HostPropertyMap (std::shared_ptr<HostCallLog> log);

    AAX_CBoolean GetProperty (AAX_EProperty property, AAX_CPropertyValue* outValue) const override;

    /** Replaces the value of a property already present, keeping its place. */
    AAX_Result AddProperty (AAX_EProperty property, AAX_CPropertyValue value) override;
    AAX_Result RemoveProperty (AAX_EProperty property) override;
    AAX_Result GetPropertyCount (uint32_t* outCount) const override;
    AAX_Result GetPropertyAt (uint32_t index, AAX_EProperty* outProperty, AAX_CPropertyValue* outValue) const override;

    const PropertyList& getProperties() const noexcept    { return properties; }

    /** Copies the properties of a map a module passes back to the host; answers false, leaving
        the list as it was, when that is null or not one of the host's maps.
    */
    static bool readProperties (IACFUnknown* propertyMap, PropertyList& into);

private:
    void* findInterface (const acfIID& iid) override;

    std::shared_ptr<HostCallLog> log;
    PropertyList properties;
};
