#include "FakeHost.h"
#include "JuceAAX_GUI.h"
#include "JuceAAX_Processor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <future>
#include <string>
#include <tuple>
#include <vector>

namespace
{
    /** A processor of three parameters that reads the play head in every block, as Corvane does. */
    class PlayHeadReader final : public juce::AudioProcessor
    {
    public:
        PlayHeadReader()
        {
            for (auto* name : { "A", "B", "C" })
                addParameter (new juce::AudioParameterFloat (juce::ParameterID (name, 1), name, 0.0f, 1.0f, 0.5f));
        }

        void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override
        {
            if (auto* playHead = getPlayHead())
                playHead->getPosition();

            ++numBlocks;
        }

        using juce::AudioProcessor::processBlock;
        const juce::String getName() const override                 { return "Play head reader"; }
        void prepareToPlay (double, int) override                   {}
        void releaseResources() override                            {}
        double getTailLengthSeconds() const override                { return 0.0; }
        bool acceptsMidi() const override                           { return false; }
        bool producesMidi() const override                          { return false; }
        juce::AudioProcessorEditor* createEditor() override         { return nullptr; }
        bool hasEditor() const override                             { return false; }
        int getNumPrograms() override                               { return 1; }
        int getCurrentProgram() override                            { return 0; }
        void setCurrentProgram (int) override                       {}
        const juce::String getProgramName (int) override            { return {}; }
        void changeProgramName (int, const juce::String&) override  {}
        void getStateInformation (juce::MemoryBlock& state) override    { state.append ("state", 5); }

        // As Corvane restores its state: values and the host's display (its latency among it).
        void setStateInformation (const void*, int) override
        {
            getParameters()[0]->setValueNotifyingHost (0.25f);
            updateHostDisplay();
        }

        static inline std::atomic<int> numBlocks { 0 };
    };

    /** A host around one effect: its host object, and a render context of stereo blocks. */
    struct TestHost
    {
        TestHost()
        {
            hostObject.automation = &automation;
            hostObject.controller = &controller;
            hostObject.transport = &transport;

            void* interface = nullptr;
            auto* unknown = AAXClasses::JuceAAX_Processor::Create();
            EXPECT_NE (unknown, nullptr);
            unknown->QueryInterface (AAX_IID_EffectParameters, &interface);
            effect = static_cast<AAX_IACFEffectParameters*> (interface);
        }

        ~TestHost()
        {
            if (gui != nullptr)
            {
                gui->Uninitialize();
                gui->Release();
            }

            effect->Uninitialize();
            effect->Release();
        }

        /** An editor object of the effect, made on first use. */
        AAX_IACFEffectGUI& editor()
        {
            if (gui == nullptr)
            {
                void* interface = nullptr;
                AAXClasses::JuceAAX_GUI::Create()->QueryInterface (AAX_IID_EffectGUI, &interface);
                gui = static_cast<AAX_IACFEffectGUI*> (interface);
                hostObject.effect = effect;
                gui->Initialize (&hostObject);
            }

            return *gui;
        }

        AAX_Result initialize (FakeHostObject& host)
        {
            const auto result = effect->Initialize (&host);
            effect->ResetFieldData (AAX_FieldPrivateData, &privateData, sizeof (privateData));
            return result;
        }

        void render()
        {
            float* inputs[] = { left.data(), right.data() };
            float* outputs[] = { left.data(), right.data() };
            int32_t length = static_cast<int32_t> (left.size());
            const int32_t bypass = 0;
            AAX_RenderContext context { inputs, outputs, &length, &bypass, nullptr, &privateData };
            void* const instances[] = { &context };
            AAXClasses::JuceAAX_Processor::algorithmProcessCallback (instances, instances + 1);
        }

        FakeAutomation automation;
        FakeController controller;
        FakeTransport transport;
        FakeHostObject hostObject;
        AAX_IACFEffectParameters* effect = nullptr;
        AAX_IACFEffectGUI* gui = nullptr;
        uint64_t privateData = 0;
        std::vector<float> left = std::vector<float> (64), right = std::vector<float> (64);
    };

    /** Waits for the work of another thread. A thread still blocked after the time limit cannot
        be freed, so the program ends with the failure instead of hanging the suite.
    */
    template <typename Result>
    Result await (std::future<Result>& work, const char* what)
    {
        if (work.wait_for (FakeTransport::timeLimit) != std::future_status::ready)
        {
            std::fprintf (stderr, "%s did not end within the time limit: deadlock\n", what);
            std::_Exit (EXIT_FAILURE);
        }

        return work.get();
    }
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new PlayHeadReader();
}

TEST (JuceAAXProcessor, TeardownWaitsForARenderInsideTheHostsTransport)
{
    FakeHostObject otherHost;
    const std::pair<const char*, std::function<AAX_Result (TestHost&)>> teardowns[] = {
        { "Uninitialize", [] (TestHost& host) { return host.effect->Uninitialize(); } },
        { "Initialize again", [] (TestHost& host) { return host.effect->Initialize (&host.hostObject); } },
        { "Initialize by another host", [&otherHost] (TestHost& host) { return host.effect->Initialize (&otherHost); } },
    };

    for (const auto& [name, teardown] : teardowns)
    {
        SCOPED_TRACE (name);
        TestHost host;
        ASSERT_EQ (host.initialize (host.hostObject), AAX_OK);

        host.transport.hold();
        auto render = std::async (std::launch::async, [&host] { host.render(); return true; });
        ASSERT_TRUE (host.transport.waitForHeldCall());

        auto closing = std::async (std::launch::async, [&host, &teardown = teardown] { return teardown (host); });
        EXPECT_EQ (closing.wait_for (std::chrono::milliseconds (200)), std::future_status::timeout);

        // Let go, the render reads the rest of the position through the transport wrapper.
        host.transport.letGo();
        EXPECT_TRUE (await (render, "The render"));
        EXPECT_EQ (await (closing, name), AAX_OK);
    }
}

TEST (JuceAAXProcessor, RendersAgainOnceInitializedAgain)
{
    TestHost host;
    ASSERT_EQ (host.initialize (host.hostObject), AAX_OK);
    ASSERT_EQ (host.initialize (host.hostObject), AAX_OK);

    const auto before = PlayHeadReader::numBlocks.load();
    host.render();
    EXPECT_EQ (PlayHeadReader::numBlocks.load(), before + 1);

    host.effect->Uninitialize();
    host.render();
    EXPECT_EQ (PlayHeadReader::numBlocks.load(), before + 1);
}

TEST (JuceAAXProcessor, InitializedAgainEachParameterIsRegisteredOnce)
{
    const std::vector<std::string> ids { "MasterBypassID", "0", "1", "2" };
    std::vector<std::string> registrations, unregistrations;

    for (const auto& id : ids)
    {
        registrations.push_back ("register " + id);
        unregistrations.push_back ("unregister " + id);
    }

    FakeAutomation otherAutomation;
    FakeHostObject otherHost;
    otherHost.automation = &otherAutomation;

    TestHost host;
    ASSERT_EQ (host.initialize (host.hostObject), AAX_OK);
    ASSERT_EQ (host.initialize (host.hostObject), AAX_OK);
    EXPECT_EQ (host.automation.calls, registrations);

    // Initialised by another host, the parameters move over to it.
    host.automation.calls.clear();
    ASSERT_EQ (host.initialize (otherHost), AAX_OK);
    EXPECT_EQ (host.automation.calls, unregistrations);
    EXPECT_EQ (otherAutomation.calls, registrations);
}

TEST (JuceAAXProcessor, HostCallsStayOutOfTeardownAndAreRefusedAfterIt)
{
    using Results = std::vector<AAX_Result>;
    using Effect = AAX_IACFEffectParameters;
    constexpr auto state = AAXClasses::JuceAAX_Processor::stateChunkID;
    int32_t number = 0;
    uint32_t size = 0;
    double value = 0.0;
    AAX_CString text;
    AAX_CBoolean equal = 0;
    std::vector<uint8_t> record (sizeof (AAX_ChunkRecord) + 4096);
    auto* chunk = reinterpret_cast<AAX_ChunkRecord*> (record.data());

    // Each made over and over on one thread while another uninitialises and initialises the effect.
    const std::tuple<const char*, std::function<Results (Effect&, TestHost&)>, AAX_Result> rows[] = {
        { "parameter information", [&] (Effect& e, TestHost&) -> Results
          {
              return { e.GetNumberOfParameters (&number), e.GetParameterIDFromIndex (1, &text), e.GetParameterName ("1", &text),
                       e.GetParameterNameOfLength ("1", &text, 4), e.GetParameterIndex ("2", &number), e.GetParameterType ("1", &size),
                       e.GetParameterNumberOfSteps ("1", &number), e.GetParameterDefaultNormalizedValue ("1", &value),
                       e.GetMasterBypassParameter (&text) };
          }, AAX_ERROR_NOT_INITIALIZED },
        { "value texts", [&] (Effect& e, TestHost&) -> Results
          {
              return { e.GetParameterStringFromValue ("1", 0.5, &text, 8), e.GetParameterValueFromString ("1", &value, AAX_CString ("0.5")),
                       e.GetParameterValueString ("1", &text, 8) };
          }, AAX_ERROR_NOT_INITIALIZED },
        { "value changes", [] (Effect& e, TestHost&) -> Results
          {
              return { e.UpdateParameterNormalizedValue ("1", 0.5, AAX_UpdateSourceHost), e.SetParameterNormalizedValue ("1", 0.5),
                       e.SetParameterNormalizedRelative ("1", 0.1), e.UpdateParameterNormalizedRelative ("1", -0.1),
                       e.TouchParameter ("1"), e.ReleaseParameter ("1") };
          }, AAX_ERROR_NOT_INITIALIZED },
        { "coefficients", [] (Effect& e, TestHost&) -> Results { return { e.GenerateCoefficients() }; }, AAX_ERROR_NOT_INITIALIZED },
        { "chunks", [&] (Effect& e, TestHost&) -> Results
          {
              return { e.GetChunkSize (AAX_ControlStateChunkID, &size), e.GetChunk (AAX_ControlStateChunkID, chunk),
                       e.CompareActiveChunk (chunk, &equal), e.SetChunk (AAX_ControlStateChunkID, chunk),
                       e.GetChunkSize (state, &size), e.GetChunk (state, chunk), e.SetChunk (state, chunk) };
          }, AAX_ERROR_NOT_INITIALIZED },
        { "notifications", [&] (Effect& e, TestHost&) -> Results
          {
              return { e.NotificationReceived (AAX_NotificationPreviewState, &number, sizeof (number)),
                       e.NotificationReceived (AAX_NotificationOfflineStart, nullptr, 0) };
          }, AAX_ERROR_NOT_INITIALIZED },
        { "view container", [] (Effect&, TestHost& host) -> Results
          {
              FakeHostObject container;
              return { host.editor().SetViewContainer (&container), host.editor().SetViewContainer (nullptr) };
          }, AAX_OK },
        { "second Uninitialize", [] (Effect& e, TestHost&) -> Results { return { e.Uninitialize() }; }, AAX_OK },
        { "second Initialize", [] (Effect& e, TestHost& host) -> Results { return { e.Initialize (&host.hostObject) }; }, AAX_OK },
    };

    for (const auto& [name, call, afterTeardown] : rows)
    {
        SCOPED_TRACE (name);
        TestHost host;
        ASSERT_EQ (host.initialize (host.hostObject), AAX_OK);
        host.editor();
        std::atomic<bool> tornDown { false };
        std::atomic<int> numCalls { 0 };

        auto calls = std::async (std::launch::async, [&, &call = call]
        {
            for (; ! tornDown; ++numCalls)
                call (*host.effect, host);

            return true;
        });

        auto teardowns = std::async (std::launch::async, [&]
        {
            for (int cycle = 0; cycle < 2000 || numCalls < 2000; ++cycle)
                if (host.effect->Uninitialize() != AAX_OK || host.effect->Initialize (&host.hostObject) != AAX_OK)
                    return false;

            tornDown = true;
            return true;
        });

        EXPECT_TRUE (await (teardowns, "Teardown"));
        EXPECT_TRUE (await (calls, name));

        host.effect->Uninitialize();
        const auto results = call (*host.effect, host);
        EXPECT_EQ (results, Results (results.size(), afterTeardown));
    }
}
