#pragma once

#include "AAX_ITaperDelegate.h"

/** A straight line from the minimum to the maximum. The second argument is the real precision
    of a rounding step; every taper of this module is unrounded (0).
*/
template <typename T, int32_t RealPrecision = 0>
class AAX_CLinearTaperDelegate final : public AAX_ITaperDelegate<T>
{
public:
    static_assert (RealPrecision == 0, "only unrounded linear tapers are provided");

    AAX_CLinearTaperDelegate (T minimumValue = 0, T maximumValue = 1)
        : minimum (minimumValue), maximum (maximumValue)
    {
    }

    std::unique_ptr<AAX_ITaperDelegate<T>> Clone() const override
    {
        return std::make_unique<AAX_CLinearTaperDelegate> (*this);
    }

    T GetMaximumValue() const override    { return maximum; }
    T GetMinimumValue() const override    { return minimum; }

    /** Anything that is not at least the minimum (not-a-number too) becomes the minimum. */
    T ConstrainRealValue (T value) const override
    {
        if (value > maximum)
            return maximum;

        return value >= minimum ? value : minimum;
    }

    T NormalizedToReal (double normalized) const override
    {
        const auto real = (static_cast<double> (maximum) - static_cast<double> (minimum)) * normalized
                        + static_cast<double> (minimum);

        // Constrained before narrowing too, so that a wild position cannot overflow the value type.
        if (real > static_cast<double> (maximum))
            return maximum;

        return real >= static_cast<double> (minimum) ? ConstrainRealValue (static_cast<T> (real)) : minimum;
    }

    double RealToNormalized (T value) const override
    {
        if (maximum == minimum)
            return 0.0;

        return static_cast<double> ((ConstrainRealValue (value) - minimum) / (maximum - minimum));
    }

private:
    T minimum, maximum;
};
