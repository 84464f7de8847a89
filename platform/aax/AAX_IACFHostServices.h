#pragma once

#include "AAX_Types.h"

/** Services the host offers the module as a whole, for the module's life. */
class AAX_IACFHostServices : public IACFUnknown
{
public:
    virtual AAX_Result ReportAssertion (const char* file, int32_t line, const char* note) = 0;

    /** Writes a message to the host's log when the host logs the given priority. */
    virtual AAX_Result Trace (int32_t priority, const char* message) = 0;

protected:
    ~AAX_IACFHostServices() = default;
};
