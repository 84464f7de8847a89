#include <gtest/gtest.h>

#include "MidiControl.h"
#include "Parameter.h"
#include "ParameterManager.h"

#include <thread>

namespace
{
    struct RecordingListener : public MidiControl::Listener
    {
        RecordingListener (juce::StringArray& logToUse, juce::String nameToUse) : log (logToUse), name (nameToUse) {}

        void mapChanged (MidiControl*) override          { log.add (name + " map"); }
        void learnStateChanged (MidiControl*) override   { log.add (name + " learn"); }
        void controllerActivity (MidiControl*) override  { log.add (name + " activity"); }

        juce::StringArray& log;
        juce::String name;
    };

    struct MidiLearn : public ::testing::Test
    {
        void SetUp() override
        {
            const auto table = juce::parseXML (R"(<PluginParameters application="Corvane">
                <param index="1" name="Panning" type="float" value="0.5" auto="true"/>
                <param index="2" name="Volume" type="float" value="0.75" auto="true"/>
                <param index="39" name="Feedback" type="float" value="0.5" auto="true"/>
                <param index="90" name="Delay Lines Routing" type="enum" enum="Parallel;Serial" value="Parallel"/>
            </PluginParameters>)");
            manager.loadFromXml (table.get());
            control.setProductName ("Corvane");
            control.addListener (&listener);
            pumpMessages();
            log.clear();
        }

        Parameter* parameter (const char* name) { return manager.getParameter (juce::String (name)); }

        void pumpMessages() { juce::MessageManager::getInstance()->runDispatchLoopUntil (50); }

        void moveController (int controller, int value, int channel = 1)
        {
            control.processMidiMessage (juce::MidiMessage::controllerEvent (channel, controller, value));
        }

        ParameterManager manager;
        MidiControl control { &manager };
        juce::StringArray log;
        RecordingListener listener { log, "L" };
    };
}

//==============================================================================
TEST_F (MidiLearn, ControllersOnAnyChannelDriveTheirParameter)
{
    auto* volume = parameter ("Volume");
    control.assign (7, volume, true);

    for (int channel = 1; channel <= 16; ++channel)
    {
        moveController (7, channel == 16 ? 127 : 0, channel);
        EXPECT_EQ (volume->getNormalisedValue(), channel == 16 ? 1.0f : 0.0f) << channel;
    }

    moveController (7, 64);
    EXPECT_FLOAT_EQ (volume->getNormalisedValue(), 64.0f / 127.0f);
    EXPECT_EQ (control.getLastActiveParameter(), volume);

    control.processMidiMessage (juce::MidiMessage::noteOn (1, 7, (juce::uint8) 100));
    control.processMidiMessage (juce::MidiMessage::pitchWheel (1, 0));
    EXPECT_FLOAT_EQ (volume->getNormalisedValue(), 64.0f / 127.0f);

    moveController (8, 0);
    EXPECT_FLOAT_EQ (volume->getNormalisedValue(), 64.0f / 127.0f);
}

TEST_F (MidiLearn, MoveThenTouchBinds)
{
    control.setLearning (true);
    EXPECT_EQ (log, juce::StringArray ({ "L learn" }));   // at once, on the message thread
    log.clear();

    moveController (20, 10);
    control.learnParameterTouched (parameter ("Feedback"));

    EXPECT_EQ (control.getParameterOf (20), parameter ("Feedback"));
    EXPECT_EQ (control.getNumAssignments(), 1);

    pumpMessages();
    EXPECT_EQ (log, juce::StringArray ({ "L map", "L learn" }));
}

TEST_F (MidiLearn, TouchThenMoveBinds)
{
    control.setLearning (true);
    control.learnParameterTouched (parameter ("Volume"));
    EXPECT_EQ (control.getLearnCandidate(), parameter ("Volume"));
    EXPECT_EQ (control.getLearntController(), -1);

    moveController (30, 0);
    EXPECT_EQ (control.getControllerOf (parameter ("Volume")), 30);

    // The pair stays the learn state; touching another parameter starts again.
    control.learnParameterTouched (parameter ("Panning"));
    EXPECT_EQ (control.getLearntController(), -1);
    moveController (31, 0);
    EXPECT_EQ (control.getControllerOf (parameter ("Panning")), 31);
    EXPECT_EQ (control.getNumAssignments(), 2);
}

TEST_F (MidiLearn, ExistingPairsBecomeTheLearnStateWithoutRebinding)
{
    control.assign (5, parameter ("Volume"), true);
    control.setLearning (true);

    control.learnParameterTouched (parameter ("Volume"));
    EXPECT_EQ (control.getLearntController(), 5);

    control.setLearning (false);
    control.setLearning (true);
    moveController (5, 0);
    EXPECT_EQ (control.getLearnCandidate(), parameter ("Volume"));
    EXPECT_EQ (control.getLearntController(), 5);

    EXPECT_EQ (control.getNumAssignments(), 1);
    EXPECT_EQ (control.getControllerOf (parameter ("Volume")), 5);
}

TEST_F (MidiLearn, RemovingAnAssignmentWhileLearningResetsThePair)
{
    control.setLearning (true);
    control.learnParameterTouched (parameter ("Volume"));
    moveController (40, 0);
    ASSERT_EQ (control.getParameterOf (40), parameter ("Volume"));

    control.removeAssignment (40);
    EXPECT_EQ (control.getParameterOf (40), nullptr);
    EXPECT_EQ (control.getNumAssignments(), 0);
    EXPECT_EQ (control.getLearnCandidate(), nullptr);
    EXPECT_EQ (control.getLearntController(), -1);

    control.removeAssignment (-1);
    control.removeAssignment (128);
}

TEST_F (MidiLearn, NothingIsLearntOutsideLearningOrFromUnsuitableParameters)
{
    control.learnParameterTouched (parameter ("Volume"));
    moveController (20, 0);
    EXPECT_EQ (control.getNumAssignments(), 0);

    control.setLearning (true);
    control.learnParameterTouched (nullptr);
    control.learnParameterTouched (parameter ("Delay Lines Routing"));
    moveController (20, 0);
    control.learnParameterTouched (parameter ("Feedback"));

    EXPECT_EQ (control.getParameterOf (20), parameter ("Feedback"));
    EXPECT_EQ (control.getNumAssignments(), 1);
}

TEST_F (MidiLearn, AssigningMovesAParameterBetweenControllers)
{
    control.assign (1, parameter ("Volume"), true);
    control.assign (2, parameter ("Volume"), true);
    EXPECT_EQ (control.getParameterOf (1), nullptr);
    EXPECT_EQ (control.getParameterOf (2), parameter ("Volume"));
    EXPECT_EQ (control.getNumAssignments(), 1);

    control.assign (2, nullptr, true);
    EXPECT_EQ (control.getNumAssignments(), 0);
    EXPECT_EQ (control.getControllerOf (nullptr), -1);

    control.assign (3, parameter ("Panning"), false);
    control.clearMap();
    EXPECT_EQ (control.getNumAssignments(), 0);
    EXPECT_EQ (control.getParameterOf (3), nullptr);
}

//==============================================================================
TEST_F (MidiLearn, ReadsMapsWithOddLetterCaseAndTheLegacyRoot)
{
    const auto map = juce::parseXML (R"(<midiccmap APPLICATION="CORVANE">
        <ASSIGN cc="7" PARAM="Volume"/>
        <assign CC="8" param="Volume"/>
        <assign CC="9" param="Panning"/>
        <assign CC="9" param="Feedback"/>
        <assign CC="10" param="Delay Lines Routing"/>
        <assign CC="128" param="Panning"/>
        <assign CC="-1" param="Panning"/>
        <assign CC="11" param="Unknown"/>
    </midiccmap>)");

    control.setLearning (true);
    EXPECT_TRUE (control.readMap (map.get()));

    EXPECT_FALSE (control.isLearning());
    EXPECT_EQ (control.getParameterOf (7), nullptr);
    EXPECT_EQ (control.getParameterOf (8), parameter ("Volume"));
    EXPECT_EQ (control.getParameterOf (9), parameter ("Feedback"));
    EXPECT_EQ (control.getControllerOf (parameter ("Panning")), -1);
    EXPECT_EQ (control.getParameterOf (10), nullptr);
    EXPECT_EQ (control.getNumAssignments(), 2);
}

TEST_F (MidiLearn, IgnoresMapsOfAnotherProduct)
{
    control.assign (1, parameter ("Volume"), true);

    for (auto* text : { "<MidiControlMap name=\"Other\"><assign CC=\"2\" param=\"Panning\"/></MidiControlMap>",
                        "<HostParametersMap name=\"Corvane\"><assign CC=\"2\" param=\"Panning\"/></HostParametersMap>" })
    {
        const auto map = juce::parseXML (text);
        EXPECT_FALSE (control.readMap (map.get()));
    }

    EXPECT_FALSE (control.readMap (nullptr));
    EXPECT_EQ (control.getParameterOf (1), parameter ("Volume"));
    EXPECT_EQ (control.getNumAssignments(), 1);

    control.setProductName ({});
    const auto anyProduct = juce::parseXML ("<MidiControlMap name=\"Other\"/>");
    EXPECT_TRUE (control.isValidMap (anyProduct.get()));
}

TEST_F (MidiLearn, WritesAndReadsMapFiles)
{
    EXPECT_EQ (control.createMapXml()->getNumChildElements(), 0);
    EXPECT_EQ (control.createMapXml()->getStringAttribute ("name"), "Corvane");

    control.assign (64, parameter ("Feedback"), true);
    control.assign (3, parameter ("Panning"), true);

    const auto xml = control.createMapXml();
    ASSERT_EQ (xml->getNumChildElements(), 2);
    EXPECT_EQ (xml->getChildElement (0)->getIntAttribute ("CC"), 3);
    EXPECT_EQ (xml->getChildElement (0)->getStringAttribute ("param"), "Panning");

    juce::TemporaryFile temp (".cvccmap");
    ASSERT_TRUE (control.saveMapFile (temp.getFile()));
    EXPECT_TRUE (temp.getFile().loadFileAsString().startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));

    control.clearMap();
    EXPECT_TRUE (control.loadMapFile (temp.getFile()));
    EXPECT_EQ (control.getParameterOf (64), parameter ("Feedback"));
    EXPECT_EQ (control.getParameterOf (3), parameter ("Panning"));

    EXPECT_FALSE (control.loadMapFile (temp.getFile().getSiblingFile ("missing.cvccmap")));

    for (const std::string unsafe : { "<assign CC=\"5\" param=\"Panning\"/>\xFF", "<?" "?>x" })
    {
        const auto text = temp.getFile().loadFileAsString().upToLastOccurrenceOf ("</", false, false).toStdString() + unsafe;
        temp.getFile().replaceWithData (text.data(), text.size());
        EXPECT_FALSE (control.loadMapFile (temp.getFile()));
    }
    EXPECT_FALSE (control.saveMapFile (temp.getFile().getChildFile ("under-a-file.cvccmap")));
}

//==============================================================================
TEST_F (MidiLearn, ListenersAreCalledLastAddedFirstAndChangesCoalesce)
{
    RecordingListener second (log, "M");
    control.addListener (&second);
    control.addListener (&second);
    control.addListener (nullptr);

    control.assign (1, parameter ("Volume"), true);
    control.assign (2, parameter ("Panning"), true);
    moveController (1, 3);
    moveController (2, 3);

    pumpMessages();
    EXPECT_EQ (log, juce::StringArray ({ "M map", "L map", "M activity", "L activity" }));

    control.removeListener (&second);
}

TEST_F (MidiLearn, AChangeMadeWhileListenersRunIsReportedLater)
{
    struct Mover : public MidiControl::Listener
    {
        explicit Mover (MidiLearn& t) : test (t) {}

        void controllerActivity (MidiControl*) override
        {
            // Stands for the audio thread moving a controller while the editor is told.
            if (++calls == 1)
                test.moveController (1, 100);
        }

        MidiLearn& test;
        int calls = 0;
    };

    Mover mover (*this);
    control.addListener (&mover);
    control.assign (1, parameter ("Volume"), false);

    moveController (1, 5);
    pumpMessages();
    EXPECT_EQ (mover.calls, 2);

    control.removeListener (&mover);
}

TEST_F (MidiLearn, LearningSwitchedOffAnotherThreadIsReportedOnTheMessageThread)
{
    control.setLearning (true);
    log.clear();

    std::thread hostThread ([this] { control.setLearning (false); });
    hostThread.join();

    EXPECT_FALSE (control.isLearning());
    EXPECT_TRUE (log.isEmpty());

    pumpMessages();
    EXPECT_EQ (log, juce::StringArray ({ "L learn" }));
}
