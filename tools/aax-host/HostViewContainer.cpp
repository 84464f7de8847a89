#include "HostViewContainer.h"

#include "AAX_Identifiers.h"

#include <algorithm>
#include <cmath>

HostViewContainer::HostViewContainer (std::shared_ptr<HostCallLog> l, AAX_EViewContainerType t, void* window)
    : log (std::move (l)), type (t), nativeWindow (t == AAX_ViewContainerPixelBuffer ? &pixelBuffer : window)
{
}

void* HostViewContainer::findInterface (const acfIID& iid)
{
    return iid == AAX_IID_ViewContainer ? static_cast<AAX_IACFViewContainer*> (this) : nullptr;
}

int32_t HostViewContainer::GetType()
{
    log->add ("ViewContainer.GetType");
    return type;
}

void* HostViewContainer::GetPtr()
{
    log->add ("ViewContainer.GetPtr");
    return nativeWindow;
}

AAX_Result HostViewContainer::GetModifiers (uint32_t* outModifiers)
{
    if (outModifiers == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    *outModifiers = 0;
    return AAX_OK;
}

AAX_Result HostViewContainer::SetViewSize (const AAX_Point& size)
{
    log->add ("ViewContainer.SetViewSize " + std::to_string (std::lround (size.horizontal)) + "x"
               + std::to_string (std::lround (size.vertical)));
    viewSize = size;

    if (type == AAX_ViewContainerPixelBuffer)
    {
        pixelBuffer.width = static_cast<int32_t> (std::max (0L, std::lround (size.horizontal)));
        pixelBuffer.height = static_cast<int32_t> (std::max (0L, std::lround (size.vertical)));
        pixels.assign (static_cast<size_t> (pixelBuffer.width) * static_cast<size_t> (pixelBuffer.height), 0);
        pixelBuffer.pixels = pixels.data();
    }

    return AAX_OK;
}

AAX_Result HostViewContainer::HandleParameterMouseDown (AAX_CParamID, uint32_t)    { return AAX_OK; }
AAX_Result HostViewContainer::HandleParameterMouseDrag (AAX_CParamID, uint32_t)    { return AAX_OK; }
AAX_Result HostViewContainer::HandleParameterMouseUp (AAX_CParamID, uint32_t)      { return AAX_OK; }
