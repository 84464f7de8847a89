#pragma once

#include "ColumnBrowser.h"
#include "TextInput.h"

/**
    A column of a ColumnBrowser showing a list of items: selecting an item (by mouse or
    arrow keys) opens its content as the next column, a double click renames it in
    place, and selected rows can be dragged onto another list column of the same
    browser. Folders open when dragged items hover over them for half a second.

    The items and what opening, renaming and dropping do are left to subclasses.
*/
class ColumnBrowser::ListColumn  : public ColumnBrowser::Column,
                                   public juce::DragAndDropTarget,
                                   private juce::Timer
{
public:
    class List;
    class ItemComponent;

    enum ColourIds
    {
        listColourId         = 0x0f003101,
        selectedItemColourId = 0x0f003105
    };

    enum DropMode
    {
        noDrop = 0,
        dropIntoColumnMode,
        dropOntoItemMode,
        dropBeforeItemMode,
        dropAfterItemMode
    };

    explicit ListColumn (ColumnBrowser& owner);
    ~ListColumn() override;

    virtual int getNumItems()                                           { return 0; }
    virtual juce::String getItemText (int /*item*/)                     { return {}; }
    /** Drawn at the row's top-left corner. */
    virtual juce::Image getItemIcon (int /*item*/, bool /*selected*/)   { return {}; }
    virtual bool isItemFolder (int /*item*/)                            { return false; }
    virtual bool canDragItems (const juce::SparseSet<int>& /*rows*/)    { return true; }
    virtual bool canRenameItem (int /*item*/)                           { return true; }
    /** The column showing the item's content, or null for none. */
    virtual Column* createColumnForItem (int /*item*/)                  { return nullptr; }
    virtual Column* createCopy()                                        { return nullptr; }
    virtual void itemOpened (int /*item*/)                              {}
    virtual void renameItem (int /*item*/, const juce::String& /*newText*/) {}
    virtual void selectionCleared()                                     {}

    virtual bool canDropIntoColumn (ListColumn& /*source*/)             { return true; }
    virtual bool canDropOntoItem (ListColumn& /*source*/, int /*row*/)  { return true; }
    virtual bool canDropBeforeItem (ListColumn& /*source*/, int /*row*/) { return true; }
    virtual bool canDropAfterItem (ListColumn& /*source*/, int /*row*/) { return true; }
    virtual void dropIntoColumn (ListColumn& /*source*/)                {}
    virtual void dropOntoItem (ListColumn& /*source*/, int /*row*/)     {}
    virtual void dropBeforeItem (ListColumn& /*source*/, int /*row*/)   {}
    virtual void dropAfterItem (ListColumn& /*source*/, int /*row*/)    {}

    /** Shows the item's content as the next column and makes this column the active one.
        Items outside the list open nothing.
    */
    void openItem (int item);

    /** Edits the item's name in place when its row is shown and it may be renamed. */
    void startRenaming (int item);

    List& getList() noexcept                                { return *list; }
    /** The rows selected when the current drag started. */
    const juce::SparseSet<int>& getDraggedRows() const noexcept { return draggedRows; }
    int getDropRow() const noexcept                         { return dropRow; }
    int getDropMode() const noexcept                        { return dropMode; }

    //==============================================================================
    void refreshContent() override;
    void setActive (bool shouldBeActive) override;

    bool isInterestedInDragSource (const SourceDetails&) override;
    void itemDragEnter (const SourceDetails&) override;
    void itemDragMove (const SourceDetails&) override;
    void itemDragExit (const SourceDetails&) override;
    void itemDropped (const SourceDetails&) override;
    bool shouldDrawDragImageWhenOver() override             { return true; }

    /** @internal */
    void resized() override;
    /** @internal */
    void paint (juce::Graphics&) override;

private:
    friend class List;

    void timerCallback() override;
    void updateDropTarget (const SourceDetails&);
    ListColumn* getSourceColumn (const SourceDetails&);
    void endDrop();

    std::unique_ptr<List> list;
    juce::SparseSet<int> draggedRows;
    int dropRow = -1;
    int dropMode = noDrop;
    int rowToOpen = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ListColumn)
};

//==============================================================================
/** The list box of a ListColumn, its own model. */
class ColumnBrowser::ListColumn::List  : public juce::ListBox,
                                         public juce::ListBoxModel
{
public:
    explicit List (ListColumn& owner);

    ListColumn& getColumn() const noexcept                  { return column; }

    int getNumRows() override;
    void paintListBoxItem (int, juce::Graphics&, int, int, bool) override {}
    juce::Component* refreshComponentForRow (int row, bool selected, juce::Component* existing) override;
    void listBoxItemClicked (int row, const juce::MouseEvent&) override;
    void listBoxItemDoubleClicked (int row, const juce::MouseEvent&) override;
    void backgroundClicked (const juce::MouseEvent&) override;
    void selectedRowsChanged (int lastRowSelected) override;
    juce::var getDragSourceDescription (const juce::SparseSet<int>& rows) override;
    juce::String getTooltipForRow (int) override            { return {}; }

    /** @internal */
    bool keyPressed (const juce::KeyPress&) override;
    /** @internal */
    bool keyStateChanged (bool isKeyDown) override;
    /** @internal */
    void lookAndFeelChanged() override;

private:
    ListColumn& column;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (List)
};

//==============================================================================
/** One row of a ListColumn: icon, name, folder arrow and selection. */
class ColumnBrowser::ListColumn::ItemComponent  : public juce::Component,
                                                  public ModalTextEditor::ModalListener
{
public:
    ItemComponent (ListColumn& owner, int item, bool selected);

    /** Shows another item, or the same one selected or not. */
    void update (int item, bool selected);

    int getItem() const noexcept                            { return item; }
    bool isSelected() const noexcept                        { return selected; }
    bool isFolder() const noexcept                          { return folder; }
    TextInput& getNameField() noexcept                      { return nameField; }

    void modalTextCommitted (ModalTextEditor&) override;

    /** @internal */
    void paint (juce::Graphics&) override;
    /** @internal */
    void resized() override;

private:
    int getScrollBarAllowance() const;

    ListColumn& column;
    juce::Image icon, selectedIcon;
    TextInput nameField;
    bool folder = false;
    bool selected = false;
    int item = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ItemComponent)
};
