#include "WrapperTestSupport.h"

#include "ACFEntryPoints.h"

namespace WrapperTestModule
{
    std::vector<AAXClasses::ChannelConfiguration> configurations;

    const AAXClasses::PlugInInfo info { "com.example.wrappertest", "Example", "Wrapper Test", "A processor under test",
                                        0x20304, AAX_CategoryDelay, AAX_FourCC ("Exmp"), AAX_FourCC ("WTst"),
                                        AAX_FourCC ("wtaa"), AAX_FourCC ("wxaa") };

    static AAX_Result describe (AAX_ICollection* collection)
    {
        return AAXClasses::GetEffectDescriptions (collection, info, configurations);
    }

    static ACFRESULT registerPlugin (IACFUnknown* hostObject, IACFPluginDefinition** outDefinition)
    {
        return ACFEntryPoints::RegisterPlugin (hostObject, outDefinition, describe);
    }

    SimulatedModule::EntryPoints getEntryPoints()
    {
        SimulatedModule::EntryPoints entryPoints;
        entryPoints.registerPlugin = registerPlugin;
        entryPoints.registerComponent = ACFEntryPoints::RegisterComponent;
        entryPoints.getClassFactory = ACFEntryPoints::GetClassFactory;
        entryPoints.canUnloadNow = ACFEntryPoints::CanUnloadNow;
        entryPoints.startup = ACFEntryPoints::Startup;
        entryPoints.shutdown = ACFEntryPoints::Shutdown;
        entryPoints.getSDKVersion = ACFEntryPoints::GetSDKVersion;
        return entryPoints;
    }
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return WrapperTestProcessor::factoryFails ? nullptr : new WrapperTestProcessor();
}
