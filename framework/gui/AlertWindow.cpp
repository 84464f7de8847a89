#include "AlertWindow.h"

#include "DefaultLookAndFeel.h"

namespace Halvorn
{

AlertWindow::AlertWindow()
{
    buttonRow.vertical = false;
    buttonRow.alignment = 2;
    buttonRow.gap = 6;
    addAndMakeVisible (buttonRow);

    messageLabel.setJustificationType (juce::Justification::centredLeft);
    addAndMakeVisible (messageLabel);
}

AlertWindow::~AlertWindow()
{
    // The row watches its children; let it go before the buttons do.
    buttonRow.removeAllChildren();
}

std::unique_ptr<AlertWindow> AlertWindow::create (const juce::String& title, const juce::String& message, Caller* caller,
                                                  std::initializer_list<std::pair<const char*, int>> buttonsToAdd)
{
    auto alert = std::make_unique<AlertWindow>();
    alert->setTitle (title);
    alert->setMessage (message);
    alert->updateSize();

    for (auto& b : buttonsToAdd)
        alert->addButton (b.first, b.second);

    alert->caller = caller;
    return alert;
}

std::unique_ptr<AlertWindow> AlertWindow::createOk (const juce::String& title, const juce::String& message, Caller* c)
{
    return create (title, message, c, { { "OK", ok } });
}

std::unique_ptr<AlertWindow> AlertWindow::createYesNo (const juce::String& title, const juce::String& message, Caller* c)
{
    return create (title, message, c, { { "Yes", yes }, { "No", no } });
}

std::unique_ptr<AlertWindow> AlertWindow::createYesCancel (const juce::String& title, const juce::String& message, Caller* c)
{
    return create (title, message, c, { { "Yes", yes }, { "Cancel", cancel } });
}

std::unique_ptr<AlertWindow> AlertWindow::createSaveOverwriteDiscard (const juce::String& title, const juce::String& message, Caller* c)
{
    return create (title, message, c, { { "Save as", saveAs }, { "Overwrite", overwrite }, { "Discard", discard } });
}

std::unique_ptr<AlertWindow> AlertWindow::createReplaceCancel (const juce::String& title, const juce::String& message, Caller* c)
{
    return create (title, message, c, { { "Replace", replace }, { "Cancel", cancel } });
}

void AlertWindow::addButton (const juce::String& text, int result)
{
    auto* button = buttons.add (new juce::TextButton (text));
    button->addListener (this);
    resultCodes.add (result);

    // In the row first, so the width is measured with the alert's own look-and-feel.
    buttonRow.addAndMakeVisible (button);
    button->changeWidthToFitText (22);

    updateSize();
    resized();
}

void AlertWindow::setMessage (const juce::String& message)
{
    messageLabel.setText (message, juce::dontSendNotification);
}

void AlertWindow::updateSize()
{
    auto font = messageLabel.getFont();
    auto width = juce::jmax ((int) font.getStringWidthFloat (messageLabel.getText()), buttonRow.getWidth());
    auto height = (int) font.getHeight() + buttonRow.getHeight() + 10;
    setContentSize (width, height);
}

bool AlertWindow::dimsBackground()
{
    return true;
}

void AlertWindow::buttonClicked (juce::Button* button)
{
    WindowComponent::buttonClicked (button);

    auto index = buttons.indexOf (dynamic_cast<juce::TextButton*> (button));

    if (index < 0)
        return;

    close();

    if (caller != nullptr)
        caller->alertResult (this, index < resultCodes.size() ? resultCodes[index] : 0);
}

void AlertWindow::lookAndFeelChanged()
{
    WindowComponent::lookAndFeelChanged();

    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        messageLabel.setFont (lf->getStandardFont());
        updateSize();
    }
}

void AlertWindow::resized()
{
    WindowComponent::resized();

    auto area = getContentBounds();
    auto strip = area.removeFromBottom (buttonRow.getHeight());
    area.removeFromBottom (10);

    buttonRow.setTopLeftPosition (strip.getRight() - buttonRow.getWidth(), strip.getY());
    messageLabel.setBounds (area);
    repaint();
}

void AlertWindow::childBoundsChanged (juce::Component*)
{
    resized();
}

} // namespace Halvorn
