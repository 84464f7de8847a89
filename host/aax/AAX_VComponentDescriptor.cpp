#include "AAX_VComponentDescriptor.h"

AAX_VComponentDescriptor::AAX_VComponentDescriptor (IACFUnknown* host)
    : hostObject (ACFPtr<IACFUnknown>::share (host)),
      descriptor (ACFPtr<AAX_IACFComponentDescriptor>::create (host, AAX_CLSID_ComponentDescriptor,
                                                               AAX_IID_ComponentDescriptor)),
      descriptorV2 (ACFPtr<AAX_IACFComponentDescriptor_V2>::query (descriptor.get(), AAX_IID_ComponentDescriptorV2))
{
}

AAX_Result AAX_VComponentDescriptor::Clear()
{
    return descriptor ? descriptor->Clear() : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddAudioIn (AAX_CFieldIndex field)
{
    return descriptor ? descriptor->AddAudioIn (field) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddAudioOut (AAX_CFieldIndex field)
{
    return descriptor ? descriptor->AddAudioOut (field) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddAudioBufferLength (AAX_CFieldIndex field)
{
    return descriptor ? descriptor->AddAudioBufferLength (field) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddSampleRate (AAX_CFieldIndex field)
{
    return descriptor ? descriptor->AddSampleRate (field) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddClock (AAX_CFieldIndex field)
{
    return descriptor ? descriptor->AddClock (field) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddSideChainIn (AAX_CFieldIndex field)
{
    return descriptor ? descriptor->AddSideChainIn (field) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddDataInPort (AAX_CFieldIndex field, uint32_t packetSize, uint32_t portType)
{
    return descriptor ? descriptor->AddDataInPort (field, packetSize, portType) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddAuxOutputStem (AAX_CFieldIndex field, uint32_t stemFormat, const char* name)
{
    return descriptor ? descriptor->AddAuxOutputStem (field, stemFormat, name) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddPrivateData (AAX_CFieldIndex field, int32_t dataSize, uint32_t options)
{
    return descriptor ? descriptor->AddPrivateData (field, dataSize, options) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddScratchData (AAX_CFieldIndex field, uint32_t dataSize)
{
    return descriptorV2 ? descriptorV2->AddScratchData (field, dataSize) : AAX_ERROR_NOT_IMPLEMENTED;
}

AAX_Result AAX_VComponentDescriptor::AddMeters (AAX_CFieldIndex field, const AAX_CTypeID* meterIDs, uint32_t meterCount)
{
    return descriptor ? descriptor->AddMeters (field, meterIDs, meterCount) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddDirectMemoryField (AAX_CFieldIndex field, uint32_t mode)
{
    return descriptor ? descriptor->AddDirectMemoryField (field, mode) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddMIDINode (AAX_CFieldIndex field, uint32_t nodeType, const char* name, uint32_t channelMask)
{
    return descriptor ? descriptor->AddMIDINode (field, nodeType, name, channelMask) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddReservedField (AAX_CFieldIndex field, uint32_t fieldType)
{
    return descriptor ? descriptor->AddReservedField (field, fieldType) : AAX_ERROR_NULL_OBJECT;
}

AAX_IPropertyMap* AAX_VComponentDescriptor::NewPropertyMap()
{
    propertyMaps.push_back (std::make_unique<AAX_VPropertyMap> (hostObject.get()));
    return propertyMaps.back().get();
}

AAX_IPropertyMap* AAX_VComponentDescriptor::DuplicatePropertyMap (const AAX_IPropertyMap& source)
{
    auto* copy = NewPropertyMap();
    uint32_t count = 0;

    if (source.GetPropertyCount (&count) == AAX_OK)
    {
        for (uint32_t i = 0; i < count; ++i)
        {
            AAX_EProperty property {};
            AAX_CPropertyValue value = 0;

            if (source.GetPropertyAt (i, &property, &value) == AAX_OK)
                copy->AddProperty (property, value);
        }
    }

    return copy;
}

AAX_Result AAX_VComponentDescriptor::AddProcessProc_Native (AAX_RenderProc procedure, const AAX_IPropertyMap* properties,
                                                            AAX_InstanceInitProc instanceInit, AAX_BackgroundProc background,
                                                            uint32_t* outProcID)
{
    return descriptor ? descriptor->AddProcessProc_Native (procedure, AAX_VPropertyMap::HostObjectOf (properties),
                                                           instanceInit, background, outProcID)
                      : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VComponentDescriptor::AddProcessProcByName (const char* libraryName, const char* procedureName,
                                                           const AAX_IPropertyMap* properties)
{
    return descriptor ? descriptor->AddProcessProcByName (libraryName, procedureName,
                                                          AAX_VPropertyMap::HostObjectOf (properties))
                      : AAX_ERROR_NULL_OBJECT;
}
