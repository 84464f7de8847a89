#pragma once

#include "IACFPluginDefinition.h"

/** The seven functions a module exports, by these names, for the host to look up. */
extern "C"
{
    using ACFRegisterPluginProc = ACFRESULT (*) (IACFUnknown* host, IACFPluginDefinition** outDefinition);
    using ACFRegisterComponentProc = ACFRESULT (*) (IACFUnknown* host, uint32_t index, IACFComponentDefinition** outComponent);
    using ACFGetClassFactoryProc = ACFRESULT (*) (IACFUnknown* host, const acfCLSID& classID, const acfIID& iid, void** outFactory);
    using ACFCanUnloadNowProc = ACFRESULT (*) (IACFUnknown* host);
    using ACFStartupProc = ACFRESULT (*) (IACFUnknown* host);
    using ACFShutdownProc = ACFRESULT (*) (IACFUnknown* host);
    using ACFGetSDKVersionProc = ACFRESULT (*) (uint64_t* outVersion);
}

constexpr const char* ACFExportRegisterPlugin = "ACFRegisterPlugin";
constexpr const char* ACFExportRegisterComponent = "ACFRegisterComponent";
constexpr const char* ACFExportGetClassFactory = "ACFGetClassFactory";
constexpr const char* ACFExportCanUnloadNow = "ACFCanUnloadNow";
constexpr const char* ACFExportStartup = "ACFStartup";
constexpr const char* ACFExportShutdown = "ACFShutdown";
constexpr const char* ACFExportGetSDKVersion = "ACFGetSDKVersion";
