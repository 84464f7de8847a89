#include "JuceAAX_GUI.h"

#include "JuceAAX_Processor.h"

namespace AAXClasses
{

JuceAAX_GUI::~JuceAAX_GUI()
{
    // The editor may point into the processor, which the base lets go of after this.
    DeleteViewContainer();
}

IACFUnknown* JuceAAX_GUI::Create()
{
    try
    {
        return (new JuceAAX_GUI())->GetOuterUnknown();
    }
    catch (...)
    {
        return nullptr;
    }
}

JuceAAX_Processor* JuceAAX_GUI::getEffect() const
{
    return dynamic_cast<JuceAAX_Processor*> (GetEffectParameters());
}

void JuceAAX_GUI::createEditorIfNeeded()
{
    if (editor != nullptr)
        return;

    auto* effect = getEffect();

    // A processor shows one editor at a time; another editor object may be showing it.
    if (effect == nullptr || effect->getPluginInstance().getActiveEditor() != nullptr)
        return;

    editor.reset (effect->getPluginInstance().createEditorIfNeeded());
}

void JuceAAX_GUI::CreateViewContents()
{
    const juce::MessageManagerLock lock;
    createEditorIfNeeded();
}

void JuceAAX_GUI::CreateViewContainer()
{
    const juce::MessageManagerLock lock;
    createEditorIfNeeded();
    auto* container = GetViewContainer();

    if (editor == nullptr || container == nullptr || container->GetType() != AAX_ViewContainerX11Window)
        return;

    if (auto* window = container->GetPtr())
    {
        editor->setVisible (true);
        editor->addToDesktop (0, window);
        container->SetViewSize (AAX_Point { static_cast<float> (editor->getHeight()),
                                            static_cast<float> (editor->getWidth()) });
    }
}

void JuceAAX_GUI::DeleteViewContainer()
{
    const juce::MessageManagerLock lock;

    if (editor != nullptr)
    {
        if (editor->isOnDesktop())
            editor->removeFromDesktop();

        editor.reset();
    }
}

AAX_Result JuceAAX_GUI::GetViewSize (AAX_Point* outSize) const
{
    if (outSize == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const juce::MessageManagerLock lock;

    if (editor == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    outSize->vertical = static_cast<float> (editor->getHeight());
    outSize->horizontal = static_cast<float> (editor->getWidth());
    return AAX_OK;
}

} // namespace AAXClasses
