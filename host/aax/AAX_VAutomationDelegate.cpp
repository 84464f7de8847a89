#include "AAX_VAutomationDelegate.h"

#include "AAX_Identifiers.h"

AAX_VAutomationDelegate::AAX_VAutomationDelegate (IACFUnknown* hostObject)
    : automation (ACFPtr<AAX_IACFAutomationDelegate>::query (hostObject, AAX_IID_AutomationDelegate))
{
}

AAX_Result AAX_VAutomationDelegate::RegisterParameter (AAX_CParamID id)
{
    return automation ? automation->RegisterParameter (id) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VAutomationDelegate::UnregisterParameter (AAX_CParamID id)
{
    return automation ? automation->UnregisterParameter (id) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VAutomationDelegate::PostSetValueRequest (AAX_CParamID id, double normalizedValue) const
{
    return automation ? automation->PostSetValueRequest (id, normalizedValue) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VAutomationDelegate::PostCurrentValue (AAX_CParamID id, double normalizedValue) const
{
    return automation ? automation->PostCurrentValue (id, normalizedValue) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VAutomationDelegate::PostTouchRequest (AAX_CParamID id)
{
    return automation ? automation->PostTouchRequest (id) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VAutomationDelegate::PostReleaseRequest (AAX_CParamID id)
{
    return automation ? automation->PostReleaseRequest (id) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VAutomationDelegate::GetTouchState (AAX_CParamID id, AAX_CBoolean* outTouched)
{
    return automation ? automation->GetTouchState (id, outTouched) : AAX_ERROR_NULL_OBJECT;
}
