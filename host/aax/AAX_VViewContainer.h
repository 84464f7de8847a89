#pragma once

#include "ACFPtr.h"
#include "AAX_IACFViewContainer.h"

/** The host window an editor is attached to, as the editor object calls it. */
class AAX_IViewContainer
{
public:
    virtual ~AAX_IViewContainer() = default;

    virtual int32_t GetType() = 0;
    virtual void* GetPtr() = 0;
    virtual AAX_Result GetModifiers (uint32_t* outModifiers) = 0;
    virtual AAX_Result SetViewSize (const AAX_Point& size) = 0;
    virtual AAX_Result HandleParameterMouseDown (AAX_CParamID id, uint32_t modifiers) = 0;
    virtual AAX_Result HandleParameterMouseDrag (AAX_CParamID id, uint32_t modifiers) = 0;
    virtual AAX_Result HandleParameterMouseUp (AAX_CParamID id, uint32_t modifiers) = 0;
};

/** Reaches the view-container interface of the object the host hands the editor. Without it the
    container has no type and no window, and its requests are not implemented.
*/
class AAX_VViewContainer final : public AAX_IViewContainer
{
public:
    explicit AAX_VViewContainer (IACFUnknown* containerObject);

    int32_t GetType() override;
    void* GetPtr() override;
    AAX_Result GetModifiers (uint32_t* outModifiers) override;
    AAX_Result SetViewSize (const AAX_Point& size) override;
    AAX_Result HandleParameterMouseDown (AAX_CParamID id, uint32_t modifiers) override;
    AAX_Result HandleParameterMouseDrag (AAX_CParamID id, uint32_t modifiers) override;
    AAX_Result HandleParameterMouseUp (AAX_CParamID id, uint32_t modifiers) override;

private:
    ACFPtr<AAX_IACFViewContainer> container;
};
