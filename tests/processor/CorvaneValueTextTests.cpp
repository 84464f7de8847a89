#include <gtest/gtest.h>

#include "CorvaneParameterIds.h"
#include "CorvaneValueText.h"

using T = CorvaneValueText;

TEST (CorvaneValueText, BalancesSplitAHundredPercent)
{
    EXPECT_EQ (T::panning (0.5f), "50/50 % (L/R)");
    EXPECT_EQ (T::panning (0.0f), "100/0 % (L/R)");
    EXPECT_EQ (T::panning (0.29f), "71/29 % (L/R)");
    EXPECT_EQ (T::dryWet (0.5f), "50/50 % (Dry/Wet)");
    EXPECT_EQ (T::dryWet (1.0f), "0/100 % (Dry/Wet)");
}

TEST (CorvaneValueText, VolumesAreDecibelsWithASignAndMinusInfinityAtZero)
{
    EXPECT_EQ (T::lineVolume (0.75f), "+0.0 dB");
    EXPECT_EQ (T::lineVolume (1.0f), "+12.0 dB");
    EXPECT_EQ (T::lineVolume (0.0f), "-inf.");
    EXPECT_EQ (T::lineVolume (0.5f), "-8.0 dB");     // gain 0.4

    EXPECT_EQ (T::masterVolume (0.5f), "+0.0 dB");
    EXPECT_EQ (T::masterVolume (1.0f), "+12.0 dB");
    EXPECT_EQ (T::masterVolume (0.25f), "-12.0 dB");
    EXPECT_EQ (T::masterVolume (0.0f), "-inf.");
}

TEST (CorvaneValueText, FrequenciesHaveTwoDecimals)
{
    EXPECT_EQ (T::filterCutoff (0.0f), "0.00 Hz");
    EXPECT_EQ (T::filterCutoff (1.0f), "22050.00 Hz");
    EXPECT_EQ (T::lfoFrequency (0.0f), "0.10 Hz");
    EXPECT_EQ (T::lfoFrequency (0.5f), "6.64 Hz");
    EXPECT_EQ (T::lfoFrequency (1.0f), "40.00 Hz");
}

TEST (CorvaneValueText, PercentagesAndBipolarControls)
{
    EXPECT_EQ (T::percent (0.375f), "37 %");
    EXPECT_EQ (T::percent (0.5f, false), "50%");
    EXPECT_EQ (T::bipolarPercent (0.5f), "0 %");
    EXPECT_EQ (T::bipolarPercent (1.0f), "+100 %");
    EXPECT_EQ (T::bipolarPercent (0.0f), "-100 %");
    EXPECT_EQ (T::bipolarPercent (0.25f), "-50 %");
}

TEST (CorvaneValueText, GainsInDecibels)
{
    EXPECT_EQ (T::overdrivePreamp (0.0f), "0.00 dB");
    EXPECT_EQ (T::overdrivePreamp (0.5f), "+6.00 dB");
    EXPECT_EQ (T::overdrivePreamp (1.0f), "+12.00 dB");
    EXPECT_EQ (T::minus24To0Decibels (1.0f), "0.00 dB");
    EXPECT_EQ (T::minus24To0Decibels (0.5f), "-12.00 dB");
    EXPECT_EQ (T::minus24To0Decibels (0.0f), "-24.00 dB");
}

TEST (CorvaneValueText, TimesSwitchFromMillisecondsToSecondsAtOneSecond)
{
    EXPECT_EQ (T::milliseconds (32.0f), "32.00 ms");
    EXPECT_EQ (T::time (0.5), "500 ms");
    EXPECT_EQ (T::time (0.9999), "999 ms");
    EXPECT_EQ (T::time (1.0), "1.0 s");
    EXPECT_EQ (T::time (3.46), "3.5 s");

    EXPECT_EQ (T::envelopeAttack (0.0f), "1 ms");
    EXPECT_EQ (T::envelopeAttack (1.0f), "3.5 s");
    EXPECT_EQ (T::envelopeDecay (0.0f), "10 ms");
    EXPECT_EQ (T::envelopeDecay (1.0f), "20.0 s");
    EXPECT_EQ (T::envelopeHold (0.25f), "250 ms");
    EXPECT_EQ (T::envelopeHold (1.0f), "1.0 s");
    EXPECT_EQ (T::phaseShift (0.5f), "90.0 deg");
}

TEST (CorvaneValueText, StereoSpreadNamesTheLaggingSideByChannelMode)
{
    // A 9.9 ms left delay gives a spread of 10 ms * (v - 0.5).
    EXPECT_EQ (T::stereoSpread (0.5f, 0, 9.9), "No spread");
    EXPECT_EQ (T::stereoSpread (0.75f, 0, 9.9), "Right 2.50 ms");
    EXPECT_EQ (T::stereoSpread (0.25f, 0, 9.9), "Left 2.50 ms");
    EXPECT_EQ (T::stereoSpread (0.75f, 1, 9.9), "Side 2.50 ms");
    EXPECT_EQ (T::stereoSpread (0.0f, 1, 9.9), "Mid 5.00 ms");
    EXPECT_EQ (T::stereoSpread (0.5005f, 0, 9.9), "No spread");
    EXPECT_EQ (T::stereoSpread (0.25f, 5, 9.9), "75/25 % (L/R)");
}

TEST (CorvaneParameterIds, LineIdsMapToTheirLineAndIndex)
{
    using Ids = CorvaneParameterIds;
    EXPECT_EQ (Ids::getLineForParameterId (39), 0);
    EXPECT_EQ (Ids::getLineForParameterId (1046), 0);
    EXPECT_EQ (Ids::getLineForParameterId (2000), 1);
    EXPECT_EQ (Ids::getLineForParameterId (4046), 3);
    EXPECT_EQ (Ids::getLineForParameterId (4047), -1);
    EXPECT_EQ (Ids::getIndexInLine (3039), 39);
    EXPECT_EQ (Ids::getIndexInLine (4047), 4047);
    EXPECT_TRUE (Ids::isLineId (4046));
    EXPECT_FALSE (Ids::isLineId (46));
    EXPECT_FALSE (Ids::isLineId (1047));
}

TEST (CorvaneParameterIds, PresetsHoldNeitherTimeKnobsNorFeedbackHoldNorEditionState)
{
    const auto ids = CorvaneParameterIds::makePresetIds();

    for (int line = 1; line <= 4; ++line)
    {
        for (int i = 0; i < 47; ++i)
        {
            const bool excluded = i == 13 || i == 14 || i == 25 || i == 26 || i == 40;
            EXPECT_EQ (ids.contains (line * 1000 + i), ! excluded) << line * 1000 + i;
        }
    }

    EXPECT_FALSE (ids.contains (46));
    EXPECT_TRUE (ids.contains (47));
    EXPECT_TRUE (ids.contains (91));
    EXPECT_FALSE (ids.contains (92));
    EXPECT_EQ (ids.size(), 4 * 42 + 45);

    EXPECT_EQ (CorvaneParameterIds::makeEditionIds().getTotalRange(), juce::Range<int> (92, 105));
    EXPECT_EQ (CorvaneParameterIds::makeDefaultSettingsIds().getTotalRange(), juce::Range<int> (105, 110));
    EXPECT_EQ (CorvaneParameterIds::makeLineIds (2).getTotalRange(), juce::Range<int> (3000, 3047));
}

TEST (CorvaneParameterIds, LegacyIdsAreRenumberedOnlyInTheirOwnDocument)
{
    using Ids = CorvaneParameterIds;
    EXPECT_EQ (Ids::renumberLegacyEditionId (122), 101);
    EXPECT_EQ (Ids::renumberLegacyEditionId (125), 104);
    EXPECT_EQ (Ids::renumberLegacyEditionId (118), 118);
    EXPECT_EQ (Ids::renumberLegacyDefaultSettingsId (118), 105);
    EXPECT_EQ (Ids::renumberLegacyDefaultSettingsId (121), 108);
    EXPECT_EQ (Ids::renumberLegacyDefaultSettingsId (122), 122);
    EXPECT_EQ (Ids::renumberLegacyEditionId (99), 99);
}
