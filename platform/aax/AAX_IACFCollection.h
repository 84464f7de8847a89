#pragma once

#include "AAX_Types.h"

/** The host's collection: the whole description of a module, one or more effects with the
    package's names, version and properties.
*/
class AAX_IACFCollection : public IACFUnknown
{
public:
    virtual AAX_Result AddEffect (const char* effectID, IACFUnknown* effectDescriptor) = 0;
    virtual AAX_Result SetManufacturerName (const char* name) = 0;
    virtual AAX_Result AddPackageName (const char* name) = 0;
    virtual AAX_Result SetPackageVersion (uint32_t version) = 0;
    virtual AAX_Result SetProperties (IACFUnknown* propertyMap) = 0;

protected:
    ~AAX_IACFCollection() = default;
};
