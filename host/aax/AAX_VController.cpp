#include "AAX_VController.h"

#include "AAX_Identifiers.h"

AAX_VController::AAX_VController (IACFUnknown* hostObject)
    : first (ACFPtr<AAX_IACFController>::query (hostObject, AAX_IID_Controller)),
      later (ACFPtr<AAX_IACFController_V2>::query (hostObject, AAX_IID_ControllerV2))
{
}

AAX_Result AAX_VController::GetEffectID (AAX_IString* outEffectID) const
{
    return first ? first->GetEffectID (outEffectID) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::GetSampleRate (AAX_CSampleRate* outRate) const
{
    return first ? first->GetSampleRate (outRate) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::GetInputStemFormat (AAX_EStemFormat* outFormat) const
{
    return first ? first->GetInputStemFormat (outFormat) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::GetOutputStemFormat (AAX_EStemFormat* outFormat) const
{
    return first ? first->GetOutputStemFormat (outFormat) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::GetSignalLatency (int32_t* outSamples) const
{
    return first ? first->GetSignalLatency (outSamples) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::SetSignalLatency (int32_t samples)
{
    return first ? first->SetSignalLatency (samples) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::GetHostVersion (uint32_t* outVersion) const
{
    return first ? first->GetHostVersion (outVersion) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::GetCurrentSampleLocation (int64_t* outLocation) const
{
    return first ? first->GetCurrentSampleLocation (outLocation) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::GetMaxBlockLength (int32_t* outSamples) const
{
    return first ? first->GetMaxBlockLength (outSamples) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::PostPacket (AAX_CFieldIndex field, const void* data, uint32_t size)
{
    return first ? first->PostPacket (field, data, size) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::SendNotification (AAX_CTypeID type, const void* data, uint32_t size)
{
    return later ? later->SendNotification (type, data, size) : AAX_ERROR_NOT_IMPLEMENTED;
}

AAX_Result AAX_VController::GetCurrentMeterValue (AAX_CTypeID meterID, float* outValue) const
{
    return first ? first->GetCurrentMeterValue (meterID, outValue) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::GetMeterPeakValue (AAX_CTypeID meterID, float* outValue) const
{
    return first ? first->GetMeterPeakValue (meterID, outValue) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::ClearMeterPeakValue (AAX_CTypeID meterID) const
{
    return first ? first->ClearMeterPeakValue (meterID) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::GetMeterCount (uint32_t* outCount) const
{
    return first ? first->GetMeterCount (outCount) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::GetMeterClipped (AAX_CTypeID meterID, AAX_CBoolean* outClipped) const
{
    return first ? first->GetMeterClipped (meterID, outClipped) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::ClearMeterClipped (AAX_CTypeID meterID) const
{
    return first ? first->ClearMeterClipped (meterID) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::GetHostName (AAX_IString* outName) const
{
    return first ? first->GetHostName (outName) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::GetPlugInPath (AAX_IString* outPath) const
{
    return later ? later->GetPlugInPath (outPath) : AAX_ERROR_NOT_IMPLEMENTED;
}

AAX_Result AAX_VController::SetTailLength (int32_t samples)
{
    return later ? later->SetTailLength (samples) : AAX_ERROR_NOT_IMPLEMENTED;
}

AAX_Result AAX_VController::GetTailLength (int32_t* outSamples) const
{
    return later ? later->GetTailLength (outSamples) : AAX_ERROR_NOT_IMPLEMENTED;
}
