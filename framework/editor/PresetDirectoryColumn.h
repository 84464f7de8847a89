#pragma once

#include "PresetBrowser.h"

/**
    A column of the preset browser listing one folder of the collection: its sub-folders
    first, then its presets, each in the collection's order. Opening a preset loads it;
    rows can be renamed in place and dragged onto a folder.
*/
class PresetBrowser::PresetDirectoryColumn  : public ColumnBrowser::ListColumn
{
public:
    PresetDirectoryColumn (PresetBrowser& browser, const juce::String& folderPath);

    const juce::String& getPath() const noexcept            { return path; }
    /** The folder or preset path of a row; empty out of range. */
    juce::String getItemPath (int row);
    int getNumSubFolders();

    bool isDescendantOf (Column* column) override;
    bool isChildOf (Column* column) override;
    Column* createParentColumn() override;
    void refreshContent() override;

    int getNumItems() override;
    juce::String getItemText (int item) override;
    juce::Image getItemIcon (int item, bool selected) override;
    bool isItemFolder (int item) override;
    Column* createColumnForItem (int item) override;
    Column* createCopy() override;
    void itemOpened (int item) override;
    void renameItem (int item, const juce::String& newText) override;

    bool canDropIntoColumn (ListColumn& source) override;
    bool canDropOntoItem (ListColumn& source, int row) override;
    bool canDropBeforeItem (ListColumn&, int) override      { return false; }
    bool canDropAfterItem (ListColumn&, int) override       { return false; }
    void dropIntoColumn (ListColumn& source) override;
    void dropOntoItem (ListColumn& source, int row) override;

private:
    PresetCollection::Folder* getFolder();
    juce::StringArray getPathsOfAllRows();
    bool isSameBrowserDirectory (Column* column) const;

    PresetBrowser& owner;
    juce::String path;
    // The rows' items at the last refresh, by which a selection is known to be still valid.
    juce::StringArray rowPaths;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetDirectoryColumn)
};
