#include "ColumnBrowser.h"

ColumnBrowser::Column::Column (ColumnBrowser& owner)
    : browser (owner)
{
}

ColumnBrowser::Column::~Column()
{
    // A drag may outlive the column it started from.
    if (browser.dragSourceColumn == this)
        browser.dragSourceColumn = nullptr;
}

int ColumnBrowser::Column::getInnerWidth()
{
    return (rightNeighbour != nullptr || isResizable()) ? getWidth() - 7 : getWidth();
}

void ColumnBrowser::Column::paint (juce::Graphics& g)
{
    const auto box = juce::Rectangle<int> (0, 0, getInnerWidth(), getHeight()).reduced (1).toFloat();
    const auto outline = findColour (outlineColourId);

    g.setColour (findColour (columnColourId));
    g.fillRoundedRectangle (box, 6.0f);
    g.setColour (outline);
    g.drawRoundedRectangle (box, 6.0f, 1.0f);

    if (isResizable())
    {
        const auto top = (getHeight() - 13) / 2;

        for (auto x : { getWidth() - 6, getWidth() - 4, getWidth() - 2 })
            g.fillRect (x, top, 1, 13);
    }
}

void ColumnBrowser::Column::mouseDown (const juce::MouseEvent& e)
{
    if (isResizable() && ! resizing && e.x >= getInnerWidth())
    {
        resizing = true;
        widthAtResizeStart = getWidth();
        repaint();
    }
}

void ColumnBrowser::Column::mouseDrag (const juce::MouseEvent& e)
{
    if (! resizing)
        return;

    setSize (juce::jmax (getMinimumWidth(), widthAtResizeStart + e.getDistanceFromDragStartX()), getHeight());
    browser.updateLayout();
}

void ColumnBrowser::Column::mouseUp (const juce::MouseEvent&)
{
    if (resizing)
    {
        resizing = false;
        repaint();
    }
}

//==============================================================================
ColumnBrowser::ViewportComponent::ViewportComponent()
{
    setSize (0, 0);
}

ColumnBrowser::ViewportComponent::~ViewportComponent()
{
    // The browser owns the columns.
    removeAllChildren();
}

//==============================================================================
ColumnBrowser::ColumnBrowser()
    : content (std::make_unique<ViewportComponent>())
{
    setViewedComponent (content.get(), false);
    setScrollBarsShown (false, true);
    getHorizontalScrollBar().setAutoHide (false);
    setColour (juce::TextEditor::highlightColourId, juce::Colour (0xffd3d3d3));
    lookAndFeelChanged();
}

ColumnBrowser::~ColumnBrowser()
{
    deferredColumn.reset();
    setViewedComponent (nullptr, false);
    content.reset();
    columns.clear();
}

void ColumnBrowser::refresh()
{
    clearColumns();
    openColumnAfter (makeRootColumn());
    setActiveColumn (columns.getLast());
}

void ColumnBrowser::clearColumns()
{
    for (int i = columns.size(); --i >= 0;)
        columns.remove (i);

    updateLayout();
    updateNeighbours();
    updateColumns();
}

void ColumnBrowser::openColumnAfter (Column* newColumn)
{
    if (newColumn == nullptr)
        return;

    const auto wasOpen = columns.contains (newColumn);
    auto closedWidth = -1;

    while (auto* last = columns.getLast())
    {
        if (last == newColumn || newColumn->isDescendantOf (last))
            break;

        closedWidth = last->getWidth();
        closeColumn (last);
    }

    if (! wasOpen)
        insertColumn (newColumn, -1);

    auto* leftmost = newColumn;
    auto builtAncestor = false;

    for (auto i = columns.indexOf (newColumn);;)
    {
        if (i > 0 && leftmost->isChildOf (columns.getUnchecked (i - 1)))
            break;

        auto* parent = leftmost->createParentColumn();

        if (parent == nullptr)
            break;

        insertColumn (parent, i);
        leftmost = parent;
        builtAncestor = true;
    }

    // A column that takes a closed column's place keeps the width the user gave that
    // place; a column that was already open keeps its own.
    if (closedWidth >= 0 && (builtAncestor || ! wasOpen))
        leftmost->setSize (juce::jmax (leftmost->getMinimumWidth(), closedWidth), leftmost->getHeight());

    updateNeighbours();
    updateLayout();
    updateColumns();
}

void ColumnBrowser::closeColumn (Column* column)
{
    column->leftNeighbour = nullptr;
    column->rightNeighbour = nullptr;

    // Deleting the column whose rows are being dragged would end the drag.
    if (column == dragSourceColumn && isDragAndDropActive())
    {
        column->setVisible (false);
        columns.removeObject (column, false);
        deferredColumn.reset (column);
        return;
    }

    columns.removeObject (column, true);
}

void ColumnBrowser::insertColumn (Column* column, int index)
{
    if (column == nullptr)
        return;

    column->setSize (column->getDefaultWidth(), getContentHeight());
    content->addAndMakeVisible (column);
    columns.insert (index, column);
}

void ColumnBrowser::updateColumns()
{
    for (auto* column : columns)
        column->refreshContent();

    columnsUpdated();
}

void ColumnBrowser::setActiveColumn (Column* column)
{
    for (auto* c : columns)
        if (c != column)
            c->setActive (false);

    if (column != nullptr)
        column->setActive (true);
}

void ColumnBrowser::ensureColumnVisible (Column* column)
{
    if (! columns.contains (column))
        return;

    const auto view = getViewArea();

    if (column->getX() < view.getX())
        setViewPosition (column->getX(), 0);
    else if (column->getRight() > view.getRight())
        setViewPosition (column->getRight() - getWidth(), 0);
}

int ColumnBrowser::getContentHeight()
{
    const auto& bar = getHorizontalScrollBar();
    return getHeight() - (bar.isVisible() ? bar.getHeight() + 3 : 0);
}

void ColumnBrowser::updateLayout()
{
    auto x = 0;

    for (auto* column : columns)
    {
        column->setTopLeftPosition (x, 0);
        x += column->getWidth();
    }

    totalWidth = x;

    // While columns close, the content stays wide enough to keep the view where it is.
    const auto viewX = getViewPositionX();
    content->setSize (juce::jmax (getWidth(), totalWidth + juce::jmax (0, viewX + getWidth() - totalWidth)),
                      getContentHeight());
    repaint();
}

void ColumnBrowser::updateNeighbours()
{
    for (int i = 0; i < columns.size(); ++i)
    {
        auto* column = columns.getUnchecked (i);
        auto* left = i > 0 ? columns.getUnchecked (i - 1) : nullptr;
        auto* right = columns[i + 1];

        if (column->leftNeighbour != left || column->rightNeighbour != right)
        {
            column->leftNeighbour = left;
            column->rightNeighbour = right;
            column->resized();
            column->repaint();
        }
    }
}

//==============================================================================
void ColumnBrowser::lookAndFeelChanged()
{
    setScrollBarThickness (getLookAndFeel().getDefaultScrollbarWidth());
}

void ColumnBrowser::paint (juce::Graphics& g)
{
    g.fillAll (findColour (backgroundColourId));

    const auto viewX = getViewPositionX();

    if (totalWidth - viewX < getWidth())
    {
        const auto box = juce::Rectangle<int> (totalWidth - viewX, 0, viewX - totalWidth + getWidth(), getContentHeight())
                             .reduced (1).toFloat();
        g.setColour (findColour (columnColourId));
        g.fillRoundedRectangle (box, 6.0f);
        g.setColour (findColour (outlineColourId));
        g.drawRoundedRectangle (box, 6.0f, 1.0f);
    }
}

void ColumnBrowser::resized()
{
    juce::Viewport::resized();
    content->setSize (content->getWidth(), getContentHeight());

    for (auto* column : columns)
        column->setSize (column->getWidth(), content->getHeight());

    repaint();
}

void ColumnBrowser::visibleAreaChanged (const juce::Rectangle<int>&)
{
    updateLayout();
}
