#include "ToolbarDrawableButton.h"

#include "DefaultLookAndFeel.h"

ToolbarDrawableButton::ToolbarDrawableButton (const juce::String& name)
    : juce::DrawableButton (name, juce::DrawableButton::ImageFitted)
{
    setEdgeIndent (1);
    setTooltip (name);
    setWantsKeyboardFocus (false);
}

ToolbarDrawableButton::ToolbarDrawableButton (const juce::String& name, int iconIndex)
    : ToolbarDrawableButton (name)
{
    if (auto* icon = getStandardIconDrawable (iconIndex))
        setImages (icon);
}

void ToolbarDrawableButton::setParameter (Parameter* newParameter)
{
    bindToParameter (newParameter);
}

void ToolbarDrawableButton::updateFromParameter (Parameter* changed)
{
    if (changed != nullptr)
        setToggleState (changed->getBoolValue(), juce::dontSendNotification);
}

void ToolbarDrawableButton::paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    // A plain button at rest shows only its icon.
    if (getClickingTogglesState() || isMouseOver || isButtonDown)
        getLookAndFeel().drawButtonBackground (g, *this,
                                               findColour (getToggleState() ? juce::TextButton::buttonOnColourId
                                                                            : juce::TextButton::buttonColourId),
                                               isMouseOver, isButtonDown);
}

void ToolbarDrawableButton::lookAndFeelChanged()
{
    juce::DrawableButton::lookAndFeelChanged();

    // The icons are drawn in black; the look-and-feel decides what colour they show in.
    if (auto* shown = getCurrentImage())
        shown->replaceColour (juce::Colours::black, findColour (juce::DrawableButton::textColourId));
}

void ToolbarDrawableButton::buttonStateChanged()
{
    juce::DrawableButton::buttonStateChanged();

    if (auto* parameter = getParameter())
        parameter->setBoolValue (getToggleState(), true);
}
