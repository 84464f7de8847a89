#pragma once

#include "AAX_CString.h"
#include "AAX_IDisplayDelegate.h"
#include "AAX_ITaperDelegate.h"
#include "AAX_Types.h"

class AAX_IAutomationDelegate;

/** One host-visible parameter of an instance: an id, a name, a typed value with a default, a
    taper between value and normalized position and a display between value and text.

    A value the plug-in sets goes to the host as a request when an automation delegate is set;
    the stored value changes only when the host confirms it through UpdateNormalizedValue.
*/
class AAX_IParameter
{
public:
    virtual ~AAX_IParameter() = default;

    virtual AAX_CParamID Identifier() const = 0;
    virtual void SetName (const AAX_CString& name) = 0;
    virtual const AAX_CString& Name() const = 0;

    /** Stores a shorter name under its own length, replacing one of the same length. */
    virtual void AddShortenedName (const AAX_CString& name) = 0;

    /** The longest shortened name that fits the length, the shortest one when none fits, or the
        full name when it fits (or the length is negative, or there are no shortened names).
    */
    virtual const AAX_CString& ShortenedName (int32_t length) const = 0;
    virtual void ClearShortenedNames() = 0;

    virtual bool Automatable() const = 0;

    /** Unregisters from the old delegate and registers with the new one; null works without a host. */
    virtual void SetAutomationDelegate (AAX_IAutomationDelegate* delegate) = 0;
    virtual void Touch() = 0;
    virtual void Release() = 0;

    virtual void SetNormalizedValue (double normalizedValue) = 0;
    virtual double GetNormalizedValue() const = 0;
    virtual void SetNormalizedDefaultValue (double normalizedValue) = 0;
    virtual double GetNormalizedDefaultValue() const = 0;
    virtual void SetToDefaultValue() = 0;

    virtual void SetNumberOfSteps (uint32_t steps) = 0;
    virtual uint32_t GetNumberOfSteps() const = 0;
    virtual uint32_t GetStepValue() const = 0;
    virtual void SetStepValue (uint32_t step) = 0;

    virtual bool GetValueString (int32_t maxChars, AAX_CString* outText) const = 0;
    virtual bool GetValueString (AAX_CString* outText) const = 0;

    /** Answers whether the text names a value within the taper's range. */
    virtual bool GetNormalizedValueFromString (const AAX_CString& text, double* outNormalizedValue) const = 0;
    virtual bool GetStringFromNormalizedValue (double normalizedValue, int32_t maxChars, AAX_CString& outText) const = 0;
    virtual bool GetStringFromNormalizedValue (double normalizedValue, AAX_CString& outText) const = 0;
    virtual bool SetValueFromString (const AAX_CString& text) = 0;

    /** Only the getter and setter of the parameter's own value type answer true. */
    virtual bool GetValueAsBool (bool* outValue) const = 0;
    virtual bool GetValueAsInt32 (int32_t* outValue) const = 0;
    virtual bool GetValueAsFloat (float* outValue) const = 0;
    virtual bool GetValueAsDouble (double* outValue) const = 0;
    virtual bool GetValueAsString (AAX_IString* outValue) const = 0;
    virtual bool SetValueWithBool (bool value) = 0;
    virtual bool SetValueWithInt32 (int32_t value) = 0;
    virtual bool SetValueWithFloat (float value) = 0;
    virtual bool SetValueWithDouble (double value) = 0;
    virtual bool SetValueWithString (const AAX_IString& value) = 0;

    virtual void SetType (AAX_EParameterType type) = 0;
    virtual AAX_EParameterType GetType() const = 0;
    virtual void SetOrientation (AAX_EParameterOrientation orientation) = 0;
    virtual AAX_EParameterOrientation GetOrientation() const = 0;

    /** A taper of another value type is ignored. */
    virtual void SetTaperDelegate (AAX_ITaperDelegateBase& taper, bool preserveValue) = 0;

    /** A display of another value type is ignored. */
    virtual void SetDisplayDelegate (AAX_IDisplayDelegateBase& display) = 0;

    /** The host's confirmed value: stored (and echoed to the host) when it differs. */
    virtual void UpdateNormalizedValue (double normalizedValue) = 0;
};
