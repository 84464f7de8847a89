#include "StatusBar.h"

#include "DefaultLookAndFeel.h"

StatusBar::StatusBar()
{
    clearMessage();
    lookAndFeelChanged();
}

bool StatusBar::accept (const juce::String& newText, int newPriority)
{
    if (newText == text || newPriority < priority)
        return false;

    text = newText;
    priority = newPriority;
    repaint();
    return true;
}

void StatusBar::showTemporaryMessage (const juce::String& newText, int newPriority)
{
    if (accept (newText, newPriority))
        startTimer (3000);
}

void StatusBar::showMessage (const juce::String& newText, int newPriority)
{
    if (accept (newText, newPriority))
        stopTimer();
}

void StatusBar::clearMessage()
{
    priority = 0;
    stopTimer();

    if (text.isNotEmpty())
    {
        text.clear();
        repaint();
    }
}

void StatusBar::timerCallback()
{
    clearMessage();
}

void StatusBar::lookAndFeelChanged()
{
    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        font = lf->getStatusBarFont();
        setSize (getWidth(), lf->getStatusBarHeight());
    }

    repaint();
}

void StatusBar::paint (juce::Graphics& g)
{
    g.fillAll (findColour (DefaultLookAndFeel::statusBarBackgroundColourId));
    g.setColour (findColour (DefaultLookAndFeel::statusBarTextColourId));
    g.setFont (font);
    g.drawText (text, juce::Rectangle<int> (5, 0, getWidth(), getHeight()), juce::Justification::centredLeft, false);
}
