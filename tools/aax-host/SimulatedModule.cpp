#include "SimulatedModule.h"

#include "AAX_Identifiers.h"
#include "HostCollection.h"

#include <dlfcn.h>

#include <utility>

void* SimulatedModule::createObject (const EffectDescription& effect, uint32_t procedureID, const acfIID& iid)
{
    auto createProcedure = reinterpret_cast<AAX_CreateObjectProc> (effect.findProcedure (procedureID));

    if (createProcedure == nullptr)
        return nullptr;

    auto* made = createProcedure();

    if (made == nullptr)
        return nullptr;

    void* found = nullptr;

    if (made->QueryInterface (iid, &found) == ACF_OK && found != nullptr)
        return found;

    // Something that is not what was asked for: one reference taken and given back deletes it.
    if (made->QueryInterface (IID_IACFUnknown, &found) == ACF_OK && found != nullptr)
        static_cast<IACFUnknown*> (found)->Release();

    return nullptr;
}

SimulatedModule::SimulatedModule (const std::string& path)
    : hostObject (new HostModuleObject (log))
{
    handle = dlopen (path.c_str(), RTLD_NOW | RTLD_LOCAL);

    if (handle == nullptr)
    {
        const auto* reason = dlerror();
        error = reason != nullptr ? reason : "cannot load " + path;
        return;
    }

    const auto find = [this] (const char* name) -> void*
    {
        auto* symbol = dlsym (handle, name);

        if (symbol == nullptr && error.empty())
            error = "the module does not export " + std::string (name);

        return symbol;
    };

    entryPoints.registerPlugin = reinterpret_cast<ACFRegisterPluginProc> (find (ACFExportRegisterPlugin));
    entryPoints.registerComponent = reinterpret_cast<ACFRegisterComponentProc> (find (ACFExportRegisterComponent));
    entryPoints.getClassFactory = reinterpret_cast<ACFGetClassFactoryProc> (find (ACFExportGetClassFactory));
    entryPoints.canUnloadNow = reinterpret_cast<ACFCanUnloadNowProc> (find (ACFExportCanUnloadNow));
    entryPoints.startup = reinterpret_cast<ACFStartupProc> (find (ACFExportStartup));
    entryPoints.shutdown = reinterpret_cast<ACFShutdownProc> (find (ACFExportShutdown));
    entryPoints.getSDKVersion = reinterpret_cast<ACFGetSDKVersionProc> (find (ACFExportGetSDKVersion));

    loaded = error.empty();

    if (! loaded)
    {
        dlclose (handle);
        handle = nullptr;
        entryPoints = {};
    }
}

SimulatedModule::SimulatedModule (const EntryPoints& points)
    : hostObject (new HostModuleObject (log)),
      entryPoints (points)
{
    loaded = points.registerPlugin != nullptr && points.registerComponent != nullptr
              && points.getClassFactory != nullptr && points.canUnloadNow != nullptr
              && points.startup != nullptr && points.shutdown != nullptr && points.getSDKVersion != nullptr;

    if (! loaded)
        error = "an entry point is missing";
}

SimulatedModule::~SimulatedModule()
{
    // A module that still has objects alive stays loaded: its code may yet run.
    unload();
    hostObject->Release();
}

ACFRESULT SimulatedModule::startup()
{
    if (! loaded)
        return ACF_E_UNEXPECTED;

    const auto result = entryPoints.startup (hostObject->asUnknown());
    started = started || result == ACF_OK;
    return result;
}

ACFRESULT SimulatedModule::shutdown()
{
    if (! loaded)
        return ACF_E_UNEXPECTED;

    started = false;
    return entryPoints.shutdown (hostObject->asUnknown());
}

ACFRESULT SimulatedModule::canUnloadNow()
{
    return loaded ? entryPoints.canUnloadNow (hostObject->asUnknown()) : 0;
}

ACFRESULT SimulatedModule::getSDKVersion (uint64_t& version)
{
    return loaded ? entryPoints.getSDKVersion (&version) : ACF_E_UNEXPECTED;
}

ACFRESULT SimulatedModule::registerPlugin()
{
    if (! loaded)
        return ACF_E_UNEXPECTED;

    IACFPluginDefinition* definition = nullptr;
    const auto result = entryPoints.registerPlugin (hostObject->asUnknown(), &definition);

    if (definition != nullptr)
    {
        if (auto* collection = dynamic_cast<HostCollection*> (static_cast<IACFUnknown*> (definition)))
            description = collection->getDescription();

        definition->Release();
    }

    return result;
}

bool SimulatedModule::unload()
{
    if (! loaded)
        return true;

    if (const auto alive = canUnloadNow(); alive != 0)
    {
        error = "the module still has " + std::to_string (alive) + " objects alive";
        return false;
    }

    if (started)
        shutdown();

    loaded = false;
    entryPoints = {};

    if (handle != nullptr && dlclose (std::exchange (handle, nullptr)) != 0)
    {
        const auto* reason = dlerror();
        error = reason != nullptr ? reason : "the module could not be unloaded";
        return false;
    }

    return true;
}
