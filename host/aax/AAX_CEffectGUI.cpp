#include "AAX_CEffectGUI.h"

#include "AAX_CString.h"
#include "AAX_Identifiers.h"

#include <new>

AAX_CEffectGUI::AAX_CEffectGUI() = default;

AAX_CEffectGUI::~AAX_CEffectGUI()
{
    effectParameters.reset();
    controller.reset();
    transport.reset();
    viewContainer.reset();
}

ACFRESULT AAX_CEffectGUI::InternalQueryInterface (const acfIID& iid, void** outInterface)
{
    if (outInterface != nullptr && iid == AAX_IID_EffectGUI)
    {
        auto* mainInterface = static_cast<AAX_IACFEffectGUI*> (this);
        *outInterface = mainInterface;
        mainInterface->AddRef();
        return ACF_OK;
    }

    return CACFUnknown::InternalQueryInterface (iid, outInterface);
}

AAX_Result AAX_CEffectGUI::Initialize (IACFUnknown* hostObject)
{
    if (hostObject == nullptr)
        return AAX_ERROR_NOT_INITIALIZED;

    controller.reset (new (std::nothrow) AAX_VController (hostObject));

    if (controller == nullptr)
        return AAX_ERROR_NOT_INITIALIZED;

    effectParameters = ACFPtr<AAX_IACFEffectParameters>::query (hostObject, AAX_IID_EffectParameters);
    transport.reset (new (std::nothrow) AAX_VTransport (hostObject));
    CreateViewContents();
    return AAX_OK;
}

AAX_Result AAX_CEffectGUI::Uninitialize()
{
    DeleteViewContainer();
    viewContainer.reset();

    effectParameters.reset();
    controller.reset();
    transport.reset();
    return AAX_OK;
}

AAX_Result AAX_CEffectGUI::NotificationReceived (AAX_CTypeID, const void*, uint32_t)
{
    return AAX_OK;
}

AAX_Result AAX_CEffectGUI::SetViewContainer (IACFUnknown* container)
{
    if (container != nullptr)
    {
        viewContainer = std::make_unique<AAX_VViewContainer> (container);
        CreateViewContainer();
        UpdateAllParameters();
    }
    else
    {
        viewContainer.reset();
        DeleteViewContainer();
    }

    return AAX_OK;
}

AAX_Result AAX_CEffectGUI::GetViewSize (AAX_Point*) const
{
    return AAX_OK;
}

AAX_Result AAX_CEffectGUI::Draw (AAX_Rect*)
{
    return AAX_OK;
}

AAX_Result AAX_CEffectGUI::TimerWakeup()
{
    return AAX_OK;
}

AAX_Result AAX_CEffectGUI::ParameterUpdated (AAX_CParamID)
{
    return AAX_OK;
}

AAX_Result AAX_CEffectGUI::GetCustomLabel (uint32_t, AAX_IString*) const
{
    return AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_CEffectGUI::SetControlHighlight (AAX_CParamID, AAX_CBoolean, uint32_t)
{
    return AAX_OK;
}

void AAX_CEffectGUI::UpdateAllParameters()
{
    if (! effectParameters)
        return;

    int32_t count = 0;

    if (effectParameters->GetNumberOfParameters (&count) != AAX_OK || count < 0)
        return;

    for (int32_t index = 0; index < count; ++index)
    {
        AAX_CString id;

        if (effectParameters->GetParameterIDFromIndex (index, &id) == AAX_OK)
            ParameterUpdated (id.Get());
    }
}
