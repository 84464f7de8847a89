#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A Miller-column browser: a hierarchy shown as a row of columns, one per level.
    Opening an item shows its content as the next column and closes the columns that
    no longer lie on the opened path. Columns are resized by a grip at their right
    edge and scroll horizontally; one column at a time is active.

    What a column holds and how its parent is found are left to subclasses.
*/
class ColumnBrowser  : public juce::Viewport,
                       public juce::DragAndDropContainer
{
public:
    class ListColumn;

    enum ColourIds
    {
        backgroundColourId = 0x0f003100,
        columnColourId     = 0x0f003101,
        outlineColourId    = 0x0f003102
    };

    //==============================================================================
    /** One level of the hierarchy, owned by the browser once opened. */
    class Column  : public juce::Component
    {
    public:
        explicit Column (ColumnBrowser& owner);
        ~Column() override;

        /** True when the column is one of this column's ancestors. */
        virtual bool isDescendantOf (Column* column) = 0;
        /** True when the column is this column's direct parent. */
        virtual bool isChildOf (Column* column) = 0;
        /** A new column for the parent level, or null at the top. */
        virtual Column* createParentColumn()            { return nullptr; }
        virtual bool isResizable()                      { return true; }
        virtual int getDefaultWidth()                   { return 200; }
        virtual int getMinimumWidth()                   { return 100; }
        virtual void refreshContent()                   {}
        virtual void setActive (bool shouldBeActive)    { active = shouldBeActive; }

        bool isActive() const noexcept                  { return active; }
        ColumnBrowser& getBrowser() const noexcept      { return browser; }
        Column* getLeftNeighbour() const noexcept       { return leftNeighbour; }
        Column* getRightNeighbour() const noexcept      { return rightNeighbour; }

        /** The width inside the frame, left of the grip. */
        int getInnerWidth();

        /** @internal */
        void paint (juce::Graphics&) override;
        /** @internal */
        void mouseDown (const juce::MouseEvent&) override;
        /** @internal */
        void mouseDrag (const juce::MouseEvent&) override;
        /** @internal */
        void mouseUp (const juce::MouseEvent&) override;

    protected:
        bool active = false;

    private:
        friend class ColumnBrowser;

        bool resizing = false;
        int widthAtResizeStart = 0;
        Column* leftNeighbour = nullptr;
        Column* rightNeighbour = nullptr;
        ColumnBrowser& browser;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Column)
    };

    //==============================================================================
    /** The viewed component holding the columns, which the browser owns. */
    class ViewportComponent  : public juce::Component
    {
    public:
        ViewportComponent();
        ~ViewportComponent() override;

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ViewportComponent)
    };

    //==============================================================================
    ColumnBrowser();
    ~ColumnBrowser() override;

    /** A new column for the top level. */
    virtual Column* makeRootColumn() = 0;
    /** Called after every updateColumns(). */
    virtual void columnsUpdated()                       {}

    /** Starts again from a new root column, which becomes the active one. */
    void refresh();
    void clearColumns();

    /** Shows a column (owned from then on) right of its ancestors: closes the columns not
        on its path, builds missing ancestors, and gives the first column of the opened
        chain the width of the place it took. Null does nothing.
    */
    void openColumnAfter (Column* newColumn);

    /** Adds a column at the index (-1 appends) with its default width. */
    void insertColumn (Column* column, int index);

    /** Refreshes every column's content, left to right. */
    void updateColumns();
    void setActiveColumn (Column* column);
    /** Scrolls just enough to show the whole column. */
    void ensureColumnVisible (Column* column);
    /** Places the columns side by side and sizes the content to them. */
    void updateLayout();
    void updateNeighbours();

    int getNumColumns() const noexcept                  { return columns.size(); }
    Column* getColumn (int index) const noexcept        { return columns[index]; }
    int getTotalWidth() const noexcept                  { return totalWidth; }
    ViewportComponent& getContent() noexcept            { return *content; }

    /** The column whose items are being dragged. */
    void setDragSourceColumn (Column* column)           { dragSourceColumn = column; }
    Column* getDragSourceColumn() const noexcept        { return dragSourceColumn; }

    /** Deletes a drag-source column that was closed while its items were dragged. */
    void deleteDeferredColumn()                         { deferredColumn.reset(); }

    //==============================================================================
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void paint (juce::Graphics&) override;
    /** @internal */
    void resized() override;
    /** @internal */
    void visibleAreaChanged (const juce::Rectangle<int>&) override;
    /** @internal */
    void viewedComponentChanged (juce::Component*) override {}

private:
    void closeColumn (Column* column);
    int getContentHeight();

    juce::OwnedArray<Column> columns;
    std::unique_ptr<ViewportComponent> content;
    std::unique_ptr<Column> deferredColumn;
    Column* dragSourceColumn = nullptr;
    int totalWidth = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ColumnBrowser)
};
