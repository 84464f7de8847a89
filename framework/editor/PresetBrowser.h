#pragma once

#include "AlertWindow.h"
#include "BasePlugin.h"
#include "ColumnBrowserListColumn.h"

class PresetBrowserWindow;

/**
    The column browser of a preset folder tree: one directory column per opened folder
    (sub-folders first, then presets) and an info column for an opened preset. It also
    carries out the user's file operations (copy, delete, rename, move by dragging) through
    the collection, asking first where a change cannot be undone.

    The columns never update themselves in place after a change: the browser keeps a
    pending path and rebuilds the columns down to it asynchronously, from the tree as the
    collection then holds it. The pending path may be set from any thread.
*/
class PresetBrowser  : public ColumnBrowser,
                       private juce::AsyncUpdater,
                       public Halvorn::AlertWindow::Caller
{
public:
    class PresetDirectoryColumn;
    class PresetInfoColumn;

    PresetBrowser (PresetBrowserWindow& window, BasePlugin& plugin, PresetCollection& collection);
    ~PresetBrowser() override;

    Column* makeRootColumn() override;
    void columnsUpdated() override;

    /** Opens the columns down to a folder or preset of the collection; a path that no
        longer exists falls back to its nearest existing folder, one outside the
        collection leaves the columns as they are, an empty one shows the root alone.
    */
    void openPath (const juce::String& path);

    /** Remembers what to show and reopens it asynchronously, when the path differs from
        the pending one (ignoring case) or force is set. Safe on any thread.
    */
    void setPendingPath (const juce::String& path, bool force);
    juce::String getPendingPath() const;

    /** The path of the rightmost directory column (left of an info column), or empty. */
    juce::String getCurrentDirectoryPath() const;
    /** True when any directory column has a selected row. */
    bool hasSelection() const;
    /** True when the current directory column has exactly one selected row, a preset. */
    bool canCopy() const;
    /** Opens the info column of a preset of the collection; false for any other path. */
    bool openPresetInfo (const juce::String& path);

    void copySelected();
    /** Asks, then deletes the selected items of the rightmost column with a selection; says
        which items were not deleted, and why.
    */
    void deleteSelected();
    /** Asks, then moves the rows dragged from the source column into the destination
        folder; refuses moves that cannot work, and says which items did not move, and why.
    */
    void moveItemsTo (ColumnBrowser::ListColumn& source, const juce::String& destination);

    /** Renames a preset file or a folder of the tree and reopens the columns at it, or says
        why the name was refused. A renamed current preset stays the current one under its
        new name, unsaved edits included.
    */
    void renameItem (const juce::String& path, const juce::String& newName);

    BasePlugin& getPlugin() const noexcept                  { return plugin; }
    PresetCollection& getCollection() const noexcept        { return collection; }
    PresetBrowserWindow& getWindow() const noexcept         { return window; }

    void alertResult (Halvorn::AlertWindow* alert, int result) override;

private:
    void handleAsyncUpdate() override;
    /** The paths of a directory column's rows, in row order. */
    static juce::StringArray getPathsOfRows (PresetDirectoryColumn& column, const juce::SparseSet<int>& rows);
    PresetDirectoryColumn* getCurrentDirectoryColumn() const;
    juce::StringArray getSelectedPaths() const;
    void moveSelected();
    void performMove();
    void performDelete();
    void moveCurrentPreset (const juce::String& newPath, bool renamed);
    void showAlert (std::unique_ptr<Halvorn::AlertWindow>& slot, std::unique_ptr<Halvorn::AlertWindow> alert);
    /** Tells the user which items were left where they were, and why. */
    void showFailures (const juce::String& heading, const juce::StringArray& failures);

    PresetBrowserWindow& window;
    BasePlugin& plugin;
    PresetCollection& collection;

    juce::String pendingPath;
    juce::CriticalSection pendingPathLock;

    std::unique_ptr<Halvorn::AlertWindow> deleteQuestion, moveQuestion, replaceQuestion, moveRefusal, failureNote;
    juce::StringArray pendingItems;
    juce::String destination;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetBrowser)
};
