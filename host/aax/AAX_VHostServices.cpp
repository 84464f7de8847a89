#include "AAX_VHostServices.h"

#include "AAX_Identifiers.h"

AAX_VHostServices::AAX_VHostServices (IACFUnknown* hostObject)
    : services (ACFPtr<AAX_IACFHostServices>::query (hostObject, AAX_IID_HostServices))
{
}

AAX_Result AAX_VHostServices::ReportAssertion (const char* file, int32_t line, const char* note)
{
    return services ? services->ReportAssertion (file, line, note) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VHostServices::Trace (int32_t priority, const char* message)
{
    return services ? services->Trace (priority, message) : AAX_ERROR_NULL_OBJECT;
}
