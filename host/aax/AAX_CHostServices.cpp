#include "AAX_CHostServices.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

static std::atomic<AAX_VHostServices*> hostServices { nullptr };

void AAX_CHostServices::Set (IACFUnknown* hostObject)
{
    if (hostObject != nullptr)
    {
        if (hostServices.load() == nullptr)
        {
            auto* made = new AAX_VHostServices (hostObject);
            AAX_VHostServices* expected = nullptr;

            if (! hostServices.compare_exchange_strong (expected, made))
                delete made;
        }
    }
    else
    {
        delete hostServices.exchange (nullptr);
    }
}

AAX_IHostServices* AAX_CHostServices::Get() noexcept
{
    return hostServices.load();
}

AAX_Result AAX_CHostServices::Trace (int32_t priority, const char* format, ...)
{
    auto* services = hostServices.load();

    if (services == nullptr)
        return AAX_OK;

    char message[512];
    va_list arguments;
    va_start (arguments, format);
    std::vsnprintf (message, sizeof (message), format, arguments);
    va_end (arguments);

    return services->Trace (priority, message);
}
