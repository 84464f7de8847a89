#include "WrapperTestProcessor.h"

#include <thread>

std::atomic<WrapperTestProcessor*> WrapperTestProcessor::current { nullptr };
std::atomic<bool> WrapperTestProcessor::factoryFails { false };
std::atomic<bool> WrapperTestProcessor::madeUnderLock { false };
std::atomic<bool> WrapperTestProcessor::deletedUnderLock { false };
std::atomic<bool> WrapperTestProcessor::editorMadeUnderLock { false };
std::atomic<bool> WrapperTestProcessor::editorDeletedUnderLock { false };

namespace
{
    bool messageManagerIsLocked()
    {
        auto* messageManager = juce::MessageManager::getInstanceWithoutCreating();
        return messageManager != nullptr && messageManager->currentThreadHasLockedMessageManager();
    }

    class TestEditor final : public juce::AudioProcessorEditor
    {
    public:
        explicit TestEditor (juce::AudioProcessor& processor) : juce::AudioProcessorEditor (processor)
        {
            setSize (300, 200);
            WrapperTestProcessor::editorMadeUnderLock = messageManagerIsLocked();
        }

        ~TestEditor() override
        {
            WrapperTestProcessor::editorDeletedUnderLock = messageManagerIsLocked();
        }
    };
}

WrapperTestProcessor::WrapperTestProcessor()
{
    for (auto& value : values)
        value = 0.25f;

    blocks.reserve (4096);
    parameterCalls.reserve (4096);
    madeUnderLock = messageManagerIsLocked();
    current = this;
}

WrapperTestProcessor::~WrapperTestProcessor()
{
    deletedUnderLock = messageManagerIsLocked();
    current = nullptr;
}

void WrapperTestProcessor::prepareToPlay (double sampleRate, int maximumBlockSize)
{
    preparedSampleRate = sampleRate;
    preparedBlockSize = maximumBlockSize;
    ++numPrepares;
}

void WrapperTestProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    recordBlock (buffer, midi, false);
    buffer.applyGain (0.5f);
}

void WrapperTestProcessor::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    recordBlock (buffer, midi, true);
}

void WrapperTestProcessor::recordBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi, bool bypassed)
{
    Block block;
    block.numSamples = buffer.getNumSamples();
    block.numChannels = buffer.getNumChannels();
    block.bypassed = bypassed;

    for (const auto metadata : midi)
    {
        if (block.numMidiEvents < 16)
        {
            auto& event = block.midi[block.numMidiEvents++];
            event.position = metadata.samplePosition;
            event.size = juce::jmin (metadata.numBytes, 4);
            std::copy (metadata.data, metadata.data + event.size, event.bytes);
        }
    }

    if (auto* playHead = getPlayHead())
    {
        if (const auto position = playHead->getPosition())
        {
            block.hasPosition = true;
            block.position = *position;
        }
    }

    if (checkCallbackLock)
    {
        bool lockWasFree = true;
        std::thread other ([this, &lockWasFree]
        {
            lockWasFree = getCallbackLock().tryEnter();

            if (lockWasFree)
                getCallbackLock().exit();
        });
        other.join();
        block.callbackLockHeld = ! lockWasFree;
    }

    const std::lock_guard<std::mutex> guard (recordLock);

    if (blocks.size() < blocks.capacity())
        blocks.push_back (block);
}

juce::AudioProcessorEditor* WrapperTestProcessor::createEditor()
{
    return new TestEditor (*this);
}

void WrapperTestProcessor::getStateInformation (juce::MemoryBlock& data)
{
    juce::XmlElement state ("TestState");

    for (int index = 0; index < numParameters; ++index)
        state.setAttribute ("p" + juce::String (index), values[index].load());

    copyXmlToBinary (state, data);
}

void WrapperTestProcessor::setStateInformation (const void* data, int size)
{
    if (const auto state = getXmlFromBinary (data, size); state != nullptr && state->hasTagName ("TestState"))
        for (int index = 0; index < numParameters; ++index)
            values[index] = static_cast<float> (state->getDoubleAttribute ("p" + juce::String (index), 0.25));
}

float WrapperTestProcessor::getParameter (int index)
{
    return juce::isPositiveAndBelow (index, numParameters) ? values[index].load() : 0.0f;
}

void WrapperTestProcessor::setParameter (int index, float value)
{
    {
        const std::lock_guard<std::mutex> guard (recordLock);

        if (parameterCalls.size() < parameterCalls.capacity())
            parameterCalls.emplace_back (index, value);
    }

    if (juce::isPositiveAndBelow (index, numParameters))
        values[index] = value;
}

std::vector<WrapperTestProcessor::Block> WrapperTestProcessor::getBlocks() const
{
    const std::lock_guard<std::mutex> guard (recordLock);
    return blocks;
}

void WrapperTestProcessor::clearBlocks()
{
    const std::lock_guard<std::mutex> guard (recordLock);
    blocks.clear();
}

std::vector<std::pair<int, float>> WrapperTestProcessor::getParameterCalls() const
{
    const std::lock_guard<std::mutex> guard (recordLock);
    return parameterCalls;
}
