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

    if (editor == nullptr || container == nullptr)
        return;

    const auto type = container->GetType();

    if (type != AAX_ViewContainerX11Window && type != AAX_ViewContainerPixelBuffer)
        return;

    auto* window = container->GetPtr();

    if (window == nullptr)
        return;

    editor->setVisible (true);

    if (type == AAX_ViewContainerX11Window)
        editor->addToDesktop (0, window);

    container->SetViewSize (AAX_Point { static_cast<float> (editor->getHeight()),
                                        static_cast<float> (editor->getWidth()) });
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

AAX_Result JuceAAX_GUI::Draw (AAX_Rect* area)
{
    const juce::MessageManagerLock lock;
    auto* container = GetViewContainer();

    if (editor == nullptr || container == nullptr || container->GetType() != AAX_ViewContainerPixelBuffer)
        return AAX_OK;

    auto* buffer = static_cast<AAX_PixelBuffer*> (container->GetPtr());

    if (buffer == nullptr || buffer->pixels == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    // The host may not have followed the last size change yet: only what fits is drawn.
    auto bounds = editor->getLocalBounds().getIntersection ({ buffer->width, buffer->height });

    if (area != nullptr)
        bounds = bounds.getIntersection (juce::Rectangle<float> (area->left, area->top, area->width, area->height)
                                             .getSmallestIntegerContainer());

    if (bounds.isEmpty())
        return AAX_OK;

    const auto image = editor->createComponentSnapshot (bounds, true, 1.0f);
    const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readOnly);

    for (int y = 0; y < bounds.getHeight(); ++y)
    {
        auto* row = buffer->pixels + static_cast<size_t> (bounds.getY() + y) * static_cast<size_t> (buffer->width);

        for (int x = 0; x < bounds.getWidth(); ++x)
            row[bounds.getX() + x] = pixels.getPixelColour (x, y).getPixelARGB().getNativeARGB();
    }

    return AAX_OK;
}

} // namespace AAXClasses
