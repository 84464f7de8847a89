#include "ModalComponent.h"

ModalComponent::CoveringWindow::CoveringWindow (ModalComponent& o)
    : owner (o)
{
    // Tab goes round what lies on the cover and never on to what is behind it.
    setFocusContainerType (FocusContainerType::keyboardFocusContainer);
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
ModalComponent::ModalComponent()
{
    setWantsKeyboardFocus (true);
}

ModalComponent::~ModalComponent()
{
    // Else JUCE would hand the focus to whatever comes first behind the cover.
    if (hasKeyboardFocus (true))
        giveAwayKeyboardFocus();

    // The cover is a member: leave it, and take it out of the desktop, before it goes.
    if (getParentComponent() == &cover)
        cover.removeChildComponent (this);

    if (auto* parent = cover.getParentComponent())
        parent->removeChildComponent (&cover);
}

void ModalComponent::show()
{
    attachToDesktop();
    const auto raising = getParentComponent() == &cover && cover.getParentComponent() != nullptr && ! cover.isVisible();

    if (raising)
    {
        positionMode = centred;
        position = {};
        raiseCover();
    }

    setVisible (true);

    if (raising)
        takeFocus();
}

void ModalComponent::showAt (juce::uint32 mode, juce::Point<int> newPosition, juce::Component* relativeTo)
{
    attachToDesktop();
    const auto raising = getParentComponent() == &cover && cover.getParentComponent() != nullptr && ! cover.isVisible();

    if (raising)
    {
        positionMode = mode;
        position = relativeTo != nullptr ? getLocalPoint (relativeTo, newPosition) : newPosition;
        raiseCover();
    }

    setVisible (true);

    if (raising)
        takeFocus();
}

void ModalComponent::close()
{
    // Let go of the focus before hiding: JUCE would hand it to whatever comes first behind
    // the cover. It goes back where it was once the cover is down.
    const auto hadFocus = hasKeyboardFocus (true);

    if (hadFocus)
        giveAwayKeyboardFocus();

    if (isShownOverDesktop())
    {
        cover.setVisible (false);
        cover.toBack();
    }

    setVisible (false);

    if (hadFocus && focusBefore != nullptr && focusBefore->isShowing())
        focusBefore->grabKeyboardFocus();
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

void ModalComponent::keepFocusInFront (juce::Component& desktop)
{
    auto* focused = getCurrentlyFocusedComponent();

    if (focused == nullptr || ! desktop.isParentOf (focused))
        return;

    for (int i = desktop.getNumChildComponents(); --i >= 0;)
    {
        if (auto* cover = dynamic_cast<CoveringWindow*> (desktop.getChildComponent (i)); cover != nullptr && cover->isVisible())
        {
            if (! cover->isParentOf (focused) && cover->owner.isVisible())
                cover->owner.grabKeyboardFocus();

            return;
        }
    }
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
    cover.toFront (false);
    updateBounds();
}

void ModalComponent::takeFocus()
{
    // Keys go to the focused component: left behind the cover (on a button of the editor
    // that was clicked last, say), the focus would let them work what the cover hides.
    focusBefore = getCurrentlyFocusedComponent();

    if (isShowing())
        grabKeyboardFocus();
}
