#pragma once

#include "AAX_Types.h"

/** The host's transport: tempo, meter, positions and play state. Positions are in samples or
    in ticks of the host's own resolution (GetTicksPerQuarter).
*/
class AAX_IACFTransport : public IACFUnknown
{
public:
    virtual AAX_Result GetCurrentTempo (double* outBeatsPerMinute) const = 0;
    virtual AAX_Result GetCurrentMeter (int32_t* outNumerator, int32_t* outDenominator) const = 0;
    virtual AAX_Result IsTransportPlaying (AAX_CBoolean* outPlaying) const = 0;
    virtual AAX_Result GetCurrentTickPosition (int64_t* outTicks) const = 0;
    virtual AAX_Result GetCurrentLoopPosition (AAX_CBoolean* outLooping, int64_t* outStartTicks,
                                               int64_t* outEndTicks) const = 0;
    virtual AAX_Result GetCurrentSamplePosition (int64_t* outSamples) const = 0;
    virtual AAX_Result GetTickPositionAt (int64_t samplePosition, int64_t* outTicks) const = 0;
    virtual AAX_Result GetBarBeatPositionAt (int64_t samplePosition, int32_t* outBars,
                                             int32_t* outBeats, int64_t* outDisplayTicks) const = 0;
    virtual AAX_Result GetTicksPerQuarter (uint32_t* outTicks) const = 0;
    virtual AAX_Result GetTicksPerBeat (uint32_t* outTicks) const = 0;

protected:
    ~AAX_IACFTransport() = default;
};

/** Second version: selection, frame rate, recording and metronome state. */
class AAX_IACFTransport_V2 : public AAX_IACFTransport
{
public:
    virtual AAX_Result GetSelectionStart (int64_t* outSamples) const = 0;
    virtual AAX_Result GetFrameRate (double* outFramesPerSecond, int64_t* outOffsetSamples) const = 0;
    virtual AAX_Result IsRecording (AAX_CBoolean* outRecording) const = 0;
    virtual AAX_Result IsMetronomeEnabled (AAX_CBoolean* outEnabled) const = 0;

protected:
    ~AAX_IACFTransport_V2() = default;
};
