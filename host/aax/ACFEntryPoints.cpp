#include "ACFEntryPoints.h"

#include "AAX_CHostServices.h"
#include "CACFUnknown.h"

template <typename Body>
static ACFRESULT guarded (Body&& body) noexcept
{
    try
    {
        return body();
    }
    catch (...)
    {
        return ACF_E_UNEXPECTED;
    }
}

ACFRESULT ACFEntryPoints::RegisterPlugin (IACFUnknown* hostObject, IACFPluginDefinition** outDefinition,
                                          AAX_DescribeProc describe) noexcept
{
    return guarded ([&]() -> ACFRESULT
    {
        if (outDefinition == nullptr || describe == nullptr)
            return AAX_ERROR_NULL_OBJECT;

        AAX_VCollection collection (hostObject);

        if (const auto result = describe (&collection); result != AAX_OK)
            return result;

        *outDefinition = nullptr;
        auto* hostCollection = collection.GetIUnknown();

        if (hostCollection == nullptr
             || hostCollection->QueryInterface (AAX_IID_PlugInDefinition, reinterpret_cast<void**> (outDefinition)) != ACF_OK)
            return AAX_ERROR_NULL_OBJECT;

        return AAX_OK;
    });
}

ACFRESULT ACFEntryPoints::RegisterComponent (IACFUnknown*, uint32_t, IACFComponentDefinition** outComponent) noexcept
{
    if (outComponent == nullptr)
        return ACF_E_POINTER;

    *outComponent = nullptr;
    return ACF_OK;
}

ACFRESULT ACFEntryPoints::GetClassFactory (IACFUnknown*, const acfCLSID&, const acfIID&, void** outFactory) noexcept
{
    if (outFactory != nullptr)
        *outFactory = nullptr;

    return AAX_ERROR_NOT_IMPLEMENTED;
}

ACFRESULT ACFEntryPoints::CanUnloadNow (IACFUnknown*) noexcept
{
    return CACFUnknown::GetActiveObjectCount();
}

ACFRESULT ACFEntryPoints::Startup (IACFUnknown* hostObject) noexcept
{
    return guarded ([hostObject]
    {
        AAX_CHostServices::Set (hostObject);
        return ACF_OK;
    });
}

ACFRESULT ACFEntryPoints::Shutdown (IACFUnknown*) noexcept
{
    return guarded ([]
    {
        AAX_CHostServices::Set (nullptr);
        return ACF_OK;
    });
}

ACFRESULT ACFEntryPoints::GetSDKVersion (uint64_t* outVersion) noexcept
{
    if (outVersion == nullptr)
        return ACF_E_POINTER;

    *outVersion = AAX_ModuleSDKVersion;
    return ACF_OK;
}
