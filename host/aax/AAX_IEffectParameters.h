#pragma once

#include "AAX_IACFEffectParameters.h"
#include "CACFUnknown.h"

/** The module's side of the effect interface: a reference-counted object whose unknown
    operations go to its controlling unknown.
*/
class AAX_IEffectParameters : public AAX_IACFEffectParameters_V2,
                              public CACFUnknown
{
public:
    ACFRESULT QueryInterface (const acfIID& iid, void** outInterface) override
    {
        return GetOuterUnknown()->QueryInterface (iid, outInterface);
    }

    uint32_t AddRef() override     { return GetOuterUnknown()->AddRef(); }
    uint32_t Release() override    { return GetOuterUnknown()->Release(); }
};
