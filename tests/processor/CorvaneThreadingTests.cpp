#include "CorvaneTestHelpers.h"

#include "BasePluginEditor.h"

#include <atomic>
#include <thread>

using Ids = CorvaneParameterIds;

namespace
{
    int findHostSlot (BasePlugin& plugin, int id)
    {
        for (int slot = 0; slot < plugin.getNumHostParameters(); ++slot)
            if (auto* parameter = plugin.getHostSlotParameter (slot); parameter != nullptr && parameter->getIndex() == id)
                return slot;

        return -1;
    }
}

// The processor and its editor driven as a host and a user drive them, on three threads at
// once: the audio thread plays notes and moves a learnt controller, a host thread automates
// slots and saves the state, the message thread restores states, learns controllers and
// changes settings through the editor. ThreadSanitizer (scripts/test --tsan) fails the run on
// any access that the threads do not order; in any build, nothing may hang or crash.
TEST_F (CorvaneTest, AudioHostAndMessageThreadsWorkOnOneInstanceAtOnce)
{
    constexpr int learntController = 20, freeController = 21;
    auto* feedback = parameters().getParameter (Ids::getLineParameterId (0, Ids::feedback));
    processor->midiControl.assign (learntController, feedback, false);

    const auto feedbackSlot = findHostSlot (*processor, feedback->getIndex());
    const auto lfoRateSlot = findHostSlot (*processor, Ids::lfo1Rate);
    ASSERT_GE (feedbackSlot, 0);
    ASSERT_GE (lfoRateSlot, 0);

    auto* editor = processor->getEditor();
    ASSERT_NE (editor, nullptr);

    juce::MemoryBlock state;
    processor->getStateInformation (state);
    const auto hostMap = processor->createHostParametersMapXml();

    std::atomic<bool> running { true };
    std::atomic<int> blocks { 0 }, automations { 0 };

    std::thread audio ([&]
    {
        juce::AudioBuffer<float> buffer (2, 256);

        for (int block = 0; running; ++block)
        {
            juce::MidiBuffer midi;
            midi.addEvent (juce::MidiMessage::noteOn (1, 60, 0.8f), 0);
            midi.addEvent (juce::MidiMessage::controllerEvent (1, freeController, (block * 7) % 128), 96);
            midi.addEvent (juce::MidiMessage::noteOff (1, 60), 128);

            // Each move looks up the host slot of the learnt parameter: many moves give an
            // unordered write to the slot map many chances to show.
            for (int i = 0; i < 16; ++i)
                midi.addEvent (juce::MidiMessage::controllerEvent (1, learntController, (block + i) % 128), i * 16);

            buffer.clear();

            {
                const juce::ScopedLock sl (processor->getCallbackLock());
                processor->processBlock (buffer, midi);
            }

            blocks = block + 1;
        }
    });

    std::thread host ([&]
    {
        for (int step = 0; running; ++step)
        {
            processor->setParameter (feedbackSlot, (float) (step % 100) / 100.0f);
            processor->setParameter (lfoRateSlot, (float) (step % 11) / 10.0f);
            processor->getParameterText (feedbackSlot);

            if (step % 32 == 0)
            {
                juce::MemoryBlock saved;
                processor->getStateInformation (saved);
            }

            automations = step + 1;
        }
    });

    // The message thread: this one. A state restore, and a map loaded from the options, put
    // the whole host map back. While MIDI learn is on, touching the LFO scale binds the free
    // controller to it, so that the audio thread sets the LFO too.
    constexpr int toggleMidiLearnEvent = 1010, firstLfo1ScaleEvent = 47;
    const auto end = juce::Time::getMillisecondCounter() + 1000;

    for (int step = 0; juce::Time::getMillisecondCounter() < end || blocks < 10 || automations < 10; ++step)
    {
        processor->setStateInformation (state.getData(), (int) state.getSize());

        for (int i = 0; i < 4; ++i)
            processor->readHostParametersMap (hostMap.get());

        editor->handleControllerEvent (nullptr, toggleMidiLearnEvent);
        editor->handleControllerEvent (nullptr, firstLfo1ScaleEvent + step % 3);
        parameters().setParameterIntValue (Ids::lfo1Rate, step % 11);
        parameters().setParameterIntValue (Ids::realtimeQuality, step % 4);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
    }

    running = false;
    audio.join();
    host.join();

    // Still one consistent instance: the restored map and the learnt controller hold.
    processor->midiControl.setLearning (false);
    processor->setStateInformation (state.getData(), (int) state.getSize());
    EXPECT_EQ (findHostSlot (*processor, feedback->getIndex()), feedbackSlot);
    EXPECT_EQ (processor->midiControl.getParameterOf (learntController), feedback);
}
