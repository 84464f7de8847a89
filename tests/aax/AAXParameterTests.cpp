#include "AAX_CParameterManager.h"
#include "AAX_VAutomationDelegate.h"
#include "FakeHost.h"
#include "TestParameters.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{
    std::unique_ptr<AAX_CParameter<float>> makeFloat (const char* id, float defaultValue = 0.25f)
    {
        return makeFloatParameter (id, "Feedback", defaultValue);
    }

    /** A host object whose automation interface the parameters reach through the real wrapper. */
    struct HostedAutomation
    {
        HostedAutomation()
        {
            host.automation = &automation;
            delegate = std::make_unique<AAX_VAutomationDelegate> (&host);
        }

        FakeAutomation automation;
        FakeHostObject host;
        std::unique_ptr<AAX_VAutomationDelegate> delegate;
    };
}

TEST (AAXTapers, LinearTaperConstrainsAndMaps)
{
    const AAX_CLinearTaperDelegate<float, 0> taper (-10.0f, 10.0f);
    EXPECT_EQ (taper.NormalizedToReal (1.5), 10.0f);
    EXPECT_EQ (taper.NormalizedToReal (-0.5), -10.0f);
    EXPECT_EQ (taper.NormalizedToReal (0.75), 5.0f);
    EXPECT_EQ (taper.NormalizedToReal (1.0e300), 10.0f);
    EXPECT_EQ (taper.NormalizedToReal (std::numeric_limits<double>::quiet_NaN()), -10.0f);
    EXPECT_EQ (taper.RealToNormalized (5.0f), 0.75);
    EXPECT_EQ (taper.RealToNormalized (50.0f), 1.0);
    EXPECT_EQ (taper.ConstrainRealValue (std::numeric_limits<float>::quiet_NaN()), -10.0f);

    const AAX_CLinearTaperDelegate<float, 0> flat (3.0f, 3.0f);
    EXPECT_EQ (flat.RealToNormalized (3.0f), 0.0);
}

TEST (AAXTapers, BinaryTaper)
{
    const AAX_CBinaryTaperDelegate<bool> taper;
    EXPECT_FALSE (taper.NormalizedToReal (0.0));
    EXPECT_TRUE (taper.NormalizedToReal (0.0001));
    EXPECT_FALSE (taper.NormalizedToReal (-1.0));
    EXPECT_EQ (taper.RealToNormalized (true), 1.0);
    EXPECT_EQ (taper.RealToNormalized (false), 0.0);
}

TEST (AAXDisplays, NumberDisplayCutsToTheMaximum)
{
    const AAX_CNumberDisplayDelegate<float, 3, 0> display;
    AAX_CString text;

    display.ValueToString (0.5f, &text);
    EXPECT_STREQ (text.Get(), "0.500");

    for (const auto& [maximum, expected] : { std::pair<int32_t, const char*> { 2, "0" }, { 4, "0.50" }, { 1, "0" },
                                             { 0, "" }, { -3, "" }, { 20, "0.500" } })
    {
        display.ValueToString (0.5f, maximum, &text);
        EXPECT_STREQ (text.Get(), expected) << maximum;
    }
}

TEST (AAXDisplays, NumberDisplayReadsNumbers)
{
    const AAX_CNumberDisplayDelegate<float, 3, 0> display;
    float value = 7.0f;

    EXPECT_TRUE (display.StringToValue (AAX_CString ("  0.25"), &value));
    EXPECT_EQ (value, 0.25f);
    EXPECT_FALSE (display.StringToValue (AAX_CString ("half"), &value));
    EXPECT_EQ (value, 0.0f);
    EXPECT_TRUE (display.StringToValue (AAX_CString ("1e300"), &value));
    EXPECT_EQ (value, std::numeric_limits<float>::max());
}

TEST (AAXDisplays, BinaryDisplayTextsAndShortenedPairs)
{
    AAX_CBinaryDisplayDelegate<bool> display ("bypass", "on");
    AAX_CString text;
    bool value = true;

    EXPECT_TRUE (display.StringToValue (AAX_CString ("on"), &value));
    EXPECT_TRUE (value);
    EXPECT_TRUE (display.StringToValue (AAX_CString ("bypass"), &value));
    EXPECT_FALSE (value);
    EXPECT_FALSE (display.StringToValue (AAX_CString ("On"), &value));

    // Without shorter pairs the full texts are given whatever the maximum.
    display.ValueToString (false, 2, &text);
    EXPECT_STREQ (text.Get(), "bypass");

    // The last added pair that fits wins; when nothing fits, the first pair.
    display.AddShortenedStrings (4, "byp", "on");
    display.AddShortenedStrings (2, "by", "on");

    for (const auto& [maximum, expected] : { std::pair<int32_t, const char*> { 6, "bypass" }, { 5, "by" }, { 3, "by" },
                                             { 1, "byp" }, { -1, "byp" } })
    {
        display.ValueToString (false, maximum, &text);
        EXPECT_STREQ (text.Get(), expected) << maximum;
    }
}

TEST (AAXParameter, ConstructionKeepsAtMost31IdCharacters)
{
    const char* longID = "0123456789012345678901234567890123456789";
    auto parameter = makeFloat (longID);
    EXPECT_STREQ (parameter->Identifier(), "0123456789012345678901234567890");
    EXPECT_EQ (parameter->GetNumberOfSteps(), 128u);
    EXPECT_EQ (parameter->GetType(), AAX_ParameterTypeContinuous);
    EXPECT_EQ (parameter->GetOrientation(), 0u);
    EXPECT_EQ (parameter->GetValue(), 0.25f);

    AAX_CParameterManager manager;
    manager.AddParameter (std::move (parameter));
    EXPECT_EQ (manager.GetParameterByID (longID), nullptr);
    EXPECT_NE (manager.GetParameterByID ("0123456789012345678901234567890"), nullptr);
}

TEST (AAXParameter, StepValues)
{
    auto parameter = makeFloat ("0");
    parameter->SetNumberOfSteps (5);
    parameter->SetNormalizedValue (0.74);
    EXPECT_EQ (parameter->GetStepValue(), 3u);

    parameter->SetNormalizedValue (1.0);
    EXPECT_EQ (parameter->GetStepValue(), 4u);

    parameter->SetStepValue (1);
    EXPECT_DOUBLE_EQ (parameter->GetNormalizedValue(), 0.25);
    parameter->SetStepValue (9);
    EXPECT_EQ (parameter->GetNormalizedValue(), 1.0);

    parameter->SetNumberOfSteps (1);
    EXPECT_EQ (parameter->GetStepValue(), 0u);
    parameter->SetStepValue (0);
    EXPECT_EQ (parameter->GetNormalizedValue(), 1.0);
}

TEST (AAXParameter, ShortenedNames)
{
    auto parameter = makeFloat ("0");
    parameter->SetName (AAX_CString ("Feedback Amount"));
    EXPECT_STREQ (parameter->ShortenedName (3).Get(), "Feedback Amount");

    parameter->AddShortenedName (AAX_CString ("Fdbk"));
    parameter->AddShortenedName (AAX_CString ("Feedback"));
    parameter->AddShortenedName (AAX_CString ("Feed"));     // replaces "Fdbk", same length
    EXPECT_STREQ (parameter->ShortenedName (-1).Get(), "Feedback Amount");
    EXPECT_STREQ (parameter->ShortenedName (15).Get(), "Feedback Amount");
    EXPECT_STREQ (parameter->ShortenedName (14).Get(), "Feedback");
    EXPECT_STREQ (parameter->ShortenedName (7).Get(), "Feed");
    EXPECT_STREQ (parameter->ShortenedName (2).Get(), "Feed");

    parameter->ClearShortenedNames();
    EXPECT_STREQ (parameter->ShortenedName (2).Get(), "Feedback Amount");
}

TEST (AAXParameter, StringConversions)
{
    auto parameter = makeFloat ("0");
    double normalized = -1.0;
    AAX_CString text;

    EXPECT_TRUE (parameter->GetNormalizedValueFromString (AAX_CString ("0.5"), &normalized));
    EXPECT_EQ (normalized, 0.5);
    EXPECT_FALSE (parameter->GetNormalizedValueFromString (AAX_CString ("2"), &normalized));
    EXPECT_EQ (normalized, 1.0);
    EXPECT_FALSE (parameter->GetNormalizedValueFromString (AAX_CString ("loud"), &normalized));

    EXPECT_TRUE (parameter->GetStringFromNormalizedValue (0.125, text));
    EXPECT_STREQ (text.Get(), "0.125");
    EXPECT_TRUE (parameter->GetStringFromNormalizedValue (0.125, 4, text));
    EXPECT_STREQ (text.Get(), "0.12");

    EXPECT_TRUE (parameter->SetValueFromString (AAX_CString ("0.75")));
    EXPECT_EQ (parameter->GetValue(), 0.75f);
    EXPECT_FALSE (parameter->SetValueFromString (AAX_CString ("x")));
    EXPECT_EQ (parameter->GetValue(), 0.75f);

    EXPECT_TRUE (parameter->GetValueString (&text));
    EXPECT_STREQ (text.Get(), "0.750");
    EXPECT_TRUE (parameter->GetValueString (3, &text));
    EXPECT_STREQ (text.Get(), "0.7");
}

TEST (AAXParameter, OnlyTheOwnTypeIsReadAndWritten)
{
    auto parameter = makeFloat ("0");
    float f = 0.0f;
    bool b = true;
    int32_t i = 0;
    double d = 0.0;
    AAX_CString s;

    EXPECT_TRUE (parameter->GetValueAsFloat (&f));
    EXPECT_EQ (f, 0.25f);
    EXPECT_FALSE (parameter->GetValueAsBool (&b));
    EXPECT_FALSE (parameter->GetValueAsInt32 (&i));
    EXPECT_FALSE (parameter->GetValueAsDouble (&d));
    EXPECT_FALSE (parameter->GetValueAsString (&s));
    EXPECT_FALSE (parameter->SetValueWithBool (true));
    EXPECT_FALSE (parameter->SetValueWithDouble (0.5));
    EXPECT_TRUE (parameter->SetValueWithFloat (0.5f));
    EXPECT_EQ (parameter->GetValue(), 0.5f);

    auto bypass = makeBypassParameter();
    EXPECT_TRUE (bypass->GetValueAsBool (&b));
    EXPECT_FALSE (b);
    EXPECT_FALSE (bypass->GetValueAsFloat (&f));
    EXPECT_TRUE (bypass->SetValueWithBool (true));
    EXPECT_TRUE (bypass->GetValue());
    EXPECT_EQ (bypass->GetNormalizedValue(), 1.0);
}

TEST (AAXParameter, ValueSetThroughTheHostChangesOnlyWhenConfirmed)
{
    HostedAutomation hosted;
    auto parameter = makeFloat ("7", 0.5f);
    parameter->SetAutomationDelegate (hosted.delegate.get());
    EXPECT_EQ (hosted.automation.calls, std::vector<std::string> { "register 7" });

    hosted.automation.calls.clear();
    parameter->SetNormalizedValue (0.25);
    EXPECT_EQ (parameter->GetNormalizedValue(), 0.5);
    EXPECT_EQ (hosted.automation.calls, (std::vector<std::string> { "touch 7", "request 7 0.25", "release 7" }));

    hosted.automation.calls.clear();
    parameter->UpdateNormalizedValue (0.25);
    EXPECT_EQ (parameter->GetNormalizedValue(), 0.25);
    EXPECT_EQ (hosted.automation.calls, std::vector<std::string> { "current 7 0.25" });

    // The same value again posts nothing.
    hosted.automation.calls.clear();
    parameter->UpdateNormalizedValue (0.25);
    EXPECT_TRUE (hosted.automation.calls.empty());

    parameter.reset();
    EXPECT_EQ (hosted.automation.calls, std::vector<std::string> { "unregister 7" });
    EXPECT_EQ (hosted.automation.references, 1);   // the wrapper's own reference
}

TEST (AAXParameter, TaperChangeKeepsValueOrPosition)
{
    HostedAutomation hosted;
    auto parameter = makeFloat ("3", 0.5f);
    parameter->SetAutomationDelegate (hosted.delegate.get());

    // Keeping the position: the value follows the new taper, posted even though the position is unchanged.
    hosted.automation.calls.clear();
    AAX_CLinearTaperDelegate<float, 0> wide (0.0f, 4.0f);
    parameter->SetTaperDelegate (wide, false);
    EXPECT_EQ (parameter->GetValue(), 2.0f);
    EXPECT_EQ (hosted.automation.calls, std::vector<std::string> { "current 3 0.5" });

    // Keeping the value: the new position is requested from the host.
    hosted.automation.calls.clear();
    AAX_CLinearTaperDelegate<float, 0> wider (0.0f, 8.0f);
    parameter->SetTaperDelegate (wider, true);
    EXPECT_EQ (hosted.automation.calls, (std::vector<std::string> { "touch 3", "request 3 0.25", "release 3" }));

    // A taper of another value type is refused.
    AAX_CBinaryTaperDelegate<bool> binary;
    parameter->SetTaperDelegate (binary, true);
    EXPECT_EQ (parameter->GetValue(), 2.0f);

    hosted.automation.calls.clear();
    AAX_CNumberDisplayDelegate<float, 1, 0> display;
    parameter->SetDisplayDelegate (display);
    EXPECT_EQ (hosted.automation.calls, std::vector<std::string> { "current 3 0.25" });
    AAX_CString text;
    parameter->GetValueString (&text);
    EXPECT_STREQ (text.Get(), "2.0");
}

TEST (AAXParameter, DefaultValues)
{
    auto parameter = makeFloat ("0", 0.25f);
    EXPECT_EQ (parameter->GetNormalizedDefaultValue(), 0.25);
    parameter->SetNormalizedDefaultValue (1.7);
    EXPECT_EQ (parameter->GetNormalizedDefaultValue(), 1.0);
    parameter->SetToDefaultValue();
    EXPECT_EQ (parameter->GetValue(), 1.0f);
}

TEST (AAXParameterManager, OrderAndDuplicates)
{
    HostedAutomation hosted;
    AAX_CParameterManager manager;
    manager.SetAutomationDelegate (hosted.delegate.get());

    EXPECT_EQ (manager.AddParameter (nullptr), nullptr);
    auto* first = manager.AddParameter (makeFloat ("5", 0.1f));
    EXPECT_NE (first, nullptr);
    EXPECT_NE (manager.AddParameter (makeBypassParameter()), nullptr);
    EXPECT_EQ (manager.AddParameter (makeFloat ("5", 0.9f)), nullptr);

    EXPECT_EQ (manager.NumParameters(), 2);
    EXPECT_EQ (manager.GetParameterByID ("5"), first);
    EXPECT_EQ (manager.GetParameterIndex ("5"), 0);
    EXPECT_EQ (manager.GetParameterIndex (AAX_MasterBypassID), 1);
    EXPECT_EQ (manager.GetParameterIndex ("6"), -1);
    EXPECT_EQ (manager.GetParameterIndex (nullptr), -1);
    EXPECT_EQ (manager.GetParameterByID (nullptr), nullptr);
    EXPECT_EQ (manager.GetParameter (2), nullptr);
    EXPECT_EQ (manager.GetParameter (-1), nullptr);

    manager.RemoveAllParameters();
    EXPECT_EQ (manager.NumParameters(), 0);
    EXPECT_EQ (hosted.automation.calls, (std::vector<std::string> { "register 5", "register MasterBypassID",
                                                                     "unregister 5", "unregister MasterBypassID" }));
}
