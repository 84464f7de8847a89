#include "ComponentRow.h"

ComponentRow::ComponentRow() = default;

ComponentRow::~ComponentRow()
{
    for (auto& child : watchedChildren)
        if (child != nullptr)
            child->removeComponentListener (this);
}

void ComponentRow::arrangeComponents()
{
    // Placing the children moves them, which would call back here.
    const juce::ScopedValueSetter<bool> guard (arranging, true);

    const auto& children = getChildren();
    const auto numChildren = children.size();

    if (numChildren == 0)
    {
        setSize (0, 0);
        return;
    }

    int length = gap * (numChildren - 1), breadth = 0;

    for (auto* child : children)
    {
        length += vertical ? child->getHeight() : child->getWidth();
        breadth = juce::jmax (breadth, vertical ? child->getWidth() : child->getHeight());
    }

    if (vertical)
        setSize (breadth, length);
    else
        setSize (length, breadth);

    int position = 0, across = 0;

    for (auto* child : children)
    {
        const auto childBreadth = vertical ? child->getWidth() : child->getHeight();

        if (alignment == 0)       across = 0;
        else if (alignment == 1)  across = (breadth - childBreadth) / 2;
        else if (alignment == 2)  across = breadth - childBreadth;

        if (vertical)
            child->setTopLeftPosition (across, position);
        else
            child->setTopLeftPosition (position, across);

        position += (vertical ? child->getHeight() : child->getWidth()) + gap;
    }
}

void ComponentRow::childrenChanged()
{
    updateWatchedChildren();

    if (! arranging)
        arrangeComponents();
}

void ComponentRow::componentMovedOrResized (juce::Component& child, bool, bool)
{
    if (! arranging && child.getParentComponent() == this)
        arrangeComponents();
}

void ComponentRow::componentParentHierarchyChanged (juce::Component& child)
{
    // JUCE reports a removed child to its parent only while the parent is showing, so a
    // row being built off screen learns of it from the child.
    if (child.getParentComponent() != this)
        childrenChanged();
}

void ComponentRow::updateWatchedChildren()
{
    for (auto& child : watchedChildren)
        if (child != nullptr && child->getParentComponent() != this)
            child->removeComponentListener (this);

    watchedChildren.clear();

    for (auto* child : getChildren())
    {
        child->addComponentListener (this);
        watchedChildren.add (child);
    }
}
