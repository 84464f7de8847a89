#pragma once

#include <gtest/gtest.h>

#include "Corvane.h"

#include <vector>

/** A processor that records where its blocks were cut into engine runs. */
class ProbedCorvane  : public Corvane
{
public:
    struct Run
    {
        int start, length;
        bool secondChannel;
    };

    std::vector<Run> runs;
    int blockStartOffset = 0;
    float* blockStart = nullptr;

protected:
    void renderEngineRun (float** channels, int numSamples) override
    {
        if (recording)
            runs.push_back ({ (int) (channels[0] - blockStart), numSamples, channels[1] != nullptr });

        Corvane::renderEngineRun (channels, numSamples);
    }

public:
    bool recording = false;
};

/** A play head whose position the test sets. */
class FakePlayHead  : public juce::AudioPlayHead
{
public:
    juce::Optional<PositionInfo> getPosition() const override
    {
        if (! hasPosition)
            return {};

        return info;
    }

    PositionInfo info;
    bool hasPosition = true;
};

/** Counts the changes of the parameters it listens to. */
class ChangeCounter  : public Parameter::Listener
{
public:
    void parameterChanged (Parameter* p) override     { ++count; lastId = p->getIndex(); }
    int count = 0, lastId = -1;
};

/**
    Gives every test a fresh processor on an empty user data folder, prepared for
    44.1 kHz stereo blocks of 512 samples, with a play head whose transport is stopped.
*/
class CorvaneTest  : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Never touch a real user's files: the test harness gives each test program
        // a HOME of its own, and the processors keep their settings below it.
        if (! juce::File::getSpecialLocation (juce::File::userHomeDirectory).getFullPathName().contains ("test-home"))
            GTEST_SKIP() << "HOME is not a test folder: run this through ctest";

        clearUserData();
        processor = create();
    }

    void TearDown() override
    {
        if (processor == nullptr)
            return;

        processor.reset();
        clearUserData();
    }

    /** The settings and presets of the processors live under the test's own HOME. */
    static juce::File getUserDataRoot()
    {
        return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory).getChildFile ("Halvorn");
    }

    static void clearUserData()
    {
        getUserDataRoot().deleteRecursively();
    }

    std::unique_ptr<ProbedCorvane> create (int numInputs = 2, int numOutputs = 2, int blockSize = 512)
    {
        auto* created = BasePlugin::createPlugin<ProbedCorvane>();
        EXPECT_NE (created, nullptr);
        std::unique_ptr<ProbedCorvane> p (dynamic_cast<ProbedCorvane*> (created));
        p->setPlayConfigDetails (numInputs, numOutputs, 44100.0, blockSize);
        p->setPlayHead (&playHead);
        p->prepareToPlay (44100.0, blockSize);
        playHead.info.setBpm (120.0);
        playHead.info.setPpqPosition (0.0);
        playHead.info.setIsPlaying (false);
        return p;
    }

    /** Processes one block as a host does, under the callback lock, and records its runs. */
    void process (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
    {
        processor->runs.clear();
        processor->blockStart = buffer.getWritePointer (0);
        processor->recording = true;

        {
            const juce::ScopedLock sl (processor->getCallbackLock());
            processor->processBlock (buffer, midi);
        }

        processor->recording = false;
    }

    void process (int numSamples, juce::MidiBuffer midi = {})
    {
        juce::AudioBuffer<float> buffer (juce::jmax (processor->getTotalNumInputChannels(),
                                                     processor->getTotalNumOutputChannels()), numSamples);
        buffer.clear();
        process (buffer, midi);
    }

    std::vector<int> runLengths() const
    {
        std::vector<int> lengths;

        for (auto& run : processor->runs)
            lengths.push_back (run.length);

        return lengths;
    }

    ParameterManager& parameters()      { return processor->parameterManager; }

    static void pumpMessages()          { juce::MessageManager::getInstance()->runDispatchLoopUntil (20); }

    FakePlayHead playHead;
    std::unique_ptr<ProbedCorvane> processor;
};
