#pragma once

#include "AAX_Types.h"

/** The host's automation of one instance. A value the plug-in wants is only a request: the host
    answers it by setting the parameter's value through the effect.
*/
class AAX_IACFAutomationDelegate : public IACFUnknown
{
public:
    virtual AAX_Result RegisterParameter (AAX_CParamID id) = 0;
    virtual AAX_Result UnregisterParameter (AAX_CParamID id) = 0;
    virtual AAX_Result PostSetValueRequest (AAX_CParamID id, double normalizedValue) const = 0;
    virtual AAX_Result PostCurrentValue (AAX_CParamID id, double normalizedValue) const = 0;
    virtual AAX_Result PostTouchRequest (AAX_CParamID id) = 0;
    virtual AAX_Result PostReleaseRequest (AAX_CParamID id) = 0;
    virtual AAX_Result GetTouchState (AAX_CParamID id, AAX_CBoolean* outTouched) = 0;

protected:
    ~AAX_IACFAutomationDelegate() = default;
};
