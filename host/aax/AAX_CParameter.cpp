#include "AAX_CParameter.h"

#include "AAX_VAutomationDelegate.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

template <typename T>
AAX_CParameter<T>::AAX_CParameter (AAX_CParamID id, const AAX_CString& n, T defaultV,
                                   const AAX_ITaperDelegate<T>& taper, const AAX_IDisplayDelegate<T>& display,
                                   bool isAutomatable)
    : name (n),
      automatable (isAutomatable),
      taperDelegate (taper.Clone()),
      displayDelegate (display.Clone()),
      defaultValue (defaultV)
{
    if (id != nullptr)
        std::strncpy (identifier, id, sizeof (identifier) - 1);

    if (numberOfSteps == 0)
        numberOfSteps = type == AAX_ParameterTypeDiscrete ? 2 : 128;

    SetValue (defaultValue);
}

template <typename T>
AAX_CParameter<T>::~AAX_CParameter()
{
    if (automationDelegate != nullptr)
        automationDelegate->UnregisterParameter (identifier);
}

template <typename T>
AAX_CParamID AAX_CParameter<T>::Identifier() const
{
    return identifier;
}

template <typename T>
void AAX_CParameter<T>::SetName (const AAX_CString& n)
{
    name = n;
}

template <typename T>
const AAX_CString& AAX_CParameter<T>::Name() const
{
    return name;
}

template <typename T>
void AAX_CParameter<T>::AddShortenedName (const AAX_CString& shortName)
{
    shortenedNames[static_cast<int32_t> (shortName.Length())] = shortName;
}

template <typename T>
const AAX_CString& AAX_CParameter<T>::ShortenedName (int32_t length) const
{
    if (length < 0 || static_cast<uint32_t> (length) >= name.Length() || shortenedNames.empty())
        return name;

    const auto firstLonger = shortenedNames.upper_bound (length);

    if (firstLonger == shortenedNames.begin())
        return firstLonger->second;

    return std::prev (firstLonger)->second;
}

template <typename T>
void AAX_CParameter<T>::ClearShortenedNames()
{
    shortenedNames.clear();
}

template <typename T>
bool AAX_CParameter<T>::Automatable() const
{
    return automatable;
}

template <typename T>
void AAX_CParameter<T>::SetAutomationDelegate (AAX_IAutomationDelegate* delegate)
{
    if (automationDelegate != nullptr)
        automationDelegate->UnregisterParameter (identifier);

    automationDelegate = delegate;

    if (automationDelegate != nullptr)
        automationDelegate->RegisterParameter (identifier);
}

template <typename T>
void AAX_CParameter<T>::Touch()
{
    if (automationDelegate != nullptr)
        automationDelegate->PostTouchRequest (identifier);
}

template <typename T>
void AAX_CParameter<T>::Release()
{
    if (automationDelegate != nullptr)
        automationDelegate->PostReleaseRequest (identifier);
}

template <typename T>
void AAX_CParameter<T>::SetNormalizedValue (double normalizedValue)
{
    SetValue (taperDelegate->NormalizedToReal (normalizedValue));
}

template <typename T>
double AAX_CParameter<T>::GetNormalizedValue() const
{
    return taperDelegate->RealToNormalized (value.load());
}

template <typename T>
void AAX_CParameter<T>::SetNormalizedDefaultValue (double normalizedValue)
{
    defaultValue = taperDelegate->ConstrainRealValue (taperDelegate->NormalizedToReal (normalizedValue));
}

template <typename T>
double AAX_CParameter<T>::GetNormalizedDefaultValue() const
{
    return taperDelegate->RealToNormalized (defaultValue);
}

template <typename T>
void AAX_CParameter<T>::SetToDefaultValue()
{
    SetValue (defaultValue);
}

template <typename T>
void AAX_CParameter<T>::SetNumberOfSteps (uint32_t steps)
{
    numberOfSteps = steps;
}

template <typename T>
uint32_t AAX_CParameter<T>::GetNumberOfSteps() const
{
    return numberOfSteps;
}

template <typename T>
uint32_t AAX_CParameter<T>::GetStepValue() const
{
    if (numberOfSteps < 2)
        return 0;

    const auto lastStep = static_cast<double> (numberOfSteps - 1);
    const auto step = GetNormalizedValue() / (1.0 / lastStep) + 0.5;

    if (! (step >= 0.0))
        return 0;

    return static_cast<uint32_t> (std::min (step, lastStep));
}

template <typename T>
void AAX_CParameter<T>::SetStepValue (uint32_t step)
{
    if (numberOfSteps < 2)
        return;

    SetNormalizedValue (std::clamp (step * (1.0 / static_cast<double> (numberOfSteps - 1)), 0.0, 1.0));
}

template <typename T>
bool AAX_CParameter<T>::GetValueString (int32_t maxChars, AAX_CString* outText) const
{
    return outText != nullptr && displayDelegate->ValueToString (value.load(), maxChars, outText);
}

template <typename T>
bool AAX_CParameter<T>::GetValueString (AAX_CString* outText) const
{
    return outText != nullptr && displayDelegate->ValueToString (value.load(), outText);
}

template <typename T>
bool AAX_CParameter<T>::GetNormalizedValueFromString (const AAX_CString& text, double* outNormalizedValue) const
{
    T parsed {};

    if (outNormalizedValue == nullptr || ! displayDelegate->StringToValue (text, &parsed))
        return false;

    *outNormalizedValue = taperDelegate->RealToNormalized (parsed);
    return isWithinRange (parsed);
}

template <typename T>
bool AAX_CParameter<T>::GetStringFromNormalizedValue (double normalizedValue, int32_t maxChars, AAX_CString& outText) const
{
    const auto real = taperDelegate->NormalizedToReal (normalizedValue);
    return displayDelegate->ValueToString (real, maxChars, &outText) && isWithinRange (real);
}

template <typename T>
bool AAX_CParameter<T>::GetStringFromNormalizedValue (double normalizedValue, AAX_CString& outText) const
{
    const auto real = taperDelegate->NormalizedToReal (normalizedValue);
    return displayDelegate->ValueToString (real, &outText) && isWithinRange (real);
}

template <typename T>
bool AAX_CParameter<T>::SetValueFromString (const AAX_CString& text)
{
    T parsed {};

    if (! displayDelegate->StringToValue (text, &parsed))
        return false;

    SetValue (parsed);
    return true;
}

template <typename T>
bool AAX_CParameter<T>::GetValueAsBool (bool* outValue) const
{
    if constexpr (std::is_same_v<T, bool>)
    {
        if (outValue != nullptr)
        {
            *outValue = value.load();
            return true;
        }
    }

    return false;
}

template <typename T>
bool AAX_CParameter<T>::GetValueAsInt32 (int32_t* outValue) const
{
    if constexpr (std::is_same_v<T, int32_t>)
    {
        if (outValue != nullptr)
        {
            *outValue = value.load();
            return true;
        }
    }

    return false;
}

template <typename T>
bool AAX_CParameter<T>::GetValueAsFloat (float* outValue) const
{
    if constexpr (std::is_same_v<T, float>)
    {
        if (outValue != nullptr)
        {
            *outValue = value.load();
            return true;
        }
    }

    return false;
}

template <typename T>
bool AAX_CParameter<T>::GetValueAsDouble (double* outValue) const
{
    if constexpr (std::is_same_v<T, double>)
    {
        if (outValue != nullptr)
        {
            *outValue = value.load();
            return true;
        }
    }

    return false;
}

template <typename T>
bool AAX_CParameter<T>::GetValueAsString (AAX_IString*) const
{
    return false;
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithBool (bool newValue)
{
    if constexpr (std::is_same_v<T, bool>)
    {
        SetValue (newValue);
        return true;
    }

    (void) newValue;
    return false;
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithInt32 (int32_t newValue)
{
    if constexpr (std::is_same_v<T, int32_t>)
    {
        SetValue (newValue);
        return true;
    }

    (void) newValue;
    return false;
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithFloat (float newValue)
{
    if constexpr (std::is_same_v<T, float>)
    {
        SetValue (newValue);
        return true;
    }

    (void) newValue;
    return false;
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithDouble (double newValue)
{
    if constexpr (std::is_same_v<T, double>)
    {
        SetValue (newValue);
        return true;
    }

    (void) newValue;
    return false;
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithString (const AAX_IString&)
{
    return false;
}

template <typename T>
void AAX_CParameter<T>::SetType (AAX_EParameterType newType)
{
    type = newType;
}

template <typename T>
AAX_EParameterType AAX_CParameter<T>::GetType() const
{
    return type;
}

template <typename T>
void AAX_CParameter<T>::SetOrientation (AAX_EParameterOrientation newOrientation)
{
    orientation = newOrientation;
}

template <typename T>
AAX_EParameterOrientation AAX_CParameter<T>::GetOrientation() const
{
    return orientation;
}

template <typename T>
void AAX_CParameter<T>::SetTaperDelegate (AAX_ITaperDelegateBase& taper, bool preserveValue)
{
    auto* typed = dynamic_cast<AAX_ITaperDelegate<T>*> (&taper);

    if (typed == nullptr)
        return;

    const auto oldNormalizedValue = GetNormalizedValue();
    taperDelegate = typed->Clone();
    notifyNextUpdate = true;

    if (preserveValue)
        SetValue (value.load());
    else
        UpdateNormalizedValue (oldNormalizedValue);
}

template <typename T>
void AAX_CParameter<T>::SetDisplayDelegate (AAX_IDisplayDelegateBase& display)
{
    auto* typed = dynamic_cast<AAX_IDisplayDelegate<T>*> (&display);

    if (typed == nullptr)
        return;

    displayDelegate = typed->Clone();

    if (automationDelegate != nullptr)
        automationDelegate->PostCurrentValue (identifier, GetNormalizedValue());
}

template <typename T>
void AAX_CParameter<T>::UpdateNormalizedValue (double normalizedValue)
{
    const auto newValue = taperDelegate->NormalizedToReal (normalizedValue);

    if (notifyNextUpdate.load() || newValue != value.load())
    {
        value.store (newValue);

        if (automationDelegate != nullptr)
            automationDelegate->PostCurrentValue (identifier, normalizedValue);

        notifyNextUpdate = false;
    }
}

template <typename T>
void AAX_CParameter<T>::SetValue (T newValue)
{
    const auto normalizedValue = taperDelegate->RealToNormalized (newValue);

    if (automationDelegate != nullptr)
    {
        Touch();
        automationDelegate->PostSetValueRequest (identifier, normalizedValue);
        Release();
    }
    else
    {
        notifyNextUpdate = true;
        UpdateNormalizedValue (normalizedValue);
    }
}

template <typename T>
bool AAX_CParameter<T>::isWithinRange (T v) const
{
    return v >= taperDelegate->GetMinimumValue() && v <= taperDelegate->GetMaximumValue();
}

template class AAX_CParameter<bool>;
template class AAX_CParameter<float>;
