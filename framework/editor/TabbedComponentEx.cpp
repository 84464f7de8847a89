#include "TabbedComponentEx.h"

#include "DefaultLookAndFeel.h"

TabbedComponentEx::TabbedComponentEx()
    : juce::TabbedComponent (juce::TabbedButtonBar::TabsAtTop)
{
    lookAndFeelChanged();
}

void TabbedComponentEx::addListener (Listener* listener)
{
    listeners.addIfNotAlreadyThere (listener);
}

void TabbedComponentEx::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

void TabbedComponentEx::lookAndFeelChanged()
{
    // Only the page shown is a child; the others would miss the change.
    for (int i = getNumTabs(); --i >= 0;)
        if (auto* page = getTabContentComponent (i))
            page->sendLookAndFeelChange();

    if (auto* lookAndFeel = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        const auto depth = lookAndFeel->getTabBarDepth();

        if (depth != getTabBarDepth())
            setTabBarDepth (depth);

        contentIndent = lookAndFeel->getTabContentIndent();
        setIndent (contentIndent);
    }

    resized();
    repaint();
}

void TabbedComponentEx::paint (juce::Graphics& g)
{
    if (g.getClipBounds().isEmpty() || frame.isEmpty())
        return;

    g.setColour (findColour (DefaultLookAndFeel::tabbedComponentColourId));
    g.fillPath (frame);
    g.setColour (findColour (DefaultLookAndFeel::tabOutlineColourId));
    g.strokePath (frame, juce::PathStrokeType (1.0f));
}

void TabbedComponentEx::resized()
{
    const auto depth = static_cast<float> (getTabBarDepth());
    const auto right = static_cast<float> (getWidth()) - 0.5f;
    const auto bottom = static_cast<float> (getHeight()) - 0.5f;

    juce::Path outline;
    outline.startNewSubPath (0.5f, depth - 0.5f);
    outline.lineTo (right, depth - 0.5f);
    outline.lineTo (right, bottom);
    outline.lineTo (0.5f, bottom);
    outline.closeSubPath();
    frame = outline.createPathWithRoundedCorners (4.0f);

    juce::TabbedComponent::resized();
}

void TabbedComponentEx::currentTabChanged (int newCurrentTabIndex, const juce::String&)
{
    for (int i = listeners.size(); --i >= 0;)
        listeners.getUnchecked (i)->tabChanged (this);

    if (auto* page = getTabContentComponent (newCurrentTabIndex))
        if (&page->getLookAndFeel() != &getLookAndFeel())
            page->setLookAndFeel (&getLookAndFeel());
}
