#pragma once

#include "AAX_VHostServices.h"

/** The module-wide holder of the host's services: set at start-up, dropped at shut-down, and
    read from any thread in between.
*/
class AAX_CHostServices
{
public:
    /** With no services held, a host object makes them; null drops them. A second start-up keeps
        the first services, and a drop with nothing held does nothing.
    */
    static void Set (IACFUnknown* hostObject);

    /** The services held, or null while the module is not started. */
    static AAX_IHostServices* Get() noexcept;

    /** Formats the message with the C formatting rules (cut to 511 characters) and passes it to the
        host's trace; answers 0 at once while the module is not started.
    */
    static AAX_Result Trace (int32_t priority, const char* format, ...)
#if defined (__GNUC__)
        __attribute__ ((format (printf, 2, 3)))
#endif
        ;
};
