#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <mutex>
#include <vector>

/**
    A processor of the tests' own behind the wrapper: four parameters through JUCE's index-based
    interface (defaults 0.25), output = input × 0.5, and a record of everything the wrapper does
    to it. Recording a block allocates nothing (room is kept for the blocks).
*/
class WrapperTestProcessor final : public juce::AudioProcessor
{
public:
    struct MidiEvent
    {
        int position;
        int size;
        uint8_t bytes[4];
    };

    struct Block
    {
        int numSamples = 0;
        int numChannels = 0;
        bool bypassed = false;
        int numMidiEvents = 0;
        MidiEvent midi[16] {};
        bool hasPosition = false;
        juce::AudioPlayHead::PositionInfo position;
        bool callbackLockHeld = false;
    };

    WrapperTestProcessor();
    ~WrapperTestProcessor() override;

    /** The processor made last, while it lives. */
    static std::atomic<WrapperTestProcessor*> current;

    /** When set, the module's factory makes no processor. */
    static std::atomic<bool> factoryFails;

    /** Whether the message manager was locked by the thread that made or deleted the last
        processor, and the last editor.
    */
    static std::atomic<bool> madeUnderLock, deletedUnderLock, editorMadeUnderLock, editorDeletedUnderLock;

    //==============================================================================
    const juce::String getName() const override                 { return "Wrapper Test"; }
    void prepareToPlay (double sampleRate, int maximumBlockSize) override;
    void releaseResources() override                            { ++numReleases; }
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    void processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;
    using juce::AudioProcessor::processBlockBypassed;

    double getTailLengthSeconds() const override                { return 0.0; }
    bool acceptsMidi() const override                           { return true; }
    bool producesMidi() const override                          { return false; }
    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override                             { return true; }
    int getNumPrograms() override                               { return 1; }
    int getCurrentProgram() override                            { return 0; }
    void setCurrentProgram (int) override                       {}
    const juce::String getProgramName (int) override            { return {}; }
    void changeProgramName (int, const juce::String&) override  {}
    void getStateInformation (juce::MemoryBlock& data) override;
    void setStateInformation (const void* data, int size) override;

    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    int getNumParameters() override                             { return numParameters; }
    float getParameter (int index) override;
    void setParameter (int index, float value) override;
    const juce::String getParameterName (int index) override    { return "Param " + juce::String (index + 1); }
    const juce::String getParameterText (int index) override    { return juce::String (getParameter (index) * 100.0f, 1) + " %"; }
    float getParameterDefaultValue (int) override               { return 0.25f; }
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE

    //==============================================================================
    static constexpr int numParameters = 4;

    std::vector<Block> getBlocks() const;
    void clearBlocks();

    /** Every setParameter call so far: index and value. */
    std::vector<std::pair<int, float>> getParameterCalls() const;

    double preparedSampleRate = 0.0;
    int preparedBlockSize = 0;
    std::atomic<int> numPrepares { 0 }, numReleases { 0 };

    /** While set, each block asks another thread whether the callback lock is free. */
    bool checkCallbackLock = false;

private:
    void recordBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi, bool bypassed);

    std::atomic<float> values[numParameters];
    mutable std::mutex recordLock;
    std::vector<Block> blocks;
    std::vector<std::pair<int, float>> parameterCalls;
};
