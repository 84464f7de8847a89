// The Corvane module: the seven entry points an AAX host looks up, and what the module's
// description says about the product. Everything else in the module is hidden from the host
// (see CorvaneModule.map).

#include "AAXEffectDescriptions.h"
#include "ACFEntryPoints.h"

#define CORVANE_EXPORT extern "C" __attribute__ ((visibility ("default")))

namespace
{
    const AAXClasses::PlugInInfo corvaneInfo
    {
        "com.halvorn.corvane",
        "Halvorn",
        "Corvane",
        "Four-Line Stereo Delay",
        0x10100,
        AAX_CategoryDelay,
        AAX_FourCC ("Hlvn"),
        AAX_FourCC ("CRVN"),
        AAX_FourCC ("jcaa"),
        AAX_FourCC ("jyaa")
    };

    AAX_Result describeCorvane (AAX_ICollection* collection)
    {
        // 2 in / 2 out, 1 in / 2 out, 1 in / 1 out.
        return AAXClasses::GetEffectDescriptions (collection, corvaneInfo, { { 2, 2 }, { 1, 2 }, { 1, 1 } });
    }
}

CORVANE_EXPORT ACFRESULT ACFRegisterPlugin (IACFUnknown* hostObject, IACFPluginDefinition** outDefinition)
{
    return ACFEntryPoints::RegisterPlugin (hostObject, outDefinition, describeCorvane);
}

CORVANE_EXPORT ACFRESULT ACFRegisterComponent (IACFUnknown* hostObject, uint32_t index, IACFComponentDefinition** outComponent)
{
    return ACFEntryPoints::RegisterComponent (hostObject, index, outComponent);
}

CORVANE_EXPORT ACFRESULT ACFGetClassFactory (IACFUnknown* hostObject, const acfCLSID& classID, const acfIID& iid, void** outFactory)
{
    return ACFEntryPoints::GetClassFactory (hostObject, classID, iid, outFactory);
}

CORVANE_EXPORT ACFRESULT ACFCanUnloadNow (IACFUnknown* hostObject)
{
    return ACFEntryPoints::CanUnloadNow (hostObject);
}

CORVANE_EXPORT ACFRESULT ACFStartup (IACFUnknown* hostObject)
{
    return ACFEntryPoints::Startup (hostObject);
}

CORVANE_EXPORT ACFRESULT ACFShutdown (IACFUnknown* hostObject)
{
    return ACFEntryPoints::Shutdown (hostObject);
}

CORVANE_EXPORT ACFRESULT ACFGetSDKVersion (uint64_t* outVersion)
{
    return ACFEntryPoints::GetSDKVersion (outVersion);
}
