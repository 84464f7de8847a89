#include "ParameterPadlockRange.h"
#include "Parameter.h"

bool ParameterPadlockRange::isIndexLocked (int index) const
{
    return first <= index && index <= last;
}

bool ParameterPadlockRange::isParameterLocked (const Parameter* parameter) const
{
    return parameter != nullptr && isIndexLocked (parameter->getIndex());
}
