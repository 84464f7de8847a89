#include "ModuleTestSupport.h"

#include "AAX_Identifiers.h"
#include "HostString.h"

#include <algorithm>
#include <cstring>

namespace
{
    constexpr AAX_CTypeID controlStateChunk = AAX_FourCC ("elck");
    constexpr AAX_CTypeID processorStateChunk = AAX_FourCC ("juce");

    int32_t readInt32 (const std::vector<uint8_t>& bytes)
    {
        int32_t value = 0;
        std::memcpy (&value, bytes.data(), sizeof (value));
        return value;
    }

    const AAX_ChunkRecord& header (const std::vector<uint8_t>& record)
    {
        return *reinterpret_cast<const AAX_ChunkRecord*> (record.data());
    }
}

TEST_F (ModuleTest, EffectInterfacesAndReferences)
{
    auto instance = makeInstance();
    auto* effect = instance->getEffect();
    ASSERT_NE (effect, nullptr);

    void* found = nullptr;
    EXPECT_EQ (effect->QueryInterface (IID_IACFUnknown, &found), ACF_OK);
    ASSERT_NE (found, nullptr);
    EXPECT_EQ (static_cast<IACFUnknown*> (found)->Release(), 1u);

    for (const auto& iid : { AAX_IID_EffectParameters, AAX_IID_EffectParametersV2 })
    {
        found = nullptr;
        EXPECT_EQ (effect->QueryInterface (iid, &found), ACF_OK);
        EXPECT_NE (found, nullptr);
        EXPECT_EQ (static_cast<IACFUnknown*> (found)->Release(), 1u);
    }

    for (const auto& iid : { AAX_IID_EffectGUI, AAX_IID_ViewContainer, AAX_IID_Controller })
    {
        found = effect;
        EXPECT_EQ (effect->QueryInterface (iid, &found), ACF_E_NOINTERFACE);
        EXPECT_EQ (found, nullptr);
    }

    EXPECT_EQ (effect->QueryInterface (AAX_IID_EffectParameters, nullptr), ACF_E_POINTER);
    EXPECT_EQ (effect->AddRef(), 2u);
    EXPECT_EQ (effect->Release(), 1u);
    EXPECT_EQ (module.canUnloadNow(), 1);
}

TEST_F (ModuleTest, InitializeRegistersTheBypassAndEveryHostSlot)
{
    auto instance = makeInstance();
    const auto registered = instance->getHostObject().getRegisteredParameters();

    ASSERT_EQ (registered.size(), 129u);
    EXPECT_EQ (registered[0], "MasterBypassID");

    for (size_t slot = 0; slot < 128; ++slot)
        EXPECT_EQ (registered[slot + 1], std::to_string (slot));

    EXPECT_EQ (instance->getParameterIDs(), registered);
    EXPECT_EQ (instance->getParameterName ("MasterBypassID"), "Master Bypass");
    EXPECT_EQ (instance->getParameterText ("MasterBypassID"), "bypass");

    HostString bypassID;
    EXPECT_EQ (instance->getEffect()->GetMasterBypassParameter (&bypassID), AAX_OK);
    EXPECT_EQ (bypassID.str(), "MasterBypassID");

    int32_t steps = 0;
    EXPECT_EQ (instance->getEffect()->GetParameterNumberOfSteps ("MasterBypassID", &steps), AAX_OK);
    EXPECT_EQ (steps, 2);

    // Every slot has a name, and the first ones are bound by the built-in map.
    for (int slot = 0; slot < 128; ++slot)
        EXPECT_FALSE (instance->getParameterName (std::to_string (slot)).empty()) << "slot " << slot;

    EXPECT_EQ (instance->getParameterName ("0"), "Line 1 Filter Mode");

    instance->uninitialize();
    EXPECT_TRUE (instance->getHostObject().getRegisteredParameters().empty());
}

TEST_F (ModuleTest, BypassTravelsAsPacketsToTheRenderContext)
{
    auto instance = makeInstance();

    // The first coefficients post the initial state.
    EXPECT_EQ (module.getLog()->getCallsStartingWith ("Controller.PostPacket"), std::vector<std::string> { "Controller.PostPacket 3 4" });
    instance->renderBlock (64);
    EXPECT_EQ (readInt32 (instance->getFieldData (3)), 0);

    // A confirmed change is posted once, at the next coefficients, whatever happened before.
    EXPECT_EQ (instance->setParameter ("MasterBypassID", 1.0), AAX_OK);
    EXPECT_EQ (instance->setParameter ("MasterBypassID", 1.0), AAX_OK);
    EXPECT_EQ (instance->generateCoefficients(), AAX_OK);
    EXPECT_EQ (instance->generateCoefficients(), AAX_OK);
    EXPECT_EQ (module.getLog()->getCallsStartingWith ("Controller.PostPacket").size(), 2u);
    instance->renderBlock (64);
    EXPECT_EQ (readInt32 (instance->getFieldData (3)), 1);
    EXPECT_EQ (instance->getParameterText ("MasterBypassID"), "on");

    // The bypass is the host's: the processor never sees it as one of its parameters.
    EXPECT_EQ (instance->getParameterName ("0"), "Line 1 Filter Mode");
    EXPECT_DOUBLE_EQ (instance->getParameter ("MasterBypassID"), 1.0);
}

TEST_F (ModuleTest, ParameterValuesTravelBothWays)
{
    auto instance = makeInstance();
    auto* effect = instance->getEffect();
    const auto before = instance->getParameter ("22");   // FX Amount
    ASSERT_NE (before, 1.0);
    module.getLog()->clear();

    // The effect's own set is a request: nothing changes until the host confirms it.
    EXPECT_EQ (effect->SetParameterNormalizedValue ("22", 1.0), AAX_OK);
    EXPECT_EQ (module.getLog()->getCallsStartingWith ("Automation."),
               (std::vector<std::string> { "Automation.PostTouchRequest 22",
                                           "Automation.PostSetValueRequest 22 1",
                                           "Automation.PostReleaseRequest 22" }));
    EXPECT_EQ (instance->getParameter ("22"), before);

    EXPECT_EQ (instance->confirmPendingRequests(), 1);
    EXPECT_EQ (instance->getParameter ("22"), 1.0);
    EXPECT_EQ (instance->getParameterText ("22"), "0/100 % (Dry/Wet)");

    int32_t changes = 0;
    EXPECT_EQ (effect->GetNumberOfChanges (&changes), AAX_OK);
    EXPECT_EQ (changes, 1);

    // A change inside the processor (here a restored state) is sent to the host as a request.
    auto other = makeInstance();
    std::vector<uint8_t> state;
    ASSERT_EQ (instance->getChunk (processorStateChunk, state), AAX_OK);
    module.getLog()->clear();
    ASSERT_EQ (other->setChunk (state), AAX_OK);

    const auto requests = module.getLog()->getCallsStartingWith ("Automation.PostSetValueRequest 22 ");
    EXPECT_EQ (requests, std::vector<std::string> { "Automation.PostSetValueRequest 22 1" });
    EXPECT_EQ (other->getParameter ("22"), 1.0);
    other->confirmPendingRequests();
    EXPECT_EQ (other->getParameter ("22"), 1.0);
}

TEST_F (ModuleTest, SlotIdsMustBeExact)
{
    auto instance = makeInstance();
    auto* effect = instance->getEffect();
    const auto before = instance->getParameter ("5");

    for (const auto* id : { "05", "5 ", " 5", "+5", "-5", "5a", "128", "99999999999", "", "Master" })
        EXPECT_EQ (effect->UpdateParameterNormalizedValue (id, 0.9, AAX_UpdateSourceHost), AAX_ERROR_UNKNOWN_PARAMETER) << id;

    EXPECT_EQ (instance->getParameter ("5"), before);
    EXPECT_EQ (effect->UpdateParameterNormalizedValue (nullptr, 0.9, AAX_UpdateSourceHost), AAX_ERROR_UNKNOWN_PARAMETER);
}

TEST_F (ModuleTest, ControlStateChunkSizeAndPartialRestore)
{
    auto source = makeInstance();
    std::vector<double> defaults;

    for (int slot = 0; slot < 128; ++slot)
        defaults.push_back (source->getParameter (std::to_string (slot)));

    for (int slot = 0; slot < 20; ++slot)
        source->setParameter (std::to_string (slot), defaults[static_cast<size_t> (slot)] < 0.5 ? 1.0 : 0.0);

    std::vector<uint8_t> record;
    ASSERT_EQ (source->getChunk (controlStateChunk, record), AAX_OK);

    // The marker; "0" to "9" in 12 bytes each; "10" to "127" in 16 (the bypass is not stored).
    EXPECT_EQ (header (record).dataSize, 4 + 10 * 12 + 118 * 16);
    EXPECT_EQ (header (record).version, -1);
    EXPECT_STREQ (header (record).name, "Complete Controls State");

    bool equal = false;
    EXPECT_EQ (source->compareChunk (record, equal), AAX_OK);
    EXPECT_TRUE (equal);

    // Cut inside the entry of slot 15: slots 0 to 14 are restored, the others left as they were.
    auto cut = record;
    auto& cutHeader = *reinterpret_cast<AAX_ChunkRecord*> (cut.data());
    cutHeader.dataSize = 4 + 10 * 12 + 5 * 16 + 7;

    auto target = makeInstance();
    EXPECT_EQ (target->setChunk (cut), AAX_OK);
    target->confirmPendingRequests();

    for (int slot = 0; slot < 128; ++slot)
    {
        const auto id = std::to_string (slot);
        const auto expected = slot < 15 ? source->getParameter (id) : defaults[static_cast<size_t> (slot)];
        EXPECT_EQ (target->getParameter (id), expected) << "slot " << slot;
    }

    EXPECT_EQ (target->compareChunk (record, equal), AAX_OK);
    EXPECT_FALSE (equal);

    // A record whose data ends inside its marker restores nothing.
    cutHeader.dataSize = 3;
    auto untouched = makeInstance();
    EXPECT_EQ (untouched->setChunk (cut), AAX_OK);
    EXPECT_EQ (untouched->confirmPendingRequests(), 0);
}

TEST_F (ModuleTest, ProcessorStateChunkRestoresTheWholeState)
{
    auto source = makeInstance();
    EXPECT_EQ (source->getChunkIDs(), (std::vector<AAX_CTypeID> { controlStateChunk, processorStateChunk }));

    for (const auto& [slot, value] : { std::pair<const char*, double> { "22", 0.8 }, { "23", 0.3 }, { "2", 0.6 }, { "100", 0.25 } })
        ASSERT_EQ (source->setParameter (slot, value), AAX_OK);

    std::vector<uint8_t> state;
    ASSERT_EQ (source->getChunk (processorStateChunk, state), AAX_OK);
    EXPECT_EQ (header (state).chunkID, processorStateChunk);
    EXPECT_GT (header (state).dataSize, 8);

    auto target = makeInstance();
    ASSERT_EQ (target->setChunk (state), AAX_OK);
    target->confirmPendingRequests();

    for (int slot = 0; slot < 128; ++slot)
        EXPECT_EQ (target->getParameter (std::to_string (slot)), source->getParameter (std::to_string (slot))) << "slot " << slot;

    // Saved again, the restored state is the same state.
    std::vector<uint8_t> again;
    ASSERT_EQ (target->getChunk (processorStateChunk, again), AAX_OK);
    EXPECT_TRUE (std::equal (state.begin() + sizeof (AAX_ChunkRecord), state.end(),
                             again.begin() + sizeof (AAX_ChunkRecord), again.end()));
}

TEST_F (ModuleTest, ProcessorStateChunkRules)
{
    auto instance = makeInstance();
    auto* effect = instance->getEffect();
    std::vector<uint8_t> record (sizeof (AAX_ChunkRecord) + 64);
    auto* chunk = reinterpret_cast<AAX_ChunkRecord*> (record.data());

    // The data must have been asked for by size first, once per chunk.
    EXPECT_EQ (effect->GetChunk (processorStateChunk, chunk), AAX_ERROR_CHUNK_SIZE);
    EXPECT_EQ (effect->GetChunkSize (processorStateChunk, nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (effect->GetChunk (processorStateChunk, nullptr), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (effect->SetChunk (processorStateChunk, nullptr), AAX_ERROR_NULL_OBJECT);

    std::vector<uint8_t> state;
    ASSERT_EQ (instance->getChunk (processorStateChunk, state), AAX_OK);
    EXPECT_EQ (effect->GetChunk (processorStateChunk, reinterpret_cast<AAX_ChunkRecord*> (state.data())), AAX_ERROR_CHUNK_SIZE);

    AAX_CTypeID id = 1;
    EXPECT_EQ (effect->GetChunkIDFromIndex (2, &id), AAX_ERROR_CHUNK_INDEX);
    EXPECT_EQ (id, 0u);

    // Empty and corrupt states are refused or ignored; the instance keeps its values.
    const auto before = instance->getParameter ("22");
    auto empty = state;
    reinterpret_cast<AAX_ChunkRecord*> (empty.data())->dataSize = 0;
    EXPECT_EQ (instance->setChunk (empty), AAX_ERROR_CHUNK_SIZE);

    auto corrupt = state;
    std::fill (corrupt.begin() + sizeof (AAX_ChunkRecord), corrupt.end(), uint8_t (0x5A));
    EXPECT_EQ (instance->setChunk (corrupt), AAX_OK);

    auto truncated = state;
    reinterpret_cast<AAX_ChunkRecord*> (truncated.data())->dataSize /= 2;
    EXPECT_EQ (instance->setChunk (truncated), AAX_OK);
    instance->confirmPendingRequests();
    EXPECT_EQ (instance->getParameter ("22"), before);
}

TEST_F (ModuleTest, EditorInAContainerOfAnotherKind)
{
    auto instance = makeInstance();
    SimulatedGUI gui (*instance);
    ASSERT_EQ (gui.create(), AAX_OK);

    void* found = nullptr;
    EXPECT_EQ (gui.getGUI()->QueryInterface (AAX_IID_EffectParameters, &found), ACF_E_NOINTERFACE);
    EXPECT_EQ (gui.getGUI()->QueryInterface (AAX_IID_EffectGUI, &found), ACF_OK);
    static_cast<IACFUnknown*> (found)->Release();

    EXPECT_EQ (gui.getGUI()->Initialize (nullptr), AAX_ERROR_NOT_INITIALIZED);
    ASSERT_EQ (gui.initialize(), AAX_OK);

    AAX_Point size;
    ASSERT_EQ (gui.getViewSize (size), AAX_OK);
    EXPECT_GT (size.horizontal, 0.0f);
    EXPECT_GT (size.vertical, 0.0f);
    EXPECT_EQ (gui.getGUI()->GetViewSize (nullptr), AAX_ERROR_NULL_OBJECT);

    // A window of a kind this system cannot hold an editor in: asked for its kind, given nothing.
    module.getLog()->clear();
    EXPECT_EQ (gui.attach (AAX_ViewContainerWin32Window), AAX_OK);
    EXPECT_EQ (module.getLog()->getCallsStartingWith ("ViewContainer."), std::vector<std::string> { "ViewContainer.GetType" });
    EXPECT_EQ (gui.getContainer()->getViewSize().horizontal, 0.0f);

    // Hiding deletes the editor; showing again makes a new one.
    EXPECT_EQ (gui.detach(), AAX_OK);
    EXPECT_EQ (gui.getViewSize (size), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (gui.attach (AAX_ViewContainerNull), AAX_OK);
    EXPECT_EQ (gui.getViewSize (size), AAX_OK);
    EXPECT_EQ (gui.detach(), AAX_OK);
    EXPECT_EQ (gui.detach(), AAX_OK);

    EXPECT_EQ (gui.uninitialize(), AAX_OK);
    EXPECT_EQ (gui.uninitialize(), AAX_OK);
    gui.release();
    EXPECT_EQ (module.canUnloadNow(), 1);
}
