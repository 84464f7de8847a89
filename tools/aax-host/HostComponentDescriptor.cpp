#include "HostComponentDescriptor.h"

#include "AAX_Identifiers.h"
#include "HostPropertyMap.h"

using Kind = FieldDescription::Kind;

HostComponentDescriptor::HostComponentDescriptor (std::shared_ptr<HostCallLog> l) : log (std::move (l))
{
}

void* HostComponentDescriptor::findInterface (const acfIID& iid)
{
    if (iid == AAX_IID_ComponentDescriptor || iid == AAX_IID_ComponentDescriptorV2)
        return static_cast<AAX_IACFComponentDescriptor_V2*> (this);

    return nullptr;
}

AAX_Result HostComponentDescriptor::addField (const char* call, FieldDescription field)
{
    log->add (std::string ("ComponentDescriptor.") + call + " " + std::to_string (field.index));

    if (field.index < 0)
        return AAX_ERROR_NULL_OBJECT;

    description.fields.push_back (std::move (field));
    return AAX_OK;
}

AAX_Result HostComponentDescriptor::Clear()
{
    log->add ("ComponentDescriptor.Clear");
    description = {};
    return AAX_OK;
}

AAX_Result HostComponentDescriptor::AddReservedField (AAX_CFieldIndex field, uint32_t fieldType)
{
    return addField ("AddReservedField", { Kind::reserved, field, 0, fieldType, {}, 0 });
}

AAX_Result HostComponentDescriptor::AddAudioIn (AAX_CFieldIndex field)
{
    return addField ("AddAudioIn", { Kind::audioIn, field, 0, 0, {}, 0 });
}

AAX_Result HostComponentDescriptor::AddAudioOut (AAX_CFieldIndex field)
{
    return addField ("AddAudioOut", { Kind::audioOut, field, 0, 0, {}, 0 });
}

AAX_Result HostComponentDescriptor::AddAudioBufferLength (AAX_CFieldIndex field)
{
    return addField ("AddAudioBufferLength", { Kind::bufferLength, field, 0, 0, {}, 0 });
}

AAX_Result HostComponentDescriptor::AddSampleRate (AAX_CFieldIndex field)
{
    return addField ("AddSampleRate", { Kind::sampleRate, field, 0, 0, {}, 0 });
}

AAX_Result HostComponentDescriptor::AddClock (AAX_CFieldIndex field)
{
    return addField ("AddClock", { Kind::clock, field, 0, 0, {}, 0 });
}

AAX_Result HostComponentDescriptor::AddSideChainIn (AAX_CFieldIndex field)
{
    return addField ("AddSideChainIn", { Kind::sideChainIn, field, 0, 0, {}, 0 });
}

AAX_Result HostComponentDescriptor::AddDataInPort (AAX_CFieldIndex field, uint32_t packetSize, uint32_t portType)
{
    return addField ("AddDataInPort", { Kind::dataInPort, field, packetSize, portType, {}, 0 });
}

AAX_Result HostComponentDescriptor::AddAuxOutputStem (AAX_CFieldIndex field, uint32_t stemFormat, const char* name)
{
    return addField ("AddAuxOutputStem", { Kind::auxOutputStem, field, 0, stemFormat, name != nullptr ? name : "", 0 });
}

AAX_Result HostComponentDescriptor::AddPrivateData (AAX_CFieldIndex field, int32_t dataSize, uint32_t options)
{
    if (dataSize < 0)
        return AAX_ERROR_NULL_OBJECT;

    return addField ("AddPrivateData", { Kind::privateData, field, static_cast<uint32_t> (dataSize), options, {}, 0 });
}

AAX_Result HostComponentDescriptor::AddMeters (AAX_CFieldIndex field, const AAX_CTypeID*, uint32_t meterCount)
{
    return addField ("AddMeters", { Kind::meters, field, meterCount, 0, {}, 0 });
}

AAX_Result HostComponentDescriptor::AddMIDINode (AAX_CFieldIndex field, uint32_t nodeType, const char* name, uint32_t channelMask)
{
    return addField ("AddMIDINode", { Kind::midiNode, field, 0, nodeType, name != nullptr ? name : "", channelMask });
}

AAX_Result HostComponentDescriptor::AddDirectMemoryField (AAX_CFieldIndex field, uint32_t mode)
{
    return addField ("AddDirectMemoryField", { Kind::directMemory, field, 0, mode, {}, 0 });
}

AAX_Result HostComponentDescriptor::AddScratchData (AAX_CFieldIndex field, uint32_t dataSize)
{
    return addField ("AddScratchData", { Kind::scratchData, field, dataSize, 0, {}, 0 });
}

AAX_Result HostComponentDescriptor::AddProcessProc_Native (AAX_RenderProc procedure, IACFUnknown* propertyMap,
                                                           AAX_InstanceInitProc, AAX_BackgroundProc,
                                                           uint32_t* outProcID)
{
    log->add ("ComponentDescriptor.AddProcessProc_Native");

    if (procedure == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    description.renderProcedure = procedure;

    if (! HostPropertyMap::readProperties (propertyMap, description.properties))
        description.properties.clear();

    if (outProcID != nullptr)
        *outProcID = nextProcedureID;

    ++nextProcedureID;
    return AAX_OK;
}

AAX_Result HostComponentDescriptor::AddProcessProcByName (const char*, const char*, IACFUnknown*)
{
    log->add ("ComponentDescriptor.AddProcessProcByName");
    return AAX_ERROR_NOT_IMPLEMENTED;
}
