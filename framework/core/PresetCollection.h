#pragma once

#include <juce_events/juce_events.h>

#include "FilePreset.h"

#include <filesystem>
#include <unordered_set>

/**
    Mirrors a folder tree of preset files on disk.

    The tree is kept in a natural order of names; every preset file has a place in one
    flat list (the order of stepping to the next or previous preset). Presets are loaded
    on demand and cached until the tree next changes. The collection also carries out the
    preset browser's file operations, and tells its listeners about every change once,
    asynchronously, on the message thread.

    Links to folders are followed, but a scan reads each real folder once, under the first
    name that reaches it (a folder of the tree under its own name), and goes only so deep:
    links that lead back up or round in a loop cannot make it endless.

    The tree tells its entries apart as the file system does: two names in one folder that
    differ only in letter case are both listed where the disk holds both. Every operation that
    makes a name still refuses or numbers past one that an entry of the folder has in any letter
    case (a moved preset replaces a preset of its name instead, when asked to), comparing by
    CaseKey, as a case-insensitive file system would, in whatever locale the host runs; and it
    asks the disk too. The collection takes no lock: use it from one thread at a time.
*/
class PresetCollection : public juce::AsyncUpdater
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void presetCollectionChanged (PresetCollection*) {}
    };

    /** One directory of the tree, with its sub-folders and preset files in natural order. */
    class Folder
    {
    public:
        explicit Folder (const juce::String& folderPath = {}) : path (folderPath) {}

        const juce::String& getPath() const noexcept        { return path; }
        void setPath (const juce::String& newPath)          { path = newPath; }

        int getNumSubFolders() const noexcept               { return subFolders.size(); }
        Folder* getSubFolder (int i) const noexcept         { return subFolders[i]; }
        /** The sub-folder's path, empty out of range. */
        juce::String getSubFolderPath (int i) const;
        /** -1 when no sub-folder has this path. */
        int indexOfSubFolder (const juce::String& folderPath) const;
        /** Takes ownership. */
        void addSubFolder (Folder* folder, bool sort);
        void sortSubFolders();

        int getNumPresets() const noexcept                  { return presetPaths.size(); }
        /** The preset's path, empty out of range. */
        juce::String getPresetPath (int i) const            { return presetPaths[i]; }
        const juce::StringArray& getPresetPaths() const noexcept { return presetPaths; }
        bool containsPreset (const juce::String& presetPath) const;
        /** Adds a path unless it is empty or already held. */
        void addPreset (const juce::String& presetPath, bool sort);
        void removePreset (const juce::String& presetPath);
        void sortPresets();

        /** The names of the folder's entries that were left out because they are not valid
            UTF-8, with each byte that is no part of a valid sequence shown as U+FFFD.
        */
        const juce::StringArray& getSkippedNames() const noexcept { return skippedNames; }
        void addSkippedName (const juce::String& shownName)  { skippedNames.add (shownName); }

        /** Deletes all sub-folders and forgets the presets and skipped names; the path stays. */
        void clear();

    private:
        juce::String path;
        juce::OwnedArray<Folder> subFolders;
        juce::StringArray presetPaths, skippedNames;
        // The preset paths once more: a folder of many presets is read in one pass instead of a
        // search of the list for every file.
        std::unordered_set<juce::String> presetPathSet;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Folder)
    };

    //==============================================================================
    /** An empty collection; extension is the preset file extension with its dot. */
    PresetCollection (const juce::String& name, const juce::String& extension);

    const juce::String& getName() const noexcept            { return name; }
    const juce::String& getExtension() const noexcept       { return extension; }
    juce::File getRootFolder() const;
    const Folder& getRoot() const noexcept                  { return root; }

    /** Adds a listener once; null is ignored. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    /** Reads the tree below a new root; nothing when the path is the current root's. */
    void setRootFolder (const juce::String& path);
    /** Forgets everything and reads the whole tree again. */
    void refresh();

    //==============================================================================
    int getNumPresets() const noexcept                      { return presetPaths.size(); }
    /** The path of the preset at this place of the flat list, empty out of range. */
    juce::String getPresetName (int index) const            { return presetPaths[index]; }
    const juce::StringArray& getPresetPaths() const noexcept { return presetPaths; }

    /** The preset at this place of the flat list, loaded on first use; null out of range.
        The collection keeps it, until the tree next changes.
    */
    FilePreset* getPreset (int index, const ParameterManager& manager);

    /** The folder record with this path, the root included: the one spelt so, or else one whose
        path differs only in letter case (a path kept from before); null when there is none.
    */
    Folder* findFolder (const juce::String& path);

    /** The place of a preset path in the flat list, found as findFolder finds folders; -1 when
        it is not there.
    */
    int indexOfPreset (const juce::String& path) const;

    /** The root's own name, a backslash and the path relative to the root, with
        backslashes between its parts (e.g. Presets\Bass\Deep.cvprst).
    */
    juce::String getDisplayPath (const juce::String& path) const;

    /** The display paths (as getDisplayPath gives them) of the files and folders that the
        last scan left out because their names are not valid UTF-8: no path function can take
        such a name safely. Each byte that is no part of a valid sequence shows as U+FFFD.
    */
    juce::StringArray getSkippedPaths() const;

    //==============================================================================
    /** Registers a preset file that was just saved inside the tree, without a rescan. */
    void addPresetFile (const juce::String& path);

    /** Creates "New folder" (numbered when taken in any letter case) in a folder of the tree.
        Returns its path, or an empty string when nothing was created.
    */
    juce::String createFolder (const juce::String& parentPath);

    /** Copies a preset next to itself under the first numbered name free in any letter case,
        as a preset is written, and no larger than a preset is read. Returns the copy's path,
        or an empty string; a copy that the file system would not make is added to failures,
        when given, by the preset's display path with the reason.
    */
    juce::String duplicatePreset (const juce::String& path, juce::StringArray* failures = nullptr);

    /** Renames a preset file inside its folder; the new name gets the preset extension.
        Returns the new path, or an empty string when the rename was refused or failed; a name
        that is taken (see findReasonNameIsTaken), or a rename that the file system would not
        make, is added to failures, when given, by the preset's display path with the reason.
    */
    juce::String renamePreset (const juce::String& path, const juce::String& newName,
                               juce::StringArray* failures = nullptr);

    /** Renames a folder below the root; returns the new path, or an empty string, telling
        failures as renamePreset does.
    */
    juce::String renameFolder (const juce::String& path, const juce::String& newName,
                               juce::StringArray* failures = nullptr);

    /** Moves preset files and folders into a folder of the tree, replacing preset files
        of the same names in any letter case that were there before; a folder never replaces
        anything, and of two items that would take one name there the later stays. Rescans
        afterwards. Each item that is not moved, skipped or refused by the file system, is
        added to failures, when given, by its display path with the reason; items that are in
        the destination already are left as they are.
    */
    void moveItems (const juce::StringArray& paths, const juce::String& destinationPath,
                    juce::StringArray* failures = nullptr);

    /** True when inner is the folder, or lies below it, however either is reached: a folder of
        another name that differs only in letter case is another folder.
    */
    static bool liesWithin (const juce::File& inner, const juce::File& folder);

    /** The entry of the folder, other than except (by its name or what it is), whose name is
        the given one in any letter case: the one spelt exactly so where there is one, or the
        one the file system finds under the name; none when the name is free. Where except is
        listed under the name in other letter case, it is what the file system finds there.
    */
    static juce::File findEntryNamed (const juce::File& folder, const juce::String& name, const juce::File& except = {});

    /** Why a new name may not be made in a folder of the tree: an entry other than except (the
        item that is renamed or moved) has it in some letter case, and a case-insensitive file
        system would take one for the other. Empty when the name is free.
    */
    static juce::String findReasonNameIsTaken (const juce::File& folder, const juce::String& name, const juce::File& except = {});

    /** Moves preset files and folders of the tree to the user's trash, skipping paths
        that are not part of the tree. Rescans afterwards.
        Returns false when an item could not be moved to the trash; each such item is added
        to failures, when given, by its display path with the reason.
    */
    bool deleteItems (const juce::StringArray& paths, juce::StringArray* failures = nullptr);

    /** The natural order of file names (without extension): numbers compare by value,
        letters ignoring case, other characters before letters and digits.
        Below zero puts a first.
    */
    static int compareFileNames (const juce::File& a, const juce::File& b);

    /** @internal */
    void handleAsyncUpdate() override;

private:
    juce::String extension, name;
    juce::ListenerList<Listener> listeners;
    juce::StringArray presetPaths;
    juce::OwnedArray<FilePreset> presets;
    juce::HashMap<juce::String, FilePreset*> presetsByPath { 101 };
    juce::Array<Folder*> folders;
    Folder root;

    struct Walk;

    bool isInsideTree (const juce::String& path) const;
    bool isInsideTree (const juce::File& file) const;
    /** Adds a failed result to the failures, when given, under the item's display path; true when it did not fail. */
    bool addFailure (juce::StringArray* failures, const juce::String& path, const juce::Result& result) const;
    /** Why an item of moveItems stays where it is, or empty when it may move. */
    juce::String findReasonNotToMove (const juce::File& item, const juce::File& destination, const juce::File& target);
    /** Why an item stays where it is when another item of the same move takes its name. */
    static juce::String describeNameBrought (const juce::File& brought, const juce::String& name);
    Folder* findParentRecord (const juce::File& file);
    void scanTree();
    void scanFolder (Folder& folder, const std::filesystem::path& realPath, Walk& walk, int depth);
    void rescan();
    void rebuildPresetList();
    void collectPresetPaths (Folder& folder);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetCollection)
};
