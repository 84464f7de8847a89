#include <FloatParameter.h>
#include <StringParameter.h>

#include <gtest/gtest.h>

namespace
{
    /** Records every call it receives, in one log shared by several listeners. */
    struct RecordingListener  : public Parameter::Listener
    {
        RecordingListener (juce::StringArray& sharedLog, juce::String listenerName)
            : log (sharedLog), name (std::move (listenerName)) {}

        void parameterChanged (Parameter* p) override
        {
            log.add (name + " changed " + p->getText());

            if (removeSelfOnCall)
                p->removeListener (this);
        }

        void parameterGestureBegan (Parameter*) override   { log.add (name + " began"); }
        void parameterGestureEnded (Parameter*) override   { log.add (name + " ended"); }

        juce::StringArray& log;
        juce::String name;
        bool removeSelfOnCall = false;
    };

    void pumpMessages()
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    }

    /** One synchronous and one asynchronous listener on a parameter, sharing a log. */
    struct ParameterListeners  : public ::testing::Test
    {
        void listenTo (Parameter& p)
        {
            p.addListener (&sync);
            p.addAsyncListener (&async);
        }

        juce::StringArray log;
        RecordingListener sync { log, "sync" }, async { log, "async" };
        FloatParameter p { 0, "p", 0.0f, 1.0f, 0.0f };
    };
}

TEST_F (ParameterListeners, UnchangedValueNotifiesNobody)
{
    p.setValue (0.3f, false);
    listenTo (p);

    p.setValue (0.3f, true);
    p.setNormalisedValue (0.3f, true);
    p.setText ("0.3", true);
    pumpMessages();

    EXPECT_TRUE (log.isEmpty()) << log.joinIntoString (", ");
}

TEST_F (ParameterListeners, NotifyFalseTellsNobody)
{
    StringParameter text (0, "p", "a");
    listenTo (text);

    text.setText ("b", false);
    EXPECT_FALSE (text.isUpdatePending());
    pumpMessages();

    EXPECT_TRUE (log.isEmpty());
    EXPECT_EQ (text.getText(), "b");
}

TEST_F (ParameterListeners, SynchronousAtOnceAsynchronousLaterAndCoalesced)
{
    listenTo (p);

    p.setValue (0.25f, true);
    EXPECT_EQ (log, juce::StringArray ({ "sync changed 0.25" }));

    p.setValue (0.5f, true);
    p.setValue (0.75f, true);
    EXPECT_EQ (log.size(), 3);

    pumpMessages();
    EXPECT_EQ (log, juce::StringArray ({ "sync changed 0.25", "sync changed 0.5",
                                         "sync changed 0.75", "async changed 0.75" }));
}

TEST_F (ParameterListeners, LastAddedFirstAndAddedOnce)
{
    RecordingListener first (log, "first"), second (log, "second"), third (log, "third");
    p.addListener (&first);
    p.addListener (&second);
    p.addListener (&third);
    p.addListener (&second);
    p.addListener (nullptr);

    p.setValue (1.0f, true);
    EXPECT_EQ (log, juce::StringArray ({ "third changed 1", "second changed 1", "first changed 1" }));
}

TEST_F (ParameterListeners, ListenerMayRemoveItselfWhileCalled)
{
    RecordingListener first (log, "first"), second (log, "second"), third (log, "third");
    p.addListener (&first);
    p.addListener (&second);
    p.addListener (&third);
    third.removeSelfOnCall = true;
    second.removeSelfOnCall = true;

    p.setValue (1.0f, true);
    EXPECT_EQ (log, juce::StringArray ({ "third changed 1", "second changed 1", "first changed 1" }));

    log.clear();
    p.setValue (0.5f, true);
    EXPECT_EQ (log, juce::StringArray ({ "first changed 0.5" }));
}

TEST_F (ParameterListeners, RemovedListenersAreNotCalled)
{
    listenTo (p);
    p.removeListener (&sync);

    p.setValue (1.0f, true);
    p.removeAsyncListener (&async);
    pumpMessages();
    EXPECT_TRUE (log.isEmpty());
}

TEST_F (ParameterListeners, GesturesReachOnlySynchronousListeners)
{
    listenTo (p);

    p.beginChangeGesture();
    p.endChangeGesture();
    pumpMessages();
    EXPECT_EQ (log, juce::StringArray ({ "sync began", "sync ended" }));
}

TEST_F (ParameterListeners, DeletedParameterCancelsItsPendingUpdate)
{
    {
        FloatParameter doomed (0, "p", 0.0f, 1.0f, 0.0f);
        doomed.addAsyncListener (&async);
        doomed.setValue (1.0f, true);
    }

    pumpMessages();
    EXPECT_TRUE (log.isEmpty());
}
