#pragma once

#include "AAX_CCallGate.h"
#include "AAX_CChunkDataParser.h"
#include "AAX_CPacketDispatcher.h"
#include "AAX_CParameterManager.h"
#include "AAX_IEffectParameters.h"
#include "AAX_VAutomationDelegate.h"
#include "AAX_VController.h"
#include "AAX_VTransport.h"

#include <atomic>
#include <mutex>
#include <set>
#include <string>

/** The host-facing model of one plug-in instance: its parameters by string id, the
    control-state chunk 'elck', and the packets it posts to the render callback.

    A derived class registers its parameters and packets in EffectInit. The host calls in on
    several threads: the packet tables and the chunk builder have locks of their own, and the
    change count is atomic. Initialize and Uninitialize replace the parameters and the host
    wrappers, so every operation that uses them (the parameter, chunk, coefficient and
    notification calls) is kept out of them by a call gate: such a call made before Initialize,
    after Uninitialize or while either runs answers AAX_ERROR_NOT_INITIALIZED and does nothing.
    Every operation that names a parameter answers AAX_ERROR_UNKNOWN_PARAMETER for an id it does
    not know, and a null out-pointer gives AAX_ERROR_NULL_OBJECT unless a result is stated for it.
*/
class AAX_CEffectParameters : public AAX_IEffectParameters
{
public:
    AAX_CEffectParameters();
    ~AAX_CEffectParameters() override;

    ACFRESULT InternalQueryInterface (const acfIID& iid, void** outInterface) override;

    /** Makes the host wrappers, runs EffectInit, and keeps the bypass out of the chunk.
        Initialised again by the same host object, the instance keeps its wrappers and its
        parameters, each registered once (EffectInit adds no id twice); initialised by another
        one, it is uninitialised first. Waits for the host calls inside to leave and for another
        Initialize or Uninitialize to end; AAX_ERROR_NOT_INITIALIZED when called back from inside
        one on the same thread.
    */
    AAX_Result Initialize (IACFUnknown* hostController) override;

    /** Deletes the parameters (unregistering them), then drops the host wrappers; waits as
        Initialize does.
    */
    AAX_Result Uninitialize() override;

    /** A preview-state notification sets the parameter "PreviewID", when there is one. */
    AAX_Result NotificationReceived (AAX_CTypeID type, const void* data, uint32_t size) override;

    AAX_Result GetNumberOfParameters (int32_t* outCount) const override;
    AAX_Result GetMasterBypassParameter (AAX_IString* outID) const override;
    AAX_Result GetParameterIsAutomatable (AAX_CParamID id, AAX_CBoolean* outAutomatable) const override;
    AAX_Result GetParameterNumberOfSteps (AAX_CParamID id, int32_t* outSteps) const override;
    AAX_Result GetParameterName (AAX_CParamID id, AAX_IString* outName) const override;

    /** The longest line of the shortened name that fits the length, else the name cut to it. */
    AAX_Result GetParameterNameOfLength (AAX_CParamID id, AAX_IString* outName, int32_t length) const override;
    AAX_Result GetParameterDefaultNormalizedValue (AAX_CParamID id, double* outValue) const override;
    AAX_Result SetParameterDefaultNormalizedValue (AAX_CParamID id, double value) override;
    AAX_Result GetParameterType (AAX_CParamID id, uint32_t* outType) const override;
    AAX_Result GetParameterOrientation (AAX_CParamID id, AAX_EParameterOrientation* outOrientation) const override;

    /** The parameter object itself, which lives until the instance is next uninitialised. */
    AAX_Result GetParameter (AAX_CParamID id, AAX_IParameter** outParameter) override;
    AAX_Result GetParameterIndex (AAX_CParamID id, int32_t* outIndex) const override;
    AAX_Result GetParameterIDFromIndex (int32_t index, AAX_IString* outID) const override;
    AAX_Result GetParameterValueInfo (AAX_CParamID id, int32_t selector, int32_t* outValue) const override;
    AAX_Result GetParameterValueFromString (AAX_CParamID id, double* outValue, const AAX_IString& text) const override;
    AAX_Result GetParameterStringFromValue (AAX_CParamID id, double value, AAX_IString* outText, int32_t maxLength) const override;
    AAX_Result GetParameterValueString (AAX_CParamID id, AAX_IString* outText, int32_t maxLength) const override;
    AAX_Result GetParameterNormalizedValue (AAX_CParamID id, double* outValue) const override;

    /** Sends the value to the host as a request; it is stored when the host confirms it. */
    AAX_Result SetParameterNormalizedValue (AAX_CParamID id, double value) override;
    AAX_Result SetParameterNormalizedRelative (AAX_CParamID id, double delta) override;
    AAX_Result TouchParameter (AAX_CParamID id) override;
    AAX_Result ReleaseParameter (AAX_CParamID id) override;
    AAX_Result UpdateParameterTouch (AAX_CParamID id, AAX_CBoolean touched) override;

    /** The host's confirmed value: stored, its packets marked dirty, one change counted. */
    AAX_Result UpdateParameterNormalizedValue (AAX_CParamID id, double value, AAX_EUpdateSource source) override;
    AAX_Result UpdateParameterNormalizedRelative (AAX_CParamID id, double delta) override;
    AAX_Result GenerateCoefficients() override;
    AAX_Result ResetFieldData (AAX_CFieldIndex field, void* data, uint32_t size) const override;

    AAX_Result GetNumberOfChunks (int32_t* outCount) const override;
    AAX_Result GetChunkIDFromIndex (int32_t index, AAX_CTypeID* outID) const override;
    AAX_Result GetChunkSize (AAX_CTypeID id, uint32_t* outSize) override;

    /** Only valid right after GetChunkSize, with nothing changed since (AAX_ERROR_CHUNK_SIZE otherwise). */
    AAX_Result GetChunk (AAX_CTypeID id, AAX_ChunkRecord* chunk) override;

    /** Sets every stored parameter found in the chunk, leaving the others; succeeds even when the
        chunk held nothing usable.
    */
    AAX_Result SetChunk (AAX_CTypeID id, const AAX_ChunkRecord* chunk) override;
    AAX_Result CompareActiveChunk (const AAX_ChunkRecord* chunk, AAX_CBoolean* outIsEqual) override;

    /** The number of host value updates so far; it wraps round to 0 instead of going negative. */
    AAX_Result GetNumberOfChanges (int32_t* outChanges) const override;

    AAX_Result TimerWakeup() override;
    AAX_Result GetCurveData (AAX_CTypeID curve, const float* values, uint32_t count, float* outValues) const override;
    AAX_Result GetCustomData (AAX_CTypeID type, uint32_t size, void* data, uint32_t* outWritten) const override;
    AAX_Result SetCustomData (AAX_CTypeID type, uint32_t size, const void* data) override;
    AAX_Result ProcessMidiTransfers() override;
    AAX_Result GetCurveMeterIDs (AAX_CTypeID curve, uint32_t* outXMeter, uint32_t* outYMeter) const override;
    AAX_Result UpdateMidiNode (AAX_CFieldIndex field, const AAX_MIDIPacket& packet) override;
    AAX_Result UpdateControlMidiNode (AAX_CTypeID nodeID, const AAX_MIDIPacket& packet) override;

    /** Registers the parameters and packets of the instance; a non-zero result fails Initialize. */
    virtual AAX_Result EffectInit();

protected:
    /** Runs first in every Initialize and Uninitialize, with the host's calls kept out: a derived
        class stops there whatever else of it uses the parameters or the host wrappers.
    */
    virtual void EffectStop()    {}

    /** Runs once the parameters and the host wrappers are gone: a derived class lets go of what
        its EffectInit prepared.
    */
    virtual void EffectUninit()    {}

    /** The gate a derived class passes its own calls through (those of its processor too). */
    AAX_CCallGate& GetCallGate() const noexcept                { return callGate; }

    AAX_CParameterManager& GetParameterManager() noexcept      { return parameterManager; }
    AAX_CPacketDispatcher& GetPacketDispatcher() noexcept      { return packetDispatcher; }
    AAX_IController* Controller() const noexcept               { return controller.get(); }
    AAX_ITransport* Transport() const noexcept                 { return transport.get(); }
    AAX_IAutomationDelegate* AutomationDelegate() const noexcept { return automationDelegate.get(); }

private:
    /** Answers the action's result for the parameter with the given identifier, or
        AAX_ERROR_UNKNOWN_PARAMETER where there is none. */
    template <typename Action>
    AAX_Result withParameter (AAX_CParamID id, Action&& action) const;

    /** As above, for an operation that answers through an output, which must not be null
        (AAX_ERROR_NULL_OBJECT); the action receives it by reference. */
    template <typename Output, typename Action>
    AAX_Result withParameter (AAX_CParamID id, Output* output, Action&& action) const;

    /** Answers through the output what the parameter's getter answers. */
    template <typename Output, typename Getter>
    AAX_Result readParameter (AAX_CParamID id, Output* output, Getter getter) const;

    /** Calls one of the parameter's operations that answers nothing. */
    template <typename Change, typename... Args>
    AAX_Result changeParameter (AAX_CParamID id, Change change, Args... args) const;

    /** Uninitialize's work, inside a teardown. */
    void uninitialize();

    /** Fills the chunk builder from the parameters that are not filtered out. */
    void buildChunkData();
    bool isFiltered (AAX_CParamID id) const;

    std::atomic<uint32_t> changeCount { 0 };
    int32_t lastChunkSize = 0;
    std::mutex chunkLock;
    AAX_CChunkDataParser chunkParser;

    // The wrappers outlive the parameters, which unregister from the automation delegate as they go.
    std::unique_ptr<AAX_VController> controller;
    std::unique_ptr<AAX_VAutomationDelegate> automationDelegate;
    std::unique_ptr<AAX_VTransport> transport;

    // What the wrappers were made on, while the instance is initialised (null is a host object too).
    IACFUnknown* hostObject = nullptr;
    bool initialised = false;

    AAX_CPacketDispatcher packetDispatcher;
    AAX_CParameterManager parameterManager;
    std::set<std::string> filteredParameters;

    mutable AAX_CCallGate callGate;
};
