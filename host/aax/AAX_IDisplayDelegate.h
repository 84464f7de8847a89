#pragma once

#include "AAX_CString.h"

#include <memory>

/** The untyped base of every display, so that a parameter can be handed one of any value type. */
class AAX_IDisplayDelegateBase
{
public:
    virtual ~AAX_IDisplayDelegateBase() = default;
};

/** Turns a parameter's real values into texts and back. */
template <typename T>
class AAX_IDisplayDelegate : public AAX_IDisplayDelegateBase
{
public:
    virtual std::unique_ptr<AAX_IDisplayDelegate> Clone() const = 0;

    /** A text of at most maxChars characters (a negative maximum counts as 0). */
    virtual bool ValueToString (T value, int32_t maxChars, AAX_CString* outText) const = 0;
    virtual bool ValueToString (T value, AAX_CString* outText) const = 0;

    /** Answers false when the text does not name a value. */
    virtual bool StringToValue (const AAX_CString& text, T* outValue) const = 0;
};
