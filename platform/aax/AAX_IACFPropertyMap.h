#pragma once

#include "AAX_Types.h"

/** The host's map of 32-bit properties by property id. */
class AAX_IACFPropertyMap : public IACFUnknown
{
public:
    /** Answers true and the value when the property is present. */
    virtual AAX_CBoolean GetProperty (AAX_EProperty property, AAX_CPropertyValue* outValue) const = 0;
    virtual AAX_Result AddProperty (AAX_EProperty property, AAX_CPropertyValue value) = 0;
    virtual AAX_Result RemoveProperty (AAX_EProperty property) = 0;

protected:
    ~AAX_IACFPropertyMap() = default;
};

/** Second version: the properties can be listed. */
class AAX_IACFPropertyMap_V2 : public AAX_IACFPropertyMap
{
public:
    virtual AAX_Result GetPropertyCount (uint32_t* outCount) const = 0;
    virtual AAX_Result GetPropertyAt (uint32_t index, AAX_EProperty* outProperty,
                                      AAX_CPropertyValue* outValue) const = 0;

protected:
    ~AAX_IACFPropertyMap_V2() = default;
};
