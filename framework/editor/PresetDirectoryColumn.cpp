#include "PresetDirectoryColumn.h"
#include "PresetInfoColumn.h"

namespace
{
    enum class Icon { folder, preset };

    // Small enough to draw once at start-up rather than ship as pictures.
    juce::Image drawIcon (Icon kind, bool selected)
    {
        juce::Image image (juce::Image::ARGB, 16, 16, true);
        juce::Graphics g (image);
        const auto ink = selected ? juce::Colours::white : juce::Colour (0xff404040);

        if (kind == Icon::folder)
        {
            juce::Path folder;
            folder.startNewSubPath (1.5f, 3.5f);
            folder.lineTo (6.0f, 3.5f);
            folder.lineTo (7.5f, 5.0f);
            folder.lineTo (14.5f, 5.0f);
            folder.lineTo (14.5f, 13.5f);
            folder.lineTo (1.5f, 13.5f);
            folder.closeSubPath();
            g.setColour (selected ? juce::Colour (0xfff0d070) : juce::Colour (0xffe8b84a));
            g.fillPath (folder);
            g.setColour (ink);
            g.strokePath (folder, juce::PathStrokeType (1.0f));
        }
        else
        {
            g.setColour (ink);
            g.fillEllipse (2.0f, 10.0f, 5.0f, 4.0f);
            g.fillEllipse (9.0f, 9.0f, 5.0f, 4.0f);
            g.fillRect (6.0f, 3.0f, 1.2f, 9.0f);
            g.fillRect (13.0f, 2.0f, 1.2f, 9.0f);

            juce::Path beam;
            beam.addQuadrilateral (6.0f, 3.0f, 14.2f, 2.0f, 14.2f, 4.0f, 6.0f, 5.0f);
            g.fillPath (beam);
        }

        return image;
    }

    const juce::Image& getIcon (Icon kind, bool selected)
    {
        static const juce::Image icons[] = { drawIcon (Icon::folder, false), drawIcon (Icon::folder, true),
                                             drawIcon (Icon::preset, false), drawIcon (Icon::preset, true) };
        return icons[(kind == Icon::preset ? 2 : 0) + (selected ? 1 : 0)];
    }
}

PresetBrowser::PresetDirectoryColumn::PresetDirectoryColumn (PresetBrowser& browser, const juce::String& folderPath)
    : ListColumn (browser), owner (browser), path (folderPath)
{
}

PresetCollection::Folder* PresetBrowser::PresetDirectoryColumn::getFolder()
{
    return owner.getCollection().findFolder (path);
}

int PresetBrowser::PresetDirectoryColumn::getNumSubFolders()
{
    auto* folder = getFolder();
    return folder != nullptr ? folder->getNumSubFolders() : 0;
}

juce::String PresetBrowser::PresetDirectoryColumn::getItemPath (int row)
{
    auto* folder = getFolder();

    if (folder == nullptr || row < 0)
        return {};

    const auto numSubFolders = folder->getNumSubFolders();
    return row < numSubFolders ? folder->getSubFolderPath (row) : folder->getPresetPath (row - numSubFolders);
}

juce::StringArray PresetBrowser::PresetDirectoryColumn::getPathsOfAllRows()
{
    auto* folder = getFolder();

    if (folder == nullptr)
        return {};

    juce::StringArray paths;

    for (int i = 0; i < folder->getNumSubFolders(); ++i)
        paths.add (folder->getSubFolderPath (i));

    paths.addArray (folder->getPresetPaths());
    return paths;
}

bool PresetBrowser::PresetDirectoryColumn::isSameBrowserDirectory (Column* column) const
{
    auto* other = dynamic_cast<PresetDirectoryColumn*> (column);
    return other != nullptr && &other->owner.getPlugin() == &owner.getPlugin();
}

bool PresetBrowser::PresetDirectoryColumn::isDescendantOf (Column* column)
{
    return isSameBrowserDirectory (column)
        && juce::File (path).isAChildOf (juce::File (static_cast<PresetDirectoryColumn*> (column)->path));
}

bool PresetBrowser::PresetDirectoryColumn::isChildOf (Column* column)
{
    return isSameBrowserDirectory (column)
        && juce::File (path).getParentDirectory().getFullPathName() == static_cast<PresetDirectoryColumn*> (column)->path;
}

ColumnBrowser::Column* PresetBrowser::PresetDirectoryColumn::createParentColumn()
{
    const auto parent = juce::File (path).getParentDirectory().getFullPathName();

    if (owner.getCollection().findFolder (parent) == nullptr)
        return nullptr;

    return new PresetDirectoryColumn (owner, parent);
}

void PresetBrowser::PresetDirectoryColumn::refreshContent()
{
    // The list keeps selected rows by number: once the folder's items change, those numbers
    // would mean other items, and rows cut off at the end would be reported as a selection
    // change that opens (and loads) whatever item is left selected.
    if (const auto paths = getPathsOfAllRows(); paths != rowPaths)
    {
        rowPaths = paths;
        getList().setSelectedRows ({}, juce::dontSendNotification);
    }

    ListColumn::refreshContent();

    auto* next = getRightNeighbour();
    juce::String shownPath;

    if (auto* directory = dynamic_cast<PresetDirectoryColumn*> (next); directory != nullptr && directory->isChildOf (this))
        shownPath = directory->getPath();
    else if (auto* info = dynamic_cast<PresetInfoColumn*> (next); info != nullptr && info->isChildOf (this))
        shownPath = info->getPath();

    if (shownPath.isEmpty())
        return;

    for (int row = 0; row < getNumItems(); ++row)
    {
        if (getItemPath (row) == shownPath)
        {
            auto& list = getList();

            // Quietly: this runs while the browser lays out its columns, and a notified
            // selection would open the item again in the middle of that. Rows the user
            // selected beside it stay selected.
            if (! list.isRowSelected (row))
            {
                juce::SparseSet<int> rows;
                rows.addRange ({ row, row + 1 });
                list.setSelectedRows (rows, juce::dontSendNotification);
                list.scrollToEnsureRowIsOnscreen (row);
            }

            return;
        }
    }
}

int PresetBrowser::PresetDirectoryColumn::getNumItems()
{
    auto* folder = getFolder();
    return folder != nullptr ? folder->getNumSubFolders() + folder->getNumPresets() : 0;
}

juce::String PresetBrowser::PresetDirectoryColumn::getItemText (int item)
{
    const auto itemPath = getItemPath (item);

    if (itemPath.isEmpty())
        return {};

    return isItemFolder (item) ? juce::File (itemPath).getFileName()
                               : juce::File (itemPath).getFileNameWithoutExtension();
}

juce::Image PresetBrowser::PresetDirectoryColumn::getItemIcon (int item, bool selected)
{
    if (item < 0 || item >= getNumItems())
        return {};

    return getIcon (isItemFolder (item) ? Icon::folder : Icon::preset, selected);
}

bool PresetBrowser::PresetDirectoryColumn::isItemFolder (int item)
{
    return item >= 0 && item < getNumSubFolders();
}

ColumnBrowser::Column* PresetBrowser::PresetDirectoryColumn::createColumnForItem (int item)
{
    const auto itemPath = getItemPath (item);

    if (itemPath.isEmpty())
        return nullptr;

    if (isItemFolder (item))
        return new PresetDirectoryColumn (owner, itemPath);

    return new PresetInfoColumn (owner, itemPath);
}

ColumnBrowser::Column* PresetBrowser::PresetDirectoryColumn::createCopy()
{
    return new PresetDirectoryColumn (owner, path);
}

void PresetBrowser::PresetDirectoryColumn::itemOpened (int item)
{
    if (item >= getNumSubFolders())
        if (const auto presetPath = getItemPath (item); presetPath.isNotEmpty())
            owner.getPlugin().loadPresetFromCollection (&owner.getCollection(), presetPath);
}

void PresetBrowser::PresetDirectoryColumn::renameItem (int item, const juce::String& newText)
{
    if (const auto itemPath = getItemPath (item); itemPath.isNotEmpty())
        owner.renameItem (itemPath, newText);
}

bool PresetBrowser::PresetDirectoryColumn::canDropIntoColumn (ListColumn& source)
{
    return isSameBrowserDirectory (&source);
}

bool PresetBrowser::PresetDirectoryColumn::canDropOntoItem (ListColumn& source, int row)
{
    return canDropIntoColumn (source) && row >= 0 && row < getNumSubFolders();
}

void PresetBrowser::PresetDirectoryColumn::dropIntoColumn (ListColumn& source)
{
    owner.moveItemsTo (source, path);
}

void PresetBrowser::PresetDirectoryColumn::dropOntoItem (ListColumn& source, int row)
{
    if (isItemFolder (row))
        owner.moveItemsTo (source, getItemPath (row));
}
