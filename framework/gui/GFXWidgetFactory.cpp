#include "GFXWidgetFactory.h"

#include "CaseKey.h"
#include "GFXAnimation.h"
#include "GFXButton.h"
#include "GFXKnob.h"
#include "GFXMultiStateButton.h"
#include "GFXPanel.h"
#include "GFXSwitch.h"
#include "GFXToggleButton.h"
#include "ModulationMatrixComponent.h"
#include "NumericDisplay.h"
#include "SkinOnlyWidgets.h"
#include "TextInput.h"

GFXWidgetFactory::GFXWidgetFactory()
{
    registerCoreWidgets (*this);
    TextInput::registerTextInputWidgets (*this);
    SkinOnlyWidgets::registerSkinOnlyWidgets (*this);
    ModulationMatrixComponent::registerModulationMatrixWidgets (*this);
}

GFXWidgetFactory& GFXWidgetFactory::getInstance()
{
    static GFXWidgetFactory instance;
    return instance;
}

void GFXWidgetFactory::registerWidget (const juce::String& tag, Creator creator)
{
    creators[CaseKey::of (tag)] = std::move (creator);
}

bool GFXWidgetFactory::isRegistered (const juce::String& tag) const
{
    return creators.find (CaseKey::of (tag)) != creators.end();
}

std::unique_ptr<juce::Component> GFXWidgetFactory::createWidget (const juce::String& tag, const juce::String& name,
                                                                 SkinSource& source) const
{
    const auto found = creators.find (CaseKey::of (tag));

    if (found == creators.end() || ! found->second)
        return {};

    return found->second (name, source);
}

//==============================================================================
namespace
{
    template <typename Widget>
    GFXWidgetFactory::Creator makeNamed()
    {
        return [] (const juce::String& name, SkinSource&) -> std::unique_ptr<juce::Component>
        {
            return std::make_unique<Widget> (name);
        };
    }
}

void GFXWidgetFactory::registerCoreWidgets (GFXWidgetFactory& factory)
{
    factory.registerWidget ("Knob", makeNamed<GFXKnob>());
    factory.registerWidget ("Switch", makeNamed<GFXSwitch>());
    factory.registerWidget ("Animation", makeNamed<GFXAnimation>());
    factory.registerWidget ("Button", makeNamed<GFXButton>());
    factory.registerWidget ("ToggleButton", makeNamed<GFXToggleButton>());
    factory.registerWidget ("MultiStateButton", makeNamed<GFXMultiStateButton>());
    factory.registerWidget ("Panel", makeNamed<GFXPanel>());
    factory.registerWidget ("NumericDisplay", makeNamed<NumericDisplay>());
}
