#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A strip that lines up its child components side by side (or one above the other)
    and takes the size they need.

    The children are not owned. The row arranges itself again whenever a child is added
    or removed or a child's bounds change; after changing the public fields, the owner
    calls arrangeComponents().
*/
class ComponentRow  : public juce::Component,
                      private juce::ComponentListener
{
public:
    ComponentRow();
    ~ComponentRow() override;

    /** Sizes the row to its children, then places them one after the other, keeping the
        row's position and the children's sizes.
    */
    void arrangeComponents();

    /** false: children left to right; true: top to bottom. */
    bool vertical = false;

    /** Placement across the stacking direction: 0 start, 1 centre, 2 end; any other
        value puts a child at the previous child's cross position.
    */
    int alignment = 0;

    /** Pixels between neighbouring children. */
    int gap = 0;

    //==============================================================================
    /** @internal */
    void childrenChanged() override;

private:
    void componentMovedOrResized (juce::Component&, bool wasMoved, bool wasResized) override;
    void componentParentHierarchyChanged (juce::Component&) override;
    void updateWatchedChildren();

    juce::Array<juce::Component::SafePointer<juce::Component>> watchedChildren;
    bool arranging = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ComponentRow)
};
