#include "EnvelopeGenerator.h"
#include "PeakFollower.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
    EnvelopeGenerator makeEnvelope (float attack, double decay, double sustain, double hold, double release)
    {
        EnvelopeGenerator envelope;
        envelope.prepare (SampleRateConstants());
        envelope.setAttack (attack);
        envelope.setDecay (decay);
        envelope.setSustain (sustain);
        envelope.setHold (hold);
        envelope.setRelease (release);
        return envelope;
    }

    // Runs until the stage changes; returns the number of samples it took.
    int runWhileIn (EnvelopeGenerator& envelope, int stage, int limit = 1000000)
    {
        int n = 0;

        while (envelope.getStage() == stage && n < limit)
        {
            envelope.process();
            ++n;
        }

        return n;
    }
}

TEST (EnvelopeGenerator, RunsAttackDecayHoldRelease)
{
    auto envelope = makeEnvelope (0.0f, 0.0, 0.5, 0.01, 0.0);
    envelope.retrigger();

    // From 0 toward 2.0, cut at 1.0: about ln 2 / coefficient samples.
    const int attackLength = runWhileIn (envelope, EnvelopeGenerator::attack);
    EXPECT_NEAR (attackLength, std::log (2.0) / 0.0155, 2.0);
    EXPECT_EQ (envelope.getValue(), 1.0);
    EXPECT_EQ (envelope.getStage(), EnvelopeGenerator::decay);

    runWhileIn (envelope, EnvelopeGenerator::decay);
    ASSERT_EQ (envelope.getStage(), EnvelopeGenerator::hold);
    const double held = envelope.getValue();
    EXPECT_GE (held, 0.5);
    EXPECT_LT (held, 0.51);

    // 0.01 s at 44.1 kHz.
    int holdLength = 0;

    while (envelope.getStage() == EnvelopeGenerator::hold)
    {
        ASSERT_EQ (envelope.process(), (float) held);
        ++holdLength;
    }

    EXPECT_EQ (holdLength, 441);
    EXPECT_EQ (envelope.getStage(), EnvelopeGenerator::release);

    float last = (float) held;

    for (int n = 0; n < 2000; ++n)
    {
        const float v = envelope.process();
        ASSERT_LE (v, last);
        last = v;
    }

    EXPECT_LT (last, 0.001f);
    EXPECT_EQ (envelope.getStage(), EnvelopeGenerator::release);
}

TEST (EnvelopeGenerator, StagesEndingInOneSampleFallThrough)
{
    // Full sustain: the decay ends as soon as it begins, and the hold follows.
    auto holding = makeEnvelope (0.0f, 0.5, 1.0, 0.2, 0.5);
    holding.retrigger();
    runWhileIn (holding, EnvelopeGenerator::attack);
    EXPECT_EQ (holding.getStage(), EnvelopeGenerator::hold);
    EXPECT_EQ (holding.getValue(), 1.0);

    // No hold: the release starts on the sample the decay ends.
    auto releasing = makeEnvelope (0.0f, 0.0, 0.5, 0.0, 0.5);
    releasing.retrigger();
    runWhileIn (releasing, EnvelopeGenerator::attack);
    runWhileIn (releasing, EnvelopeGenerator::decay);
    EXPECT_EQ (releasing.getStage(), EnvelopeGenerator::release);

    // Both: one sample runs from the attack straight into the release.
    auto direct = makeEnvelope (0.0f, 0.5, 1.0, 0.0, 0.5);
    direct.retrigger();
    runWhileIn (direct, EnvelopeGenerator::attack);
    EXPECT_EQ (direct.getStage(), EnvelopeGenerator::release);
    EXPECT_EQ (direct.getValue(), 1.0);
}

TEST (EnvelopeGenerator, ShorteningTheHoldWhileHoldingEndsIt)
{
    auto envelope = makeEnvelope (0.0f, 0.5, 1.0, 1.0, 0.5);
    envelope.retrigger();
    runWhileIn (envelope, EnvelopeGenerator::attack);
    ASSERT_EQ (envelope.getStage(), EnvelopeGenerator::hold);

    for (int n = 0; n < 1000; ++n)
        envelope.process();

    envelope.setHold (0.01);    // 441 samples, already past
    envelope.process();
    EXPECT_EQ (envelope.getStage(), EnvelopeGenerator::release);
}

TEST (EnvelopeGenerator, RetriggerRestartsTheAttackFromTheCurrentValue)
{
    auto envelope = makeEnvelope (0.5f, 0.0, 0.5, 0.0, 0.0);
    envelope.retrigger();
    runWhileIn (envelope, EnvelopeGenerator::attack);
    runWhileIn (envelope, EnvelopeGenerator::decay);

    while (envelope.getValue() > 0.3)
        envelope.process();

    const double from = envelope.getValue();
    envelope.retrigger();
    EXPECT_EQ (envelope.getStage(), EnvelopeGenerator::attack);
    EXPECT_GT (envelope.process(), (float) from);
}

//==============================================================================
TEST (PeakFollower, RisesWithTheAttackFallsWithTheRelease)
{
    PeakFollower follower;
    follower.prepare (SampleRateConstants());
    follower.setAttack (0.0);
    follower.setRelease (0.5);

    for (int n = 0; n < 1000; ++n)
        ASSERT_EQ (follower.process (0.0f, 0.0f), 0.0f);

    float value = 0.0f;

    for (int n = 0; n < 2000; ++n)
        value = follower.process (0.25f, -0.5f);   // |L + R| = 0.25

    EXPECT_NEAR (value, 0.25f, 1e-4f);

    // Release 0.5 is a time constant of about 0.76 s.
    for (int n = 0; n < 4410; ++n)
        value = follower.process (0.0f, 0.0f);

    EXPECT_NEAR (value, 0.25f * std::exp (-4410.0f / 33356.0f), 2e-3f);
}

TEST (PeakFollower, SensitivityIsClampedAtFullScale)
{
    PeakFollower follower;
    follower.prepare (SampleRateConstants());
    follower.setInputGain (std::pow (10.0, 24.0 * 0.05));

    float value = 0.0f;

    for (int n = 0; n < 2000; ++n)
        value = follower.process (0.5f, 0.5f);

    EXPECT_EQ (value, 1.0f);
}
