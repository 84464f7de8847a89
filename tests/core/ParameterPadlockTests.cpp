#include <gtest/gtest.h>

#include "FloatParameter.h"
#include "ParameterPadlockRange.h"

namespace
{
    struct CountingListener : public ParameterPadlock::Listener
    {
        void padlockChanged (ParameterPadlock* padlock) override
        {
            ++calls;
            lastLocked = padlock->isLocked();
        }

        int calls = 0;
        bool lastLocked = false;
    };

    void pumpMessages() { juce::MessageManager::getInstance()->runDispatchLoopUntil (50); }
}

TEST (ParameterPadlocks, RangeCoversFirstToLastInclusive)
{
    ParameterPadlockRange line3;
    EXPECT_FALSE (line3.isIndexLocked (0));

    line3.setRange (3000, 3046);
    EXPECT_TRUE (line3.isIndexLocked (3000));
    EXPECT_TRUE (line3.isIndexLocked (3046));
    EXPECT_FALSE (line3.isIndexLocked (3047));
    EXPECT_FALSE (line3.isIndexLocked (2999));

    // Coverage does not depend on the flag.
    EXPECT_FALSE (line3.isLocked());

    const FloatParameter inside (3010, "Line 3 Filter Cutoff", 0.0f, 1.0f, 0.5f);
    const FloatParameter outside (89, "FX Amount", 0.0f, 1.0f, 0.5f);
    EXPECT_TRUE (line3.isParameterLocked (&inside));
    EXPECT_FALSE (line3.isParameterLocked (&outside));
    EXPECT_FALSE (line3.isParameterLocked (nullptr));
}

TEST (ParameterPadlocks, TwoTogglesGiveOneNotification)
{
    ParameterPadlockRange padlock;
    CountingListener listener;
    padlock.addListener (&listener);
    padlock.addListener (&listener);
    padlock.addListener (nullptr);

    padlock.toggle();
    EXPECT_TRUE (padlock.isLocked());
    padlock.toggle();
    EXPECT_FALSE (padlock.isLocked());
    EXPECT_EQ (listener.calls, 0);

    pumpMessages();
    EXPECT_EQ (listener.calls, 1);

    padlock.toggle();
    pumpMessages();
    EXPECT_EQ (listener.calls, 2);
    EXPECT_TRUE (listener.lastLocked);

    padlock.removeListener (&listener);
    padlock.toggle();
    pumpMessages();
    EXPECT_EQ (listener.calls, 2);
}

TEST (ParameterPadlocks, SettingTheFlagNotifiesOnlyAChange)
{
    ParameterPadlockRange padlock;
    CountingListener listener;
    padlock.addListener (&listener);

    padlock.setLocked (false);
    pumpMessages();
    EXPECT_EQ (listener.calls, 0);

    padlock.setLocked (true);
    pumpMessages();
    EXPECT_EQ (listener.calls, 1);
    EXPECT_TRUE (listener.lastLocked);
}
