#pragma once

#include <memory>

/** The untyped base of every taper, so that a parameter can be handed one of any value type. */
class AAX_ITaperDelegateBase
{
public:
    virtual ~AAX_ITaperDelegateBase() = default;
};

/** Maps a parameter's real values to normalized positions in [0, 1] and back. */
template <typename T>
class AAX_ITaperDelegate : public AAX_ITaperDelegateBase
{
public:
    virtual std::unique_ptr<AAX_ITaperDelegate> Clone() const = 0;
    virtual T GetMaximumValue() const = 0;
    virtual T GetMinimumValue() const = 0;

    /** The value brought into the taper's range. */
    virtual T ConstrainRealValue (T value) const = 0;

    virtual T NormalizedToReal (double normalizedValue) const = 0;
    virtual double RealToNormalized (T realValue) const = 0;
};
