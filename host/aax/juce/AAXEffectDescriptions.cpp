#include "AAXEffectDescriptions.h"

#include "AAX_RenderContext.h"
#include "JuceAAX_GUI.h"
#include "JuceAAX_Processor.h"
#include "ModuleMessageThread.h"

#include <functional>
#include <initializer_list>

namespace AAXClasses
{

namespace
{
    constexpr int maxChannelsPerConfiguration = 8;
    constexpr uint32_t midiChannelMask = 0xFFFF;

    using Step = std::function<AAX_Result()>;

    /** Runs the steps in order; the first that fails ends the run with its result. */
    AAX_Result runInOrder (std::initializer_list<Step> steps)
    {
        for (const auto& step : steps)
            if (const auto result = step(); result != AAX_OK)
                return result;

        return AAX_OK;
    }

    AAX_Result describeComponent (AAX_IComponentDescriptor& component, const PlugInInfo& info,
                                  const ChannelConfiguration& configuration, uint32_t configurationIndex)
    {
        AAX_IPropertyMap* properties = nullptr;

        const auto addProperty = [&properties] (AAX_EProperty property, uint32_t value)
        {
            return [&properties, property, value] { return properties->AddProperty (property, static_cast<AAX_CPropertyValue> (value)); };
        };

        return runInOrder ({
            [&] { return component.AddAudioIn (AAX_FieldAudioIn); },
            [&] { return component.AddAudioOut (AAX_FieldAudioOut); },
            [&] { return component.AddAudioBufferLength (AAX_FieldBlockLength); },
            [&] { return component.AddDataInPort (AAX_FieldBypass, sizeof (int32_t), AAX_DataPortTypeBuffered); },
            [&] { return component.AddMIDINode (AAX_FieldMIDINode, AAX_MIDINodeTypeLocalInput, info.name, midiChannelMask); },
            [&] { return component.AddPrivateData (AAX_FieldPrivateData, sizeof (JuceAAX_Processor*), AAX_PrivateDataOptionDefault); },
            [&] { properties = component.NewPropertyMap(); return properties != nullptr ? AAX_OK : AAX_ERROR_NULL_OBJECT; },
            addProperty (AAX_PropManufacturerID, info.manufacturerID),
            addProperty (AAX_PropProductID, info.productID),
            addProperty (AAX_PropHostOption60, 1),
            addProperty (AAX_PropInputStemFormat, AAX_StemFormatOfChannelCount (configuration.numInputs)),
            addProperty (AAX_PropOutputStemFormat, AAX_StemFormatOfChannelCount (configuration.numOutputs)),
            addProperty (AAX_PropNativePlugInID, info.nativeIDBase + configurationIndex),
            addProperty (AAX_PropOfflinePlugInID, info.offlineIDBase + configurationIndex),
            addProperty (AAX_PropHostOption304, 1),
            [&] { return component.AddProcessProc_Native (&JuceAAX_Processor::algorithmProcessCallback, properties,
                                                          nullptr, nullptr, nullptr); }
        });
    }

    AAX_Result describeEffect (AAX_IEffectDescriptor& effect, const PlugInInfo& info,
                               const std::vector<ChannelConfiguration>& configurations)
    {
        const auto result = runInOrder ({
            [&] { return effect.AddName (info.description); },
            [&] { return effect.AddName (info.name); },
            [&] { return effect.AddCategory (info.category); },
            [&] { return effect.AddProcPtr (reinterpret_cast<void*> (&JuceAAX_GUI::Create), AAX_ProcIDCreateEffectGUI); },
            [&] { return effect.AddProcPtr (reinterpret_cast<void*> (&JuceAAX_Processor::Create), AAX_ProcIDCreateEffectParameters); }
        });

        if (result != AAX_OK)
            return result;

        for (size_t index = 0; index < configurations.size(); ++index)
        {
            const auto& configuration = configurations[index];

            if (configuration.numInputs < 1 || configuration.numInputs > maxChannelsPerConfiguration
                 || configuration.numOutputs < 1 || configuration.numOutputs > maxChannelsPerConfiguration)
                continue;

            auto* component = effect.NewComponentDescriptor();

            if (component == nullptr)
                return AAX_ERROR_NULL_OBJECT;

            if (const auto componentResult = runInOrder ({
                    [&] { return describeComponent (*component, info, configuration, static_cast<uint32_t> (index)); },
                    [&] { return effect.AddComponent (component); } });
                 componentResult != AAX_OK)
                return componentResult;
        }

        return AAX_OK;
    }
}

AAX_Result GetEffectDescriptions (AAX_ICollection* collection, const PlugInInfo& info,
                                  const std::vector<ChannelConfiguration>& configurations)
{
    if (collection == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const ModuleMessageThread::User messageThread;
    auto* effect = collection->NewDescriptor();

    if (effect == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    return runInOrder ({
        [&] { return describeEffect (*effect, info, configurations); },
        [&] { return collection->AddEffect (info.effectIdentifier, effect); },
        [&] { return collection->SetManufacturerName (info.manufacturerName); },
        [&] { return collection->AddPackageName (info.description); },
        [&] { return collection->AddPackageName (info.name); },
        [&] { return collection->SetPackageVersion (info.version); }
    });
}

} // namespace AAXClasses
