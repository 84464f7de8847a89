#include "OptionsWindow.h"

OptionsWindow::OptionsWindow()
    : tabs (std::make_unique<TabbedComponentEx>())
{
    addAndMakeVisible (*tabs);
}

OptionsWindow::~OptionsWindow() = default;

void OptionsWindow::resized()
{
    WindowComponent::resized();
    tabs->setBounds (getContentBounds());
}
