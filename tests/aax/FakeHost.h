#pragma once

#include "AAX_IACFAutomationDelegate.h"
#include "AAX_IACFController.h"
#include "AAX_IACFHostServices.h"
#include "AAX_IACFEffectParameters.h"
#include "AAX_IACFTransport.h"
#include "AAX_Identifiers.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

/** Reference counting and interface lookup for a fake host object that answers one interface
    besides the unknown one. The tests own the objects; the count only shows that every
    reference taken was given back.
*/
template <typename Interface>
class FakeCounted : public Interface
{
public:
    explicit FakeCounted (const acfIID& iid) : ownIID (iid) {}
    virtual ~FakeCounted() = default;

    ACFRESULT QueryInterface (const acfIID& iid, void** out) override
    {
        *out = nullptr;

        if (iid != ownIID && iid != IID_IACFUnknown)
            return ACF_E_NOINTERFACE;

        *out = static_cast<Interface*> (this);
        AddRef();
        return ACF_OK;
    }

    uint32_t AddRef() override     { return static_cast<uint32_t> (++references); }
    uint32_t Release() override    { return static_cast<uint32_t> (--references); }

    int references = 0;

private:
    acfIID ownIID;
};

inline std::string describeCall (const char* what, AAX_CParamID id)
{
    return std::string (what) + " " + id;
}

inline std::string describeCall (const char* what, AAX_CParamID id, double value)
{
    char number[32];
    std::snprintf (number, sizeof (number), "%g", value);
    return describeCall (what, id) + " " + number;
}

/** Records what the module asks of the host's automation, in order, from any thread. A set-value
    request is answered through onSetValueRequest, as a host confirms values.
*/
class FakeAutomation final : public FakeCounted<AAX_IACFAutomationDelegate>
{
public:
    FakeAutomation() : FakeCounted (AAX_IID_AutomationDelegate) {}

    AAX_Result RegisterParameter (AAX_CParamID id) override      { record (describeCall ("register", id)); return AAX_OK; }
    AAX_Result UnregisterParameter (AAX_CParamID id) override    { record (describeCall ("unregister", id)); return AAX_OK; }
    AAX_Result PostTouchRequest (AAX_CParamID id) override       { record (describeCall ("touch", id)); return AAX_OK; }
    AAX_Result PostReleaseRequest (AAX_CParamID id) override     { record (describeCall ("release", id)); return AAX_OK; }
    AAX_Result GetTouchState (AAX_CParamID, AAX_CBoolean* out) override { *out = 0; return AAX_OK; }

    AAX_Result PostSetValueRequest (AAX_CParamID id, double value) const override
    {
        record (describeCall ("request", id, value));

        if (onSetValueRequest)
            onSetValueRequest (id, value);

        return AAX_OK;
    }

    AAX_Result PostCurrentValue (AAX_CParamID id, double value) const override
    {
        record (describeCall ("current", id, value));
        return AAX_OK;
    }

    mutable std::vector<std::string> calls;
    std::function<void (AAX_CParamID, double)> onSetValueRequest;

private:
    void record (std::string call) const
    {
        const std::lock_guard<std::mutex> guard (lock);
        calls.push_back (std::move (call));
    }

    mutable std::mutex lock;
};

/** A controller that keeps every posted packet. */
class FakeController final : public FakeCounted<AAX_IACFController>
{
public:
    struct Post
    {
        AAX_CFieldIndex field;
        std::vector<uint8_t> data;
    };

    FakeController() : FakeCounted (AAX_IID_Controller) {}

    AAX_Result GetEffectID (AAX_IString*) const override                 { return AAX_OK; }
    AAX_Result GetSampleRate (AAX_CSampleRate* r) const override         { *r = 48000.0f; return AAX_OK; }
    AAX_Result GetInputStemFormat (AAX_EStemFormat* f) const override    { *f = AAX_StemStereo; return AAX_OK; }
    AAX_Result GetOutputStemFormat (AAX_EStemFormat* f) const override   { *f = AAX_StemStereo; return AAX_OK; }
    AAX_Result GetSignalLatency (int32_t* s) const override              { *s = 0; return AAX_OK; }
    AAX_Result SetSignalLatency (int32_t) override                       { return AAX_OK; }
    AAX_Result GetHostVersion (uint32_t* v) const override               { *v = 1; return AAX_OK; }
    AAX_Result GetCurrentSampleLocation (int64_t* l) const override      { *l = 0; return AAX_OK; }
    AAX_Result GetMaxBlockLength (int32_t* s) const override             { *s = 1024; return AAX_OK; }
    AAX_Result GetCurrentMeterValue (AAX_CTypeID, float*) const override { return AAX_OK; }
    AAX_Result GetMeterPeakValue (AAX_CTypeID, float*) const override    { return AAX_OK; }
    AAX_Result ClearMeterPeakValue (AAX_CTypeID) const override          { return AAX_OK; }
    AAX_Result GetMeterClipped (AAX_CTypeID, AAX_CBoolean*) const override { return AAX_OK; }
    AAX_Result ClearMeterClipped (AAX_CTypeID) const override            { return AAX_OK; }
    AAX_Result GetMeterCount (uint32_t* c) const override                { *c = 0; return AAX_OK; }
    AAX_Result GetHostName (AAX_IString*) const override                 { return AAX_OK; }

    AAX_Result PostPacket (AAX_CFieldIndex field, const void* data, uint32_t size) override
    {
        const auto* bytes = static_cast<const uint8_t*> (data);
        posts.push_back ({ field, std::vector<uint8_t> (bytes, bytes + size) });
        return postResult;
    }

    std::vector<Post> posts;
    AAX_Result postResult = AAX_OK;
};

/** Keeps every trace. */
class FakeHostServices final : public FakeCounted<AAX_IACFHostServices>
{
public:
    FakeHostServices() : FakeCounted (AAX_IID_HostServices) {}

    AAX_Result ReportAssertion (const char*, int32_t, const char*) override    { return AAX_OK; }

    AAX_Result Trace (int32_t priority, const char* message) override
    {
        traces.push_back ({ priority, message });
        return AAX_OK;
    }

    std::vector<std::pair<int32_t, std::string>> traces;
};

/** A transport standing at sample 0, at 120 beats per minute in 4/4. While it is held, asking
    for the tempo waits until it is let go, so that a test can keep a render inside the host; a
    held call gives up after a time limit, so that a test that fails does not hang.
*/
class FakeTransport final : public FakeCounted<AAX_IACFTransport>
{
public:
    static constexpr std::chrono::seconds timeLimit { 10 };

    FakeTransport() : FakeCounted (AAX_IID_Transport) {}

    void hold()
    {
        const std::lock_guard<std::mutex> guard (lock);
        held = true;
    }

    void letGo()
    {
        const std::lock_guard<std::mutex> guard (lock);
        held = false;
        changed.notify_all();
    }

    /** Whether a call came to be held within the time limit. */
    bool waitForHeldCall() const
    {
        std::unique_lock<std::mutex> guard (lock);
        return changed.wait_for (guard, timeLimit, [this] { return numHeldCalls > 0; });
    }

    AAX_Result GetCurrentTempo (double* out) const override
    {
        std::unique_lock<std::mutex> guard (lock);

        if (held)
        {
            ++numHeldCalls;
            changed.notify_all();
            changed.wait_for (guard, timeLimit, [this] { return ! held; });
        }

        *out = 120.0;
        return AAX_OK;
    }

    AAX_Result GetCurrentMeter (int32_t* n, int32_t* d) const override                   { *n = 4; *d = 4; return AAX_OK; }
    AAX_Result IsTransportPlaying (AAX_CBoolean* out) const override                    { *out = 0; return AAX_OK; }
    AAX_Result GetCurrentTickPosition (int64_t* out) const override                     { *out = 0; return AAX_OK; }
    AAX_Result GetCurrentLoopPosition (AAX_CBoolean* l, int64_t* s, int64_t* e) const override { *l = 0; *s = *e = 0; return AAX_OK; }
    AAX_Result GetCurrentSamplePosition (int64_t* out) const override                   { *out = 0; return AAX_OK; }
    AAX_Result GetTickPositionAt (int64_t, int64_t* out) const override                 { *out = 0; return AAX_OK; }
    AAX_Result GetBarBeatPositionAt (int64_t, int32_t* bars, int32_t* beats, int64_t* ticks) const override { *bars = *beats = 1; *ticks = 0; return AAX_OK; }
    AAX_Result GetTicksPerQuarter (uint32_t* out) const override                        { *out = 960; return AAX_OK; }
    AAX_Result GetTicksPerBeat (uint32_t* out) const override                           { *out = 960; return AAX_OK; }

private:
    mutable std::mutex lock;
    mutable std::condition_variable changed;
    bool held = false;
    mutable int numHeldCalls = 0;
};

/** The host object of one instance: it answers the interfaces it was given and no others. */
class FakeHostObject final : public FakeCounted<IACFUnknown>
{
public:
    FakeHostObject() : FakeCounted (IID_IACFUnknown) {}

    ACFRESULT QueryInterface (const acfIID& iid, void** out) override
    {
        if (automation != nullptr && iid == AAX_IID_AutomationDelegate)
            return automation->QueryInterface (iid, out);

        if (controller != nullptr && iid == AAX_IID_Controller)
            return controller->QueryInterface (iid, out);

        if (services != nullptr && iid == AAX_IID_HostServices)
            return services->QueryInterface (iid, out);

        if (transport != nullptr && iid == AAX_IID_Transport)
            return transport->QueryInterface (iid, out);

        if (effect != nullptr && iid == AAX_IID_EffectParameters)
            return effect->QueryInterface (iid, out);

        return FakeCounted::QueryInterface (iid, out);
    }

    FakeAutomation* automation = nullptr;
    FakeController* controller = nullptr;
    FakeHostServices* services = nullptr;
    FakeTransport* transport = nullptr;
    AAX_IACFEffectParameters* effect = nullptr;
};
