#include "ModalComponent.h"

ModalComponent::CoveringWindow::CoveringWindow (ModalComponent& o)
    : owner (o)
{
}

void ModalComponent::CoveringWindow::parentHierarchyChanged()
{
    if (auto* parent = getParentComponent())
        setBounds (parent->getLocalBounds());
}

void ModalComponent::CoveringWindow::parentSizeChanged()
{
    if (auto* parent = getParentComponent())
        setBounds (parent->getLocalBounds());
}

void ModalComponent::CoveringWindow::resized()
{
    owner.updateBounds();
}

void ModalComponent::CoveringWindow::paint (juce::Graphics& g)
{
    if (owner.dimsBackground())
        g.fillAll (juce::Colours::white.withAlpha (0.25f));
}

//==============================================================================
ModalComponent::ModalComponent() = default;

ModalComponent::~ModalComponent()
{
    // The cover is a member: leave it, and take it out of the desktop, before it goes.
    if (getParentComponent() == &cover)
        cover.removeChildComponent (this);

    if (auto* parent = cover.getParentComponent())
        parent->removeChildComponent (&cover);
}

void ModalComponent::show()
{
    attachToDesktop();

    if (getParentComponent() == &cover && cover.getParentComponent() != nullptr && ! cover.isVisible())
    {
        positionMode = centred;
        position = {};
        raiseCover();
    }

    setVisible (true);
}

void ModalComponent::showAt (juce::uint32 mode, juce::Point<int> newPosition, juce::Component* relativeTo)
{
    attachToDesktop();

    if (getParentComponent() == &cover && cover.getParentComponent() != nullptr && ! cover.isVisible())
    {
        positionMode = mode;
        position = relativeTo != nullptr ? getLocalPoint (relativeTo, newPosition) : newPosition;
        raiseCover();
    }

    setVisible (true);
}

void ModalComponent::close()
{
    if (isShownOverDesktop())
    {
        cover.setVisible (false);
        cover.toBack();
    }

    setVisible (false);
}

bool ModalComponent::isShownOverDesktop() const
{
    return getParentComponent() == &cover && cover.getParentComponent() != nullptr && cover.isVisible();
}

juce::Rectangle<int> ModalComponent::getCoveredArea() const
{
    return cover.getLocalBounds();
}

ModalComponent::Desktop* ModalComponent::getDesktop() const
{
    return getParentComponent() == &cover ? dynamic_cast<Desktop*> (cover.getParentComponent()) : nullptr;
}

bool ModalComponent::dimsBackground()
{
    return false;
}

void ModalComponent::updateBounds()
{
    if (positionMode == atPosition)
    {
        setBounds (position.x, position.y, getWidth(), getHeight());
    }
    else if (positionMode == centred)
    {
        if (auto* desktop = getDesktop())
        {
            auto area = desktop->getModalArea();
            setBounds (area.getWidth() / 2 - getWidth() / 2, area.getHeight() / 2 - getHeight() / 2, getWidth(), getHeight());
        }
    }
}

void ModalComponent::parentHierarchyChanged()
{
    // Only a real new home counts: while moving onto the cover the component is briefly
    // without a parent.
    auto* parent = getParentComponent();

    if (parent != nullptr && parent != &cover)
        if (auto* coverParent = cover.getParentComponent())
            coverParent->removeChildComponent (&cover);
}

void ModalComponent::resized()
{
    updateBounds();
}

void ModalComponent::attachToDesktop()
{
    if (getParentComponent() == &cover && cover.getParentComponent() != nullptr)
        return;

    for (auto* ancestor = getParentComponent(); ancestor != nullptr; ancestor = ancestor->getParentComponent())
    {
        if (dynamic_cast<Desktop*> (ancestor) != nullptr)
        {
            ancestor->addChildComponent (cover);
            cover.addChildComponent (this);
            cover.setVisible (false);
            cover.toBack();

            // JUCE tells nobody of a new parent's look-and-feel; fonts and sizes that
            // depend on it must be taken now, before the component is centred.
            sendLookAndFeelChange();
            return;
        }
    }
}

void ModalComponent::raiseCover()
{
    cover.setVisible (true);
    cover.toFront (true);
    updateBounds();
}
