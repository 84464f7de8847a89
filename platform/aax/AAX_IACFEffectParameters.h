#pragma once

#include "AAX_ChunkRecord.h"
#include "AAX_MIDI.h"

class AAX_IString;
class AAX_IParameter;

/** The effect's model of one instance as the host sees it: parameters by string id, state
    chunks, and the coefficients (packets) it posts to the render context. The host reaches it
    by AAX_IID_EffectParameters.
*/
class AAX_IACFEffectParameters : public IACFUnknown
{
public:
    virtual AAX_Result Initialize (IACFUnknown* hostController) = 0;
    virtual AAX_Result Uninitialize() = 0;
    virtual AAX_Result NotificationReceived (AAX_CTypeID type, const void* data, uint32_t size) = 0;

    virtual AAX_Result GetNumberOfParameters (int32_t* outCount) const = 0;
    virtual AAX_Result GetMasterBypassParameter (AAX_IString* outID) const = 0;
    virtual AAX_Result GetParameterIsAutomatable (AAX_CParamID id, AAX_CBoolean* outAutomatable) const = 0;
    virtual AAX_Result GetParameterNumberOfSteps (AAX_CParamID id, int32_t* outSteps) const = 0;
    virtual AAX_Result GetParameterName (AAX_CParamID id, AAX_IString* outName) const = 0;
    virtual AAX_Result GetParameterNameOfLength (AAX_CParamID id, AAX_IString* outName, int32_t length) const = 0;
    virtual AAX_Result GetParameterDefaultNormalizedValue (AAX_CParamID id, double* outValue) const = 0;
    virtual AAX_Result SetParameterDefaultNormalizedValue (AAX_CParamID id, double value) = 0;
    virtual AAX_Result GetParameterType (AAX_CParamID id, uint32_t* outType) const = 0;
    virtual AAX_Result GetParameterOrientation (AAX_CParamID id, AAX_EParameterOrientation* outOrientation) const = 0;
    virtual AAX_Result GetParameter (AAX_CParamID id, AAX_IParameter** outParameter) = 0;
    virtual AAX_Result GetParameterIndex (AAX_CParamID id, int32_t* outIndex) const = 0;
    virtual AAX_Result GetParameterIDFromIndex (int32_t index, AAX_IString* outID) const = 0;
    virtual AAX_Result GetParameterValueInfo (AAX_CParamID id, int32_t selector, int32_t* outValue) const = 0;
    virtual AAX_Result GetParameterValueFromString (AAX_CParamID id, double* outValue, const AAX_IString& text) const = 0;
    virtual AAX_Result GetParameterStringFromValue (AAX_CParamID id, double value, AAX_IString* outText, int32_t maxLength) const = 0;
    virtual AAX_Result GetParameterValueString (AAX_CParamID id, AAX_IString* outText, int32_t maxLength) const = 0;
    virtual AAX_Result GetParameterNormalizedValue (AAX_CParamID id, double* outValue) const = 0;
    virtual AAX_Result SetParameterNormalizedValue (AAX_CParamID id, double value) = 0;
    virtual AAX_Result SetParameterNormalizedRelative (AAX_CParamID id, double delta) = 0;
    virtual AAX_Result TouchParameter (AAX_CParamID id) = 0;
    virtual AAX_Result ReleaseParameter (AAX_CParamID id) = 0;
    virtual AAX_Result UpdateParameterTouch (AAX_CParamID id, AAX_CBoolean touched) = 0;
    virtual AAX_Result UpdateParameterNormalizedValue (AAX_CParamID id, double value, AAX_EUpdateSource source) = 0;
    virtual AAX_Result UpdateParameterNormalizedRelative (AAX_CParamID id, double delta) = 0;
    virtual AAX_Result GenerateCoefficients() = 0;
    virtual AAX_Result ResetFieldData (AAX_CFieldIndex field, void* data, uint32_t size) const = 0;

    virtual AAX_Result GetNumberOfChunks (int32_t* outCount) const = 0;
    virtual AAX_Result GetChunkIDFromIndex (int32_t index, AAX_CTypeID* outID) const = 0;
    virtual AAX_Result GetChunkSize (AAX_CTypeID id, uint32_t* outSize) = 0;

    /** Fills a record whose data block has room for the size that GetChunkSize just reported. */
    virtual AAX_Result GetChunk (AAX_CTypeID id, AAX_ChunkRecord* chunk) = 0;
    virtual AAX_Result SetChunk (AAX_CTypeID id, const AAX_ChunkRecord* chunk) = 0;
    virtual AAX_Result CompareActiveChunk (const AAX_ChunkRecord* chunk, AAX_CBoolean* outIsEqual) = 0;
    virtual AAX_Result GetNumberOfChanges (int32_t* outChanges) const = 0;

protected:
    ~AAX_IACFEffectParameters() = default;
};

/** Second version (AAX_IID_EffectParametersV2): timers, curves, custom data and MIDI outside the
    render context.
*/
class AAX_IACFEffectParameters_V2 : public AAX_IACFEffectParameters
{
public:
    virtual AAX_Result TimerWakeup() = 0;
    virtual AAX_Result GetCurveData (AAX_CTypeID curve, const float* values, uint32_t count, float* outValues) const = 0;
    virtual AAX_Result GetCustomData (AAX_CTypeID type, uint32_t size, void* data, uint32_t* outWritten) const = 0;
    virtual AAX_Result SetCustomData (AAX_CTypeID type, uint32_t size, const void* data) = 0;
    virtual AAX_Result ProcessMidiTransfers() = 0;
    virtual AAX_Result GetCurveMeterIDs (AAX_CTypeID curve, uint32_t* outXMeter, uint32_t* outYMeter) const = 0;
    virtual AAX_Result UpdateMidiNode (AAX_CFieldIndex field, const AAX_MIDIPacket& packet) = 0;
    virtual AAX_Result UpdateControlMidiNode (AAX_CTypeID nodeID, const AAX_MIDIPacket& packet) = 0;

protected:
    ~AAX_IACFEffectParameters_V2() = default;
};
