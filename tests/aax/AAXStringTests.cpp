#include "AAX_CString.h"

#include <gtest/gtest.h>

TEST (AAXString, NullAndEmptyTexts)
{
    const AAX_CString fromNull (nullptr);
    EXPECT_EQ (fromNull.Length(), 0u);
    EXPECT_STREQ (fromNull.Get(), "");

    AAX_CString text ("abc");
    text.Set (nullptr);
    EXPECT_STREQ (text.Get(), "");
    EXPECT_EQ (text.MaxLength(), 0xFFFFFFFEu);
}

TEST (AAXString, AssignmentThroughTheBoundaryInterface)
{
    AAX_CString source ("Master Bypass");
    AAX_CString target;
    AAX_IString& asInterface = target;

    asInterface = static_cast<const AAX_IString&> (source);
    EXPECT_STREQ (target.Get(), "Master Bypass");

    asInterface = "on";
    EXPECT_STREQ (target.Get(), "on");

    asInterface = static_cast<const AAX_IString&> (target);
    EXPECT_STREQ (target.Get(), "on");
}

TEST (AAXString, NumberToText)
{
    AAX_CString text ("old");
    text.SetNumber (1.23456);
    EXPECT_STREQ (text.Get(), "1.235");
    text.SetNumber (-0.5);
    EXPECT_STREQ (text.Get(), "-0.500");
    text.SetNumber (0.0);
    EXPECT_STREQ (text.Get(), "0.000");
}

TEST (AAXString, TextToNumberReadsLikeAStream)
{
    double value = 99.0;
    EXPECT_FALSE (AAX_CString ("abc").ToNumber (value));
    EXPECT_EQ (value, 0.0);

    EXPECT_TRUE (AAX_CString (" 2.5").ToNumber (value));
    EXPECT_EQ (value, 2.5);

    EXPECT_TRUE (AAX_CString ("0.75 dB").ToNumber (value));
    EXPECT_EQ (value, 0.75);

    value = 3.0;
    EXPECT_FALSE (AAX_CString ("").ToNumber (value));
    EXPECT_EQ (value, 0.0);
}

TEST (AAXString, EraseNeverPassesTheEnd)
{
    AAX_CString text ("abcd");
    text.Erase (2, 10);
    EXPECT_STREQ (text.Get(), "ab");

    text.Erase (5, 1);
    EXPECT_STREQ (text.Get(), "ab");

    text.Erase (0, 1);
    EXPECT_STREQ (text.Get(), "b");
}

TEST (AAXString, Prefix)
{
    const AAX_CString text ("Feedback");
    EXPECT_STREQ (text.Prefix (4).Get(), "Feed");
    EXPECT_STREQ (text.Prefix (40).Get(), "Feedback");
    EXPECT_STREQ (text.Prefix (0).Get(), "");
}
