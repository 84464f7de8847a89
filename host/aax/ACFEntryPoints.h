#pragma once

#include "AAX_VCollection.h"
#include "IACFPluginDefinition.h"

/** Fills the host's collection with the module's effects; answers 0 or the failure. */
using AAX_DescribeProc = AAX_Result (*) (AAX_ICollection* collection);

/** The bodies of the module's seven exported functions. Each catches every exception and then
    answers ACF_E_UNEXPECTED, so that nothing is ever thrown across the module's boundary; the
    module's exports only forward to these.
*/
class ACFEntryPoints
{
public:
    /** Describes the module into a collection made on the host object and hands out the host's
        plug-in definition of it. Answers the description's failure unchanged, or
        AAX_ERROR_NULL_OBJECT when there is no definition (or nowhere to put it).
    */
    static ACFRESULT RegisterPlugin (IACFUnknown* hostObject, IACFPluginDefinition** outDefinition,
                                     AAX_DescribeProc describe) noexcept;

    /** The module has no components of this kind: null and success. */
    static ACFRESULT RegisterComponent (IACFUnknown* hostObject, uint32_t index,
                                        IACFComponentDefinition** outComponent) noexcept;

    /** The module has no class factory: null and AAX_ERROR_NOT_IMPLEMENTED. */
    static ACFRESULT GetClassFactory (IACFUnknown* hostObject, const acfCLSID& classID,
                                      const acfIID& iid, void** outFactory) noexcept;

    /** The number of module objects alive; 0 means the module may be unloaded. */
    static ACFRESULT CanUnloadNow (IACFUnknown* hostObject) noexcept;

    /** Keeps the host's services for the module's life; a second start-up keeps the first. */
    static ACFRESULT Startup (IACFUnknown* hostObject) noexcept;

    /** Drops the host's services. */
    static ACFRESULT Shutdown (IACFUnknown* hostObject) noexcept;

    static ACFRESULT GetSDKVersion (uint64_t* outVersion) noexcept;
};
