#pragma once

#include "ACFPtr.h"
#include "AAX_IACFAutomationDelegate.h"

/** The host's automation of one instance, as the parameters call it. */
class AAX_IAutomationDelegate
{
public:
    virtual ~AAX_IAutomationDelegate() = default;

    virtual AAX_Result RegisterParameter (AAX_CParamID id) = 0;
    virtual AAX_Result UnregisterParameter (AAX_CParamID id) = 0;
    virtual AAX_Result PostSetValueRequest (AAX_CParamID id, double normalizedValue) const = 0;
    virtual AAX_Result PostCurrentValue (AAX_CParamID id, double normalizedValue) const = 0;
    virtual AAX_Result PostTouchRequest (AAX_CParamID id) = 0;
    virtual AAX_Result PostReleaseRequest (AAX_CParamID id) = 0;
    virtual AAX_Result GetTouchState (AAX_CParamID id, AAX_CBoolean* outTouched) = 0;
};

/** Reaches the host's automation interface through the instance's host object. */
class AAX_VAutomationDelegate final : public AAX_IAutomationDelegate
{
public:
    explicit AAX_VAutomationDelegate (IACFUnknown* hostObject);

    AAX_Result RegisterParameter (AAX_CParamID id) override;
    AAX_Result UnregisterParameter (AAX_CParamID id) override;
    AAX_Result PostSetValueRequest (AAX_CParamID id, double normalizedValue) const override;
    AAX_Result PostCurrentValue (AAX_CParamID id, double normalizedValue) const override;
    AAX_Result PostTouchRequest (AAX_CParamID id) override;
    AAX_Result PostReleaseRequest (AAX_CParamID id) override;
    AAX_Result GetTouchState (AAX_CParamID id, AAX_CBoolean* outTouched) override;

private:
    ACFPtr<AAX_IACFAutomationDelegate> automation;
};
