#pragma once

#include "AAX_IACFEffectParameters.h"
#include "HostMIDINode.h"
#include "InstanceHostObject.h"
#include "SimulatedModule.h"

#include <map>
#include <string>
#include <vector>

/** One effect instance in the simulated host, made from a registered module.

    The host creates the effect object through the description's creation procedure, initialises
    it with the instance's host object (controller, transport, automation), hands it the private
    data of its render context, and renders blocks by filling the render context the component
    described and calling the component's render procedure. The steps are separate so that tests
    can take them one at a time; processBlock does what a host does for every block.

    The host confirms the module's set-value requests only in confirmPendingRequests, so a value
    the module asks for is not stored before the host answers.
*/
class SimulatedInstance
{
public:
    struct Settings
    {
        size_t effectIndex = 0;
        size_t componentIndex = 0;      ///< the channel configuration
        float sampleRate = 48000.0f;
        int maxBlockSize = 512;         ///< the longest block the host says it renders
        int bufferSize = 0;             ///< samples the host's buffers hold; 0 for maxBlockSize
    };

    SimulatedInstance (SimulatedModule& module, const Settings& settings);

    /** Uninitialises and releases an effect that is still there. */
    ~SimulatedInstance();

    SimulatedInstance (const SimulatedInstance&) = delete;
    SimulatedInstance& operator= (const SimulatedInstance&) = delete;

    /** Runs the creation procedure and takes the first reference to the effect interface;
        AAX_ERROR_NULL_OBJECT when the description has no such component or procedure, or the
        procedure makes nothing that answers the effect interface.
    */
    AAX_Result create();

    /** Initialize, then every private-data and data-port field reset by the effect, then the
        first coefficients (the initial packets).
    */
    AAX_Result initialize();
    AAX_Result uninitialize();

    /** Gives back the host's reference; the effect goes when it was the last. */
    void release();

    AAX_IACFEffectParameters* getEffect() const noexcept    { return effect; }
    InstanceHostObject& getHostObject() noexcept            { return *hostObject; }
    SimulatedModule& getModule() noexcept                   { return module; }
    const Settings& getSettings() const noexcept            { return settings; }

    int getNumInputs() const noexcept        { return numInputs; }
    int getNumOutputs() const noexcept       { return numOutputs; }
    int getBufferSize() const noexcept       { return bufferSize; }
    float getSampleRate() const noexcept     { return settings.sampleRate; }
    float* getInput (int channel)            { return inputs[static_cast<size_t> (channel)].data(); }
    float* getOutput (int channel)           { return outputs[static_cast<size_t> (channel)].data(); }

    //==============================================================================
    /** Answers every queued set-value request with the value as the host's confirmed one;
        returns how many were answered.
    */
    int confirmPendingRequests();
    AAX_Result generateCoefficients();

    /** Renders numSamples (at most the buffer size) from the input buffers into the output
        buffers, with the MIDI messages of the block; posted packets reach their ports first.
    */
    void renderBlock (int numSamples, const std::vector<AAX_MIDIPacket>& midi = {});

    /** What the host does for each block: confirms requests, asks for coefficients, renders and
        moves the transport on.
    */
    void processBlock (int numSamples, const std::vector<AAX_MIDIPacket>& midi = {});

    TransportState getTransport() const                  { return hostObject->getTransport(); }
    void setTransport (const TransportState& state)      { hostObject->setTransport (state); }

    /** The bytes the render context's field holds now (a data port or private data). */
    std::vector<uint8_t> getFieldData (AAX_CFieldIndex field) const;

    //==============================================================================
    std::vector<std::string> getParameterIDs() const;

    /** A change the host makes itself (automation, a control surface): confirmed at once. */
    AAX_Result setParameter (const std::string& id, double normalizedValue);
    double getParameter (const std::string& id) const;
    std::string getParameterName (const std::string& id) const;

    /** The effect's text for the parameter's current value. */
    std::string getParameterText (const std::string& id, int32_t maxLength = 64) const;

    //==============================================================================
    std::vector<AAX_CTypeID> getChunkIDs() const;

    /** Asks for the chunk's size, then for the chunk, into a record of that size. */
    AAX_Result getChunk (AAX_CTypeID id, std::vector<uint8_t>& record);

    /** Hands the effect a record; AAX_ERROR_CHUNK_SIZE, without calling the effect, for one
        shorter than its header or than the data size its header gives.
    */
    AAX_Result setChunk (const std::vector<uint8_t>& record);
    AAX_Result compareChunk (const std::vector<uint8_t>& record, bool& isEqual);

private:
    void buildRenderContext();

    SimulatedModule& module;
    const Settings settings;
    const ComponentDescription* component = nullptr;
    InstanceHostObject* hostObject;
    AAX_IACFEffectParameters* effect = nullptr;
    bool initialised = false;

    int numInputs = 0, numOutputs = 0, bufferSize = 0;
    std::vector<std::vector<float>> inputs, outputs;
    std::vector<float*> inputPointers, outputPointers;
    int32_t blockLength = 0;
    HostMIDINode midiNode;
    std::map<AAX_CFieldIndex, std::vector<uint64_t>> fieldStorage;   // 8-byte aligned
    std::map<AAX_CFieldIndex, uint32_t> fieldSizes;
    std::vector<void*> renderContext;
};
