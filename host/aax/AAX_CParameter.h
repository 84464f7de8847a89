#pragma once

#include "AAX_IParameter.h"

#include <atomic>
#include <map>

/** The id of the master bypass parameter. */
constexpr const char* AAX_MasterBypassID = "MasterBypassID";

/** A host-visible parameter holding a value of type T (this module uses bool and float).

    The id keeps at most 31 characters. The parameter owns clones of its taper and display. Its
    value is read and written atomically, since the host reads and confirms values on different
    threads.
*/
template <typename T>
class AAX_CParameter final : public AAX_IParameter
{
public:
    AAX_CParameter (AAX_CParamID identifier, const AAX_CString& name, T defaultValue,
                    const AAX_ITaperDelegate<T>& taper, const AAX_IDisplayDelegate<T>& display,
                    bool automatable);
    ~AAX_CParameter() override;

    AAX_CParamID Identifier() const override;
    void SetName (const AAX_CString& name) override;
    const AAX_CString& Name() const override;
    void AddShortenedName (const AAX_CString& name) override;
    const AAX_CString& ShortenedName (int32_t length) const override;
    void ClearShortenedNames() override;
    bool Automatable() const override;
    void SetAutomationDelegate (AAX_IAutomationDelegate* delegate) override;
    void Touch() override;
    void Release() override;
    void SetNormalizedValue (double normalizedValue) override;
    double GetNormalizedValue() const override;
    void SetNormalizedDefaultValue (double normalizedValue) override;
    double GetNormalizedDefaultValue() const override;
    void SetToDefaultValue() override;
    void SetNumberOfSteps (uint32_t steps) override;
    uint32_t GetNumberOfSteps() const override;
    uint32_t GetStepValue() const override;
    void SetStepValue (uint32_t step) override;
    bool GetValueString (int32_t maxChars, AAX_CString* outText) const override;
    bool GetValueString (AAX_CString* outText) const override;
    bool GetNormalizedValueFromString (const AAX_CString& text, double* outNormalizedValue) const override;
    bool GetStringFromNormalizedValue (double normalizedValue, int32_t maxChars, AAX_CString& outText) const override;
    bool GetStringFromNormalizedValue (double normalizedValue, AAX_CString& outText) const override;
    bool SetValueFromString (const AAX_CString& text) override;
    bool GetValueAsBool (bool* outValue) const override;
    bool GetValueAsInt32 (int32_t* outValue) const override;
    bool GetValueAsFloat (float* outValue) const override;
    bool GetValueAsDouble (double* outValue) const override;
    bool GetValueAsString (AAX_IString* outValue) const override;
    bool SetValueWithBool (bool value) override;
    bool SetValueWithInt32 (int32_t value) override;
    bool SetValueWithFloat (float value) override;
    bool SetValueWithDouble (double value) override;
    bool SetValueWithString (const AAX_IString& value) override;
    void SetType (AAX_EParameterType type) override;
    AAX_EParameterType GetType() const override;
    void SetOrientation (AAX_EParameterOrientation orientation) override;
    AAX_EParameterOrientation GetOrientation() const override;
    void SetTaperDelegate (AAX_ITaperDelegateBase& taper, bool preserveValue) override;
    void SetDisplayDelegate (AAX_IDisplayDelegateBase& display) override;
    void UpdateNormalizedValue (double normalizedValue) override;

    /** The value as stored. */
    T GetValue() const noexcept    { return value.load(); }

    /** Sets the value: through the host when a delegate is set, else at once. */
    void SetValue (T newValue);

private:
    bool isWithinRange (T v) const;

    char identifier[32] {};
    AAX_CString name;
    std::map<int32_t, AAX_CString> shortenedNames;
    bool automatable;
    uint32_t numberOfSteps = 0;
    AAX_EParameterType type = AAX_ParameterTypeContinuous;
    AAX_EParameterOrientation orientation = 0;
    std::unique_ptr<AAX_ITaperDelegate<T>> taperDelegate;
    std::unique_ptr<AAX_IDisplayDelegate<T>> displayDelegate;
    AAX_IAutomationDelegate* automationDelegate = nullptr;
    std::atomic<bool> notifyNextUpdate { true };
    std::atomic<T> value {};
    T defaultValue;
};

extern template class AAX_CParameter<bool>;
extern template class AAX_CParameter<float>;
