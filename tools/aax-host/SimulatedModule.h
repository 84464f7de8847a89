#pragma once

#include "ACFExports.h"
#include "HostCallLog.h"
#include "HostModuleObject.h"
#include "ModuleDescription.h"

#include <memory>
#include <string>

/** A plug-in module as the simulated host sees it: loaded with dlopen and reached only through
    its seven exported entry points, started with the host's module object, described, and
    unloaded again once it says it may be.

    Every call the module makes into the host is written to one call log, shared with the
    instances made from this module.
*/
class SimulatedModule
{
public:
    /** The module's seven exports. */
    struct EntryPoints
    {
        ACFRegisterPluginProc registerPlugin = nullptr;
        ACFRegisterComponentProc registerComponent = nullptr;
        ACFGetClassFactoryProc getClassFactory = nullptr;
        ACFCanUnloadNowProc canUnloadNow = nullptr;
        ACFStartupProc startup = nullptr;
        ACFShutdownProc shutdown = nullptr;
        ACFGetSDKVersionProc getSDKVersion = nullptr;
    };

    /** Loads the module file and finds its entry points; see isLoaded and getError. */
    explicit SimulatedModule (const std::string& path);

    /** A module that is already part of the process, reached through these entry points. */
    explicit SimulatedModule (const EntryPoints& entryPoints);

    /** Unloads the module as a host does when it quits (see unload). */
    ~SimulatedModule();

    SimulatedModule (const SimulatedModule&) = delete;
    SimulatedModule& operator= (const SimulatedModule&) = delete;

    /** True when every entry point was found (and, for a file, the file was loaded). */
    bool isLoaded() const noexcept                       { return loaded; }

    /** Why the module could not be loaded or unloaded; empty when nothing failed. */
    const std::string& getError() const noexcept         { return error; }

    const EntryPoints& getEntryPoints() const noexcept   { return entryPoints; }

    ACFRESULT startup();
    ACFRESULT shutdown();
    ACFRESULT canUnloadNow();
    ACFRESULT getSDKVersion (uint64_t& version);

    /** Has the module describe itself; the description is kept (getDescription) and the
        definition the module handed out is released again.
    */
    ACFRESULT registerPlugin();

    const ModuleDescription& getDescription() const noexcept    { return description; }

    /** Makes an object with the creation procedure the effect added under that id and answers
        its interface of that id, holding the one reference the object was made with. Answers
        null when the effect has no such procedure, the procedure makes nothing, or the object
        lacks the interface (the object is then released, which deletes it).
    */
    static void* createObject (const EffectDescription& effect, uint32_t procedureID, const acfIID& iid);

    /** Unloads a module file once it answers that it may be unloaded (shutting it down first
        when it was started). Answers false, leaving it loaded, when it still has objects alive
        or dlclose fails; an in-process module only stops being reachable.
    */
    bool unload();

    HostModuleObject& getHostObject() noexcept               { return *hostObject; }
    const std::shared_ptr<HostCallLog>& getLog() const noexcept   { return log; }

private:
    std::shared_ptr<HostCallLog> log = std::make_shared<HostCallLog>();
    HostModuleObject* hostObject;
    void* handle = nullptr;
    bool loaded = false;
    bool started = false;
    std::string error;
    EntryPoints entryPoints;
    ModuleDescription description;
};
