#pragma once

#include "AAX_Types.h"

/** The host window an editor is shown in. GetType tells what GetPtr points at
    (AAX_EViewContainerType).
*/
class AAX_IACFViewContainer : public IACFUnknown
{
public:
    virtual int32_t GetType() = 0;
    virtual void* GetPtr() = 0;
    virtual AAX_Result GetModifiers (uint32_t* outModifiers) = 0;
    virtual AAX_Result SetViewSize (const AAX_Point& size) = 0;
    virtual AAX_Result HandleParameterMouseDown (AAX_CParamID id, uint32_t modifiers) = 0;
    virtual AAX_Result HandleParameterMouseDrag (AAX_CParamID id, uint32_t modifiers) = 0;
    virtual AAX_Result HandleParameterMouseUp (AAX_CParamID id, uint32_t modifiers) = 0;

protected:
    ~AAX_IACFViewContainer() = default;
};
