#include "PanelComponent.h"

PanelComponent::PanelComponent()
{
    lookAndFeelChanged();
}

PanelComponent::PanelComponent (const juce::String& newTitle)
{
    setTitle (newTitle);
    lookAndFeelChanged();
}

PanelComponent::~PanelComponent()
{
    if (content != nullptr)
        content->removeComponentListener (this);
}

void PanelComponent::setTitle (const juce::String& newTitle)
{
    if (title != newTitle)
    {
        title = newTitle;
        repaint();
    }
}

void PanelComponent::setContentComponent (juce::Component* newContent, bool shouldFitToContent)
{
    if (newContent == content.getComponent())
        return;

    if (content != nullptr)
    {
        content->removeComponentListener (this);
        removeChildComponent (content);
    }

    content = newContent;

    if (content != nullptr)
    {
        addAndMakeVisible (content);
        content->addComponentListener (this);
    }

    fitToContent = shouldFitToContent;
    layOut();
}

juce::Rectangle<int> PanelComponent::getContentArea() const
{
    // Built from two corners, so a panel smaller than its margins gives no negative size.
    return { juce::Point<int> (8, (int) font.getHeight() + 8),
             juce::Point<int> (getWidth() - 8, getHeight() - 8) };
}

void PanelComponent::paint (juce::Graphics& g)
{
    const auto width = (float) getWidth(), height = (float) getHeight();
    const auto y0 = (float) (int) (font.getHeight() * 0.5f) + 0.5f;
    const auto titleEnd = (float) juce::jmin (getWidth() - 10, getTitleWidth() + 10);

    // The frame is left open at the top where the title sits.
    juce::Path frame;
    frame.startNewSubPath (5.5f, y0);
    frame.lineTo (0.5f, y0);
    frame.lineTo (0.5f, height - 0.5f);
    frame.lineTo (width - 0.5f, height - 0.5f);
    frame.lineTo (width - 0.5f, y0);
    frame.lineTo (titleEnd + 4.5f, y0);

    g.setColour (findColour (frameColourId));
    g.strokePath (frame.createPathWithRoundedCorners (4.0f), juce::PathStrokeType (1.0f));

    if (title.isNotEmpty())
    {
        g.setColour (findColour (juce::Label::textColourId).withAlpha (isEnabled() ? 1.0f : 0.5f));
        g.setFont (font);
        g.drawText (title, juce::Rectangle<int> (10, 0, getWidth() - 20, (int) font.getHeight()),
                    juce::Justification::topLeft, false);
    }
}

void PanelComponent::resized()
{
    if (content != nullptr)
        content->setTopLeftPosition (getContentArea().getPosition());
}

void PanelComponent::lookAndFeelChanged()
{
    if (auto* methods = dynamic_cast<LookAndFeelMethods*> (&getLookAndFeel()))
    {
        font = methods->getPanelFont (*this);
        layOut();
        repaint();
    }
}

void PanelComponent::enablementChanged()
{
    repaint();
}

void PanelComponent::componentMovedOrResized (juce::Component& component, bool, bool wasResized)
{
    if (wasResized && fitToContent && &component == content.getComponent())
        resizeToContent();
}

void PanelComponent::layOut()
{
    if (content == nullptr)
        return;

    if (fitToContent)
        resizeToContent();

    content->setTopLeftPosition (getContentArea().getPosition());
}

void PanelComponent::resizeToContent()
{
    setSize (juce::jmax (getTitleWidth() + 20, content->getWidth() + 16),
             (int) font.getHeight() + 16 + content->getHeight());
}

int PanelComponent::getTitleWidth() const
{
    return juce::roundToInt (font.getStringWidthFloat (title));
}
