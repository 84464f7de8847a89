#pragma once

#include "AAX_Types.h"

class AAX_IString;

/** The effect's editor object of one instance as the host sees it (AAX_IID_EffectGUI). The host
    hands it a view container when the editor is shown and null when it is hidden.
*/
class AAX_IACFEffectGUI : public IACFUnknown
{
public:
    virtual AAX_Result Initialize (IACFUnknown* hostObject) = 0;
    virtual AAX_Result Uninitialize() = 0;
    virtual AAX_Result NotificationReceived (AAX_CTypeID type, const void* data, uint32_t size) = 0;
    virtual AAX_Result SetViewContainer (IACFUnknown* viewContainer) = 0;
    virtual AAX_Result GetViewSize (AAX_Point* outSize) const = 0;
    virtual AAX_Result Draw (AAX_Rect* area) = 0;
    virtual AAX_Result TimerWakeup() = 0;
    virtual AAX_Result ParameterUpdated (AAX_CParamID id) = 0;
    virtual AAX_Result GetCustomLabel (uint32_t selector, AAX_IString* outLabel) const = 0;
    virtual AAX_Result SetControlHighlight (AAX_CParamID id, AAX_CBoolean highlighted, uint32_t colour) = 0;

protected:
    ~AAX_IACFEffectGUI() = default;
};
