#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A component shown modally inside the editor rather than in a window of the operating
    system: it sits on a transparent covering window that spans the nearest
    ModalComponent::Desktop and swallows the mouse, so nothing behind it can be used.
    While shown it holds the keyboard focus, which Tab moves only among what lies on the
    cover, so no key reaches what is behind it either.
    Its owner creates it hidden, shows it with show() as often as needed, and deletes it.
*/
class ModalComponent  : public juce::Component
{
public:
    /** The component that hosts modal components (the editor). */
    class Desktop
    {
    public:
        virtual ~Desktop() = default;

        /** The area in which modal components are centred; only its size counts. */
        virtual juce::Rectangle<int> getModalArea() = 0;
    };

    /** Where updateBounds places the component. */
    enum PositionMode
    {
        centred    = 0,
        atPosition = 1
    };

    ModalComponent();
    ~ModalComponent() override;

    /** Attaches to the nearest Desktop on first use; when the cover is not already up,
        raises it and centres the component; then makes the component visible, and gives
        it the keyboard focus when it raised the cover.
        Without a Desktop the component simply becomes visible where it stands.
    */
    void show();

    /** As show(), but places the component at the position, given in the coordinates of
        relativeTo (or in the cover's when null).
    */
    void showAt (juce::uint32 mode, juce::Point<int> position, juce::Component* relativeTo);

    /** Lowers the cover when it is up, then hides the component; a focus held inside goes
        back where it was before show().
    */
    void close();

    /** True while the component is shown over its raised cover. */
    bool isShownOverDesktop() const;

    /** The cover's local bounds: the whole area a modal component may use. */
    juce::Rectangle<int> getCoveredArea() const;

    /** The Desktop that the component's cover sits in, or null before it is attached. */
    Desktop* getDesktop() const;

    /** When the keyboard focus has landed in the desktop behind the topmost component shown
        over it, that component takes it. For what lies behind the covers to call whenever
        the focus enters it: a window that gets the focus back gives it to the component
        that had it last, which may lie behind a cover raised since.
    */
    static void keepFocusInFront (juce::Component& desktop);

    /** True to wash the editor behind the cover with a white veil. */
    virtual bool dimsBackground();

    /** Places the component in its cover according to the position mode. */
    virtual void updateBounds();

    void parentHierarchyChanged() override;
    void resized() override;

private:
    class CoveringWindow  : public juce::Component
    {
    public:
        explicit CoveringWindow (ModalComponent&);

        void parentHierarchyChanged() override;
        void parentSizeChanged() override;
        void resized() override;
        void paint (juce::Graphics&) override;

        ModalComponent& owner;
    };

    void attachToDesktop();
    void raiseCover();
    void takeFocus();

    juce::uint32 positionMode = centred;
    juce::Point<int> position;
    CoveringWindow cover { *this };
    juce::Component::SafePointer<juce::Component> focusBefore;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModalComponent)
};
