#pragma once

#include "AAX_IACFAutomationDelegate.h"
#include "AAX_IACFController.h"
#include "AAX_IACFTransport.h"
#include "HostCallLog.h"
#include "HostObject.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

/** Where the simulated host's transport stands. Positions are counted in samples; the host
    reports musical positions in ticks of a quarter note (ticksPerQuarter).
*/
struct TransportState
{
    double tempo = 120.0;
    int32_t meterNumerator = 4;
    int32_t meterDenominator = 4;
    bool playing = false;
    bool recording = false;
    int64_t samplePosition = 0;
    bool looping = false;
    int64_t loopStartSample = 0;
    int64_t loopEndSample = 0;
};

/** The host object of one effect instance: the controller, the transport and the automation of
    the simulated host, and the way to the instance's own effect interface (which the editor
    object asks for).

    A set-value request is only queued: the host answers it later, as a real host does, when
    confirmPendingRequests runs. Posted packets are kept until the host hands them to the render
    context. Getters of the controller and the transport are counted rather than logged.
*/
class InstanceHostObject final : public HostObject<AAX_IACFController_V2, AAX_IACFTransport_V2, AAX_IACFAutomationDelegate>
{
public:
    static constexpr uint32_t ticksPerQuarter = 960000;

    struct Settings
    {
        std::string effectID;
        float sampleRate = 48000.0f;
        AAX_EStemFormat inputStem = AAX_StemStereo;
        AAX_EStemFormat outputStem = AAX_StemStereo;
        int32_t maxBlockLength = 512;
    };

    InstanceHostObject (std::shared_ptr<HostCallLog> log, const Settings& settings);

    /** Queries for the effect's interfaces go to the instance's effect. */
    ACFRESULT QueryInterface (const acfIID& iid, void** outInterface) override;

    //==============================================================================
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
    AAX_Result GetCurrentMeterValue (AAX_CTypeID meterID, float* outValue) const override;
    AAX_Result GetMeterPeakValue (AAX_CTypeID meterID, float* outValue) const override;
    AAX_Result ClearMeterPeakValue (AAX_CTypeID meterID) const override;
    AAX_Result GetMeterClipped (AAX_CTypeID meterID, AAX_CBoolean* outClipped) const override;
    AAX_Result ClearMeterClipped (AAX_CTypeID meterID) const override;
    AAX_Result GetMeterCount (uint32_t* outCount) const override;
    AAX_Result GetHostName (AAX_IString* outName) const override;
    AAX_Result SendNotification (AAX_CTypeID type, const void* data, uint32_t size) override;
    AAX_Result GetPlugInPath (AAX_IString* outPath) const override;
    AAX_Result SetTailLength (int32_t samples) override;
    AAX_Result GetTailLength (int32_t* outSamples) const override;

    //==============================================================================
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

    //==============================================================================
    AAX_Result RegisterParameter (AAX_CParamID id) override;
    AAX_Result UnregisterParameter (AAX_CParamID id) override;
    AAX_Result PostSetValueRequest (AAX_CParamID id, double normalizedValue) const override;
    AAX_Result PostCurrentValue (AAX_CParamID id, double normalizedValue) const override;
    AAX_Result PostTouchRequest (AAX_CParamID id) override;
    AAX_Result PostReleaseRequest (AAX_CParamID id) override;
    AAX_Result GetTouchState (AAX_CParamID id, AAX_CBoolean* outTouched) override;

    //==============================================================================
    /** The instance's effect, which queries for the effect interfaces are passed to (null: none). */
    void setEffect (IACFUnknown* effect) noexcept    { effectObject.store (effect); }

    TransportState getTransport() const;
    void setTransport (const TransportState& state);

    /** Moves the transport on by a block when it is playing (wrapping round a loop). */
    void advanceTransport (int numSamples);

    /** The set-value requests not yet answered, oldest first; they are removed. */
    std::vector<std::pair<std::string, double>> takePendingRequests();

    /** The packets posted since the last call, by field (the last post of each field wins). */
    std::map<AAX_CFieldIndex, std::vector<uint8_t>> takePostedPackets();

    /** The parameter ids registered now, in order of registration. */
    std::vector<std::string> getRegisteredParameters() const;

    int getNumTransportQueries() const noexcept      { return transportQueries.load(); }
    int32_t getSignalLatency() const noexcept        { return latency.load(); }

private:
    void* findInterface (const acfIID& iid) override;
    double quartersAt (int64_t samplePosition) const;
    void countQuery() const noexcept                 { transportQueries.fetch_add (1); }
    AAX_Result setTouched (AAX_CParamID id, bool isTouched);

    std::shared_ptr<HostCallLog> log;
    const Settings settings;
    std::atomic<IACFUnknown*> effectObject { nullptr };
    std::atomic<int32_t> latency { 0 }, tail { 0 };
    mutable std::atomic<int> transportQueries { 0 };

    mutable std::mutex transportLock;
    TransportState transport;

    mutable std::mutex automationLock;
    std::vector<std::string> registered;
    mutable std::vector<std::pair<std::string, double>> pendingRequests;
    std::map<std::string, bool> touched;

    std::mutex packetLock;
    std::map<AAX_CFieldIndex, std::vector<uint8_t>> postedPackets;
};
