#include "AAX_CBinaryDisplayDelegate.h"
#include "AAX_CBinaryTaperDelegate.h"
#include "AAX_CEffectGUI.h"
#include "AAX_CEffectParameters.h"
#include "AAX_CParameter.h"
#include "AAX_IACFViewContainer.h"
#include "FakeHost.h"

#include <gtest/gtest.h>

namespace
{
    class SwitchesEffect final : public AAX_CEffectParameters
    {
    public:
        AAX_Result EffectInit() override
        {
            for (const char* id : ids)
                GetParameterManager().AddParameter (std::make_unique<AAX_CParameter<bool>> (
                    id, AAX_CString (id), false, AAX_CBinaryTaperDelegate<bool>(),
                    AAX_CBinaryDisplayDelegate<bool> ("off", "on"), true));

            return AAX_OK;
        }

        std::vector<const char*> ids;
    };

    /** Records the hooks in order, and whether the effect was still reachable in each. */
    class RecordingGUI final : public AAX_CEffectGUI
    {
    public:
        explicit RecordingGUI (std::vector<std::string>& c) : calls (c) {}

        ~RecordingGUI() override    { calls.push_back ("destroyed"); }

        AAX_Result ParameterUpdated (AAX_CParamID id) override
        {
            calls.push_back (std::string ("updated ") + id);
            return AAX_OK;
        }

        int32_t containerType() const    { return GetViewContainer() != nullptr ? GetViewContainer()->GetType() : -1; }

    protected:
        void CreateViewContents() override     { calls.push_back ("create contents"); }
        void CreateViewContainer() override    { calls.push_back ("attach " + std::to_string (containerType())); }

        void DeleteViewContainer() override
        {
            calls.push_back (GetEffectParameters() != nullptr ? "delete with effect" : "delete without effect");
        }

    private:
        std::vector<std::string>& calls;
    };

    class FakeViewContainer final : public FakeCounted<AAX_IACFViewContainer>
    {
    public:
        FakeViewContainer() : FakeCounted (AAX_IID_ViewContainer) {}

        int32_t GetType() override                                           { return AAX_ViewContainerX11Window; }
        void* GetPtr() override                                              { return this; }
        AAX_Result GetModifiers (uint32_t* m) override                       { *m = 0; return AAX_OK; }
        AAX_Result SetViewSize (const AAX_Point&) override                   { return AAX_OK; }
        AAX_Result HandleParameterMouseDown (AAX_CParamID, uint32_t) override { return AAX_OK; }
        AAX_Result HandleParameterMouseDrag (AAX_CParamID, uint32_t) override { return AAX_OK; }
        AAX_Result HandleParameterMouseUp (AAX_CParamID, uint32_t) override   { return AAX_OK; }
    };

    struct HostedGUI
    {
        explicit HostedGUI (std::vector<const char*> ids = { "0", "1", MasterBypass() })
        {
            effect = new SwitchesEffect();
            effect->ids = std::move (ids);
            effect->AddRef();
            effect->Initialize (&effectHost);

            host.controller = &controller;
            host.effect = effect;
            gui = new RecordingGUI (calls);
            gui->AddRef();
        }

        ~HostedGUI()
        {
            if (gui != nullptr)
                gui->Release();

            effect->Release();
        }

        static const char* MasterBypass()    { return AAX_MasterBypassID; }

        FakeHostObject effectHost;
        FakeController controller;
        FakeHostObject host;
        SwitchesEffect* effect;
        std::vector<std::string> calls;
        RecordingGUI* gui;
    };
}

TEST (EffectGUI, InitializeWithoutAHostDoesNothing)
{
    HostedGUI hosted;
    EXPECT_EQ (hosted.gui->Initialize (nullptr), AAX_ERROR_NOT_INITIALIZED);
    EXPECT_TRUE (hosted.calls.empty());
}

TEST (EffectGUI, DetachBeforeAnyAttachOnlyDeletes)
{
    HostedGUI hosted;
    ASSERT_EQ (hosted.gui->Initialize (&hosted.host), AAX_OK);
    hosted.calls.clear();
    EXPECT_EQ (hosted.gui->SetViewContainer (nullptr), AAX_OK);
    EXPECT_EQ (hosted.calls, std::vector<std::string> { "delete with effect" });
}

TEST (EffectGUI, AttachRefreshesEveryParameterInOrder)
{
    HostedGUI hosted;
    FakeViewContainer container;
    ASSERT_EQ (hosted.gui->Initialize (&hosted.host), AAX_OK);
    EXPECT_EQ (hosted.gui->SetViewContainer (&container), AAX_OK);
    EXPECT_EQ (hosted.calls, (std::vector<std::string> { "create contents", "attach 3", "updated 0", "updated 1",
                                                         "updated MasterBypassID" }));
    EXPECT_EQ (container.references, 1);

    hosted.calls.clear();
    hosted.gui->SetViewContainer (nullptr);
    EXPECT_EQ (hosted.calls, std::vector<std::string> { "delete with effect" });
    EXPECT_EQ (container.references, 0);
}

TEST (EffectGUI, AttachWithNoParametersAsksForNoIDs)
{
    FakeViewContainer container;    // outlives the editor, which keeps it attached
    HostedGUI hosted (std::vector<const char*> {});
    hosted.gui->Initialize (&hosted.host);
    hosted.calls.clear();
    hosted.gui->SetViewContainer (&container);
    EXPECT_EQ (hosted.calls, std::vector<std::string> { "attach 3" });
}

TEST (EffectGUI, ContainerWithoutTheViewInterface)
{
    HostedGUI hosted;
    FakeHostObject notAContainer;
    hosted.gui->Initialize (&hosted.host);
    hosted.calls.clear();
    hosted.gui->SetViewContainer (&notAContainer);
    EXPECT_EQ (hosted.calls.front(), "attach 0");

    AAX_VViewContainer wrapper (&notAContainer);
    uint32_t modifiers = 0;
    EXPECT_EQ (wrapper.GetPtr(), nullptr);
    EXPECT_EQ (wrapper.GetModifiers (&modifiers), AAX_ERROR_NOT_IMPLEMENTED);
    EXPECT_EQ (wrapper.SetViewSize (AAX_Point()), AAX_OK);
    EXPECT_EQ (wrapper.HandleParameterMouseUp ("0", 0), AAX_ERROR_NOT_IMPLEMENTED);
}

TEST (EffectGUI, UninitializeDeletesTheContentsBeforeReleasingTheEffect)
{
    HostedGUI hosted;
    FakeViewContainer container;
    const auto effectReferences = hosted.effect->AddRef() - 1;
    hosted.effect->Release();

    hosted.gui->Initialize (&hosted.host);
    hosted.gui->SetViewContainer (&container);
    EXPECT_EQ (hosted.effect->AddRef() - 1, effectReferences + 1);
    hosted.effect->Release();

    hosted.calls.clear();
    EXPECT_EQ (hosted.gui->Uninitialize(), AAX_OK);
    EXPECT_EQ (hosted.calls, std::vector<std::string> { "delete with effect" });
    EXPECT_EQ (container.references, 0);
    EXPECT_EQ (hosted.controller.references, 0);
    EXPECT_EQ (hosted.effect->AddRef() - 1, effectReferences);
    hosted.effect->Release();

    hosted.calls.clear();
    EXPECT_EQ (hosted.gui->Uninitialize(), AAX_OK);
    EXPECT_EQ (hosted.calls, std::vector<std::string> { "delete without effect" });
}

TEST (EffectGUI, LifetimeAndInterfaces)
{
    const auto before = CACFUnknown::GetActiveObjectCount();
    std::vector<std::string> calls;
    auto* gui = new RecordingGUI (calls);
    EXPECT_EQ (CACFUnknown::GetActiveObjectCount(), before + 1);

    void* found = nullptr;
    EXPECT_EQ (gui->QueryInterface (AAX_IID_EffectGUI, &found), ACF_OK);
    EXPECT_EQ (found, static_cast<AAX_IACFEffectGUI*> (gui));
    EXPECT_EQ (gui->QueryInterface (AAX_IID_EffectParameters, &found), ACF_E_NOINTERFACE);

    AAX_CString label;
    EXPECT_EQ (gui->GetCustomLabel (0, &label), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ (gui->GetViewSize (nullptr), AAX_OK);

    EXPECT_EQ (gui->Release(), 0u);
    EXPECT_EQ (calls, std::vector<std::string> { "destroyed" });
    EXPECT_EQ (CACFUnknown::GetActiveObjectCount(), before);
}
