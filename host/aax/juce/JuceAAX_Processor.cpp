#include "JuceAAX_Processor.h"

#include "AAX_CBinaryDisplayDelegate.h"
#include "AAX_CBinaryTaperDelegate.h"
#include "AAX_CLinearTaperDelegate.h"
#include "AAX_CNumberDisplayDelegate.h"
#include "AAX_CParameter.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

/** The module's plug-in factory. */
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter();

// The processor is driven through JUCE's index-based parameter interface, which is what the
// processors of this generation implement.
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")

namespace AAXClasses
{

namespace
{
    constexpr int maxParameterNameLength = 31;
    constexpr int defaultMaxBlockSize = 1024;
    constexpr double defaultSampleRate = 44100.0;

    // A short MIDI message takes its time stamp, its size and at most 4 bytes in a MidiBuffer.
    constexpr size_t maxBytesPerMidiEvent = sizeof (int32_t) + sizeof (uint16_t) + 4;

    constexpr const char* stateChunkName = "Processor State";

    /** The id of a processor parameter: its index in decimal. */
    struct ParameterID
    {
        explicit ParameterID (int index) noexcept    { std::snprintf (text, sizeof (text), "%d", index); }
        char text[16];
    };
}

//==============================================================================
JuceAAX_Processor::JuceAAX_Processor()
{
    const juce::MessageManagerLock lock;

    juce::PluginHostType::jucePlugInClientCurrentWrapperType = juce::AudioProcessor::wrapperType_AAX;
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_AAX);
    pluginInstance.reset (createPluginFilter());
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);

    if (pluginInstance != nullptr)
    {
        pluginInstance->setPlayHead (this);
        pluginInstance->addListener (this);
    }
}

JuceAAX_Processor::~JuceAAX_Processor()
{
    if (pluginInstance == nullptr)
        return;

    // A report of the processor's may still be on its way through on another thread.
    pluginInstance->removeListener (this);
    const AAX_CCallGate::Teardown teardown (GetCallGate());
    releaseProcessor();
    pluginInstance->setPlayHead (nullptr);

    const juce::MessageManagerLock lock;
    pluginInstance.reset();
}

IACFUnknown* JuceAAX_Processor::Create()
{
    try
    {
        std::unique_ptr<JuceAAX_Processor> effect (new JuceAAX_Processor());

        if (effect->pluginInstance == nullptr)
            return nullptr;

        return effect.release()->GetOuterUnknown();
    }
    catch (...)
    {
        return nullptr;
    }
}

//==============================================================================
int JuceAAX_Processor::getProcessorParameterIndex (AAX_CParamID id) const noexcept
{
    if (id == nullptr || id[0] == '\0')
        return -1;

    // Digits only, without a leading zero (so each index has one id), and in range.
    if (id[0] == '0' && id[1] != '\0')
        return -1;

    int64_t index = 0;

    for (auto* c = id; *c != '\0'; ++c)
    {
        if (*c < '0' || *c > '9' || c - id >= 9)
            return -1;

        index = index * 10 + (*c - '0');
    }

    return index < numProcessorParameters ? static_cast<int> (index) : -1;
}

//==============================================================================
AAX_Result JuceAAX_Processor::EffectInit()
{
    prepareProcessor();
    registerParameters();

    if (! bypassPacketRegistered)
    {
        auto& dispatcher = GetPacketDispatcher();
        dispatcher.RegisterPacket (AAX_MasterBypassID, AAX_FieldBypass,
                                   AAX_CPacketHandler<AAX_CPacketDispatcher> (&dispatcher, &AAX_CPacketDispatcher::GenerateSingleValuePacket));
        bypassPacketRegistered = true;
    }

    return AAX_OK;
}

void JuceAAX_Processor::prepareProcessor()
{
    auto& processor = *pluginInstance;
    numInputs = processor.getTotalNumInputChannels();
    numOutputs = processor.getTotalNumOutputChannels();
    sampleRate = defaultSampleRate;
    maxBlockSize = defaultMaxBlockSize;

    if (auto* controller = Controller())
    {
        AAX_EStemFormat stem = AAX_StemNone;

        if (controller->GetInputStemFormat (&stem) == AAX_OK && AAX_ChannelCountOfStemFormat (stem) > 0)
            numInputs = AAX_ChannelCountOfStemFormat (stem);

        if (controller->GetOutputStemFormat (&stem) == AAX_OK && AAX_ChannelCountOfStemFormat (stem) > 0)
            numOutputs = AAX_ChannelCountOfStemFormat (stem);

        AAX_CSampleRate rate = 0.0f;

        if (controller->GetSampleRate (&rate) == AAX_OK && rate > 0.0f)
            sampleRate = rate;

        int32_t blockSize = 0;

        if (controller->GetMaxBlockLength (&blockSize) == AAX_OK && blockSize > 0)
            maxBlockSize = blockSize;
    }

    releaseProcessor();
    processor.setPlayConfigDetails (numInputs, numOutputs, sampleRate, maxBlockSize);
    processor.prepareToPlay (sampleRate, maxBlockSize);
    prepared = true;

    const auto numChannels = juce::jmax (numInputs, numOutputs);
    scratch.setSize (numChannels, maxBlockSize);
    channels.assign (static_cast<size_t> (numChannels), nullptr);
    midiMessages.ensureSize (maxMidiEventsPerBlock * maxBytesPerMidiEvent);
    renderingAllowed = true;
}

void JuceAAX_Processor::releaseProcessor()
{
    if (prepared.exchange (false))
        pluginInstance->releaseResources();
}

void JuceAAX_Processor::registerParameters()
{
    auto& processor = *pluginInstance;
    auto& manager = GetParameterManager();

    auto bypass = std::make_unique<AAX_CParameter<bool>> (AAX_MasterBypassID, AAX_CString ("Master Bypass"), false,
                                                          AAX_CBinaryTaperDelegate<bool>(),
                                                          AAX_CBinaryDisplayDelegate<bool> ("bypass", "on"), true);
    bypass->SetNumberOfSteps (2);
    bypass->SetType (AAX_ParameterTypeDiscrete);
    manager.AddParameter (std::move (bypass));

    const auto count = processor.getNumParameters();

    for (int index = 0; index < count; ++index)
    {
        const auto name = processor.getParameterName (index).substring (0, maxParameterNameLength);
        auto parameter = std::make_unique<AAX_CParameter<float>> (ParameterID (index).text, AAX_CString (name.toRawUTF8()),
                                                                  processor.getParameterDefaultValue (index),
                                                                  AAX_CLinearTaperDelegate<float> (0.0f, 1.0f),
                                                                  AAX_CNumberDisplayDelegate<float, 3>(),
                                                                  processor.isParameterAutomatable (index));

        // Still without the host, so the processor's present value is taken as it is.
        parameter->SetNormalizedValue (processor.getParameter (index));
        manager.AddParameter (std::move (parameter));
    }

    numProcessorParameters = count;
}

void JuceAAX_Processor::EffectUninit()
{
    numProcessorParameters = 0;
    releaseProcessor();
}

AAX_Result JuceAAX_Processor::NotificationReceived (AAX_CTypeID type, const void* data, uint32_t size)
{
    const AAX_CCallGate::Call call (GetCallGate());

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    if (type == AAX_NotificationOfflineStart)
        pluginInstance->setNonRealtime (true);
    else if (type == AAX_NotificationOfflineEnd)
        pluginInstance->setNonRealtime (false);

    return AAX_CEffectParameters::NotificationReceived (type, data, size);
}

//==============================================================================
AAX_Result JuceAAX_Processor::GetParameterName (AAX_CParamID id, AAX_IString* outName) const
{
    const AAX_CCallGate::Call call (GetCallGate());

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    const auto index = getProcessorParameterIndex (id);

    if (index < 0 || outName == nullptr)
        return AAX_CEffectParameters::GetParameterName (id, outName);

    outName->Set (pluginInstance->getParameterName (index).toRawUTF8());
    return AAX_OK;
}

AAX_Result JuceAAX_Processor::GetParameterNameOfLength (AAX_CParamID id, AAX_IString* outName, int32_t length) const
{
    const AAX_CCallGate::Call call (GetCallGate());

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    const auto index = getProcessorParameterIndex (id);

    if (index < 0 || outName == nullptr)
        return AAX_CEffectParameters::GetParameterNameOfLength (id, outName, length);

    outName->Set (length > 0 ? pluginInstance->getParameterName (index, length).toRawUTF8() : "");
    return AAX_OK;
}

AAX_Result JuceAAX_Processor::GetParameterDefaultNormalizedValue (AAX_CParamID id, double* outValue) const
{
    const AAX_CCallGate::Call call (GetCallGate());

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    const auto index = getProcessorParameterIndex (id);

    if (index < 0 || outValue == nullptr)
        return AAX_CEffectParameters::GetParameterDefaultNormalizedValue (id, outValue);

    *outValue = pluginInstance->getParameterDefaultValue (index);
    return AAX_OK;
}

AAX_Result JuceAAX_Processor::GetParameterStringFromValue (AAX_CParamID id, double value, AAX_IString* outText, int32_t maxLength) const
{
    const AAX_CCallGate::Call call (GetCallGate());

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    const auto index = getProcessorParameterIndex (id);

    // The processor can only put its present value into words.
    if (index < 0 || outText == nullptr
         || static_cast<float> (value) != pluginInstance->getParameter (index))
        return AAX_CEffectParameters::GetParameterStringFromValue (id, value, outText, maxLength);

    outText->Set (maxLength > 0 ? pluginInstance->getParameterText (index, maxLength).toRawUTF8() : "");
    return AAX_OK;
}

AAX_Result JuceAAX_Processor::GetParameterNormalizedValue (AAX_CParamID id, double* outValue) const
{
    const AAX_CCallGate::Call call (GetCallGate());

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    const auto result = AAX_CEffectParameters::GetParameterNormalizedValue (id, outValue);
    const auto index = getProcessorParameterIndex (id);

    if (result == AAX_OK && index >= 0)
        *outValue = pluginInstance->getParameter (index);

    return result;
}

AAX_Result JuceAAX_Processor::UpdateParameterNormalizedValue (AAX_CParamID id, double value, AAX_EUpdateSource source)
{
    const AAX_CCallGate::Call call (GetCallGate());

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    const auto result = AAX_CEffectParameters::UpdateParameterNormalizedValue (id, value, source);
    const auto index = getProcessorParameterIndex (id);
    double stored = 0.0;

    // The value as the parameter stored it, that is within its range.
    if (result == AAX_OK && index >= 0
         && AAX_CEffectParameters::GetParameterNormalizedValue (id, &stored) == AAX_OK)
        pluginInstance->setParameter (index, static_cast<float> (stored));

    return result;
}

AAX_Result JuceAAX_Processor::ResetFieldData (AAX_CFieldIndex field, void* data, uint32_t size) const
{
    if (field != AAX_FieldPrivateData)
        return AAX_CEffectParameters::ResetFieldData (field, data, size);

    auto* self = const_cast<JuceAAX_Processor*> (this);

    if (data == nullptr || size < sizeof (self))
        return AAX_ERROR_NULL_OBJECT;

    std::memset (data, 0, size);
    std::memcpy (data, &self, sizeof (self));
    return AAX_OK;
}

//==============================================================================
AAX_Result JuceAAX_Processor::GetNumberOfChunks (int32_t* outCount) const
{
    if (outCount == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    *outCount = 2;
    return AAX_OK;
}

AAX_Result JuceAAX_Processor::GetChunkIDFromIndex (int32_t index, AAX_CTypeID* outID) const
{
    if (index != 1 || outID == nullptr)
        return AAX_CEffectParameters::GetChunkIDFromIndex (index, outID);

    *outID = stateChunkID;
    return AAX_OK;
}

AAX_Result JuceAAX_Processor::GetChunkSize (AAX_CTypeID id, uint32_t* outSize)
{
    if (id != stateChunkID)
        return AAX_CEffectParameters::GetChunkSize (id, outSize);

    if (outSize == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    *outSize = 0;
    const AAX_CCallGate::Call call (GetCallGate());

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    const juce::ScopedLock lock (stateChunkLock);
    auto& state = stateChunks[std::this_thread::get_id()];
    state.reset();
    pluginInstance->getStateInformation (state);

    if (state.getSize() > static_cast<size_t> (std::numeric_limits<int32_t>::max()))
    {
        stateChunks.erase (std::this_thread::get_id());
        return AAX_ERROR_CHUNK_SIZE;
    }

    *outSize = static_cast<uint32_t> (state.getSize());
    return AAX_OK;
}

AAX_Result JuceAAX_Processor::GetChunk (AAX_CTypeID id, AAX_ChunkRecord* chunk)
{
    if (id != stateChunkID)
        return AAX_CEffectParameters::GetChunk (id, chunk);

    if (chunk == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const AAX_CCallGate::Call call (GetCallGate());

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    const juce::ScopedLock lock (stateChunkLock);
    auto taken = stateChunks.find (std::this_thread::get_id());

    // Asked for on another thread than its size, the state is only known while one is kept: the
    // record was made for a size given to someone, and another state may not fit it.
    if (taken == stateChunks.end() && stateChunks.size() == 1)
        taken = stateChunks.begin();

    if (taken == stateChunks.end())
        return AAX_ERROR_CHUNK_SIZE;

    const auto& state = taken->second;
    chunk->dataSize = static_cast<int32_t> (state.getSize());
    chunk->version = 1;
    chunk->chunkID = stateChunkID;
    chunk->setName (stateChunkName);
    state.copyTo (chunk->data(), 0, state.getSize());
    stateChunks.erase (taken);
    return AAX_OK;
}

AAX_Result JuceAAX_Processor::SetChunk (AAX_CTypeID id, const AAX_ChunkRecord* chunk)
{
    if (id != stateChunkID)
        return AAX_CEffectParameters::SetChunk (id, chunk);

    if (chunk == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const AAX_CCallGate::Call call (GetCallGate());

    if (! call)
        return AAX_ERROR_NOT_INITIALIZED;

    if (chunk->dataSize <= 0)
        return AAX_ERROR_CHUNK_SIZE;

    pluginInstance->setStateInformation (chunk->data(), chunk->dataSize);
    return AAX_OK;
}

//==============================================================================
void JuceAAX_Processor::audioProcessorParameterChanged (juce::AudioProcessor*, int index, float newValue)
{
    const AAX_CCallGate::Call call (GetCallGate());

    if (call && index >= 0 && index < numProcessorParameters)
        if (auto* parameter = GetParameterManager().GetParameterByID (ParameterID (index).text))
            parameter->SetNormalizedValue (newValue);
}

void JuceAAX_Processor::audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails& details)
{
    const AAX_CCallGate::Call call (GetCallGate());

    if (call && details.latencyChanged)
        if (auto* controller = Controller())
            controller->SetSignalLatency (pluginInstance->getLatencySamples());
}

void JuceAAX_Processor::audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index)
{
    const AAX_CCallGate::Call call (GetCallGate());

    if (call && index >= 0 && index < numProcessorParameters)
        TouchParameter (ParameterID (index).text);
}

void JuceAAX_Processor::audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index)
{
    const AAX_CCallGate::Call call (GetCallGate());

    if (call && index >= 0 && index < numProcessorParameters)
        ReleaseParameter (ParameterID (index).text);
}

//==============================================================================
juce::Optional<juce::AudioPlayHead::PositionInfo> JuceAAX_Processor::getPosition() const
{
    auto* transport = Transport();

    if (transport == nullptr)
        return {};

    PositionInfo info;
    double bpm = 0.0;

    if (transport->GetCurrentTempo (&bpm) == AAX_OK && bpm > 0.0)
        info.setBpm (bpm);

    int32_t numerator = 0, denominator = 0;

    if (transport->GetCurrentMeter (&numerator, &denominator) == AAX_OK && numerator > 0 && denominator > 0)
        info.setTimeSignature (TimeSignature { numerator, denominator });

    AAX_CBoolean flag = 0;

    if (transport->IsTransportPlaying (&flag) == AAX_OK)
        info.setIsPlaying (flag != 0);

    if (transport->IsRecording (&flag) == AAX_OK)
        info.setIsRecording (flag != 0);

    int64_t position = 0;

    if (transport->GetCurrentSamplePosition (&position) != AAX_OK)
        return info;

    // A block rendered in pieces: each piece starts further on.
    position += renderOffset.load();
    info.setTimeInSamples (position);
    info.setTimeInSeconds (static_cast<double> (position) / sampleRate);

    uint32_t ticksPerQuarter = 0;
    int64_t ticks = 0;

    if (transport->GetTicksPerQuarter (&ticksPerQuarter) != AAX_OK || ticksPerQuarter == 0
         || transport->GetTickPositionAt (position, &ticks) != AAX_OK)
        return info;

    const auto quarters = static_cast<double> (ticks) / ticksPerQuarter;
    info.setPpqPosition (quarters);

    int32_t bars = 0, beats = 0;
    int64_t ticksIntoBeat = 0;

    if (denominator > 0 && transport->GetBarBeatPositionAt (position, &bars, &beats, &ticksIntoBeat) == AAX_OK)
    {
        const auto quartersIntoBar = (beats - 1) * 4.0 / denominator + static_cast<double> (ticksIntoBeat) / ticksPerQuarter;
        info.setPpqPositionOfLastBarStart (quarters - quartersIntoBar);
        info.setBarCount (bars - 1);
    }

    AAX_CBoolean looping = 0;
    int64_t loopStart = 0, loopEnd = 0;

    if (transport->GetCurrentLoopPosition (&looping, &loopStart, &loopEnd) == AAX_OK)
    {
        info.setIsLooping (looping != 0);

        if (looping != 0)
            info.setLoopPoints (LoopPoints { static_cast<double> (loopStart) / ticksPerQuarter,
                                             static_cast<double> (loopEnd) / ticksPerQuarter });
    }

    return info;
}

//==============================================================================
void JuceAAX_Processor::algorithmProcessCallback (void* const instancesBegin[], const void* instancesEnd)
{
    for (auto* const* instance = instancesBegin; instance < static_cast<void* const*> (instancesEnd); ++instance)
    {
        if (*instance == nullptr)
            continue;

        const auto& context = *static_cast<const AAX_RenderContext*> (*instance);
        JuceAAX_Processor* effect = nullptr;

        if (context.privateData != nullptr)
            std::memcpy (&effect, context.privateData, sizeof (effect));

        if (effect != nullptr)
            effect->process (context);
    }
}

void JuceAAX_Processor::process (const AAX_RenderContext& context) noexcept
{
    // Counted before it looks: a teardown that has just stopped rendering either finds this
    // render counted and waits for it, or this render finds rendering stopped.
    numActiveRenders.fetch_add (1);

    if (renderingAllowed.load())
        render (context);

    numActiveRenders.fetch_sub (1);
}

void JuceAAX_Processor::EffectStop()
{
    renderingAllowed = false;

    while (numActiveRenders.load() != 0)
        std::this_thread::sleep_for (std::chrono::milliseconds (1));
}

void JuceAAX_Processor::render (const AAX_RenderContext& context) noexcept
{
    const auto numSamples = context.blockLength != nullptr ? *context.blockLength : 0;

    if (numSamples <= 0)
        return;

    const juce::ScopedNoDenormals noDenormals;
    const bool bypassed = context.bypass != nullptr && *context.bypass != 0;
    const auto* stream = context.midiNode != nullptr ? context.midiNode->GetNodeBuffer() : nullptr;
    const auto numPackets = stream != nullptr && stream->packets != nullptr ? stream->packetCount : 0u;
    const auto numChannels = static_cast<int> (channels.size());
    auto& processor = *pluginInstance;

    for (int start = 0; start < numSamples; start += maxBlockSize)
    {
        const auto length = juce::jmin (maxBlockSize, numSamples - start);

        for (int channel = 0; channel < numChannels; ++channel)
        {
            float* output = channel < numOutputs && context.outputChannels != nullptr && context.outputChannels[channel] != nullptr
                              ? context.outputChannels[channel] + start
                              : scratch.getWritePointer (channel);
            const float* input = channel < numInputs && context.inputChannels != nullptr && context.inputChannels[channel] != nullptr
                                   ? context.inputChannels[channel] + start
                                   : nullptr;

            if (input == nullptr)
                juce::FloatVectorOperations::clear (output, length);
            else if (input != output)
                juce::FloatVectorOperations::copy (output, input, length);

            channels[static_cast<size_t> (channel)] = output;
        }

        block.setDataToReferTo (channels.data(), numChannels, length);
        midiMessages.clear();
        int numEvents = 0;

        for (uint32_t index = 0; index < numPackets && numEvents < maxMidiEventsPerBlock; ++index)
        {
            const auto& packet = stream->packets[index];
            const auto time = juce::jmin (static_cast<int64_t> (packet.timestamp), static_cast<int64_t> (numSamples - 1));

            if (time >= start && time < start + length && packet.length > 0)
            {
                midiMessages.addEvent (packet.data, static_cast<int> (juce::jmin (packet.length, 4u)), static_cast<int> (time - start));
                ++numEvents;
            }
        }

        renderOffset.store (start);

        try
        {
            const juce::ScopedLock lock (processor.getCallbackLock());

            if (bypassed)
                processor.processBlockBypassed (block, midiMessages);
            else
                processor.processBlock (block, midiMessages);
        }
        catch (...)
        {
            // Nothing may be thrown into the host's render thread.
        }
    }

    renderOffset.store (0);
}

} // namespace AAXClasses

JUCE_END_IGNORE_WARNINGS_GCC_LIKE
