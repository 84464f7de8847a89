#pragma once

#include "AAX_ITaperDelegate.h"

/** The taper of a switch: any position above 0 is on. */
template <typename T>
class AAX_CBinaryTaperDelegate final : public AAX_ITaperDelegate<T>
{
public:
    std::unique_ptr<AAX_ITaperDelegate<T>> Clone() const override
    {
        return std::make_unique<AAX_CBinaryTaperDelegate> (*this);
    }

    T GetMaximumValue() const override                 { return true; }
    T GetMinimumValue() const override                 { return false; }
    T ConstrainRealValue (T value) const override      { return value; }
    T NormalizedToReal (double normalized) const override { return normalized > 0.0; }
    double RealToNormalized (T value) const override   { return value ? 1.0 : 0.0; }
};
