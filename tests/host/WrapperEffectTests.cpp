#include "WrapperTestSupport.h"

#include "AAX_IParameter.h"
#include "AAX_Identifiers.h"
#include "HostString.h"
#include "ModuleMessageThread.h"

#include <cstring>
#include <thread>

TEST_F (WrapperTest, ConfigurationsOfMoreThanEightChannelsAreLeftOut)
{
    WrapperTestModule::configurations = { { 2, 2 }, { 9, 2 }, { 1, 1 }, { 2, 9 }, { 8, 8 }, { 0, 2 } };
    SimulatedModule other (WrapperTestModule::getEntryPoints());
    ASSERT_EQ (other.registerPlugin(), ACF_OK);

    const auto& components = other.getDescription().effects.at (0).components;
    ASSERT_EQ (components.size(), 3u);

    // The configurations kept are told apart by their place in the list.
    const std::pair<uint32_t, uint32_t> expected[] = { { AAX_StemStereo, 0 }, { AAX_StemMono, 2 }, { AAX_Stem7_1, 4 } };

    for (size_t index = 0; index < 3; ++index)
    {
        AAX_CPropertyValue value = 0;
        ASSERT_TRUE (findProperty (components[index].properties, AAX_PropInputStemFormat, value));
        EXPECT_EQ (static_cast<uint32_t> (value), expected[index].first);
        ASSERT_TRUE (findProperty (components[index].properties, AAX_PropNativePlugInID, value));
        EXPECT_EQ (static_cast<uint32_t> (value), AAX_FourCC ("wtaa") + expected[index].second);
    }

    // Describing made no processor.
    EXPECT_EQ (WrapperTestProcessor::current.load(), nullptr);
}

TEST_F (WrapperTest, ProcessorLivesOnTheModulesMessageThread)
{
    EXPECT_FALSE (ModuleMessageThread::isRunning());

    {
        auto instance = makeInstance();
        EXPECT_TRUE (ModuleMessageThread::isRunning());
        EXPECT_TRUE (WrapperTestProcessor::madeUnderLock);
        EXPECT_EQ (processor().wrapperType, juce::AudioProcessor::wrapperType_AAX);
        EXPECT_EQ (processor().numPrepares, 1);
        EXPECT_EQ (processor().getTotalNumInputChannels(), 2);
        EXPECT_EQ (processor().getTotalNumOutputChannels(), 2);

        // Initialised again, the processor is released and prepared again.
        EXPECT_EQ (instance->getEffect()->Initialize (instance->getHostObject().asUnknown()), AAX_OK);
        EXPECT_EQ (processor().numReleases, 1);
        EXPECT_EQ (processor().numPrepares, 2);
        EXPECT_EQ (instance->getParameterIDs().size(), 5u);
    }

    EXPECT_TRUE (WrapperTestProcessor::deletedUnderLock);
    EXPECT_EQ (WrapperTestProcessor::current.load(), nullptr);
    EXPECT_FALSE (ModuleMessageThread::isRunning());
    EXPECT_EQ (module->canUnloadNow(), 0);
}

TEST_F (WrapperTest, NoEffectWithoutAProcessor)
{
    WrapperTestProcessor::factoryFails = true;
    SimulatedInstance instance (*module, {});
    EXPECT_EQ (instance.create(), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (module->canUnloadNow(), 0);
    EXPECT_FALSE (ModuleMessageThread::isRunning());
}

TEST_F (WrapperTest, HostValuesReachTheProcessorOnlyThroughExactSlotIds)
{
    auto instance = makeInstance();
    auto* effect = instance->getEffect();

    for (const auto* id : { "MasterBypassID", "01", "-1", "+1", "4", "1a", "", " 1", "99999999999999" })
        effect->UpdateParameterNormalizedValue (id, 0.9, AAX_UpdateSourceHost);

    EXPECT_TRUE (processor().getParameterCalls().empty());

    EXPECT_EQ (instance->setParameter ("3", 0.6), AAX_OK);
    EXPECT_EQ (instance->setParameter ("0", 1.5), AAX_OK);   // stored within the parameter's range
    EXPECT_EQ (processor().getParameterCalls(), (std::vector<std::pair<int, float>> { { 3, 0.6f }, { 0, 1.0f } }));
    EXPECT_EQ (instance->getParameter ("3"), 0.6f);
}

TEST_F (WrapperTest, ProcessorChangesAreRequestedFromTheHost)
{
    auto instance = makeInstance();
    auto* effect = instance->getEffect();
    AAX_IParameter* parameter = nullptr;
    ASSERT_EQ (effect->GetParameter ("2", &parameter), AAX_OK);
    module->getLog()->clear();

    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    processor().beginParameterChangeGesture (2);
    processor().setParameterNotifyingHost (2, 0.75f);
    processor().endParameterChangeGesture (2);
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE

    EXPECT_EQ (module->getLog()->getCallsStartingWith ("Automation."),
               (std::vector<std::string> { "Automation.PostTouchRequest 2",
                                           "Automation.PostTouchRequest 2",
                                           "Automation.PostSetValueRequest 2 0.75",
                                           "Automation.PostReleaseRequest 2",
                                           "Automation.PostReleaseRequest 2" }));

    // The host's parameter keeps its value until the host confirms the request; the processor's
    // value is what the host reads meanwhile.
    EXPECT_EQ (parameter->GetNormalizedValue(), 0.25);
    EXPECT_EQ (instance->getParameter ("2"), 0.75);
    EXPECT_EQ (instance->confirmPendingRequests(), 1);
    EXPECT_EQ (parameter->GetNormalizedValue(), 0.75);
}

TEST_F (WrapperTest, NamesTextsAndDefaultsComeFromTheProcessor)
{
    auto instance = makeInstance();
    auto* effect = instance->getEffect();

    EXPECT_EQ (instance->getParameterName ("1"), "Param 2");
    EXPECT_EQ (instance->getParameterText ("1"), "25.0 %");

    HostString text;
    EXPECT_EQ (effect->GetParameterNameOfLength ("1", &text, 3), AAX_OK);
    EXPECT_EQ (text.str(), "Par");
    EXPECT_EQ (effect->GetParameterNameOfLength ("1", &text, 0), AAX_OK);
    EXPECT_EQ (text.str(), "");

    // The processor only words its present value: another value is shown as a number.
    EXPECT_EQ (effect->GetParameterStringFromValue ("1", 0.5, &text, 32), AAX_OK);
    EXPECT_EQ (text.str(), "0.500");
    EXPECT_EQ (effect->GetParameterStringFromValue ("1", 0.25, &text, 4), AAX_OK);
    EXPECT_EQ (text.str(), "25.0");

    double value = 0.0;
    EXPECT_EQ (effect->GetParameterDefaultNormalizedValue ("1", &value), AAX_OK);
    EXPECT_EQ (value, 0.25);

    EXPECT_EQ (effect->GetParameterName ("1", nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (effect->GetParameterNameOfLength ("1", nullptr, 3), AAX_ERROR_STRING_CONVERSION);
    EXPECT_EQ (effect->GetParameterDefaultNormalizedValue ("1", nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (effect->GetParameterStringFromValue ("1", 0.25, nullptr, 8), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (effect->GetParameterNormalizedValue ("1", nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (effect->GetNumberOfChunks (nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (effect->GetChunkIDFromIndex (1, nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (effect->GetParameterNormalizedValue ("7", &value), AAX_ERROR_UNKNOWN_PARAMETER);
}

TEST_F (WrapperTest, OfflineNotificationsSwitchTheProcessor)
{
    auto instance = makeInstance();
    auto* effect = instance->getEffect();

    EXPECT_EQ (effect->NotificationReceived (AAX_NotificationOfflineStart, nullptr, 0), AAX_OK);
    EXPECT_TRUE (processor().isNonRealtime());
    EXPECT_EQ (effect->NotificationReceived (AAX_NotificationOfflineEnd, nullptr, 0), AAX_OK);
    EXPECT_FALSE (processor().isNonRealtime());
    EXPECT_EQ (effect->NotificationReceived (AAX_FourCC ("what"), nullptr, 0), AAX_OK);
}

TEST_F (WrapperTest, ProcessorStateChunkIsTheProcessorsOwnState)
{
    auto source = makeInstance();
    source->setParameter ("0", 0.1);
    source->setParameter ("3", 0.9);

    std::vector<uint8_t> state;
    ASSERT_EQ (source->getChunk (AAX_FourCC ("juce"), state), AAX_OK);
    const auto& header = *reinterpret_cast<const AAX_ChunkRecord*> (state.data());
    EXPECT_STREQ (header.name, "Processor State");

    juce::MemoryBlock expected;
    processor().getStateInformation (expected);
    ASSERT_EQ (static_cast<size_t> (header.dataSize), expected.getSize());
    EXPECT_EQ (std::memcmp (header.data(), expected.getData(), expected.getSize()), 0);

    auto target = makeInstance();
    ASSERT_EQ (target->setChunk (state), AAX_OK);
    EXPECT_EQ (target->getParameter ("0"), 0.1f);
    EXPECT_EQ (target->getParameter ("3"), 0.9f);
}

TEST_F (WrapperTest, StateChunkAskedForOnTwoThreadsFitsTheSizeEachWasTold)
{
    auto instance = makeInstance();
    auto* effect = instance->getEffect();
    constexpr auto id = AAX_FourCC ("juce");

    const auto getChunk = [effect] (uint32_t size)
    {
        std::vector<uint8_t> record (sizeof (AAX_ChunkRecord) + size);
        const auto result = effect->GetChunk (id, reinterpret_cast<AAX_ChunkRecord*> (record.data()));
        return std::make_pair (result, reinterpret_cast<const AAX_ChunkRecord*> (record.data())->dataSize);
    };

    // This thread is told the size of a short state, another one that of a longer state...
    instance->setParameter ("0", 0.5);
    uint32_t shortSize = 0, longSize = 0;
    ASSERT_EQ (effect->GetChunkSize (id, &shortSize), AAX_OK);

    std::thread other ([&]
    {
        instance->setParameter ("0", 0.123456789);
        EXPECT_EQ (effect->GetChunkSize (id, &longSize), AAX_OK);
    });
    other.join();
    ASSERT_GT (longSize, shortSize);

    // ...and each state is handed to the record made for it: this thread's first, then the only
    // one left, asked for here on behalf of the other thread.
    EXPECT_EQ (getChunk (shortSize), std::make_pair (AAX_Result (AAX_OK), static_cast<int32_t> (shortSize)));
    EXPECT_EQ (getChunk (longSize), std::make_pair (AAX_Result (AAX_OK), static_cast<int32_t> (longSize)));
    EXPECT_EQ (getChunk (longSize).first, AAX_ERROR_CHUNK_SIZE);
}

TEST_F (WrapperTest, EditorIsMadeUnderTheLockAndDeletedWhenHidden)
{
    auto instance = makeInstance();
    SimulatedGUI gui (*instance);
    ASSERT_EQ (gui.create(), AAX_OK);
    ASSERT_EQ (gui.initialize(), AAX_OK);

    auto* editor = processor().getActiveEditor();
    ASSERT_NE (editor, nullptr);
    EXPECT_TRUE (WrapperTestProcessor::editorMadeUnderLock);

    AAX_Point size;
    ASSERT_EQ (gui.getViewSize (size), AAX_OK);
    EXPECT_EQ (size.horizontal, 300.0f);
    EXPECT_EQ (size.vertical, 200.0f);

    // An X11 container without a window holds nothing.
    EXPECT_EQ (gui.attach (AAX_ViewContainerX11Window, nullptr), AAX_OK);
    EXPECT_FALSE (editor->isOnDesktop());

    // A second editor object of the same instance finds the editor taken and shows nothing.
    {
        SimulatedGUI second (*instance);
        ASSERT_EQ (second.create(), AAX_OK);
        ASSERT_EQ (second.initialize(), AAX_OK);
        EXPECT_EQ (second.getViewSize (size), AAX_ERROR_NULL_OBJECT);
    }

    EXPECT_EQ (processor().getActiveEditor(), editor);
    EXPECT_EQ (gui.detach(), AAX_OK);
    EXPECT_EQ (processor().getActiveEditor(), nullptr);
    EXPECT_TRUE (WrapperTestProcessor::editorDeletedUnderLock);

    // The editor object keeps the effect: released first by the host, it lives on.
    instance->uninitialize();
    instance->release();
    EXPECT_NE (WrapperTestProcessor::current.load(), nullptr);
    EXPECT_EQ (gui.attach (AAX_ViewContainerCocoaView), AAX_OK);
    EXPECT_NE (processor().getActiveEditor(), nullptr);

    gui.release();
    EXPECT_EQ (WrapperTestProcessor::current.load(), nullptr);
    EXPECT_EQ (module->canUnloadNow(), 0);
}
