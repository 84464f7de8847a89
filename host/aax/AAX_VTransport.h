#pragma once

#include "ACFPtr.h"
#include "AAX_IACFTransport.h"

/** The host's transport, as the effect reads it for the processor's play head. */
class AAX_ITransport
{
public:
    virtual ~AAX_ITransport() = default;

    virtual AAX_Result GetCurrentTempo (double* outBeatsPerMinute) const = 0;
    virtual AAX_Result GetCurrentMeter (int32_t* outNumerator, int32_t* outDenominator) const = 0;
    virtual AAX_Result IsTransportPlaying (AAX_CBoolean* outPlaying) const = 0;
    virtual AAX_Result GetCurrentTickPosition (int64_t* outTicks) const = 0;
    virtual AAX_Result GetCurrentLoopPosition (AAX_CBoolean* outLooping, int64_t* outStartTicks, int64_t* outEndTicks) const = 0;
    virtual AAX_Result GetCurrentSamplePosition (int64_t* outSamples) const = 0;
    virtual AAX_Result GetTickPositionAt (int64_t samplePosition, int64_t* outTicks) const = 0;
    virtual AAX_Result GetBarBeatPositionAt (int64_t samplePosition, int32_t* outBars, int32_t* outBeats, int64_t* outDisplayTicks) const = 0;
    virtual AAX_Result GetTicksPerQuarter (uint32_t* outTicks) const = 0;
    virtual AAX_Result GetTicksPerBeat (uint32_t* outTicks) const = 0;
    virtual AAX_Result GetSelectionStart (int64_t* outSamples) const = 0;
    virtual AAX_Result GetFrameRate (double* outFramesPerSecond, int64_t* outOffsetSamples) const = 0;
    virtual AAX_Result IsRecording (AAX_CBoolean* outRecording) const = 0;
    virtual AAX_Result IsMetronomeEnabled (AAX_CBoolean* outEnabled) const = 0;
};

/** Reaches the host's transport, in its first and second version, through the instance's host
    object. Operations of the second version are not implemented when the host lacks it.
*/
class AAX_VTransport final : public AAX_ITransport
{
public:
    explicit AAX_VTransport (IACFUnknown* hostObject);

    AAX_Result GetCurrentTempo (double* outBeatsPerMinute) const override;
    AAX_Result GetCurrentMeter (int32_t* outNumerator, int32_t* outDenominator) const override;
    AAX_Result IsTransportPlaying (AAX_CBoolean* outPlaying) const override;
    AAX_Result GetCurrentTickPosition (int64_t* outTicks) const override;
    AAX_Result GetCurrentLoopPosition (AAX_CBoolean* outLooping, int64_t* outStartTicks, int64_t* outEndTicks) const override;
    AAX_Result GetCurrentSamplePosition (int64_t* outSamples) const override;
    AAX_Result GetTickPositionAt (int64_t samplePosition, int64_t* outTicks) const override;
    AAX_Result GetBarBeatPositionAt (int64_t samplePosition, int32_t* outBars, int32_t* outBeats, int64_t* outDisplayTicks) const override;
    AAX_Result GetTicksPerQuarter (uint32_t* outTicks) const override;
    AAX_Result GetTicksPerBeat (uint32_t* outTicks) const override;
    AAX_Result GetSelectionStart (int64_t* outSamples) const override;
    AAX_Result GetFrameRate (double* outFramesPerSecond, int64_t* outOffsetSamples) const override;
    AAX_Result IsRecording (AAX_CBoolean* outRecording) const override;
    AAX_Result IsMetronomeEnabled (AAX_CBoolean* outEnabled) const override;

private:
    ACFPtr<AAX_IACFTransport> first;
    ACFPtr<AAX_IACFTransport_V2> later;
};
