#pragma once

#include "ACFTypes.h"

/** The finished description of the module's plug-in, as the host's collection object hands it
    back for the registration entry point. The host alone reads it.
*/
class IACFPluginDefinition : public IACFUnknown
{
protected:
    ~IACFPluginDefinition() = default;
};

/** A component definition of the component registration entry point (the module has none). */
class IACFComponentDefinition : public IACFUnknown
{
protected:
    ~IACFComponentDefinition() = default;
};
