#include "ModuleTestSupport.h"

#include <vector>

namespace
{
    using Kind = FieldDescription::Kind;

    std::string property (uint32_t id, uint32_t value)
    {
        return "PropertyMap.AddProperty " + std::to_string (id) + " " + std::to_string (static_cast<int32_t> (value));
    }

    /** What the module asks of the host to describe one channel configuration. */
    std::vector<std::string> componentCalls (uint32_t inputStem, uint32_t outputStem, uint32_t index)
    {
        return { "ComponentFactory.CreateComponent ComponentDescriptor",
                 "ComponentDescriptor.AddAudioIn 0",
                 "ComponentDescriptor.AddAudioOut 1",
                 "ComponentDescriptor.AddAudioBufferLength 2",
                 "ComponentDescriptor.AddDataInPort 3",
                 "ComponentDescriptor.AddMIDINode 4",
                 "ComponentDescriptor.AddPrivateData 5",
                 "ComponentFactory.CreateComponent PropertyMap",
                 property (11, AAX_FourCC ("Hlvn")),
                 property (12, AAX_FourCC ("CRVN")),
                 property (60, 1),
                 property (51, inputStem),
                 property (52, outputStem),
                 property (13, AAX_FourCC ("jcaa") + index),
                 property (14, AAX_FourCC ("jyaa") + index),
                 property (304, 1),
                 "ComponentDescriptor.AddProcessProc_Native",
                 "EffectDescriptor.AddComponent" };
    }
}

TEST_F (ModuleTest, DescriptionCallsArriveInOrder)
{
    std::vector<std::string> expected { "ComponentFactory.CreateComponent Collection",
                                        "ComponentFactory.CreateComponent EffectDescriptor",
                                        "EffectDescriptor.AddName Four-Line Stereo Delay",
                                        "EffectDescriptor.AddName Corvane",
                                        "EffectDescriptor.AddCategory 16",
                                        "EffectDescriptor.AddProcPtr 1",
                                        "EffectDescriptor.AddProcPtr 0" };

    for (const auto& calls : { componentCalls (AAX_StemStereo, AAX_StemStereo, 0),
                               componentCalls (AAX_StemMono, AAX_StemStereo, 1),
                               componentCalls (AAX_StemMono, AAX_StemMono, 2) })
        expected.insert (expected.end(), calls.begin(), calls.end());

    expected.insert (expected.end(), { "Collection.AddEffect com.halvorn.corvane",
                                       "Collection.SetManufacturerName Halvorn",
                                       "Collection.AddPackageName Four-Line Stereo Delay",
                                       "Collection.AddPackageName Corvane",
                                       "Collection.SetPackageVersion 65792" });

    EXPECT_EQ (module.getLog()->getCalls(), expected);
}

TEST_F (ModuleTest, DescriptionOfEachConfiguration)
{
    const auto& description = module.getDescription();
    EXPECT_EQ (description.manufacturerName, "Halvorn");
    EXPECT_EQ (description.packageNames, (std::vector<std::string> { "Four-Line Stereo Delay", "Corvane" }));
    EXPECT_EQ (description.packageVersion, 0x10100u);

    const auto& effect = description.effects[0];
    EXPECT_EQ (effect.identifier, "com.halvorn.corvane");
    EXPECT_EQ (effect.categories, (std::vector<uint32_t> { AAX_CategoryDelay }));
    ASSERT_EQ (effect.procedures.size(), 2u);
    EXPECT_EQ (effect.procedures[0].second, AAX_ProcIDCreateEffectGUI);
    EXPECT_EQ (effect.procedures[1].second, AAX_ProcIDCreateEffectParameters);

    const std::pair<uint32_t, uint32_t> stems[] = { { AAX_StemStereo, AAX_StemStereo },
                                                    { AAX_StemMono, AAX_StemStereo },
                                                    { AAX_StemMono, AAX_StemMono } };

    for (uint32_t index = 0; index < 3; ++index)
    {
        SCOPED_TRACE ("configuration " + std::to_string (index));
        const auto& component = effect.components[index];

        ASSERT_EQ (component.fields.size(), 6u);
        const Kind kinds[] = { Kind::audioIn, Kind::audioOut, Kind::bufferLength, Kind::dataInPort, Kind::midiNode, Kind::privateData };

        for (size_t field = 0; field < 6; ++field)
        {
            EXPECT_EQ (component.fields[field].kind, kinds[field]);
            EXPECT_EQ (component.fields[field].index, static_cast<AAX_CFieldIndex> (field));
        }

        EXPECT_EQ (component.fields[3].size, 4u);
        EXPECT_EQ (component.fields[3].type, AAX_DataPortTypeBuffered);
        EXPECT_EQ (component.fields[4].type, AAX_MIDINodeTypeLocalInput);
        EXPECT_EQ (component.fields[4].name, "Corvane");
        EXPECT_EQ (component.fields[4].channelMask, 0xFFFFu);
        EXPECT_EQ (component.fields[5].size, 8u);

        const PropertyList expected { { 11, static_cast<int32_t> (AAX_FourCC ("Hlvn")) },
                                      { 12, static_cast<int32_t> (AAX_FourCC ("CRVN")) },
                                      { 60, 1 },
                                      { 51, static_cast<int32_t> (stems[index].first) },
                                      { 52, static_cast<int32_t> (stems[index].second) },
                                      { 13, static_cast<int32_t> (AAX_FourCC ("jcaa") + index) },
                                      { 14, static_cast<int32_t> (AAX_FourCC ("jyaa") + index) },
                                      { 304, 1 } };
        EXPECT_EQ (component.properties, expected);
        EXPECT_NE (component.renderProcedure, nullptr);
        EXPECT_EQ (component.renderProcedure, effect.components[0].renderProcedure);
    }
}

TEST_F (ModuleTest, DescribingMakesNoInstanceAndKeepsNothingRunning)
{
    // Only the creation procedures make objects; the description leaves none behind.
    EXPECT_EQ (module.canUnloadNow(), 0);
    EXPECT_TRUE (module.getLog()->getCallsStartingWith ("Automation.").empty());
    EXPECT_TRUE (module.unload()) << module.getError();
}
