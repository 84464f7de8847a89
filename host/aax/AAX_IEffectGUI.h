#pragma once

#include "AAX_IACFEffectGUI.h"
#include "CACFUnknown.h"

/** The module's side of the editor interface: a reference-counted object whose unknown
    operations go to its controlling unknown.
*/
class AAX_IEffectGUI : public AAX_IACFEffectGUI,
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
