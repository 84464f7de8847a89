#include <NumberConversions.h>

#include <gtest/gtest.h>

#include <limits>

TEST (NumberConversions, SignificantDigitTexts)
{
    EXPECT_EQ (NumberConversions::toText (0.5, 9), "0.5");
    EXPECT_EQ (NumberConversions::toText (1000.0, 9), "1000");
    EXPECT_EQ (NumberConversions::toText ((double) 0.1f, 9), "0.100000001");
    EXPECT_EQ (NumberConversions::toText ((double) 0.3f, 8), "0.30000001");
    EXPECT_EQ (NumberConversions::toText (0.0, 9), "0");
    EXPECT_EQ (NumberConversions::toText (-2.5, 9), "-2.5");
    EXPECT_EQ (NumberConversions::toText (1.0e12, 9), "1e+12");
}

TEST (NumberConversions, IntegersAreReadAsCReadsThem)
{
    EXPECT_EQ (NumberConversions::parseInt ("42"), 42);
    EXPECT_EQ (NumberConversions::parseInt ("  -7"), -7);
    EXPECT_EQ (NumberConversions::parseInt ("+3"), 3);
    EXPECT_EQ (NumberConversions::parseInt ("12abc"), 12);
    EXPECT_EQ (NumberConversions::parseInt ("3.9"), 3);
    EXPECT_EQ (NumberConversions::parseInt ("abc"), 0);
    EXPECT_EQ (NumberConversions::parseInt (""), 0);
    EXPECT_EQ (NumberConversions::parseInt ("- 5"), 0);
}

TEST (NumberConversions, HugeIntegersAreClampedNotOverflowed)
{
    EXPECT_EQ (NumberConversions::parseInt ("99999999999999999999"), std::numeric_limits<int>::max());
    EXPECT_EQ (NumberConversions::parseInt ("-99999999999999999999"), std::numeric_limits<int>::min());
    EXPECT_EQ (NumberConversions::parseInt ("-2147483648"), std::numeric_limits<int>::min());
}

TEST (NumberConversions, NarrowingNeverLeavesTheTargetRange)
{
    EXPECT_EQ (NumberConversions::truncateToInt (2.9), 2);
    EXPECT_EQ (NumberConversions::truncateToInt (-2.9), -2);
    EXPECT_EQ (NumberConversions::truncateToInt (std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ (NumberConversions::truncateToInt (1.0e30), std::numeric_limits<int>::max());
    EXPECT_EQ (NumberConversions::truncateToInt (-1.0e30), std::numeric_limits<int>::min());

    EXPECT_EQ (NumberConversions::toFloat (1.0e300), std::numeric_limits<float>::max());
    EXPECT_EQ (NumberConversions::toFloat (-1.0e300), -std::numeric_limits<float>::max());
    EXPECT_EQ (NumberConversions::toFloat (0.25), 0.25f);
}
