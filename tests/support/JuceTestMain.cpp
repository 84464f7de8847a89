#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

// Runs the tests on a thread that JUCE knows as its message thread, so that code
// which asserts it is on the message thread, or posts asynchronous updates, behaves
// as it does in a host. Tests pump the loop themselves where they wait for updates.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
