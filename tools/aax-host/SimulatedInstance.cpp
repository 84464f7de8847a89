#include "SimulatedInstance.h"

#include "AAX_Identifiers.h"
#include "HostString.h"

#include <algorithm>
#include <cstring>
#include <utility>

using Kind = FieldDescription::Kind;

SimulatedInstance::SimulatedInstance (SimulatedModule& m, const Settings& s)
    : module (m), settings (s)
{
    const auto& effects = module.getDescription().effects;
    InstanceHostObject::Settings hostSettings;
    hostSettings.sampleRate = settings.sampleRate;
    hostSettings.maxBlockLength = settings.maxBlockSize;
    bufferSize = std::max (settings.bufferSize > 0 ? settings.bufferSize : settings.maxBlockSize, 1);

    if (settings.effectIndex < effects.size())
    {
        const auto& effectDescription = effects[settings.effectIndex];
        hostSettings.effectID = effectDescription.identifier;

        if (settings.componentIndex < effectDescription.components.size())
        {
            component = &effectDescription.components[settings.componentIndex];
            AAX_CPropertyValue stem = 0;

            if (findProperty (component->properties, AAX_PropInputStemFormat, stem))
            {
                hostSettings.inputStem = static_cast<AAX_EStemFormat> (stem);
                numInputs = AAX_ChannelCountOfStemFormat (static_cast<uint32_t> (stem));
            }

            if (findProperty (component->properties, AAX_PropOutputStemFormat, stem))
            {
                hostSettings.outputStem = static_cast<AAX_EStemFormat> (stem);
                numOutputs = AAX_ChannelCountOfStemFormat (static_cast<uint32_t> (stem));
            }
        }
    }

    hostObject = new InstanceHostObject (module.getLog(), hostSettings);
    buildRenderContext();
}

SimulatedInstance::~SimulatedInstance()
{
    if (effect != nullptr)
    {
        if (initialised)
            uninitialize();

        release();
    }

    hostObject->Release();
}

void SimulatedInstance::buildRenderContext()
{
    inputs.assign (static_cast<size_t> (numInputs), std::vector<float> (static_cast<size_t> (bufferSize)));
    outputs.assign (static_cast<size_t> (numOutputs), std::vector<float> (static_cast<size_t> (bufferSize)));

    for (auto& channel : inputs)
        inputPointers.push_back (channel.data());

    for (auto& channel : outputs)
        outputPointers.push_back (channel.data());

    if (component == nullptr)
        return;

    AAX_CFieldIndex highest = -1;

    for (const auto& field : component->fields)
        highest = std::max (highest, field.index);

    renderContext.assign (static_cast<size_t> (highest + 1), nullptr);

    for (const auto& field : component->fields)
    {
        auto& slot = renderContext[static_cast<size_t> (field.index)];

        switch (field.kind)
        {
            case Kind::audioIn:        slot = inputPointers.data(); break;
            case Kind::audioOut:       slot = outputPointers.data(); break;
            case Kind::bufferLength:   slot = &blockLength; break;
            case Kind::midiNode:       slot = static_cast<AAX_IMIDINode*> (&midiNode); break;

            case Kind::dataInPort:
            case Kind::privateData:
            case Kind::scratchData:
            {
                auto& storage = fieldStorage[field.index];
                storage.assign ((field.size + 7) / 8 + 1, 0);
                fieldSizes[field.index] = field.size;
                slot = storage.data();
                break;
            }

            case Kind::sampleRate:
            case Kind::clock:
            case Kind::sideChainIn:
            case Kind::auxOutputStem:
            case Kind::meters:
            case Kind::directMemory:
            case Kind::reserved:
            default:
                break;
        }
    }
}

AAX_Result SimulatedInstance::create()
{
    if (component == nullptr || effect != nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const auto& effectDescription = module.getDescription().effects[settings.effectIndex];
    effect = static_cast<AAX_IACFEffectParameters*> (SimulatedModule::createObject (effectDescription,
                                                                                    AAX_ProcIDCreateEffectParameters,
                                                                                    AAX_IID_EffectParameters));

    if (effect == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    hostObject->setEffect (effect);
    return AAX_OK;
}

AAX_Result SimulatedInstance::initialize()
{
    if (effect == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const auto result = effect->Initialize (hostObject->asUnknown());

    if (result != AAX_OK)
        return result;

    initialised = true;

    for (auto& [field, storage] : fieldStorage)
        effect->ResetFieldData (field, storage.data(), fieldSizes[field]);

    return generateCoefficients();
}

AAX_Result SimulatedInstance::uninitialize()
{
    if (effect == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    initialised = false;
    return effect->Uninitialize();
}

void SimulatedInstance::release()
{
    if (effect == nullptr)
        return;

    hostObject->setEffect (nullptr);
    std::exchange (effect, nullptr)->Release();
}

//==============================================================================
int SimulatedInstance::confirmPendingRequests()
{
    if (effect == nullptr)
        return 0;

    const auto requests = hostObject->takePendingRequests();

    for (const auto& [id, value] : requests)
        effect->UpdateParameterNormalizedValue (id.c_str(), value, AAX_UpdateSourceHost);

    return static_cast<int> (requests.size());
}

AAX_Result SimulatedInstance::generateCoefficients()
{
    return effect != nullptr ? effect->GenerateCoefficients() : AAX_ERROR_NULL_OBJECT;
}

void SimulatedInstance::renderBlock (int numSamples, const std::vector<AAX_MIDIPacket>& midi)
{
    if (component == nullptr || component->renderProcedure == nullptr)
        return;

    for (auto& [field, data] : hostObject->takePostedPackets())
    {
        const auto storage = fieldStorage.find (field);

        if (storage != fieldStorage.end())
            std::memcpy (storage->second.data(), data.data(), std::min<size_t> (data.size(), fieldSizes[field]));
    }

    blockLength = std::clamp (numSamples, 0, bufferSize);
    midiNode.setPackets (midi);

    void* const instances[] = { renderContext.data() };
    component->renderProcedure (instances, instances + 1);
}

void SimulatedInstance::processBlock (int numSamples, const std::vector<AAX_MIDIPacket>& midi)
{
    confirmPendingRequests();
    generateCoefficients();
    renderBlock (numSamples, midi);
    hostObject->advanceTransport (numSamples);
}

std::vector<uint8_t> SimulatedInstance::getFieldData (AAX_CFieldIndex field) const
{
    const auto storage = fieldStorage.find (field);

    if (storage == fieldStorage.end())
        return {};

    const auto* bytes = reinterpret_cast<const uint8_t*> (storage->second.data());
    return { bytes, bytes + fieldSizes.at (field) };
}

//==============================================================================
std::vector<std::string> SimulatedInstance::getParameterIDs() const
{
    std::vector<std::string> ids;
    int32_t count = 0;

    if (effect == nullptr || effect->GetNumberOfParameters (&count) != AAX_OK)
        return ids;

    for (int32_t index = 0; index < count; ++index)
    {
        HostString id;

        if (effect->GetParameterIDFromIndex (index, &id) == AAX_OK)
            ids.push_back (id.str());
    }

    return ids;
}

AAX_Result SimulatedInstance::setParameter (const std::string& id, double normalizedValue)
{
    return effect != nullptr ? effect->UpdateParameterNormalizedValue (id.c_str(), normalizedValue, AAX_UpdateSourceHost)
                             : AAX_ERROR_NULL_OBJECT;
}

double SimulatedInstance::getParameter (const std::string& id) const
{
    double value = 0.0;

    if (effect != nullptr)
        effect->GetParameterNormalizedValue (id.c_str(), &value);

    return value;
}

std::string SimulatedInstance::getParameterName (const std::string& id) const
{
    HostString name;

    if (effect != nullptr)
        effect->GetParameterName (id.c_str(), &name);

    return name.str();
}

std::string SimulatedInstance::getParameterText (const std::string& id, int32_t maxLength) const
{
    HostString text;

    if (effect != nullptr)
        effect->GetParameterStringFromValue (id.c_str(), getParameter (id), &text, maxLength);

    return text.str();
}

//==============================================================================
std::vector<AAX_CTypeID> SimulatedInstance::getChunkIDs() const
{
    std::vector<AAX_CTypeID> ids;
    int32_t count = 0;

    if (effect == nullptr || effect->GetNumberOfChunks (&count) != AAX_OK)
        return ids;

    for (int32_t index = 0; index < count; ++index)
    {
        AAX_CTypeID id = 0;

        if (effect->GetChunkIDFromIndex (index, &id) == AAX_OK)
            ids.push_back (id);
    }

    return ids;
}

AAX_Result SimulatedInstance::getChunk (AAX_CTypeID id, std::vector<uint8_t>& record)
{
    record.clear();

    if (effect == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    uint32_t size = 0;

    if (const auto result = effect->GetChunkSize (id, &size); result != AAX_OK)
        return result;

    record.assign (sizeof (AAX_ChunkRecord) + size, 0);
    auto* header = reinterpret_cast<AAX_ChunkRecord*> (record.data());
    header->chunkID = id;

    if (const auto result = effect->GetChunk (id, header); result != AAX_OK)
    {
        record.clear();
        return result;
    }

    // A module that writes a size other than the one it asked room for has broken the record.
    if (header->dataSize < 0 || static_cast<uint32_t> (header->dataSize) != size)
    {
        record.clear();
        return AAX_ERROR_CHUNK_SIZE;
    }

    return AAX_OK;
}

AAX_Result SimulatedInstance::setChunk (const std::vector<uint8_t>& record)
{
    if (effect == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    if (record.size() < sizeof (AAX_ChunkRecord))
        return AAX_ERROR_CHUNK_SIZE;

    const auto* header = reinterpret_cast<const AAX_ChunkRecord*> (record.data());

    if (header->dataSize < 0 || static_cast<size_t> (header->dataSize) > record.size() - sizeof (AAX_ChunkRecord))
        return AAX_ERROR_CHUNK_SIZE;

    return effect->SetChunk (header->chunkID, header);
}

AAX_Result SimulatedInstance::compareChunk (const std::vector<uint8_t>& record, bool& isEqual)
{
    isEqual = false;

    if (effect == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    if (record.size() < sizeof (AAX_ChunkRecord))
        return AAX_ERROR_CHUNK_SIZE;

    AAX_CBoolean equal = 0;
    const auto result = effect->CompareActiveChunk (reinterpret_cast<const AAX_ChunkRecord*> (record.data()), &equal);
    isEqual = equal != 0;
    return result;
}
