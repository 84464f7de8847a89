#include "PresetBrowser.h"
#include "FileIdentity.h"
#include "FolderChild.h"
#include "Preset.h"
#include "PresetBrowserWindow.h"
#include "PresetDirectoryColumn.h"
#include "PresetInfoColumn.h"

namespace
{
    juce::String parentOf (const juce::String& path)
    {
        return juce::File (path).getParentDirectory().getFullPathName();
    }

    bool isSameOrInside (const juce::File& file, const juce::File& folder)
    {
        return file == folder || file.isAChildOf (folder);
    }
}

PresetBrowser::PresetBrowser (PresetBrowserWindow& owner, BasePlugin& p, PresetCollection& c)
    : window (owner), plugin (p), collection (c)
{
}

PresetBrowser::~PresetBrowser()
{
    cancelPendingUpdate();
    deleteQuestion.reset();
    moveQuestion.reset();
    replaceQuestion.reset();
    moveRefusal.reset();
    failureNote.reset();
    pendingItems.clear();
}

ColumnBrowser::Column* PresetBrowser::makeRootColumn()
{
    return new PresetDirectoryColumn (*this, collection.getRoot().getPath());
}

void PresetBrowser::columnsUpdated()
{
    window.updateTitle();
    window.updateButtons();
    window.updateSkippedNote();
}

//==============================================================================
void PresetBrowser::setPendingPath (const juce::String& path, bool force)
{
    {
        const juce::ScopedLock sl (pendingPathLock);

        if (path == pendingPath && ! force)
            return;

        pendingPath = path;
    }

    triggerAsyncUpdate();
}

juce::String PresetBrowser::getPendingPath() const
{
    const juce::ScopedLock sl (pendingPathLock);
    return pendingPath;
}

void PresetBrowser::handleAsyncUpdate()
{
    openPath (getPendingPath());
}

void PresetBrowser::openPath (const juce::String& path)
{
    if (path.isEmpty())
    {
        refresh();
        return;
    }

    const auto root = collection.getRootFolder();

    for (auto file = juce::File (path);; file = file.getParentDirectory())
    {
        if (! isSameOrInside (file, root))
            return;

        const auto p = file.getFullPathName();

        if (file.isDirectory())
        {
            if (const auto* folder = collection.findFolder (p))
            {
                openColumnAfter (new PresetDirectoryColumn (*this, folder->getPath()));
                return;
            }
        }
        else if (openPresetInfo (p))
        {
            return;
        }

        if (file == file.getParentDirectory())
            return;
    }
}

bool PresetBrowser::openPresetInfo (const juce::String& path)
{
    // A path kept from before finds its preset in other letter case, where none has its spelling.
    const auto index = collection.indexOfPreset (path);

    if (index < 0)
        return false;

    openColumnAfter (new PresetInfoColumn (*this, collection.getPresetName (index)));
    return true;
}

//==============================================================================
PresetBrowser::PresetDirectoryColumn* PresetBrowser::getCurrentDirectoryColumn() const
{
    auto* last = getColumn (getNumColumns() - 1);

    if (dynamic_cast<PresetInfoColumn*> (last) != nullptr)
        last = getColumn (getNumColumns() - 2);

    return dynamic_cast<PresetDirectoryColumn*> (last);
}

juce::String PresetBrowser::getCurrentDirectoryPath() const
{
    auto* column = getCurrentDirectoryColumn();
    return column != nullptr ? column->getPath() : juce::String();
}

bool PresetBrowser::hasSelection() const
{
    for (int i = getNumColumns(); --i >= 0;)
        if (auto* column = dynamic_cast<PresetDirectoryColumn*> (getColumn (i)))
            if (column->getList().getNumSelectedRows() > 0)
                return true;

    return false;
}

bool PresetBrowser::canCopy() const
{
    auto* column = getCurrentDirectoryColumn();

    return column != nullptr
        && column->getList().getNumSelectedRows() == 1
        && column->getList().getSelectedRow (0) >= column->getNumSubFolders();
}

juce::StringArray PresetBrowser::getPathsOfRows (PresetDirectoryColumn& column, const juce::SparseSet<int>& rows)
{
    juce::StringArray paths;

    for (int i = 0; i < rows.size(); ++i)
        if (const auto path = column.getItemPath (rows[i]); path.isNotEmpty())
            paths.add (path);

    return paths;
}

juce::StringArray PresetBrowser::getSelectedPaths() const
{
    for (int i = getNumColumns(); --i >= 0;)
        if (auto* column = dynamic_cast<PresetDirectoryColumn*> (getColumn (i)))
            if (column->getList().getNumSelectedRows() > 0)
                return getPathsOfRows (*column, column->getList().getSelectedRows());

    return {};
}

//==============================================================================
void PresetBrowser::copySelected()
{
    if (! canCopy())
        return;

    juce::StringArray failures;

    if (const auto paths = getSelectedPaths(); paths.size() == 1)
        collection.duplicatePreset (paths[0], &failures);

    updateColumns();
    showFailures ("These items were not copied:", failures);
}

void PresetBrowser::deleteSelected()
{
    if (! hasSelection())
        return;

    pendingItems = getSelectedPaths();
    showAlert (deleteQuestion, Halvorn::AlertWindow::createYesCancel (collection.getName(),
                                                                      "Do you really want to delete selected items?", this));
}

void PresetBrowser::renameItem (const juce::String& path, const juce::String& newName)
{
    const auto file = juce::File (path);
    const auto isFolder = file.isDirectory();
    juce::StringArray failures;
    const auto newPath = isFolder ? collection.renameFolder (path, newName, &failures)
                                  : collection.renamePreset (path, newName, &failures);

    setPendingPath (newPath.isNotEmpty() ? newPath : path, true);
    showFailures ("These items were not renamed:", failures);

    if (newPath.isEmpty())
        return;

    // The current preset keeps its identity under its new name; reloading it from the
    // file would throw away the user's unsaved edits.
    const auto current = plugin.getCurrentPresetName (&collection);

    if (current == path)
        moveCurrentPreset (newPath, ! isFolder);
    else if (isFolder && current.isNotEmpty() && juce::File (current).isAChildOf (file))
        moveCurrentPreset (FolderChild::of (juce::File (newPath), juce::File (current).getRelativePathFrom (file)).getFullPathName(), false);
    else if (! isFolder)
        plugin.loadPresetFromCollection (&collection, newPath);
}

void PresetBrowser::moveCurrentPreset (const juce::String& newPath, bool renamed)
{
    plugin.setCurrentPresetName (&collection, newPath);

    if (renamed)
        plugin.setPresetName (&collection, juce::File (newPath).getFileNameWithoutExtension());

    plugin.notifyPresetLoaded (&collection);
}

void PresetBrowser::moveItemsTo (ColumnBrowser::ListColumn& source, const juce::String& destinationPath)
{
    auto* column = dynamic_cast<PresetDirectoryColumn*> (&source);

    if (column == nullptr || ! juce::File (destinationPath).isDirectory())
        return;

    destination = destinationPath;
    pendingItems = getPathsOfRows (*column, source.getDraggedRows());
    moveSelected();
}

void PresetBrowser::moveSelected()
{
    if (pendingItems.isEmpty())
        return;

    const auto target = juce::File (destination);
    const auto first = juce::File (pendingItems[0]);

    // Only the one folder counts: a folder whose name differs in letter case is another, and
    // the collection says why it moves nothing there.
    const auto isInDestination = [&target] (const juce::File& file) { return FileIdentity::areSame (file.getParentDirectory(), target, FileIdentity::Links::follow); };

    if ((first.isDirectory() && FileIdentity::areSame (first, target, FileIdentity::Links::follow)) || isInDestination (first))
        return;

    bool presetExists = false, intoItself = false, nameTaken = false;

    for (auto& item : pendingItems)
    {
        const auto file = juce::File (item);

        if (isInDestination (file))
            continue;

        // Names that differ only in letter case are one name in the tree.
        const auto existing = PresetCollection::findEntryNamed (target, file.getFileName());

        if (file.existsAsFile())
        {
            presetExists = presetExists || (existing.exists() && ! existing.isDirectory()) || Preset::isDanglingLink (existing);
        }
        else if (file.isDirectory())
        {
            if (PresetCollection::liesWithin (target, file))
                intoItself = true;
            else if (existing.isDirectory())
                nameTaken = true;
        }
    }

    auto question = Halvorn::AlertWindow::createYesCancel (collection.getName(), "Do you really want to move selected items?", this);
    question->userData = { presetExists, intoItself, nameTaken };
    showAlert (moveQuestion, std::move (question));
}

void PresetBrowser::alertResult (Halvorn::AlertWindow* alert, int result)
{
    if (alert == moveQuestion.get() && result == Halvorn::AlertWindow::yes)
    {
        const bool presetExists = alert->getUserValue (0);
        const bool intoItself = alert->getUserValue (1);
        const bool nameTaken = alert->getUserValue (2);

        if (intoItself || nameTaken)
            showAlert (moveRefusal, Halvorn::AlertWindow::createOk (collection.getName(),
                                                                    intoItself ? "You can not move directory to itself or to its subdirectory."
                                                                               : "Destination directory already contains subdirectory with the same name",
                                                                    this));
        else if (presetExists)
            showAlert (replaceQuestion, Halvorn::AlertWindow::createReplaceCancel (collection.getName(),
                                                                                   "Destination directory already contains some of moved presets.\n"
                                                                                   "Do you want to replace them?", this));
        else
            performMove();
    }
    else if (alert == replaceQuestion.get() && result == Halvorn::AlertWindow::replace)
    {
        performMove();
    }
    else if (alert == deleteQuestion.get() && result == Halvorn::AlertWindow::yes)
    {
        performDelete();
    }
}

void PresetBrowser::performMove()
{
    const auto current = plugin.getCurrentPresetName (&collection);
    const auto currentFile = juce::File (current);
    const auto target = juce::File (destination);
    juce::String newCurrent;
    bool movedCurrent = false;

    for (auto& item : pendingItems)
    {
        const auto file = juce::File (item);

        if (current.isNotEmpty() && currentFile.isAChildOf (file))
        {
            newCurrent = FolderChild::of (FolderChild::of (target, file.getFileName()), currentFile.getRelativePathFrom (file)).getFullPathName();
            break;
        }

        if (current == item)
        {
            newCurrent = FolderChild::of (target, file.getFileName()).getFullPathName();
            movedCurrent = true;
            break;
        }
    }

    juce::StringArray failures;
    collection.moveItems (pendingItems, destination, &failures);

    // Loading the preset again from its new place would drop the user's unsaved edits:
    // only its path changes.
    if (newCurrent.isNotEmpty() && ! currentFile.existsAsFile() && juce::File (newCurrent).existsAsFile())
        moveCurrentPreset (newCurrent, false);

    if (! movedCurrent)
        setPendingPath (destination, false);

    showFailures ("These items were not moved:", failures);
}

void PresetBrowser::performDelete()
{
    const auto parent = pendingItems.isEmpty() ? juce::String() : parentOf (pendingItems[0]);
    juce::StringArray failures;
    collection.deleteItems (pendingItems, &failures);
    setPendingPath (parent, false);
    showFailures ("These items were not deleted:", failures);
}

void PresetBrowser::showFailures (const juce::String& heading, const juce::StringArray& failures)
{
    if (! failures.isEmpty())
        showAlert (failureNote, Halvorn::AlertWindow::createOk (collection.getName(), heading + "\n" + failures.joinIntoString ("\n"), this));
}

void PresetBrowser::showAlert (std::unique_ptr<Halvorn::AlertWindow>& slot, std::unique_ptr<Halvorn::AlertWindow> alert)
{
    slot = std::move (alert);
    addChildComponent (*slot);
    slot->sendLookAndFeelChange();
    slot->show();
}
