#pragma once

#include "AAX_IDisplayDelegate.h"

#include <algorithm>
#include <limits>

/** Shows a number in fixed notation with Precision decimals. The third argument is the spacing
    before a unit; this module's numbers have no unit (0).
*/
template <typename T, uint32_t Precision = 2, uint32_t Spacing = 0>
class AAX_CNumberDisplayDelegate final : public AAX_IDisplayDelegate<T>
{
public:
    static_assert (Spacing == 0, "numbers without a unit take no spacing");

    std::unique_ptr<AAX_IDisplayDelegate<T>> Clone() const override
    {
        return std::make_unique<AAX_CNumberDisplayDelegate> (*this);
    }

    bool ValueToString (T value, AAX_CString* outText) const override
    {
        outText->SetNumber (static_cast<double> (value), static_cast<int> (Precision));
        return true;
    }

    /** Cuts a longer text to maxChars characters, dropping a point left at the end. */
    bool ValueToString (T value, int32_t maxChars, AAX_CString* outText) const override
    {
        ValueToString (value, outText);

        const auto limit = static_cast<uint32_t> (maxChars > 0 ? maxChars : 0);

        if (outText->Length() > limit)
        {
            outText->Erase (limit, outText->Length() - limit);

            if (limit > 0 && outText->Get()[limit - 1] == '.')
                outText->Erase (limit - 1, 1);
        }

        return true;
    }

    bool StringToValue (const AAX_CString& text, T* outValue) const override
    {
        double number = 0.0;

        if (! text.ToNumber (number))
        {
            *outValue = 0;
            return false;
        }

        // A number beyond the value type's range is read as its largest value rather than overflowing.
        *outValue = static_cast<T> (std::clamp (number, static_cast<double> (std::numeric_limits<T>::lowest()),
                                                static_cast<double> (std::numeric_limits<T>::max())));
        return true;
    }
};
