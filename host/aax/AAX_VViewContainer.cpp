#include "AAX_VViewContainer.h"

#include "AAX_Identifiers.h"

AAX_VViewContainer::AAX_VViewContainer (IACFUnknown* containerObject)
    : container (ACFPtr<AAX_IACFViewContainer>::query (containerObject, AAX_IID_ViewContainer))
{
}

int32_t AAX_VViewContainer::GetType()
{
    return container ? container->GetType() : AAX_ViewContainerNull;
}

void* AAX_VViewContainer::GetPtr()
{
    return container ? container->GetPtr() : nullptr;
}

AAX_Result AAX_VViewContainer::GetModifiers (uint32_t* outModifiers)
{
    return container ? container->GetModifiers (outModifiers) : AAX_ERROR_NOT_IMPLEMENTED;
}

AAX_Result AAX_VViewContainer::SetViewSize (const AAX_Point& size)
{
    return container ? container->SetViewSize (size) : AAX_OK;
}

AAX_Result AAX_VViewContainer::HandleParameterMouseDown (AAX_CParamID id, uint32_t modifiers)
{
    return container ? container->HandleParameterMouseDown (id, modifiers) : AAX_ERROR_NOT_IMPLEMENTED;
}

AAX_Result AAX_VViewContainer::HandleParameterMouseDrag (AAX_CParamID id, uint32_t modifiers)
{
    return container ? container->HandleParameterMouseDrag (id, modifiers) : AAX_ERROR_NOT_IMPLEMENTED;
}

AAX_Result AAX_VViewContainer::HandleParameterMouseUp (AAX_CParamID id, uint32_t modifiers)
{
    return container ? container->HandleParameterMouseUp (id, modifiers) : AAX_ERROR_NOT_IMPLEMENTED;
}
