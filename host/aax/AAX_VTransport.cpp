#include "AAX_VTransport.h"

#include "AAX_Identifiers.h"

AAX_VTransport::AAX_VTransport (IACFUnknown* hostObject)
    : first (ACFPtr<AAX_IACFTransport>::query (hostObject, AAX_IID_Transport)),
      later (ACFPtr<AAX_IACFTransport_V2>::query (hostObject, AAX_IID_TransportV2))
{
}

AAX_Result AAX_VTransport::GetCurrentTempo (double* outBeatsPerMinute) const
{
    return first ? first->GetCurrentTempo (outBeatsPerMinute) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VTransport::GetCurrentMeter (int32_t* outNumerator, int32_t* outDenominator) const
{
    return first ? first->GetCurrentMeter (outNumerator, outDenominator) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VTransport::IsTransportPlaying (AAX_CBoolean* outPlaying) const
{
    return first ? first->IsTransportPlaying (outPlaying) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VTransport::GetCurrentTickPosition (int64_t* outTicks) const
{
    return first ? first->GetCurrentTickPosition (outTicks) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VTransport::GetCurrentLoopPosition (AAX_CBoolean* outLooping, int64_t* outStartTicks, int64_t* outEndTicks) const
{
    return first ? first->GetCurrentLoopPosition (outLooping, outStartTicks, outEndTicks) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VTransport::GetCurrentSamplePosition (int64_t* outSamples) const
{
    return first ? first->GetCurrentSamplePosition (outSamples) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VTransport::GetTickPositionAt (int64_t samplePosition, int64_t* outTicks) const
{
    return first ? first->GetTickPositionAt (samplePosition, outTicks) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VTransport::GetBarBeatPositionAt (int64_t samplePosition, int32_t* outBars, int32_t* outBeats, int64_t* outDisplayTicks) const
{
    return first ? first->GetBarBeatPositionAt (samplePosition, outBars, outBeats, outDisplayTicks) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VTransport::GetTicksPerQuarter (uint32_t* outTicks) const
{
    return first ? first->GetTicksPerQuarter (outTicks) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VTransport::GetTicksPerBeat (uint32_t* outTicks) const
{
    return first ? first->GetTicksPerBeat (outTicks) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VTransport::GetSelectionStart (int64_t* outSamples) const
{
    return later ? later->GetSelectionStart (outSamples) : AAX_ERROR_NOT_IMPLEMENTED;
}

AAX_Result AAX_VTransport::GetFrameRate (double* outFramesPerSecond, int64_t* outOffsetSamples) const
{
    return later ? later->GetFrameRate (outFramesPerSecond, outOffsetSamples) : AAX_ERROR_NOT_IMPLEMENTED;
}

AAX_Result AAX_VTransport::IsRecording (AAX_CBoolean* outRecording) const
{
    return later ? later->IsRecording (outRecording) : AAX_ERROR_NOT_IMPLEMENTED;
}

AAX_Result AAX_VTransport::IsMetronomeEnabled (AAX_CBoolean* outEnabled) const
{
    return later ? later->IsMetronomeEnabled (outEnabled) : AAX_ERROR_NOT_IMPLEMENTED;
}
