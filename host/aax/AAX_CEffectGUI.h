#pragma once

#include "ACFPtr.h"
#include "AAX_IACFEffectParameters.h"
#include "AAX_IEffectGUI.h"
#include "AAX_VController.h"
#include "AAX_VTransport.h"
#include "AAX_VViewContainer.h"

#include <memory>

/** The host-facing editor object of one instance.

    It keeps the host wrappers and the instance's effect interface, and calls three hooks that a
    derived class implements: make the view contents, attach them to the host's view container,
    and detach and delete them. The contents may point into the instance, so they are always
    deleted before the effect interface is released: Uninitialize detaches them first, and a
    derived class deletes them in its own destructor, which runs before this one.
*/
class AAX_CEffectGUI : public AAX_IEffectGUI
{
public:
    AAX_CEffectGUI();
    ~AAX_CEffectGUI() override;

    ACFRESULT InternalQueryInterface (const acfIID& iid, void** outInterface) override;

    /** Makes the wrappers, finds the instance's effect interface and makes the view contents;
        AAX_ERROR_NOT_INITIALIZED without a host object.
    */
    AAX_Result Initialize (IACFUnknown* hostObject) override;

    /** Deletes the view contents, then releases the effect interface and the host wrappers. */
    AAX_Result Uninitialize() override;

    AAX_Result NotificationReceived (AAX_CTypeID type, const void* data, uint32_t size) override;

    /** A container attaches the contents and refreshes every parameter; null detaches them. */
    AAX_Result SetViewContainer (IACFUnknown* viewContainer) override;
    AAX_Result GetViewSize (AAX_Point* outSize) const override;
    AAX_Result Draw (AAX_Rect* area) override;
    AAX_Result TimerWakeup() override;
    AAX_Result ParameterUpdated (AAX_CParamID id) override;
    AAX_Result GetCustomLabel (uint32_t selector, AAX_IString* outLabel) const override;
    AAX_Result SetControlHighlight (AAX_CParamID id, AAX_CBoolean highlighted, uint32_t colour) override;

protected:
    virtual void CreateViewContents() = 0;

    /** Attaches the contents (making them when missing) to the view container's window. */
    virtual void CreateViewContainer() = 0;

    /** Detaches and deletes the contents; called also when there are none. */
    virtual void DeleteViewContainer() = 0;

    /** Calls ParameterUpdated for every parameter of the instance. */
    virtual void UpdateAllParameters();

    AAX_IACFEffectParameters* GetEffectParameters() const noexcept    { return effectParameters.get(); }
    AAX_IViewContainer* GetViewContainer() const noexcept             { return viewContainer.get(); }
    AAX_IController* GetController() const noexcept                   { return controller.get(); }
    AAX_ITransport* Transport() const noexcept                        { return transport.get(); }

private:
    std::unique_ptr<AAX_VController> controller;
    ACFPtr<AAX_IACFEffectParameters> effectParameters;
    std::unique_ptr<AAX_VViewContainer> viewContainer;
    std::unique_ptr<AAX_VTransport> transport;
};
