#include "ColumnBrowserListColumn.h"

#include "DefaultLookAndFeel.h"

namespace
{
    const juce::String dragDescription ("ListColumn");
    const juce::Colour dropMarkColour (0xffff0000);
    constexpr int listRowHeight = 20;
}

ColumnBrowser::ListColumn::ListColumn (ColumnBrowser& owner)
    : Column (owner),
      list (std::make_unique<List> (*this))
{
    list->setTopLeftPosition (4, 4);
    addAndMakeVisible (*list);
}

ColumnBrowser::ListColumn::~ListColumn()
{
    stopTimer();
}

void ColumnBrowser::ListColumn::openItem (int item)
{
    // A background click deselects everything and reports no row.
    if (item < 0 || item >= getNumItems())
        return;

    auto& browser = getBrowser();
    browser.openColumnAfter (createColumnForItem (item));
    browser.ensureColumnVisible (this);
    browser.ensureColumnVisible (browser.getColumn (browser.getNumColumns() - 1));
    browser.setActiveColumn (this);
    itemOpened (item);
}

void ColumnBrowser::ListColumn::startRenaming (int item)
{
    auto* row = dynamic_cast<ItemComponent*> (list->getComponentForRowNumber (item));

    if (row == nullptr || ! canRenameItem (item))
        return;

    auto& field = row->getNameField();
    field.setColour (juce::TextEditor::textColourId, juce::Colours::black);
    field.setColour (juce::TextEditor::highlightedTextColourId, juce::Colours::black);
    field.startEditing();
}

//==============================================================================
void ColumnBrowser::ListColumn::refreshContent()
{
    list->updateContent();
    list->repaint();
}

void ColumnBrowser::ListColumn::setActive (bool shouldBeActive)
{
    active = shouldBeActive;

    if (active)
        list->grabKeyboardFocus();
}

ColumnBrowser::ListColumn* ColumnBrowser::ListColumn::getSourceColumn (const SourceDetails& details)
{
    if (auto* sourceList = dynamic_cast<List*> (details.sourceComponent.get()))
        if (&sourceList->getColumn().getBrowser() == &getBrowser())
            return &sourceList->getColumn();

    return nullptr;
}

bool ColumnBrowser::ListColumn::isInterestedInDragSource (const SourceDetails& details)
{
    return getSourceColumn (details) != nullptr && details.description.toString() == dragDescription
             && details.description.isString();
}

void ColumnBrowser::ListColumn::itemDragEnter (const SourceDetails& details)
{
    updateDropTarget (details);

    // Keeps the views scrolling while the mouse rests near an edge.
    juce::Desktop::getInstance().beginDragAutoRepeat (25);
}

void ColumnBrowser::ListColumn::itemDragMove (const SourceDetails& details)
{
    updateDropTarget (details);
}

void ColumnBrowser::ListColumn::updateDropTarget (const SourceDetails& details)
{
    auto* source = getSourceColumn (details);

    if (source == nullptr)
        return;

    const auto position = list->getLocalPoint (this, details.localPosition);
    auto newRow = -1;
    auto newMode = (int) noDrop;

    if (list->getLocalBounds().contains (position))
    {
        newRow = list->getRowContainingPosition (position.x, position.y);
        const auto height = list->getRowHeight();
        auto wholeColumn = newRow < 0;

        if (newRow >= 0)
        {
            const auto offset = position.y - list->getRowPosition (newRow, true).getY();

            if (canDropOntoItem (*source, newRow))
            {
                if (offset < 5 && canDropBeforeItem (*source, newRow))
                    newMode = dropBeforeItemMode;
                else if (offset >= height - 5 && canDropAfterItem (*source, newRow))
                    newMode = dropAfterItemMode;
                else
                    newMode = dropOntoItemMode;
            }
            else if (offset < height / 2 && canDropBeforeItem (*source, newRow))
            {
                newMode = dropBeforeItemMode;
            }
            else if (canDropAfterItem (*source, newRow))
            {
                newMode = dropAfterItemMode;
            }
            else
            {
                wholeColumn = true;
            }
        }

        if (wholeColumn)
            newMode = canDropIntoColumn (*source) ? dropIntoColumnMode : noDrop;

        if (auto* viewport = list->getViewport())
        {
            const auto inViewport = viewport->getLocalPoint (list.get(), position);
            viewport->autoScroll (inViewport.x, inViewport.y, height / 2, height);
        }
    }

    if (newMode != dropMode || newRow != dropRow)
    {
        dropMode = newMode;
        dropRow = newRow;

        // Only hovering onto one item for the whole half second opens it.
        if (dropMode == dropOntoItemMode)
        {
            rowToOpen = dropRow;
            startTimer (500);
        }
        else
        {
            stopTimer();
        }

        repaint();
        list->repaint();
    }

    auto& browser = getBrowser();
    browser.autoScroll (browser.getLocalPoint (this, details.localPosition).x, 0, 200, 10);
}

void ColumnBrowser::ListColumn::itemDragExit (const SourceDetails&)
{
    stopTimer();
    dropRow = -1;
    dropMode = noDrop;
    repaint();
    list->repaint();
}

void ColumnBrowser::ListColumn::itemDropped (const SourceDetails& details)
{
    if (auto* source = getSourceColumn (details))
    {
        switch (dropMode)
        {
            case dropIntoColumnMode:  dropIntoColumn (*source);         break;
            case dropOntoItemMode:    dropOntoItem (*source, dropRow);   break;
            case dropBeforeItemMode:  dropBeforeItem (*source, dropRow); break;
            case dropAfterItemMode:   dropAfterItem (*source, dropRow);  break;
            default: break;
        }
    }

    itemDragExit (details);

    auto& browser = getBrowser();
    browser.deleteDeferredColumn();
    browser.updateColumns();
}

void ColumnBrowser::ListColumn::timerCallback()
{
    stopTimer();

    const auto row = rowToOpen;
    const auto alreadyOpen = list->getNumSelectedRows() == 1 && list->isRowSelected (row);

    // Selecting another row opens it through the selection change.
    list->selectRow (row);

    if (alreadyOpen)
        openItem (row);
}

//==============================================================================
void ColumnBrowser::ListColumn::resized()
{
    const auto full = getRightNeighbour() == nullptr && ! isResizable();
    list->setSize (getWidth() - (full ? 8 : 15), getHeight() - 8);
}

void ColumnBrowser::ListColumn::paint (juce::Graphics& g)
{
    Column::paint (g);

    if (dropMode == dropIntoColumnMode)
    {
        g.setColour (dropMarkColour);
        g.drawRoundedRectangle (juce::Rectangle<int> (0, 0, getInnerWidth(), getHeight()).toFloat(), 4.0f, 1.0f);
    }
}

//==============================================================================
ColumnBrowser::ListColumn::List::List (ListColumn& owner)
    : column (owner)
{
    setModel (this);
    setMultipleSelectionEnabled (true);
    setRowHeight (listRowHeight);
    getViewport()->setSingleStepSizes (listRowHeight, listRowHeight);
    lookAndFeelChanged();
}

int ColumnBrowser::ListColumn::List::getNumRows()
{
    return column.getNumItems();
}

juce::Component* ColumnBrowser::ListColumn::List::refreshComponentForRow (int row, bool selected, juce::Component* existing)
{
    if (! juce::isPositiveAndBelow (row, column.getNumItems()))
    {
        delete existing;
        return nullptr;
    }

    if (auto* item = dynamic_cast<ItemComponent*> (existing))
    {
        item->update (row, selected);
        return item;
    }

    delete existing;
    return new ItemComponent (column, row, selected);
}

void ColumnBrowser::ListColumn::List::listBoxItemClicked (int row, const juce::MouseEvent&)
{
    // In the active column the selection change opens the item.
    if (! column.isActive())
        column.openItem (row);
}

void ColumnBrowser::ListColumn::List::listBoxItemDoubleClicked (int row, const juce::MouseEvent&)
{
    if (getNumSelectedRows() == 1 && isRowSelected (row))
        column.startRenaming (row);
}

void ColumnBrowser::ListColumn::List::backgroundClicked (const juce::MouseEvent&)
{
    column.getBrowser().openColumnAfter (&column);
    deselectAllRows();
    column.selectionCleared();
    column.refreshContent();
}

void ColumnBrowser::ListColumn::List::selectedRowsChanged (int lastRowSelected)
{
    column.openItem (lastRowSelected);
}

juce::var ColumnBrowser::ListColumn::List::getDragSourceDescription (const juce::SparseSet<int>& rows)
{
    if (! column.canDragItems (rows))
        return {};

    column.getBrowser().setDragSourceColumn (&column);
    column.draggedRows = rows;
    return dragDescription;
}

bool ColumnBrowser::ListColumn::List::keyPressed (const juce::KeyPress& key)
{
    if (key.isKeyCode (juce::KeyPress::leftKey))
    {
        // Of several selected rows, the one opened last is the one this column shows.
        if (auto* left = dynamic_cast<ListColumn*> (column.getLeftNeighbour()))
            left->openItem (left->getList().getLastRowSelected());

        return true;
    }

    if (key.isKeyCode (juce::KeyPress::rightKey))
    {
        if (auto* right = dynamic_cast<ListColumn*> (column.getRightNeighbour()))
            right->openItem (0);

        return true;
    }

    return juce::ListBox::keyPressed (key);
}

bool ColumnBrowser::ListColumn::List::keyStateChanged (bool isKeyDown)
{
    if (juce::KeyPress::isKeyCurrentlyDown (juce::KeyPress::leftKey)
         || juce::KeyPress::isKeyCurrentlyDown (juce::KeyPress::rightKey))
        return true;

    return juce::ListBox::keyStateChanged (isKeyDown);
}

void ColumnBrowser::ListColumn::List::lookAndFeelChanged()
{
    juce::ListBox::lookAndFeelChanged();

    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
        setColour (juce::ListBox::backgroundColourId, lf->findColour (listColourId));
}

//==============================================================================
ColumnBrowser::ListColumn::ItemComponent::ItemComponent (ListColumn& owner, int newItem, bool isSelected)
    : column (owner),
      nameField ({})
{
    nameField.setFont (juce::Font ("Tahoma", "Regular", 13.0f));
    nameField.setColour (juce::TextEditor::textColourId, juce::Colours::black);
    nameField.setColour (juce::TextEditor::backgroundColourId, juce::Colours::transparentBlack);
    nameField.setColour (juce::TextEditor::outlineColourId, juce::Colours::transparentBlack);
    nameField.setColour (juce::TextEditor::focusedOutlineColourId, juce::Colours::transparentBlack);
    nameField.setColour (juce::TextEditor::highlightColourId, juce::Colours::white);
    nameField.setColour (juce::TextEditor::highlightedTextColourId, juce::Colours::black);
    nameField.setColour (juce::CaretComponent::caretColourId, juce::Colour (0xffff4500).withAlpha (0.75f));
    nameField.setMargin (0);
    nameField.addListener (this);
    addAndMakeVisible (nameField);

    // Every click goes to the list row: editing starts only by renaming.
    setInterceptsMouseClicks (false, false);
    update (newItem, isSelected);
}

void ColumnBrowser::ListColumn::ItemComponent::update (int newItem, bool isSelected)
{
    item = newItem;
    nameField.setText (column.getItemText (item));

    const auto newIcon = column.getItemIcon (item, false);
    const auto newSelectedIcon = column.getItemIcon (item, true);

    if ((selected ? newSelectedIcon != selectedIcon : newIcon != icon))
        repaint();

    icon = newIcon;
    selectedIcon = newSelectedIcon;

    if (isSelected != selected)
    {
        selected = isSelected;
        nameField.setColour (juce::TextEditor::textColourId, selected ? juce::Colours::white : juce::Colours::black);
        repaint();
    }

    const auto isFolder = column.isItemFolder (item);

    if (isFolder != folder)
    {
        folder = isFolder;
        auto font = nameField.getFont();
        nameField.setFont (font.withStyle ((font.isItalic() ? juce::Font::italic : 0)
                                             | (folder ? juce::Font::bold : 0)));
        resized();
    }
}

void ColumnBrowser::ListColumn::ItemComponent::modalTextCommitted (ModalTextEditor&)
{
    column.renameItem (item, nameField.getText());
}

int ColumnBrowser::ListColumn::ItemComponent::getScrollBarAllowance() const
{
    return column.getList().getVerticalScrollBar().isVisible() ? 3 : 0;
}

void ColumnBrowser::ListColumn::ItemComponent::paint (juce::Graphics& g)
{
    const auto w = (float) (getWidth() - getScrollBarAllowance());
    const auto h = (float) getHeight();

    if (selected)
    {
        g.setColour (column.findColour (selectedItemColourId));
        g.fillRoundedRectangle (0.0f, 1.0f, w, h - 2.0f, 4.0f);
    }

    if (folder)
    {
        juce::Path arrow;
        arrow.addTriangle (0.0f, 0.5f, 7.0f, 3.5f, 0.0f, 6.5f);
        arrow.applyTransform (juce::AffineTransform::translation (w - 12.0f, 7.0f));
        g.setColour (juce::Colours::white);
        g.fillPath (arrow);
        g.setColour (juce::Colour (0xff646464));
        g.strokePath (arrow, juce::PathStrokeType (1.0f));
    }

    const auto row = column.getDropRow();
    const auto mode = column.getDropMode();
    g.setColour (dropMarkColour.withAlpha (0.75f));

    if (mode == dropOntoItemMode && item == row)
        g.drawRoundedRectangle (0.0f, 0.0f, w, h - 1.0f, 4.0f, 2.0f);

    const auto lineAbove = (mode == dropBeforeItemMode && item == row) || (mode == dropAfterItemMode && item == row + 1);
    const auto lineBelow = (mode == dropBeforeItemMode && item == row - 1) || (mode == dropAfterItemMode && item == row);

    if (lineAbove)
        g.fillRect (0.0f, 0.0f, w, 1.0f);

    if (lineBelow)
        g.fillRect (0.0f, h - 1.0f, w, 1.0f);

    g.setOpacity (1.0f);
    g.drawImageAt (selected ? selectedIcon : icon, 1, 1);
}

void ColumnBrowser::ListColumn::ItemComponent::resized()
{
    auto area = getLocalBounds().withTrimmedTop (1).withTrimmedBottom (1);
    area.removeFromLeft (19);

    if (folder)
        area.removeFromRight (15);

    area.removeFromRight (getScrollBarAllowance());
    nameField.setBounds (area);
}
