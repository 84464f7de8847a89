#pragma once

#include "AAX_Types.h"

class AAX_IString;

/** The host's controller of one instance: its rate, channel layouts, latency, meters and the
    packets the effect posts to its render context.
*/
class AAX_IACFController : public IACFUnknown
{
public:
    virtual AAX_Result GetEffectID (AAX_IString* outEffectID) const = 0;
    virtual AAX_Result GetSampleRate (AAX_CSampleRate* outRate) const = 0;
    virtual AAX_Result GetInputStemFormat (AAX_EStemFormat* outFormat) const = 0;
    virtual AAX_Result GetOutputStemFormat (AAX_EStemFormat* outFormat) const = 0;
    virtual AAX_Result GetSignalLatency (int32_t* outSamples) const = 0;
    virtual AAX_Result SetSignalLatency (int32_t samples) = 0;
    virtual AAX_Result GetHostVersion (uint32_t* outVersion) const = 0;
    virtual AAX_Result GetCurrentSampleLocation (int64_t* outLocation) const = 0;
    virtual AAX_Result GetMaxBlockLength (int32_t* outSamples) const = 0;

    /** Copies the data; the host hands it to the render context's field at the next render. */
    virtual AAX_Result PostPacket (AAX_CFieldIndex field, const void* data, uint32_t size) = 0;

    virtual AAX_Result GetCurrentMeterValue (AAX_CTypeID meterID, float* outValue) const = 0;
    virtual AAX_Result GetMeterPeakValue (AAX_CTypeID meterID, float* outValue) const = 0;
    virtual AAX_Result ClearMeterPeakValue (AAX_CTypeID meterID) const = 0;
    virtual AAX_Result GetMeterClipped (AAX_CTypeID meterID, AAX_CBoolean* outClipped) const = 0;
    virtual AAX_Result ClearMeterClipped (AAX_CTypeID meterID) const = 0;
    virtual AAX_Result GetMeterCount (uint32_t* outCount) const = 0;
    virtual AAX_Result GetHostName (AAX_IString* outName) const = 0;

protected:
    ~AAX_IACFController() = default;
};

/** Second version: notifications to the host, the module path and the effect's tail. */
class AAX_IACFController_V2 : public AAX_IACFController
{
public:
    virtual AAX_Result SendNotification (AAX_CTypeID type, const void* data, uint32_t size) = 0;
    virtual AAX_Result GetPlugInPath (AAX_IString* outPath) const = 0;
    virtual AAX_Result SetTailLength (int32_t samples) = 0;
    virtual AAX_Result GetTailLength (int32_t* outSamples) const = 0;

protected:
    ~AAX_IACFController_V2() = default;
};
