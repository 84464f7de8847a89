#include "SimulatedGUI.h"

#include "AAX_Identifiers.h"

#include <utility>

SimulatedGUI::SimulatedGUI (SimulatedInstance& i) : instance (i)
{
}

SimulatedGUI::~SimulatedGUI()
{
    if (gui != nullptr)
    {
        if (container != nullptr)
            detach();

        if (initialised)
            uninitialize();

        release();
    }

    if (container != nullptr)
        container->Release();
}

AAX_Result SimulatedGUI::create()
{
    const auto& effects = instance.getModule().getDescription().effects;
    const auto effectIndex = instance.getSettings().effectIndex;

    if (gui != nullptr || effectIndex >= effects.size())
        return AAX_ERROR_NULL_OBJECT;

    gui = static_cast<AAX_IACFEffectGUI*> (SimulatedModule::createObject (effects[effectIndex], AAX_ProcIDCreateEffectGUI,
                                                                          AAX_IID_EffectGUI));
    return gui != nullptr ? AAX_OK : AAX_ERROR_NULL_OBJECT;
}

AAX_Result SimulatedGUI::initialize()
{
    if (gui == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const auto result = gui->Initialize (instance.getHostObject().asUnknown());
    initialised = result == AAX_OK;
    return result;
}

AAX_Result SimulatedGUI::attach (AAX_EViewContainerType type, void* nativeWindow)
{
    if (gui == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    auto* previous = std::exchange (container, new HostViewContainer (instance.getModule().getLog(), type, nativeWindow));
    const auto result = gui->SetViewContainer (container->asUnknown());

    if (previous != nullptr)
        previous->Release();

    return result;
}

AAX_Result SimulatedGUI::detach()
{
    if (gui == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const auto result = gui->SetViewContainer (nullptr);

    if (container != nullptr)
        std::exchange (container, nullptr)->Release();

    return result;
}

AAX_Result SimulatedGUI::getViewSize (AAX_Point& size) const
{
    return gui != nullptr ? gui->GetViewSize (&size) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result SimulatedGUI::draw()
{
    if (gui == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    AAX_Point size;

    if (const auto result = gui->GetViewSize (&size); result != AAX_OK)
        return result;

    AAX_Rect area;
    area.width = size.horizontal;
    area.height = size.vertical;
    return gui->Draw (&area);
}

AAX_Result SimulatedGUI::uninitialize()
{
    if (gui == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    initialised = false;
    return gui->Uninitialize();
}

void SimulatedGUI::release()
{
    if (gui != nullptr)
        std::exchange (gui, nullptr)->Release();
}
