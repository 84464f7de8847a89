#pragma once

#include "ParameterPadlock.h"

/**
    A padlock over one contiguous range of parameter indices, first to last inclusive:
    the product keeps one per delay line and one for "FX Amount".

    The owner sets the range once before the padlock is shared between threads.
*/
class ParameterPadlockRange : public ParameterPadlock
{
public:
    ParameterPadlockRange() = default;

    void setRange (int firstIndex, int lastIndex) noexcept  { first = firstIndex; last = lastIndex; }
    int getFirstIndex() const noexcept                      { return first; }
    int getLastIndex() const noexcept                       { return last; }

    bool isIndexLocked (int index) const override;
    bool isParameterLocked (const Parameter* parameter) const override;

private:
    int first = 0, last = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ParameterPadlockRange)
};
