#include "RadioButtons_V2.h"

#include "EnumParameter.h"

RadioButtons_V2::RadioButtons_V2 (EnumParameter& parameter)
    : panel (parameter.getName())
{
    row.vertical = true;
    row.alignment = 0;
    row.gap = 2;

    for (const auto& text : parameter.getItems())
    {
        auto* button = buttons.add (new RadioButton (text));
        button->resizeToFitText();
        button->addListener (this);
        row.addAndMakeVisible (button);
    }

    row.arrangeComponents();
    panel.setContentComponent (&row, false);
    addAndMakeVisible (panel);

    // Sized to its title and buttons until the owner gives it other bounds.
    setSize (0, 0);
    resized();
    setSize (panel.getWidth(), panel.getHeight());

    bindToParameter (&parameter);
}

RadioButtons_V2::~RadioButtons_V2()
{
    for (auto* button : buttons)
        button->removeListener (this);
}

void RadioButtons_V2::setSelectedIndex (int index, bool notify)
{
    selectedIndex = juce::isPositiveAndBelow (index, buttons.size()) ? index : -1;

    for (int i = 0; i < buttons.size(); ++i)
        buttons.getUnchecked (i)->setToggleState (i == selectedIndex, juce::dontSendNotification);

    if (! notify)
        return;

    for (int i = listeners.size(); --i >= 0;)
        listeners.getUnchecked (i)->selectionChanged (this);

    if (auto* parameter = getParameter())
        parameter->setIntValue (selectedIndex, true);
}

void RadioButtons_V2::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void RadioButtons_V2::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

//==============================================================================
void RadioButtons_V2::updateFromParameter (Parameter* changed)
{
    if (changed != nullptr)
        setSelectedIndex (changed->getIntValue(), false);
}

void RadioButtons_V2::buttonClicked (juce::Button* clicked)
{
    const auto index = buttons.indexOf (static_cast<RadioButton*> (clicked));

    if (index >= 0)
        setSelectedIndex (index, true);
}

void RadioButtons_V2::resized()
{
    // A component has no negative size: an empty width or height is the one the title
    // and the buttons need.
    const auto titleWidth = juce::roundToInt (panel.getFont().getStringWidthFloat (panel.getTitle()));
    const auto width = getWidth() > 0 ? getWidth() : juce::jmax (titleWidth + 20, row.getWidth() + 16);
    const auto height = getHeight() > 0 ? getHeight() : (int) panel.getFont().getHeight() + 16 + row.getHeight();

    panel.setSize (width, height);

    for (auto* button : buttons)
        button->setSize (panel.getContentArea().getWidth(), button->getHeight());
}
