#pragma once

#include "AAX_CEffectParameters.h"
#include "AAX_RenderContext.h"
#include "ModuleMessageThread.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <map>
#include <memory>
#include <thread>

namespace AAXClasses
{

/**
    The effect object of one plug-in instance: a juce::AudioProcessor made by the module's
    factory (createPluginFilter), shown to the host as AAX parameters and chunks.

    Parameters: the master bypass "MasterBypassID", then one continuous parameter per processor
    parameter, whose id is its index in decimal. A value the host confirms reaches the processor;
    a change the processor makes is sent to the host as a request, with its gesture as a touch.
    The bypass never reaches the processor: only ids made of decimal digits naming an index in
    range do.

    Chunks: the control state 'elck' of the base and the processor's own state 'juce', which is
    what the processor's getStateInformation gives.

    Audio: the render procedure of every component (algorithmProcessCallback) finds the effect
    in its private data, copies the inputs to the outputs, turns the MIDI node's messages into a
    juce::MidiBuffer, and runs the processor's block (or its bypassed block, while the bypass
    packet says so) under the processor's callback lock, without allocating; a block longer than
    the one the processor was prepared for is rendered in pieces. The processor's play head reads
    the host's transport.

    Initialize and Uninitialize keep renders out, and first wait for a render in progress to
    leave: it may be reading the transport wrapper or the render state they replace. They wait
    holding no lock a render could need, so a render that waits for the callback lock or the host
    goes on and leaves; a render that comes meanwhile renders nothing. What the processor reports
    meanwhile (a value, a gesture, its latency, from a render, a restored state or the editor on
    the message thread) reaches neither the parameters nor the host: it passes the call gate of
    the base as a host call does, and so never waits either.

    The processor is made and deleted under a juce::MessageManagerLock on the module's own
    message thread, which this object keeps running.
*/
class JuceAAX_Processor final : public AAX_CEffectParameters,
                                private juce::AudioProcessorListener,
                                private juce::AudioPlayHead
{
public:
    ~JuceAAX_Processor() override;

    /** The creation procedure of the description: a new effect whose reference count is 0, or
        null when the factory gives no processor.
    */
    static IACFUnknown* Create();

    /** The render procedure of every component of the description. */
    static void algorithmProcessCallback (void* const instancesBegin[], const void* instancesEnd);

    juce::AudioProcessor& getPluginInstance() const noexcept    { return *pluginInstance; }

    //==============================================================================
    AAX_Result EffectInit() override;

    /** Offline processing starts ('AXof') and ends ('AXox') switch the processor's
        non-realtime mode; every notification then goes to the base.
    */
    AAX_Result NotificationReceived (AAX_CTypeID type, const void* data, uint32_t size) override;

    AAX_Result GetParameterName (AAX_CParamID id, AAX_IString* outName) const override;
    AAX_Result GetParameterNameOfLength (AAX_CParamID id, AAX_IString* outName, int32_t length) const override;
    AAX_Result GetParameterDefaultNormalizedValue (AAX_CParamID id, double* outValue) const override;

    /** The processor's text for its current value; for another value, the number. */
    AAX_Result GetParameterStringFromValue (AAX_CParamID id, double value, AAX_IString* outText, int32_t maxLength) const override;

    /** The processor's own value, which may have moved without the host (MIDI, the editor). */
    AAX_Result GetParameterNormalizedValue (AAX_CParamID id, double* outValue) const override;
    AAX_Result UpdateParameterNormalizedValue (AAX_CParamID id, double value, AAX_EUpdateSource source) override;

    /** The private-data field receives this object, for the render procedure to find. */
    AAX_Result ResetFieldData (AAX_CFieldIndex field, void* data, uint32_t size) const override;

    AAX_Result GetNumberOfChunks (int32_t* outCount) const override;
    AAX_Result GetChunkIDFromIndex (int32_t index, AAX_CTypeID* outID) const override;

    /** For 'juce', the processor's state is taken now and kept for the GetChunk that follows on
        the same thread.
    */
    AAX_Result GetChunkSize (AAX_CTypeID id, uint32_t* outSize) override;

    /** For 'juce', the state the calling thread's GetChunkSize took; from another thread, the only
        state taken (AAX_ERROR_CHUNK_SIZE when there is none, or more than one to choose from).
    */
    AAX_Result GetChunk (AAX_CTypeID id, AAX_ChunkRecord* chunk) override;
    AAX_Result SetChunk (AAX_CTypeID id, const AAX_ChunkRecord* chunk) override;

    /** The processor's state chunk id. */
    static constexpr AAX_CTypeID stateChunkID = AAX_FourCC ("juce");

    /** MIDI messages a block can carry to the processor; more are dropped. */
    static constexpr int maxMidiEventsPerBlock = 2048;

private:
    JuceAAX_Processor();

    /** The processor parameter an id names, or -1 (the bypass, unknown or malformed ids). */
    int getProcessorParameterIndex (AAX_CParamID id) const noexcept;

    void process (const AAX_RenderContext& context) noexcept;
    void render (const AAX_RenderContext& context) noexcept;

    /** Keeps renders out until the processor is prepared again, and returns once a render in
        progress has left.
    */
    void EffectStop() override;
    void EffectUninit() override;
    void prepareProcessor();
    void releaseProcessor();
    void registerParameters();

    //==============================================================================
    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float newValue) override;
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails& details) override;
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override;
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override;

    juce::Optional<juce::AudioPlayHead::PositionInfo> getPosition() const override;

    //==============================================================================
    ModuleMessageThread::User messageThread;
    std::unique_ptr<juce::AudioProcessor> pluginInstance;

    int numInputs = 0, numOutputs = 0, maxBlockSize = 0;
    double sampleRate = 44100.0;
    std::atomic<bool> prepared { false };
    bool bypassPacketRegistered = false;

    // Render state, sized when the processor is prepared.
    juce::AudioBuffer<float> scratch;
    std::vector<float*> channels;
    juce::AudioBuffer<float> block;
    juce::MidiBuffer midiMessages;
    std::atomic<int64_t> renderOffset { 0 };

    // Renders run only while rendering is allowed; each is counted while it runs.
    std::atomic<bool> renderingAllowed { false };
    std::atomic<int> numActiveRenders { 0 };

    std::atomic<int> numProcessorParameters { 0 };

    // The states GetChunkSize took, each kept for the GetChunk of the thread that asked: two
    // threads saving at once must each be given the state whose size they were told.
    juce::CriticalSection stateChunkLock;
    std::map<std::thread::id, juce::MemoryBlock> stateChunks;

    JUCE_DECLARE_NON_COPYABLE (JuceAAX_Processor)
};

} // namespace AAXClasses
