#pragma once

#include "ACFPtr.h"
#include "AAX_IACFController.h"

/** The host's controller of one instance, as the effect and the packet dispatcher call it. */
class AAX_IController
{
public:
    virtual ~AAX_IController() = default;

    virtual AAX_Result GetEffectID (AAX_IString* outEffectID) const = 0;
    virtual AAX_Result GetSampleRate (AAX_CSampleRate* outRate) const = 0;
    virtual AAX_Result GetInputStemFormat (AAX_EStemFormat* outFormat) const = 0;
    virtual AAX_Result GetOutputStemFormat (AAX_EStemFormat* outFormat) const = 0;
    virtual AAX_Result GetSignalLatency (int32_t* outSamples) const = 0;
    virtual AAX_Result SetSignalLatency (int32_t samples) = 0;
    virtual AAX_Result GetHostVersion (uint32_t* outVersion) const = 0;
    virtual AAX_Result GetCurrentSampleLocation (int64_t* outLocation) const = 0;
    virtual AAX_Result GetMaxBlockLength (int32_t* outSamples) const = 0;
    virtual AAX_Result PostPacket (AAX_CFieldIndex field, const void* data, uint32_t size) = 0;
    virtual AAX_Result SendNotification (AAX_CTypeID type, const void* data, uint32_t size) = 0;
    virtual AAX_Result GetCurrentMeterValue (AAX_CTypeID meterID, float* outValue) const = 0;
    virtual AAX_Result GetMeterPeakValue (AAX_CTypeID meterID, float* outValue) const = 0;
    virtual AAX_Result ClearMeterPeakValue (AAX_CTypeID meterID) const = 0;
    virtual AAX_Result GetMeterCount (uint32_t* outCount) const = 0;
    virtual AAX_Result GetMeterClipped (AAX_CTypeID meterID, AAX_CBoolean* outClipped) const = 0;
    virtual AAX_Result ClearMeterClipped (AAX_CTypeID meterID) const = 0;
    virtual AAX_Result GetHostName (AAX_IString* outName) const = 0;
    virtual AAX_Result GetPlugInPath (AAX_IString* outPath) const = 0;
    virtual AAX_Result SetTailLength (int32_t samples) = 0;
    virtual AAX_Result GetTailLength (int32_t* outSamples) const = 0;
};

/** Reaches the host's controller, in its first and second version, through the instance's host
    object. Operations of the second version are not implemented when the host lacks it.
*/
class AAX_VController final : public AAX_IController
{
public:
    explicit AAX_VController (IACFUnknown* hostObject);

    AAX_Result GetEffectID (AAX_IString* outEffectID) const override;
    AAX_Result GetSampleRate (AAX_CSampleRate* outRate) const override;
    AAX_Result GetInputStemFormat (AAX_EStemFormat* outFormat) const override;
    AAX_Result GetOutputStemFormat (AAX_EStemFormat* outFormat) const override;
    AAX_Result GetSignalLatency (int32_t* outSamples) const override;
    AAX_Result SetSignalLatency (int32_t samples) override;
    AAX_Result GetHostVersion (uint32_t* outVersion) const override;
    AAX_Result GetCurrentSampleLocation (int64_t* outLocation) const override;
    AAX_Result GetMaxBlockLength (int32_t* outSamples) const override;
    AAX_Result PostPacket (AAX_CFieldIndex field, const void* data, uint32_t size) override;
    AAX_Result SendNotification (AAX_CTypeID type, const void* data, uint32_t size) override;
    AAX_Result GetCurrentMeterValue (AAX_CTypeID meterID, float* outValue) const override;
    AAX_Result GetMeterPeakValue (AAX_CTypeID meterID, float* outValue) const override;
    AAX_Result ClearMeterPeakValue (AAX_CTypeID meterID) const override;
    AAX_Result GetMeterCount (uint32_t* outCount) const override;
    AAX_Result GetMeterClipped (AAX_CTypeID meterID, AAX_CBoolean* outClipped) const override;
    AAX_Result ClearMeterClipped (AAX_CTypeID meterID) const override;
    AAX_Result GetHostName (AAX_IString* outName) const override;
    AAX_Result GetPlugInPath (AAX_IString* outPath) const override;
    AAX_Result SetTailLength (int32_t samples) override;
    AAX_Result GetTailLength (int32_t* outSamples) const override;

private:
    ACFPtr<AAX_IACFController> first;
    ACFPtr<AAX_IACFController_V2> later;
};
