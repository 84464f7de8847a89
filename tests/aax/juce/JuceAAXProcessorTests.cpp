#include "FakeHost.h"
#include "JuceAAX_Processor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
#include <string>
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
        void getStateInformation (juce::MemoryBlock&) override      {}
        void setStateInformation (const void*, int) override        {}

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
            effect->Uninitialize();
            effect->Release();
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
