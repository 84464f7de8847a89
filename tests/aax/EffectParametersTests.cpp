#include "AAX_CEffectParameters.h"
#include "AAX_RenderContext.h"
#include "FakeHost.h"
#include "TestParameters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace
{
    /** An effect like the module's: the bypass on field 3 and a few float parameters. */
    class TestEffect final : public AAX_CEffectParameters
    {
    public:
        AAX_Result EffectInit() override
        {
            auto& manager = GetParameterManager();
            manager.AddParameter (makeBypassParameter());

            for (int i = 0; i < floatCount; ++i)
            {
                const auto id = std::to_string (i);
                auto* p = manager.AddParameter (makeFloatParameter (id.c_str(), ("Param " + id).c_str(), 0.5f));
                p->SetNumberOfSteps (i == 0 ? 0xFFFFFFFFu : 128u);
            }

            if (withPreview)
                manager.AddParameter (std::make_unique<AAX_CParameter<bool>> ("PreviewID", AAX_CString ("Preview"), false,
                                                                              AAX_CBinaryTaperDelegate<bool>(),
                                                                              AAX_CBinaryDisplayDelegate<bool> ("off", "on"), false));

            GetPacketDispatcher().RegisterPacket (AAX_MasterBypassID, AAX_FieldBypass,
                                                  AAX_CPacketHandler<AAX_CPacketDispatcher> (&GetPacketDispatcher(),
                                                                                             &AAX_CPacketDispatcher::GenerateSingleValuePacket));
            return initResult;
        }

        void addParameterLate (const char* id)
        {
            GetParameterManager().AddParameter (makeFloatParameter (id, id, 0.0f));
        }

        int floatCount = 3;
        bool withPreview = false;
        AAX_Result initResult = AAX_OK;
    };

    /** One effect in a fake host that confirms every value it is asked for, as hosts do. */
    struct HostedEffect
    {
        explicit HostedEffect (bool confirm = true, int floats = 3, bool preview = false)
        {
            host.automation = &automation;
            host.controller = &controller;
            effect = new TestEffect();
            effect->floatCount = floats;
            effect->withPreview = preview;
            effect->AddRef();

            if (confirm)
                automation.onSetValueRequest = [this] (AAX_CParamID id, double v)
                {
                    effect->UpdateParameterNormalizedValue (id, v, AAX_UpdateSourceHost);
                };
        }

        ~HostedEffect()
        {
            effect->Release();
        }

        AAX_Result initialize()    { return effect->Initialize (&host); }

        double value (const char* id)
        {
            double v = -1.0;
            EXPECT_EQ (effect->GetParameterNormalizedValue (id, &v), AAX_OK);
            return v;
        }

        FakeAutomation automation;
        FakeController controller;
        FakeHostObject host;
        TestEffect* effect;
    };

    /** A chunk record with room for the data block. */
    struct Chunk
    {
        explicit Chunk (size_t dataBytes, AAX_CTypeID id = 0) : storage (sizeof (AAX_ChunkRecord) + dataBytes, 0)
        {
            record()->chunkID = id;
        }

        AAX_ChunkRecord* record()    { return reinterpret_cast<AAX_ChunkRecord*> (storage.data()); }

        std::vector<uint8_t> storage;
    };

    /** An initialised effect in a host that confirms every value. */
    class InitializedEffect : public ::testing::Test
    {
    protected:
        void SetUp() override    { ASSERT_EQ (hosted.initialize(), AAX_OK); }

        HostedEffect hosted;
        TestEffect& e = *hosted.effect;
    };

    Chunk saveChunk (AAX_CEffectParameters& effect)
    {
        uint32_t size = 0;
        EXPECT_EQ (effect.GetChunkSize (AAX_ControlStateChunkID, &size), AAX_OK);
        Chunk chunk (size, AAX_ControlStateChunkID);
        EXPECT_EQ (effect.GetChunk (AAX_ControlStateChunkID, chunk.record()), AAX_OK);
        EXPECT_EQ (static_cast<uint32_t> (chunk.record()->dataSize), size);
        return chunk;
    }
}

TEST (EffectParameters, InitializeRegistersEveryParameter)
{
    const auto objectsBefore = CACFUnknown::GetActiveObjectCount();
    {
        HostedEffect hosted;
        EXPECT_EQ (CACFUnknown::GetActiveObjectCount(), objectsBefore + 1);
        ASSERT_EQ (hosted.initialize(), AAX_OK);

        EXPECT_EQ (hosted.automation.calls, (std::vector<std::string> { "register MasterBypassID", "register 0",
                                                                         "register 1", "register 2" }));
        int32_t count = 0;
        EXPECT_EQ (hosted.effect->GetNumberOfParameters (&count), AAX_OK);
        EXPECT_EQ (count, 4);

        AAX_CString id;
        EXPECT_EQ (hosted.effect->GetMasterBypassParameter (&id), AAX_OK);
        EXPECT_STREQ (id.Get(), "MasterBypassID");

        hosted.automation.calls.clear();
        EXPECT_EQ (hosted.effect->Uninitialize(), AAX_OK);
        EXPECT_EQ (hosted.automation.calls, (std::vector<std::string> { "unregister MasterBypassID", "unregister 0",
                                                                         "unregister 1", "unregister 2" }));
        EXPECT_EQ (hosted.automation.references, 0);
        EXPECT_EQ (hosted.controller.references, 0);
        EXPECT_EQ (hosted.effect->Uninitialize(), AAX_OK);
        EXPECT_EQ (hosted.effect->GenerateCoefficients(), AAX_ERROR_NOT_INITIALIZED);
    }
    EXPECT_EQ (CACFUnknown::GetActiveObjectCount(), objectsBefore);
}

TEST (EffectParameters, HostInterfacesAndReferences)
{
    HostedEffect hosted;
    IACFUnknown* asUnknown = hosted.effect;
    void* found = nullptr;

    EXPECT_EQ (asUnknown->QueryInterface (AAX_IID_EffectParameters, &found), ACF_OK);
    EXPECT_EQ (found, static_cast<AAX_IACFEffectParameters*> (hosted.effect));
    EXPECT_EQ (asUnknown->QueryInterface (AAX_IID_EffectParametersV2, &found), ACF_OK);
    EXPECT_EQ (asUnknown->QueryInterface (IID_IACFUnknown, &found), ACF_OK);
    EXPECT_NE (found, nullptr);
    static_cast<IACFUnknown*> (found)->Release();
    EXPECT_EQ (asUnknown->QueryInterface (AAX_IID_EffectGUI, &found), ACF_E_NOINTERFACE);
    EXPECT_EQ (found, nullptr);
    EXPECT_EQ (asUnknown->QueryInterface (AAX_IID_EffectGUI, nullptr), ACF_E_POINTER);

    EXPECT_EQ (hosted.effect->AddRef(), 4u);
    hosted.effect->Release();
    hosted.effect->Release();
    EXPECT_EQ (hosted.effect->Release(), 1u);
}

TEST (EffectParameters, FailingEffectInitFailsInitialize)
{
    HostedEffect hosted;
    hosted.effect->initResult = -42;
    EXPECT_EQ (hosted.initialize(), -42);
}

TEST_F (InitializedEffect, ParameterInformation)
{

    AAX_CBoolean automatable = 0;
    int32_t steps = 0, index = 0, info = 5;
    uint32_t type = 9;
    AAX_EParameterOrientation orientation = 9;
    double value = 0.0;
    AAX_CString text;

    EXPECT_EQ (e.GetParameterIsAutomatable ("1", &automatable), AAX_OK);
    EXPECT_EQ (automatable, 1);
    EXPECT_EQ (e.GetParameterNumberOfSteps (AAX_MasterBypassID, &steps), AAX_OK);
    EXPECT_EQ (steps, 2);
    EXPECT_EQ (e.GetParameterNumberOfSteps ("0", &steps), AAX_ERROR_STEP_COUNT_OVERFLOW);
    EXPECT_EQ (e.GetParameterType (AAX_MasterBypassID, &type), AAX_OK);
    EXPECT_EQ (type, 0u);
    EXPECT_EQ (e.GetParameterOrientation ("1", &orientation), AAX_OK);
    EXPECT_EQ (orientation, 0u);
    EXPECT_EQ (e.GetParameterName ("2", &text), AAX_OK);
    EXPECT_STREQ (text.Get(), "Param 2");
    EXPECT_EQ (e.GetParameterDefaultNormalizedValue ("1", &value), AAX_OK);
    EXPECT_EQ (value, 0.5);
    EXPECT_EQ (e.SetParameterDefaultNormalizedValue ("1", 0.25), AAX_OK);
    EXPECT_EQ (e.GetParameterDefaultNormalizedValue ("1", &value), AAX_OK);
    EXPECT_EQ (value, 0.25);

    EXPECT_EQ (e.GetParameterIndex ("2", &index), AAX_OK);
    EXPECT_EQ (index, 3);
    EXPECT_EQ (e.GetParameterIndex ("9", &index), AAX_ERROR_UNKNOWN_PARAMETER);
    EXPECT_EQ (index, -1);
    EXPECT_EQ (e.GetParameterIDFromIndex (1, &text), AAX_OK);
    EXPECT_STREQ (text.Get(), "0");
    EXPECT_EQ (e.GetParameterIDFromIndex (4, &text), AAX_ERROR_UNKNOWN_PARAMETER);
    EXPECT_STREQ (text.Get(), "");
    EXPECT_EQ (e.GetParameterIDFromIndex (-1, &text), AAX_ERROR_UNKNOWN_PARAMETER);

    EXPECT_EQ (e.GetParameterValueInfo ("1", 0, &info), AAX_ERROR_NOT_IMPLEMENTED);
    EXPECT_EQ (info, 0);

    EXPECT_EQ (e.GetParameterValueFromString ("1", &value, AAX_CString ("0.75")), AAX_OK);
    EXPECT_EQ (value, 0.75);
    EXPECT_EQ (e.GetParameterValueFromString ("1", &value, AAX_CString ("loud")), AAX_ERROR_STRING_CONVERSION);
    EXPECT_EQ (e.GetParameterValueFromString (AAX_MasterBypassID, &value, AAX_CString ("on")), AAX_OK);
    EXPECT_EQ (value, 1.0);
    EXPECT_EQ (e.GetParameterStringFromValue ("1", 0.125, &text, 4), AAX_OK);
    EXPECT_STREQ (text.Get(), "0.12");
    EXPECT_EQ (e.GetParameterValueString (AAX_MasterBypassID, &text, 10), AAX_OK);
    EXPECT_STREQ (text.Get(), "bypass");

    AAX_IParameter* parameter = nullptr;
    EXPECT_EQ (e.GetParameter ("2", &parameter), AAX_OK);
    EXPECT_STREQ (parameter->Identifier(), "2");
    EXPECT_EQ (e.GetParameter ("x", &parameter), AAX_ERROR_UNKNOWN_PARAMETER);
    EXPECT_EQ (parameter, nullptr);
}

TEST_F (InitializedEffect, UnknownIdsAndNullOutPointers)
{
    double value = 0.0;
    AAX_CString text ("x");

    EXPECT_EQ (e.GetParameterNormalizedValue ("nope", &value), AAX_ERROR_UNKNOWN_PARAMETER);
    EXPECT_EQ (e.SetParameterNormalizedValue ("nope", 0.5), AAX_ERROR_UNKNOWN_PARAMETER);
    EXPECT_EQ (e.SetParameterNormalizedRelative ("nope", 0.5), AAX_ERROR_UNKNOWN_PARAMETER);
    EXPECT_EQ (e.UpdateParameterNormalizedValue ("nope", 0.5, AAX_UpdateSourceHost), AAX_ERROR_UNKNOWN_PARAMETER);
    EXPECT_EQ (e.TouchParameter (nullptr), AAX_ERROR_UNKNOWN_PARAMETER);
    EXPECT_EQ (e.ReleaseParameter ("nope"), AAX_ERROR_UNKNOWN_PARAMETER);
    EXPECT_EQ (e.GetParameterName ("nope", &text), AAX_OK);
    EXPECT_STREQ (text.Get(), "");

    int32_t changes = -1;
    EXPECT_EQ (e.GetNumberOfChanges (&changes), AAX_OK);
    EXPECT_EQ (changes, 0);

    EXPECT_EQ (e.GetNumberOfParameters (nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (e.GetMasterBypassParameter (nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (e.GetParameterNormalizedValue ("1", nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (e.GetParameterName ("1", nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (e.GetParameterNameOfLength ("1", nullptr, 4), AAX_ERROR_STRING_CONVERSION);
    EXPECT_EQ (e.GetParameterValueInfo ("1", 0, nullptr), AAX_ERROR_NOT_IMPLEMENTED);
    EXPECT_EQ (e.GetChunkSize (AAX_ControlStateChunkID, nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (e.GetChunk (AAX_ControlStateChunkID, nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (e.SetChunk (AAX_ControlStateChunkID, nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (e.CompareActiveChunk (nullptr, nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (e.GetNumberOfChanges (nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (e.GetChunkIDFromIndex (0, nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (e.ResetFieldData (5, nullptr, 8), AAX_ERROR_NULL_OBJECT);
}

TEST_F (InitializedEffect, ShortenedNameOfLength)
{
    AAX_IParameter* parameter = nullptr;
    e.GetParameter ("1", &parameter);
    parameter->SetName (AAX_CString ("Feedback"));
    parameter->AddShortenedName (AAX_CString ("Feed\nFb"));

    const auto nameOfLength = [&] (int32_t length)
    {
        AAX_CString text ("unchanged");
        EXPECT_EQ (e.GetParameterNameOfLength ("1", &text, length), AAX_OK);
        return std::string (text.Get());
    };

    EXPECT_EQ (nameOfLength (20), "Feedback");
    EXPECT_EQ (nameOfLength (5), "Feed");
    EXPECT_EQ (nameOfLength (3), "Fb");
    EXPECT_EQ (nameOfLength (1), "F");
    EXPECT_EQ (nameOfLength (0), "");
    EXPECT_EQ (nameOfLength (-2), "");

    AAX_CString text ("x");
    EXPECT_EQ (e.GetParameterNameOfLength ("nope", &text, 4), AAX_OK);
    EXPECT_STREQ (text.Get(), "");
}

TEST (EffectParameters, ValuesChangeOnlyWhenTheHostConfirms)
{
    HostedEffect hosted (false);
    hosted.initialize();
    auto& e = *hosted.effect;

    hosted.automation.calls.clear();
    EXPECT_EQ (e.SetParameterNormalizedValue ("1", 0.25), AAX_OK);
    EXPECT_EQ (hosted.value ("1"), 0.5);
    EXPECT_EQ (hosted.automation.calls, (std::vector<std::string> { "touch 1", "request 1 0.25", "release 1" }));

    hosted.automation.calls.clear();
    EXPECT_EQ (e.UpdateParameterNormalizedValue ("1", 0.25, AAX_UpdateSourceHost), AAX_OK);
    EXPECT_EQ (hosted.value ("1"), 0.25);
    EXPECT_EQ (hosted.automation.calls, std::vector<std::string> { "current 1 0.25" });

    int32_t changes = 0;
    e.GetNumberOfChanges (&changes);
    EXPECT_EQ (changes, 1);

    EXPECT_EQ (e.TouchParameter ("2"), AAX_OK);
    EXPECT_EQ (e.ReleaseParameter ("2"), AAX_OK);
    EXPECT_EQ (hosted.automation.calls.back(), "release 2");
}

TEST_F (InitializedEffect, RelativeChangesAreClamped)
{

    EXPECT_EQ (e.SetParameterNormalizedRelative ("1", 0.9), AAX_OK);
    EXPECT_EQ (hosted.value ("1"), 1.0);
    EXPECT_EQ (e.SetParameterNormalizedRelative ("1", -0.25), AAX_OK);
    EXPECT_EQ (hosted.value ("1"), 0.75);
    EXPECT_EQ (e.UpdateParameterNormalizedRelative ("2", -3.0), AAX_OK);
    EXPECT_EQ (hosted.value ("2"), 0.0);

    int32_t changes = 0;
    e.GetNumberOfChanges (&changes);
    EXPECT_EQ (changes, 3);
}

TEST_F (InitializedEffect, BypassReachesTheRenderContextAsPackets)
{

    const auto lastPostedBypass = [&]
    {
        int32_t v = -1;
        const auto& post = hosted.controller.posts.back();
        EXPECT_EQ (post.field, AAX_FieldBypass);
        EXPECT_EQ (post.data.size(), 4u);
        std::memcpy (&v, post.data.data(), sizeof (v));
        return v;
    };

    EXPECT_EQ (e.GenerateCoefficients(), AAX_OK);
    ASSERT_EQ (hosted.controller.posts.size(), 1u);
    EXPECT_EQ (lastPostedBypass(), 0);

    e.GenerateCoefficients();
    EXPECT_EQ (hosted.controller.posts.size(), 1u);

    // A change of another parameter posts nothing.
    e.SetParameterNormalizedValue ("1", 0.1);
    e.GenerateCoefficients();
    EXPECT_EQ (hosted.controller.posts.size(), 1u);

    e.SetParameterNormalizedValue (AAX_MasterBypassID, 1.0);
    e.GenerateCoefficients();
    ASSERT_EQ (hosted.controller.posts.size(), 2u);
    EXPECT_EQ (lastPostedBypass(), 1);
}

TEST_F (InitializedEffect, ChunkSizeMustBeAskedFirst)
{

    Chunk early (64);
    EXPECT_EQ (e.GetChunk (AAX_ControlStateChunkID, early.record()), AAX_ERROR_CHUNK_SIZE);

    auto chunk = saveChunk (e);
    EXPECT_EQ (chunk.record()->version, -1);
    EXPECT_STREQ (chunk.record()->name, "Complete Controls State");
    EXPECT_EQ (chunk.record()->dataSize, 4 + 3 * 12);   // three floats as doubles, no bypass

    // A change in between that alters the size makes the chunk request fail.
    uint32_t size = 0;
    e.GetChunkSize (AAX_ControlStateChunkID, &size);
    e.addParameterLate ("late");
    Chunk other (size + 64);
    EXPECT_EQ (e.GetChunk (AAX_ControlStateChunkID, other.record()), AAX_ERROR_CHUNK_SIZE);

    EXPECT_EQ (e.GetChunkSize (AAX_FourCC ("juce"), &size), AAX_ERROR_CHUNK_ID);
    EXPECT_EQ (size, 0u);
    EXPECT_EQ (e.GetChunk (AAX_FourCC ("juce"), other.record()), AAX_ERROR_CHUNK_ID);
    EXPECT_EQ (e.SetChunk (AAX_FourCC ("juce"), other.record()), AAX_ERROR_CHUNK_ID);

    int32_t chunks = 0;
    AAX_CTypeID id = 1;
    EXPECT_EQ (e.GetNumberOfChunks (&chunks), AAX_OK);
    EXPECT_EQ (chunks, 1);
    EXPECT_EQ (e.GetChunkIDFromIndex (0, &id), AAX_OK);
    EXPECT_EQ (id, AAX_ControlStateChunkID);
    EXPECT_EQ (e.GetChunkIDFromIndex (1, &id), AAX_ERROR_CHUNK_INDEX);
    EXPECT_EQ (id, 0u);
}

TEST_F (InitializedEffect, ChunkRoundTripLeavesTheBypassAlone)
{

    e.SetParameterNormalizedValue ("0", 0.125);
    e.SetParameterNormalizedValue ("2", 1.0);
    auto saved = saveChunk (e);

    AAX_CBoolean equal = 0;
    EXPECT_EQ (e.CompareActiveChunk (saved.record(), &equal), AAX_OK);
    EXPECT_EQ (equal, 1);

    e.SetParameterNormalizedValue ("0", 0.9);
    e.SetParameterNormalizedValue ("2", 0.0);
    e.SetParameterNormalizedValue (AAX_MasterBypassID, 1.0);
    EXPECT_EQ (e.CompareActiveChunk (saved.record(), &equal), AAX_OK);
    EXPECT_EQ (equal, 0);

    EXPECT_EQ (e.SetChunk (AAX_ControlStateChunkID, saved.record()), AAX_OK);
    EXPECT_EQ (hosted.value ("0"), 0.125);
    EXPECT_EQ (hosted.value ("2"), 1.0);
    EXPECT_EQ (hosted.value (AAX_MasterBypassID), 1.0);
    EXPECT_EQ (e.CompareActiveChunk (saved.record(), &equal), AAX_OK);
    EXPECT_EQ (equal, 1);
}

TEST_F (InitializedEffect, ChunksWithMissingOrForeignEntries)
{

    // A chunk holding only parameter "1" and a bypass entry.
    AAX_CChunkDataParser parser;
    parser.AddDouble ("1", 0.75);
    parser.AddInt32 (AAX_MasterBypassID, 1);
    parser.AddInt32 ("2", 1);   // wrong type for a float parameter
    Chunk chunk (static_cast<size_t> (parser.GetChunkDataSize()), AAX_ControlStateChunkID);
    ASSERT_EQ (parser.GetChunkData (*chunk.record()), AAX_OK);

    EXPECT_EQ (e.SetChunk (AAX_ControlStateChunkID, chunk.record()), AAX_OK);
    EXPECT_EQ (hosted.value ("1"), 0.75);
    EXPECT_EQ (hosted.value ("0"), 0.5);
    EXPECT_EQ (hosted.value ("2"), 0.5);
    EXPECT_EQ (hosted.value (AAX_MasterBypassID), 0.0);

    AAX_CBoolean equal = 1;
    EXPECT_EQ (e.CompareActiveChunk (chunk.record(), &equal), AAX_OK);
    EXPECT_EQ (equal, 0);

    // Another chunk id always compares equal.
    chunk.record()->chunkID = AAX_FourCC ("juce");
    EXPECT_EQ (e.CompareActiveChunk (chunk.record(), &equal), AAX_OK);
    EXPECT_EQ (equal, 1);

    // A corrupt record changes nothing and still succeeds.
    Chunk corrupt (8, AAX_ControlStateChunkID);
    corrupt.record()->dataSize = 8;
    std::memcpy (corrupt.record()->data(), "\1\1\1\1d_1", 8);
    EXPECT_EQ (e.SetChunk (AAX_ControlStateChunkID, corrupt.record()), AAX_OK);
    EXPECT_EQ (hosted.value ("1"), 0.75);
}

TEST (EffectParameters, EmptyEffectComparesEqual)
{
    HostedEffect hosted (true, 0);
    hosted.initialize();
    Chunk chunk (4, AAX_ControlStateChunkID);
    chunk.record()->dataSize = 4;
    AAX_CBoolean equal = 0;
    EXPECT_EQ (hosted.effect->CompareActiveChunk (chunk.record(), &equal), AAX_OK);
    EXPECT_EQ (equal, 1);
}

TEST (EffectParameters, PreviewNotification)
{
    HostedEffect hosted (true, 1, true);
    hosted.initialize();
    const int32_t on = 1;

    EXPECT_EQ (hosted.effect->NotificationReceived (AAX_NotificationPreviewState, &on, sizeof (on)), AAX_OK);
    EXPECT_EQ (hosted.value ("PreviewID"), 1.0);
    EXPECT_EQ (hosted.effect->NotificationReceived (AAX_NotificationPreviewState, nullptr, 0), AAX_OK);
    EXPECT_EQ (hosted.effect->NotificationReceived (AAX_NotificationOfflineStart, &on, sizeof (on)), AAX_OK);
}

TEST_F (InitializedEffect, FixedAnswers)
{

    uint8_t data[8] = { 1, 2, 3, 4, 5, 6, 7, 8 };
    EXPECT_EQ (e.ResetFieldData (AAX_FieldPrivateData, data, sizeof (data)), AAX_OK);
    EXPECT_EQ (std::count (data, data + 8, 0), 8);

    uint32_t written = 7;
    EXPECT_EQ (e.UpdateParameterTouch ("1", 1), AAX_OK);
    EXPECT_EQ (e.TimerWakeup(), AAX_OK);
    EXPECT_EQ (e.GetCurveData (0, nullptr, 0, nullptr), AAX_ERROR_NOT_IMPLEMENTED);
    EXPECT_EQ (e.GetCustomData (0, 0, nullptr, &written), AAX_OK);
    EXPECT_EQ (written, 0u);
    EXPECT_EQ (e.SetCustomData (0, 0, nullptr), AAX_OK);
    EXPECT_EQ (e.ProcessMidiTransfers(), AAX_OK);
    EXPECT_EQ (e.GetCurveMeterIDs (0, nullptr, nullptr), AAX_ERROR_NOT_IMPLEMENTED);
    EXPECT_EQ (e.UpdateMidiNode (0, AAX_MIDIPacket()), AAX_OK);
    EXPECT_EQ (e.UpdateControlMidiNode (0, AAX_MIDIPacket()), AAX_OK);
}
