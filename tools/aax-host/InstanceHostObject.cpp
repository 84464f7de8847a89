#include "InstanceHostObject.h"

#include "AAX_Identifiers.h"
#include "AAX_IString.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace
{
    std::string describeID (AAX_CParamID id)
    {
        return id != nullptr ? id : "";
    }

    std::string describeValue (AAX_CParamID id, double value)
    {
        char number[32];
        std::snprintf (number, sizeof (number), "%g", value);
        return describeID (id) + " " + number;
    }

    /** Fills a caller's output, which the caller may have left null. */
    template <typename Value, typename Source>
    AAX_Result answer (Value* output, const Source& value)
    {
        if (output == nullptr)
            return AAX_ERROR_NULL_OBJECT;

        *output = value;
        return AAX_OK;
    }

    AAX_Result answer (AAX_IString* output, const char* text)
    {
        if (output == nullptr)
            return AAX_ERROR_NULL_OBJECT;

        output->Set (text);
        return AAX_OK;
    }
}

InstanceHostObject::InstanceHostObject (std::shared_ptr<HostCallLog> l, const Settings& s)
    : log (std::move (l)), settings (s)
{
}

void* InstanceHostObject::findInterface (const acfIID& iid)
{
    if (iid == AAX_IID_Controller || iid == AAX_IID_ControllerV2)
        return static_cast<AAX_IACFController_V2*> (this);

    if (iid == AAX_IID_Transport || iid == AAX_IID_TransportV2)
        return static_cast<AAX_IACFTransport_V2*> (this);

    if (iid == AAX_IID_AutomationDelegate)
        return static_cast<AAX_IACFAutomationDelegate*> (this);

    return nullptr;
}

ACFRESULT InstanceHostObject::QueryInterface (const acfIID& iid, void** outInterface)
{
    // The effect's interfaces are handed out by the effect itself, with the reference it adds.
    if (iid == AAX_IID_EffectParameters || iid == AAX_IID_EffectParametersV2)
    {
        if (outInterface == nullptr)
            return ACF_E_POINTER;

        *outInterface = nullptr;
        auto* effect = effectObject.load();
        return effect != nullptr ? effect->QueryInterface (iid, outInterface) : ACF_E_NOINTERFACE;
    }

    return HostObject::QueryInterface (iid, outInterface);
}

//==============================================================================
AAX_Result InstanceHostObject::GetEffectID (AAX_IString* outEffectID) const
{
    return answer (outEffectID, settings.effectID.c_str());
}

AAX_Result InstanceHostObject::GetSampleRate (AAX_CSampleRate* outRate) const
{
    return answer (outRate, settings.sampleRate);
}

AAX_Result InstanceHostObject::GetInputStemFormat (AAX_EStemFormat* outFormat) const
{
    return answer (outFormat, settings.inputStem);
}

AAX_Result InstanceHostObject::GetOutputStemFormat (AAX_EStemFormat* outFormat) const
{
    return answer (outFormat, settings.outputStem);
}

AAX_Result InstanceHostObject::GetSignalLatency (int32_t* outSamples) const
{
    return answer (outSamples, latency.load());
}

AAX_Result InstanceHostObject::SetSignalLatency (int32_t samples)
{
    log->add ("Controller.SetSignalLatency " + std::to_string (samples));
    latency.store (samples);
    return AAX_OK;
}

AAX_Result InstanceHostObject::GetHostVersion (uint32_t* outVersion) const
{
    return answer (outVersion, 1);
}

AAX_Result InstanceHostObject::GetCurrentSampleLocation (int64_t* outLocation) const
{
    return GetCurrentSamplePosition (outLocation);
}

AAX_Result InstanceHostObject::GetMaxBlockLength (int32_t* outSamples) const
{
    return answer (outSamples, settings.maxBlockLength);
}

AAX_Result InstanceHostObject::PostPacket (AAX_CFieldIndex field, const void* data, uint32_t size)
{
    log->add ("Controller.PostPacket " + std::to_string (field) + " " + std::to_string (size));

    if (data == nullptr && size > 0)
        return AAX_ERROR_NULL_OBJECT;

    const auto* bytes = static_cast<const uint8_t*> (data);
    const std::lock_guard<std::mutex> guard (packetLock);
    postedPackets[field].assign (bytes, bytes + size);
    return AAX_OK;
}

AAX_Result InstanceHostObject::GetCurrentMeterValue (AAX_CTypeID, float*) const    { return AAX_ERROR_UNKNOWN_PARAMETER; }
AAX_Result InstanceHostObject::GetMeterPeakValue (AAX_CTypeID, float*) const       { return AAX_ERROR_UNKNOWN_PARAMETER; }
AAX_Result InstanceHostObject::ClearMeterPeakValue (AAX_CTypeID) const             { return AAX_ERROR_UNKNOWN_PARAMETER; }
AAX_Result InstanceHostObject::GetMeterClipped (AAX_CTypeID, AAX_CBoolean*) const  { return AAX_ERROR_UNKNOWN_PARAMETER; }
AAX_Result InstanceHostObject::ClearMeterClipped (AAX_CTypeID) const               { return AAX_ERROR_UNKNOWN_PARAMETER; }

AAX_Result InstanceHostObject::GetMeterCount (uint32_t* outCount) const
{
    return answer (outCount, 0);
}

AAX_Result InstanceHostObject::GetHostName (AAX_IString* outName) const
{
    return answer (outName, "Corvane simulated host");
}

AAX_Result InstanceHostObject::SendNotification (AAX_CTypeID type, const void*, uint32_t size)
{
    log->add ("Controller.SendNotification " + std::to_string (type) + " " + std::to_string (size));
    return AAX_OK;
}

AAX_Result InstanceHostObject::GetPlugInPath (AAX_IString* outPath) const
{
    return answer (outPath, "");
}

AAX_Result InstanceHostObject::SetTailLength (int32_t samples)
{
    log->add ("Controller.SetTailLength " + std::to_string (samples));
    tail.store (samples);
    return AAX_OK;
}

AAX_Result InstanceHostObject::GetTailLength (int32_t* outSamples) const
{
    return answer (outSamples, tail.load());
}

//==============================================================================
double InstanceHostObject::quartersAt (int64_t samplePosition) const
{
    const std::lock_guard<std::mutex> guard (transportLock);
    return static_cast<double> (samplePosition) / settings.sampleRate * transport.tempo / 60.0;
}

AAX_Result InstanceHostObject::GetCurrentTempo (double* outBeatsPerMinute) const
{
    countQuery();
    return answer (outBeatsPerMinute, getTransport().tempo);
}

AAX_Result InstanceHostObject::GetCurrentMeter (int32_t* outNumerator, int32_t* outDenominator) const
{
    countQuery();

    if (outNumerator == nullptr || outDenominator == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const std::lock_guard<std::mutex> guard (transportLock);
    *outNumerator = transport.meterNumerator;
    *outDenominator = transport.meterDenominator;
    return AAX_OK;
}

AAX_Result InstanceHostObject::IsTransportPlaying (AAX_CBoolean* outPlaying) const
{
    countQuery();
    return answer (outPlaying, getTransport().playing ? 1 : 0);
}

AAX_Result InstanceHostObject::GetCurrentTickPosition (int64_t* outTicks) const
{
    countQuery();
    int64_t position = 0;
    GetCurrentSamplePosition (&position);
    return GetTickPositionAt (position, outTicks);
}

AAX_Result InstanceHostObject::GetCurrentLoopPosition (AAX_CBoolean* outLooping, int64_t* outStartTicks, int64_t* outEndTicks) const
{
    countQuery();

    if (outLooping == nullptr || outStartTicks == nullptr || outEndTicks == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const auto state = getTransport();
    *outLooping = state.looping ? 1 : 0;
    GetTickPositionAt (state.loopStartSample, outStartTicks);
    GetTickPositionAt (state.loopEndSample, outEndTicks);
    return AAX_OK;
}

AAX_Result InstanceHostObject::GetCurrentSamplePosition (int64_t* outSamples) const
{
    countQuery();
    return answer (outSamples, getTransport().samplePosition);
}

AAX_Result InstanceHostObject::GetTickPositionAt (int64_t samplePosition, int64_t* outTicks) const
{
    countQuery();
    return answer (outTicks, std::llround (quartersAt (samplePosition) * ticksPerQuarter));
}

AAX_Result InstanceHostObject::GetBarBeatPositionAt (int64_t samplePosition, int32_t* outBars, int32_t* outBeats, int64_t* outDisplayTicks) const
{
    countQuery();

    if (outBars == nullptr || outBeats == nullptr || outDisplayTicks == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const auto state = getTransport();
    const auto quartersPerBeat = 4.0 / state.meterDenominator;
    const auto beats = quartersAt (samplePosition) / quartersPerBeat;
    const auto wholeBeats = std::floor (beats);
    const auto bar = std::floor (wholeBeats / state.meterNumerator);

    *outBars = static_cast<int32_t> (bar) + 1;
    *outBeats = static_cast<int32_t> (wholeBeats - bar * state.meterNumerator) + 1;
    *outDisplayTicks = std::llround ((beats - wholeBeats) * quartersPerBeat * ticksPerQuarter);
    return AAX_OK;
}

AAX_Result InstanceHostObject::GetTicksPerQuarter (uint32_t* outTicks) const
{
    countQuery();
    return answer (outTicks, ticksPerQuarter);
}

AAX_Result InstanceHostObject::GetTicksPerBeat (uint32_t* outTicks) const
{
    countQuery();
    return answer (outTicks, static_cast<uint32_t> (ticksPerQuarter * 4 / static_cast<uint32_t> (getTransport().meterDenominator)));
}

AAX_Result InstanceHostObject::GetSelectionStart (int64_t* outSamples) const
{
    countQuery();
    return answer (outSamples, 0);
}

AAX_Result InstanceHostObject::GetFrameRate (double* outFramesPerSecond, int64_t* outOffsetSamples) const
{
    countQuery();

    if (outFramesPerSecond == nullptr || outOffsetSamples == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    *outFramesPerSecond = 25.0;
    *outOffsetSamples = 0;
    return AAX_OK;
}

AAX_Result InstanceHostObject::IsRecording (AAX_CBoolean* outRecording) const
{
    countQuery();
    return answer (outRecording, getTransport().recording ? 1 : 0);
}

AAX_Result InstanceHostObject::IsMetronomeEnabled (AAX_CBoolean* outEnabled) const
{
    countQuery();
    return answer (outEnabled, 0);
}

//==============================================================================
AAX_Result InstanceHostObject::RegisterParameter (AAX_CParamID id)
{
    log->add ("Automation.RegisterParameter " + describeID (id));

    if (id == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const std::lock_guard<std::mutex> guard (automationLock);
    registered.emplace_back (id);
    return AAX_OK;
}

AAX_Result InstanceHostObject::UnregisterParameter (AAX_CParamID id)
{
    log->add ("Automation.UnregisterParameter " + describeID (id));

    if (id == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const std::lock_guard<std::mutex> guard (automationLock);

    for (auto it = registered.begin(); it != registered.end(); ++it)
    {
        if (*it == id)
        {
            registered.erase (it);
            return AAX_OK;
        }
    }

    return AAX_ERROR_UNKNOWN_PARAMETER;
}

AAX_Result InstanceHostObject::PostSetValueRequest (AAX_CParamID id, double normalizedValue) const
{
    log->add ("Automation.PostSetValueRequest " + describeValue (id, normalizedValue));

    if (id == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const std::lock_guard<std::mutex> guard (automationLock);
    pendingRequests.emplace_back (id, normalizedValue);
    return AAX_OK;
}

AAX_Result InstanceHostObject::PostCurrentValue (AAX_CParamID id, double normalizedValue) const
{
    log->add ("Automation.PostCurrentValue " + describeValue (id, normalizedValue));
    return id != nullptr ? AAX_OK : AAX_ERROR_NULL_OBJECT;
}

AAX_Result InstanceHostObject::PostTouchRequest (AAX_CParamID id)
{
    log->add ("Automation.PostTouchRequest " + describeID (id));
    return setTouched (id, true);
}

AAX_Result InstanceHostObject::PostReleaseRequest (AAX_CParamID id)
{
    log->add ("Automation.PostReleaseRequest " + describeID (id));
    return setTouched (id, false);
}

AAX_Result InstanceHostObject::setTouched (AAX_CParamID id, bool isTouched)
{
    if (id == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const std::lock_guard<std::mutex> guard (automationLock);
    touched[id] = isTouched;
    return AAX_OK;
}

AAX_Result InstanceHostObject::GetTouchState (AAX_CParamID id, AAX_CBoolean* outTouched)
{
    if (id == nullptr || outTouched == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const std::lock_guard<std::mutex> guard (automationLock);
    const auto found = touched.find (id);
    *outTouched = found != touched.end() && found->second ? 1 : 0;
    return AAX_OK;
}

//==============================================================================
TransportState InstanceHostObject::getTransport() const
{
    const std::lock_guard<std::mutex> guard (transportLock);
    return transport;
}

void InstanceHostObject::setTransport (const TransportState& state)
{
    const std::lock_guard<std::mutex> guard (transportLock);
    transport = state;
}

void InstanceHostObject::advanceTransport (int numSamples)
{
    const std::lock_guard<std::mutex> guard (transportLock);

    if (! transport.playing)
        return;

    transport.samplePosition += numSamples;

    if (transport.looping && transport.loopEndSample > transport.loopStartSample
         && transport.samplePosition >= transport.loopEndSample)
        transport.samplePosition = transport.loopStartSample
                                    + (transport.samplePosition - transport.loopEndSample)
                                        % (transport.loopEndSample - transport.loopStartSample);
}

std::vector<std::pair<std::string, double>> InstanceHostObject::takePendingRequests()
{
    const std::lock_guard<std::mutex> guard (automationLock);
    return std::exchange (pendingRequests, {});
}

std::map<AAX_CFieldIndex, std::vector<uint8_t>> InstanceHostObject::takePostedPackets()
{
    const std::lock_guard<std::mutex> guard (packetLock);
    return std::exchange (postedPackets, {});
}

std::vector<std::string> InstanceHostObject::getRegisteredParameters() const
{
    const std::lock_guard<std::mutex> guard (automationLock);
    return registered;
}
