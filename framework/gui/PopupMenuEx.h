#pragma once

#include "ModalComponent.h"

#include <memory>

/**
    The editor's own pop-up menu, drawn inside the editor over a modal cover: a tree of
    items with ids, ticks and sub-menus. Sub-menus open after a short hover; a press on an
    item chooses it and a press outside dismisses the menu, and either is reported to the
    listeners asynchronously, after the menu has closed.

    Menus are values: copies and assignments copy the whole tree (not the listeners nor
    where the menu was shown).
*/
class PopupMenuEx  : private juce::AsyncUpdater
{
public:
    /** One row of a menu; id -1 rows open a sub-menu. */
    struct Item
    {
        PopupMenuEx* owner = nullptr;
        int id = 0;
        juce::String text;
        /** What a combo box shows for the chosen item. */
        juce::String secondText;
        bool ticked = false;
        bool enabled = true;
        /** Derived: the sub-menu holds, at any depth, a ticked / an enabled item. */
        bool subMenuHasTicked = false;
        bool subMenuHasEnabled = false;
        std::unique_ptr<PopupMenuEx> subMenu;
    };

    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** An item was chosen; ticked is its tick at the moment of the choice. */
        virtual void itemChosen (PopupMenuEx* menu, int id, bool ticked) = 0;
        virtual void menuDismissed (PopupMenuEx*) {}
    };

    /** Where the first level opens against the target area. */
    enum Placement
    {
        besideTarget = 2,
        belowTarget  = 16
    };

    class PopupMenuComponent;
    class Window;

    PopupMenuEx();
    PopupMenuEx (const PopupMenuEx&);
    /** Replaces the items by copies; an open menu closes its sub-menus first and stays open. */
    PopupMenuEx& operator= (const PopupMenuEx&);
    ~PopupMenuEx() override;

    void addItem (int id, const juce::String& text);
    /** An empty second text means the text. */
    void addItem (int id, const juce::String& text, const juce::String& secondText);
    /** Appends an id -1 row holding a copy of the menu. */
    void addSubMenu (const juce::String& text, const PopupMenuEx& menu);

    void addListener (Listener*);
    void removeListener (Listener*);

    int getNumItems() const noexcept                { return items.size(); }
    Item* getItem (int index) const noexcept        { return items[index]; }

    /** The first plain item with that id, depth first; null when there is none. */
    Item* findItem (int id) const;

    /** Ticks or unticks every plain item with the id, at any depth; with untickOthers
        every other plain item is unticked.
    */
    void setItemTicked (int id, bool ticked, bool untickOthers);

    /** Opens the menu over the parent against the target area (in the parent's
        coordinates; an empty one means the whole parent).
    */
    void show (juce::Component* parent, juce::Rectangle<int> targetArea, int placement = belowTarget);

    /** Closes the menu without a report. */
    void close();

    bool isOpen() const noexcept                    { return component != nullptr; }
    PopupMenuComponent* getComponent() const noexcept { return component.get(); }
    int getLevel() const noexcept                   { return level; }

    /** The target area in the open component's coordinates; empty when not shown. */
    juce::Rectangle<int> getTargetArea() const;

    /** true: ticks are dots, false: squares. */
    bool tickAsDot = true;
    /** true: the tick at the right edge, text from x 6; false: tick at x 7, text at x 22. */
    bool tickOnRight = true;
    juce::String name;

private:
    void copyItemsFrom (const PopupMenuEx&);
    void updateDerived (int newLevel);
    bool updateHasEnabled();
    bool updateHasTicked();
    void setTicks (int id, bool ticked, bool untickOthers);
    void choose (const Item&);
    void dismiss();
    void handleAsyncUpdate() override;

    juce::Array<Listener*> listeners;
    int level = 0;
    juce::OwnedArray<Item> items;
    std::unique_ptr<PopupMenuComponent> component;
    juce::Component::SafePointer<juce::Component> parent;
    int placement = belowTarget;
    juce::Rectangle<int> targetArea;
    bool chosenPending = false;
    int chosenId = 0;
    bool chosenTicked = false;
    bool dismissPending = false;

    JUCE_DECLARE_WEAK_REFERENCEABLE (PopupMenuEx)
    JUCE_LEAK_DETECTOR (PopupMenuEx)
};

//==============================================================================
/** The overlay that hosts the open levels of a menu; a press on it dismisses the menu. */
class PopupMenuEx::PopupMenuComponent  : public ModalComponent,
                                         public juce::Timer
{
public:
    explicit PopupMenuComponent (PopupMenuEx& owner);
    ~PopupMenuComponent() override;

    int getNumWindows() const noexcept              { return windows.size(); }
    Window* getWindow (int index) const noexcept    { return windows[index]; }

    /** Closes every level but the first and forgets what the mouse pointed at, before
        the items they show go away.
    */
    void closeSubMenus();

    void updateBounds() override;
    void visibilityChanged() override;
    void mouseDown (const juce::MouseEvent&) override;
    void timerCallback() override;

private:
    friend class Window;

    void openMenu (PopupMenuEx* menu);
    void openWindow (PopupMenuEx& menu);
    bool closeTopWindow();

    juce::OwnedArray<Window> windows;
    PopupMenuEx& owner;
    PopupMenuEx* hoverMenu = nullptr;
    PopupMenuEx* topMenu = nullptr;
    juce::Rectangle<int> openArea;
    int openPlacement = belowTarget;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PopupMenuComponent)
};

//==============================================================================
/** One open level of a menu. */
class PopupMenuEx::Window  : public juce::Component
{
public:
    Window (PopupMenuComponent& host, PopupMenuEx& menu);

    PopupMenuEx& getMenu() const noexcept           { return menu; }
    const juce::Font& getFont() const noexcept      { return font; }
    Item* getHoverItem() const noexcept             { return hoverItem; }
    Item* getLastItem() const noexcept              { return lastItem; }
    void forgetItems();

    /** Takes the font from the look-and-feel and sizes the window to the items. */
    void lookAndFeelChanged() override;
    void paint (juce::Graphics&) override;
    void mouseMove (const juce::MouseEvent&) override;
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;

private:
    int rowAt (const juce::MouseEvent&) const;
    void hover (int row, bool highlight);

    PopupMenuComponent& host;
    PopupMenuEx& menu;
    juce::Font font;
    Item* hoverItem = nullptr;
    Item* lastItem = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Window)
};
