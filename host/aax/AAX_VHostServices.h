#pragma once

#include "ACFPtr.h"
#include "AAX_IACFHostServices.h"

/** The module-wide services of the host, as the module calls them. */
class AAX_IHostServices
{
public:
    virtual ~AAX_IHostServices() = default;

    virtual AAX_Result ReportAssertion (const char* file, int32_t line, const char* note) = 0;
    virtual AAX_Result Trace (int32_t priority, const char* message) = 0;
};

/** Reaches the host's services through the host object given at start-up. */
class AAX_VHostServices final : public AAX_IHostServices
{
public:
    explicit AAX_VHostServices (IACFUnknown* hostObject);

    AAX_Result ReportAssertion (const char* file, int32_t line, const char* note) override;
    AAX_Result Trace (int32_t priority, const char* message) override;

private:
    ACFPtr<AAX_IACFHostServices> services;
};
