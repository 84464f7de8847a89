#pragma once

#include "AAX_IACFEffectGUI.h"
#include "HostViewContainer.h"
#include "SimulatedInstance.h"

/** The editor object of one simulated instance: created through the description's creation
    procedure, initialised with the instance's host object, and shown in and hidden from a view
    container of a chosen kind.
*/
class SimulatedGUI
{
public:
    explicit SimulatedGUI (SimulatedInstance& instance);

    /** Detaches, uninitialises and releases what is still there. */
    ~SimulatedGUI();

    SimulatedGUI (const SimulatedGUI&) = delete;
    SimulatedGUI& operator= (const SimulatedGUI&) = delete;

    AAX_Result create();
    AAX_Result initialize();

    /** Hands the editor a new container of that kind (the previous one is released). */
    AAX_Result attach (AAX_EViewContainerType type, void* nativeWindow = nullptr);

    /** Hands the editor null: the editor is hidden. */
    AAX_Result detach();

    AAX_Result getViewSize (AAX_Point& size) const;

    /** Asks the editor to draw the whole view (a pixel-buffer container then holds it). */
    AAX_Result draw();
    AAX_Result uninitialize();
    void release();

    AAX_IACFEffectGUI* getGUI() const noexcept              { return gui; }
    HostViewContainer* getContainer() const noexcept        { return container; }

private:
    SimulatedInstance& instance;
    AAX_IACFEffectGUI* gui = nullptr;
    HostViewContainer* container = nullptr;
    bool initialised = false;
};
