#pragma once

#include "AAX_IACFHostServices.h"
#include "HostCallLog.h"
#include "HostObject.h"
#include "IACFComponentFactory.h"

#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

/** The host object that the simulated host gives a module's entry points: it makes the objects
    of a description (collection, descriptors, property maps) and offers the host's services
    (traces and assertion reports) for the module's life.
*/
class HostModuleObject final : public HostObject<IACFComponentFactory, AAX_IACFHostServices>
{
public:
    explicit HostModuleObject (std::shared_ptr<HostCallLog> log);

    ACFRESULT CreateComponent (const acfCLSID& classID, IACFUnknown* outer,
                               const acfIID& iid, void** outInterface) override;

    AAX_Result ReportAssertion (const char* file, int32_t line, const char* note) override;
    AAX_Result Trace (int32_t priority, const char* message) override;

    /** The traces received so far: priority and text. */
    std::vector<std::pair<int32_t, std::string>> getTraces() const;

    /** Without a factory the host can make no description objects (as a broken host would). */
    void setFactoryAvailable (bool available) noexcept    { factoryAvailable = available; }

private:
    void* findInterface (const acfIID& iid) override;

    std::shared_ptr<HostCallLog> log;
    bool factoryAvailable = true;
    mutable std::mutex traceLock;
    std::vector<std::pair<int32_t, std::string>> traces;
};
