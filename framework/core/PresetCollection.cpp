#include "PresetCollection.h"

#include "ApplicationDataFolders.h"
#include "CaseKey.h"
#include "CheckedFileOutputStream.h"
#include "FileIdentity.h"
#include "FileTransfer.h"
#include "FolderChild.h"
#include "FolderListing.h"
#include "StrictUtf8.h"
#include "XmlHelpers.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <set>
#include <string_view>
#include <unordered_map>
#include <vector>

#if JUCE_LINUX || JUCE_BSD
 #include <locale.h>
 #include <wctype.h>
#endif

namespace
{
    juce::String normalisedPath (const juce::String& path)
    {
        const auto file = FolderChild::fromPath (path);
        return file != juce::File() ? file.getFullPathName() : path;
    }

    /** Paths as the tree tells its entries apart: by their spelling. Two names that differ only
        in letter case are two entries where the file system tells them apart, and both are listed.
    */
    bool isSamePath (const juce::String& a, const juce::String& b)
    {
        return normalisedPath (a) == normalisedPath (b);
    }

    bool haveSamePath (const juce::File& a, const juce::File& b)
    {
        return a.getFullPathName() == b.getFullPathName();
    }

    /** True when inner's path is outer's or lies somewhere below it. */
    bool isWithinPath (juce::File inner, const juce::File& outer)
    {
        for (;;)
        {
            if (haveSamePath (inner, outer))
                return true;

            auto parent = inner.getParentDirectory();

            if (parent == inner)
                return false;

            inner = parent;
        }
    }

    bool hasPathSeparator (const juce::String& name)
    {
        return name.containsChar ('/') || name.containsChar ('\\');
    }

    /** A name as names that count as one are compared: ignoring case, as CaseKey folds it. */
    juce::String keyOf (const juce::String& name)
    {
        return CaseKey::of (name);
    }

    /** The first of prefix + suffix, prefix(2) + suffix, prefix(3) + suffix and so on that is
        free as juce::File::getNonexistentChildFile finds it (a prefix that ends in a bracketed
        number counts on from it), and that no entry of the folder has in other letter case.
    */
    juce::File findFreeName (const juce::File& folder, const juce::String& prefix, const juce::String& suffix)
    {
        std::unordered_set<juce::String> keys, names;

        for (const auto& entry : FolderListing::list (folder))
        {
            if (entry.name.has_value())
            {
                keys.insert (keyOf (*entry.name));
                names.insert (*entry.name);
            }
        }

        const auto isTaken = [&] (const juce::String& name)
        {
            return FolderChild::of (folder, name).exists() || (keys.count (keyOf (name)) > 0 && names.count (name) == 0);
        };

        if (! isTaken (prefix + suffix))
            return FolderChild::of (folder, prefix + suffix);

        auto stem = prefix;
        int number = 1;
        const auto open = prefix.lastIndexOfChar ('('), close = prefix.lastIndexOfChar (')');

        if (prefix.trim().endsWithChar (')') && open > 0 && close > open && prefix.substring (open + 1, close).containsOnly ("0123456789"))
        {
            number = prefix.substring (open + 1, close).getIntValue();
            stem = prefix.substring (0, open);
        }

        juce::String name;

        do
            name = stem + "(" + juce::String (++number) + ")" + suffix;
        while (isTaken (name));

        return FolderChild::of (folder, name);
    }

    /** Deeper than any tree of presets a user keeps: the bound holds what no record of
        walked folders can see, such as a folder mounted inside itself.
    */
    constexpr int maxFolderDepth = 32;

    /** True when inner is outer or lies below it; both are canonical. */
    bool isAtOrBelow (const std::filesystem::path& inner, const std::filesystem::path& outer)
    {
        auto i = inner.begin();

        for (const auto& part : outer)
            if (i == inner.end() || *i++ != part)
                return false;

        return true;
    }

    //==============================================================================
    // Letters and digits are classified as Unicode does, whatever the process locale:
    // the C locale of a Linux host would count every non-ASCII letter as punctuation.
    struct CharacterClasses
    {
       #if JUCE_LINUX || JUCE_BSD
        CharacterClasses()  : locale (newlocale (LC_CTYPE_MASK, "C.UTF-8", (locale_t) nullptr)) {}
        ~CharacterClasses() { if (locale != (locale_t) nullptr) freelocale (locale); }

        bool isAlphanumeric (wint_t c) const { return (locale != (locale_t) nullptr ? iswalnum_l (c, locale) : std::iswalnum (c)) != 0; }
        int toUpper (wint_t c) const         { return (int) (locale != (locale_t) nullptr ? towupper_l (c, locale) : std::towupper (c)); }

        locale_t locale;
       #else
        bool isAlphanumeric (wint_t c) const { return std::iswalnum (c) != 0; }
        int toUpper (wint_t c) const         { return (int) std::towupper (c); }
       #endif
    };

    const CharacterClasses& characterClasses()
    {
        static const CharacterClasses classes;
        return classes;
    }

    bool isDigit (juce::juce_wchar c)         { return c >= '0' && c <= '9'; }
    wint_t as16Bit (juce::juce_wchar c)       { return (wint_t) (c & 0xffff); }
    bool isAlphanumeric (juce::juce_wchar c)  { return characterClasses().isAlphanumeric (as16Bit (c)); }

    //==============================================================================
    namespace fs = std::filesystem;

    /** A link whose target is relative, by its path from the item that holds it, with the
        place it leads to as the system resolves it.
    */
    struct RelativeLink
    {
        fs::path path, leadsTo;
    };

    /** The relative links that move with the item: the item itself, or those below a folder
        (links to folders are not walked into: what they lead to stays where it is).
    */
    std::vector<RelativeLink> findRelativeLinks (const fs::path& item)
    {
        std::vector<RelativeLink> links;
        std::error_code error;

        const auto add = [&links, &item] (const fs::path& link)
        {
            std::error_code readError;
            const auto leadsTo = fs::read_symlink (link, readError);

            if (readError || leadsTo.is_absolute())
                return;

            const auto destination = fs::weakly_canonical (link.parent_path() / leadsTo, readError);

            if (! readError)
                links.push_back ({ link.lexically_relative (item), destination });
        };

        if (fs::is_symlink (fs::symlink_status (item, error)))
            add (item);
        else if (fs::is_directory (fs::symlink_status (item, error)))
            for (fs::recursive_directory_iterator it (item, error), end; ! error && it != end; it.increment (error))
                if (it->is_symlink (error))
                    add (it->path());

        return links;
    }

    /** Puts a link at the place that leads to the destination from the place's folder, made
        beside it and renamed over it, so that whatever was there is replaced in one step.
    */
    bool makeLink (const fs::path& place, const fs::path& destination)
    {
        // The place's folder as the system resolves it, so that the new link climbs out of
        // it the way the system will.
        std::error_code error;
        const auto folder = fs::canonical (place.parent_path(), error);
        auto leadsTo = error ? fs::path() : destination.lexically_relative (folder);

        if (error)
            return false;

        if (leadsTo.empty())
            leadsTo = destination;

        // Named by the folder's bytes: a folder that holds the link may have a name that is not
        // UTF-8, which no juce::File can name.
        fs::path madePath;

        for (int number = 1; madePath.empty() || fs::symlink_status (madePath, error).type() != fs::file_type::not_found; ++number)
        {
            if (number > 10000)
                return false;

            madePath = place.parent_path() / (".moved-link" + (number > 1 ? std::to_string (number) : std::string()));
        }

        fs::create_symlink (leadsTo, madePath, error);

        if (! error)
            fs::rename (madePath, place, error);

        if (error)
            fs::remove (madePath, error);

        return ! error;
    }

    /** Moves a file, folder or link to the target, replacing a file or link there. A link
        whose target is relative would lead elsewhere from another folder, so a moved link,
        and every link a moved folder holds, leads where it led: it is made again with a
        target relative to its new folder (one into the moved folder goes along with it).
    */
    juce::Result moveItem (const juce::File& item, const juce::File& target)
    {
        if (const auto checked = FileTransfer::checkNotOntoItself (item, target); checked.failed())
            return checked;

        const fs::path from (item.getFullPathName().toStdString()), to (target.getFullPathName().toStdString());
        const auto links = findRelativeLinks (from);
        std::error_code error;

        if (links.empty())
            return FileTransfer::move (item, target);

        if (fs::is_symlink (fs::symlink_status (from, error)))
            return makeLink (to, links.front().leadsTo) && fs::remove (from, error) ? juce::Result::ok()
                                                                                    : juce::Result::fail ("the link could not be made again there");

        const auto oldFolder = fs::canonical (from, error);

        if (error)
            return juce::Result::fail (error.message());

        if (const auto moved = FileTransfer::move (item, target); moved.failed())
            return moved;

        const auto newFolder = fs::canonical (to, error);

        if (error)
            return juce::Result::fail (error.message());

        bool allLead = true;

        for (const auto& link : links)
        {
            auto destination = link.leadsTo;

            if (const auto inside = destination.lexically_relative (oldFolder); ! inside.empty() && *inside.begin() != "..")
                destination = (newFolder / inside).lexically_normal();

            const auto place = to / link.path;
            const auto leadsTo = fs::read_symlink (place, error);

            if (error)
                allLead = false;
            else if (const auto nowLeadsTo = fs::weakly_canonical (place.parent_path() / leadsTo, error); error || nowLeadsTo != destination)
                allLead = makeLink (place, destination) && allLead;
        }

        return allLead ? juce::Result::ok() : juce::Result::fail ("some of the links it holds could not be made again");
    }

   #if JUCE_LINUX || JUCE_BSD
    /** The path as a trash record holds it: URL-escaped UTF-8, separators kept. */
    juce::String escapeTrashInfoPath (const juce::String& path)
    {
        static const juce::String unescaped ("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789/-_.~");
        juce::String escaped;

        for (auto* bytes = path.toRawUTF8(); *bytes != 0; ++bytes)
        {
            const auto c = (unsigned char) *bytes;

            if (unescaped.containsChar ((juce::juce_wchar) c))
                escaped << (char) c;
            else
                escaped << '%' << juce::String::toHexString ((int) c).paddedLeft ('0', 2).toUpperCase();
        }

        return escaped;
    }
   #endif

    /** A place for the item in the trash folder that no item and no record there has yet. The
        record's name adds ".trashinfo" to the item's, and both must fit the file system's 255
        bytes: a longer name is cut before its extension, between two characters, and numbered
        when that is taken. The record keeps the item's whole path.
    */
    juce::File findPlaceInTrash (const juce::File& item, const juce::File& files, const juce::File& info)
    {
        constexpr size_t longestName = 255 - std::string_view (".trashinfo").size();
        auto stem = std::string (item.getFileNameWithoutExtension().toRawUTF8());
        auto extension = std::string (item.getFileExtension().toRawUTF8());

        if (extension.size() > longestName / 2)
        {
            stem += extension;
            extension.clear();
        }

        for (int number = 1; number < 10000; ++number)
        {
            const auto numbering = number > 1 ? "(" + std::to_string (number) + ")" : std::string();
            auto cut = std::min (stem.size(), longestName - extension.size() - numbering.size());

            while (cut > 0 && cut < stem.size() && (stem[cut] & 0xc0) == 0x80)
                --cut;

            const auto name = juce::String::fromUTF8 ((stem.substr (0, cut) + numbering + extension).c_str());
            const auto place = FolderChild::of (files, name), record = FolderChild::of (info, name + ".trashinfo");

            if (! (place.exists() || place.isSymbolicLink() || record.exists() || record.isSymbolicLink()))
                return place;
        }

        return {};
    }

    /** Moves a file or folder to the user's trash.

        On Linux JUCE moves into ~/.local/share/Trash/files but gives up silently when that
        folder does not exist yet, as on a fresh account, writes no restore record, and joins
        the item's name to the trash through getChildFile, which sends a name that begins with
        '~' elsewhere. So the item is moved here, after its record is written, as the trash's
        convention has it, to let a desktop restore it. A failure leaves the item where it was,
        and says why.
    */
    juce::Result moveToTrash (const juce::File& item)
    {
       #if JUCE_LINUX || JUCE_BSD
        const auto home = ApplicationDataFolders::getHomeFolder();

        if (home == juce::File())
            return juce::Result::fail ("the home folder, where the trash lies, has no name that can be read");

        const auto legacyTrash = home.getChildFile (".Trash");
        const auto trash = home.getChildFile (".local/share/Trash");
        const auto trashFiles = trash.getChildFile ("files");
        const auto trashInfo = trash.getChildFile ("info");

        const auto noPlace = juce::Result::fail ("the trash has no free name for it");

        // The older trash keeps no records.
        if (legacyTrash.isDirectory())
        {
            const auto place = findPlaceInTrash (item, legacyTrash, legacyTrash);
            return place != juce::File() ? FileTransfer::move (item, place) : noPlace;
        }

        for (const auto& folder : { trashFiles, trashInfo })
            if (const auto made = folder.createDirectory(); made.failed())
                return juce::Result::fail ("the trash folder " + folder.getFullPathName() + " cannot be made: " + made.getErrorMessage());

        const auto place = findPlaceInTrash (item, trashFiles, trashInfo);

        if (place == juce::File())
            return noPlace;

        // Written in place: a temporary file beside it would need a longer name than the record's.
        const auto record = FolderChild::of (trashInfo, place.getFileName() + ".trashinfo");
        const auto text = ("[Trash Info]\nPath=" + escapeTrashInfoPath (item.getFullPathName())
                             + "\nDeletionDate=" + juce::Time::getCurrentTime().formatted ("%Y-%m-%dT%H:%M:%S") + "\n").toStdString();
        CheckedFileOutputStream stream (record, {});
        const auto made = stream.openedOk();
        stream.write (text.data(), text.size());
        const auto recorded = stream.finish();
        const auto moved = recorded.wasOk() ? FileTransfer::move (item, place)
                                            : juce::Result::fail ("its record in the trash cannot be written: " + recorded.getErrorMessage());

        if (moved.failed() && made)
            record.deleteFile();

        return moved;
       #else
        return item.moveToTrash() && ! item.exists() ? juce::Result::ok() : juce::Result::fail ("the trash did not take it");
       #endif
    }
}

//==============================================================================
juce::String PresetCollection::Folder::getSubFolderPath (int i) const
{
    if (auto* folder = subFolders[i])
        return folder->path;

    return {};
}

int PresetCollection::Folder::indexOfSubFolder (const juce::String& folderPath) const
{
    for (int i = 0; i < subFolders.size(); ++i)
        if (isSamePath (subFolders.getUnchecked (i)->path, folderPath))
            return i;

    return -1;
}

void PresetCollection::Folder::addSubFolder (Folder* folder, bool sort)
{
    if (folder == nullptr)
        return;

    subFolders.add (folder);

    if (sort)
        sortSubFolders();
}

void PresetCollection::Folder::sortSubFolders()
{
    // A stable sort: names equal apart from case compare equal without being one another's
    // equivalents, which std::sort's unguarded loops do not survive.
    std::stable_sort (subFolders.begin(), subFolders.end(), [] (const Folder* a, const Folder* b)
    {
        return compareFileNames (juce::File (a->path), juce::File (b->path)) < 0;
    });
}

bool PresetCollection::Folder::containsPreset (const juce::String& presetPath) const
{
    return presetPathSet.count (presetPath) > 0;
}

void PresetCollection::Folder::addPreset (const juce::String& presetPath, bool sort)
{
    if (presetPath.isEmpty() || ! presetPathSet.insert (presetPath).second)
        return;

    presetPaths.add (presetPath);

    if (sort)
        sortPresets();
}

void PresetCollection::Folder::removePreset (const juce::String& presetPath)
{
    // Paths are unique, and taking one out leaves the others in order.
    if (presetPathSet.erase (presetPath) > 0)
        presetPaths.removeString (presetPath, false);
}

void PresetCollection::Folder::sortPresets()
{
    std::stable_sort (presetPaths.strings.begin(), presetPaths.strings.end(),
                      [] (const juce::String& a, const juce::String& b)
    {
        return compareFileNames (juce::File (a), juce::File (b)) < 0;
    });
}

void PresetCollection::Folder::clear()
{
    subFolders.clear();
    presetPaths.clear();
    presetPathSet.clear();
    skippedNames.clear();
}

//==============================================================================
PresetCollection::PresetCollection (const juce::String& collectionName, const juce::String& fileExtension)
    : extension (fileExtension), name (collectionName)
{
}

juce::File PresetCollection::getRootFolder() const
{
    return FolderChild::fromPath (root.getPath());
}

void PresetCollection::addListener (Listener* listener)
{
    listeners.add (listener);
}

void PresetCollection::removeListener (Listener* listener)
{
    listeners.remove (listener);
}

void PresetCollection::handleAsyncUpdate()
{
    listeners.call (&Listener::presetCollectionChanged, this);
}

//==============================================================================
/** What one scan has walked: the real folders it has entered, by their canonical paths, and
    the links to folders that it has yet to follow.
*/
struct PresetCollection::Walk
{
    struct Link
    {
        Folder* parent;                 // the record that the folder joins, under the link's name
        juce::String path;              // the link's own path
        std::filesystem::path holder;   // the real folder that holds the link
        int depth;
    };

    /** False when the folder has been walked already. */
    bool claim (const std::filesystem::path& realPath)   { return walked.insert (realPath).second; }

    std::set<std::filesystem::path> walked;
    std::vector<Link> links;
};

//==============================================================================
void PresetCollection::setRootFolder (const juce::String& path)
{
    if (normalisedPath (path) == root.getPath())
        return;

    root.setPath (normalisedPath (path));
    rescan();
}

void PresetCollection::refresh()
{
    rescan();
}

void PresetCollection::rescan()
{
    root.clear();
    scanTree();
    rebuildPresetList();
}

void PresetCollection::scanTree()
{
    if (getRootFolder() == juce::File())
        return;

    const std::filesystem::path rootPath (root.getPath().toStdString());
    std::error_code error;
    auto realRoot = std::filesystem::canonical (rootPath, error);

    if (error)
        realRoot = rootPath;

    Walk walk;
    walk.claim (realRoot);
    scanFolder (root, realRoot, walk, 0);

    // Links are followed once every folder of the tree has been claimed under its own name,
    // round by round, the nearest to the root first, so that the name a folder is listed
    // under does not hang on the order of a directory listing.
    while (! walk.links.empty())
    {
        auto round = std::move (walk.links);
        walk.links.clear();
        std::sort (round.begin(), round.end(), [] (const Walk::Link& a, const Walk::Link& b)
        {
            return a.depth != b.depth ? a.depth < b.depth : a.path < b.path;
        });

        for (auto& link : round)
        {
            const auto target = std::filesystem::canonical (link.path.toStdString(), error);

            // A link to the folder that holds it, or to one above, leads round in a loop.
            if (error || isAtOrBelow (link.holder, target) || link.parent->indexOfSubFolder (link.path) >= 0
                 || ! walk.claim (target))
                continue;

            auto subFolder = std::make_unique<Folder> (link.path);
            scanFolder (*subFolder, target, walk, link.depth);
            link.parent->addSubFolder (subFolder.release(), true);
        }
    }
}

void PresetCollection::scanFolder (Folder& folder, const std::filesystem::path& realPath, Walk& walk, int depth)
{
    const auto directory = FolderChild::fromPath (folder.getPath());

    if (directory == juce::File())
        return;

    if (! directory.isDirectory())
        return;

    for (const auto& entry : FolderListing::list (directory))
    {
        const auto& name = entry.bytes;
        const auto shownName = entry.name.has_value() ? *entry.name : StrictUtf8::withInvalidBytesMarked (name.data(), name.size());

        // A preset saved or unpacked with its extension in other letter case is a preset too.
        if (! entry.isFolder && ! (entry.isFile && CaseKey::endsWith (shownName, extension)))
            continue;

        if (! entry.name.has_value())
        {
            folder.addSkippedName (shownName);
            continue;
        }

        const auto childPath = FolderChild::of (directory, *entry.name).getFullPathName();

        if (! entry.isFolder)
        {
            folder.addPreset (childPath, false);
            continue;
        }

        if (depth >= maxFolderDepth)
            continue;

        if (entry.isLink)
        {
            walk.links.push_back ({ &folder, childPath, realPath, depth + 1 });
            continue;
        }

        const auto realChild = realPath / name;

        if (! walk.claim (realChild))
            continue;

        auto subFolder = std::make_unique<Folder> (childPath);
        scanFolder (*subFolder, realChild, walk, depth + 1);
        folder.addSubFolder (subFolder.release(), false);
    }

    folder.sortPresets();
    folder.sortSubFolders();
}

void PresetCollection::rebuildPresetList()
{
    presetsByPath.clear();
    presets.clear();
    presetPaths.clear();
    folders.clear();

    collectPresetPaths (root);
    triggerAsyncUpdate();
}

void PresetCollection::collectPresetPaths (Folder& folder)
{
    presetPaths.addArray (folder.getPresetPaths());

    for (int i = 0; i < folder.getNumSubFolders(); ++i)
        folders.add (folder.getSubFolder (i));

    for (int i = 0; i < folder.getNumSubFolders(); ++i)
        collectPresetPaths (*folder.getSubFolder (i));
}

//==============================================================================
FilePreset* PresetCollection::getPreset (int index, const ParameterManager& manager)
{
    const auto path = presetPaths[index];

    if (path.isEmpty())
        return nullptr;

    if (presetsByPath.contains (path))
        return presetsByPath[path];

    auto* preset = presets.add (new FilePreset());
    preset->loadFromFile (juce::File (path), manager, false);
    presetsByPath.set (path, preset);
    return preset;
}

PresetCollection::Folder* PresetCollection::findFolder (const juce::String& path)
{
    if (isSamePath (path, root.getPath()))
        return &root;

    for (auto* folder : folders)
        if (isSamePath (folder->getPath(), path))
            return folder;

    // A path kept from before, in other letter case, still finds its folder.
    const auto key = keyOf (normalisedPath (path));

    if (keyOf (root.getPath()) == key)
        return &root;

    for (auto* folder : folders)
        if (keyOf (folder->getPath()) == key)
            return folder;

    return nullptr;
}

int PresetCollection::indexOfPreset (const juce::String& path) const
{
    if (const auto exact = presetPaths.indexOf (path); exact >= 0 || path.isEmpty())
        return exact;

    const auto key = keyOf (path);

    for (int i = 0; i < presetPaths.size(); ++i)
        if (keyOf (presetPaths[i]) == key)
            return i;

    return -1;
}

juce::String PresetCollection::getDisplayPath (const juce::String& path) const
{
    const auto rootFolder = getRootFolder();

    if (! isInsideTree (path))
        return path;

    const juce::File file (path);

    if (haveSamePath (file, rootFolder))
        return rootFolder.getFileName();

    return rootFolder.getFileName() + "\\" + file.getRelativePathFrom (rootFolder).replaceCharacter ('/', '\\');
}

juce::StringArray PresetCollection::getSkippedPaths() const
{
    juce::StringArray paths;

    const auto addSkipped = [this, &paths] (const Folder& folder)
    {
        auto names = folder.getSkippedNames();
        names.sort (true);

        for (auto& shownName : names)
            paths.add (getDisplayPath (folder.getPath()) + "\\" + shownName);
    };

    addSkipped (root);

    for (auto* folder : folders)
        addSkipped (*folder);

    return paths;
}

bool PresetCollection::isInsideTree (const juce::String& path) const
{
    return isInsideTree (FolderChild::fromPath (path));
}

bool PresetCollection::isInsideTree (const juce::File& file) const
{
    const auto rootFolder = getRootFolder();
    return rootFolder != juce::File() && file != juce::File() && isWithinPath (file, rootFolder);
}

PresetCollection::Folder* PresetCollection::findParentRecord (const juce::File& file)
{
    return findFolder (file.getParentDirectory().getFullPathName());
}

//==============================================================================
void PresetCollection::addPresetFile (const juce::String& path)
{
    const auto file = FolderChild::fromPath (path);

    if (! file.existsAsFile() || ! isInsideTree (file))
        return;

    juce::Array<juce::File> chain;

    for (auto dir = file.getParentDirectory(); ! haveSamePath (dir, getRootFolder()); dir = dir.getParentDirectory())
        chain.insert (0, dir);

    auto* folder = &root;

    for (auto& dir : chain)
    {
        const auto index = folder->indexOfSubFolder (dir.getFullPathName());

        if (index >= 0)
        {
            folder = folder->getSubFolder (index);
        }
        else
        {
            auto* subFolder = new Folder (dir.getFullPathName());
            folder->addSubFolder (subFolder, true);
            folder = subFolder;
        }
    }

    folder->addPreset (file.getFullPathName(), true);
    rebuildPresetList();
}

juce::String PresetCollection::createFolder (const juce::String& parentPath)
{
    if (! isInsideTree (parentPath))
        return {};

    const juce::File parent (parentPath);
    auto* record = findFolder (parentPath);

    if (record == nullptr || ! parent.isDirectory())
        return {};

    const auto directory = findFreeName (parent, "New folder", {});

    if (! directory.createDirectory())
        return {};

    record->addSubFolder (new Folder (directory.getFullPathName()), true);
    rebuildPresetList();
    return directory.getFullPathName();
}

juce::String PresetCollection::duplicatePreset (const juce::String& path, juce::StringArray* failures)
{
    if (! isInsideTree (path))
        return {};

    const juce::File file (path);
    auto* record = findParentRecord (file);

    if (! file.existsAsFile() || record == nullptr || ! record->containsPreset (file.getFullPathName()))
        return {};

    const auto copy = findFreeName (file.getParentDirectory(), file.getFileNameWithoutExtension(), file.getFileExtension());

    if (! addFailure (failures, path, FileTransfer::copy (file, copy, XmlHelpers::maximumDocumentSize,
                                                          AtomicFileWriter::DanglingLinks::refuse)))
        return {};

    record->addPreset (copy.getFullPathName(), true);
    rebuildPresetList();
    return copy.getFullPathName();
}

juce::String PresetCollection::renamePreset (const juce::String& path, const juce::String& newName, juce::StringArray* failures)
{
    if (newName.trim().isEmpty() || hasPathSeparator (newName) || ! isInsideTree (path))
        return {};

    const juce::File file (path);
    const auto target = FolderChild::besides (file, newName + extension);
    auto* record = findParentRecord (file);

    if (! file.existsAsFile()
         || ! haveSamePath (target.getParentDirectory(), file.getParentDirectory())
         || record == nullptr
         || ! record->containsPreset (file.getFullPathName()))
        return {};

    // Its own name in other letter case is taken too: the file is there under it.
    const auto taken = findReasonNameIsTaken (file.getParentDirectory(), target.getFileName());

    if (! addFailure (failures, path, taken.isEmpty() ? FileTransfer::move (file, target) : juce::Result::fail (taken)))
        return {};

    record->removePreset (file.getFullPathName());
    record->addPreset (target.getFullPathName(), true);
    rebuildPresetList();
    return target.getFullPathName();
}

juce::String PresetCollection::renameFolder (const juce::String& path, const juce::String& newName, juce::StringArray* failures)
{
    if (newName.trim().isEmpty() || hasPathSeparator (newName) || ! isInsideTree (path))
        return {};

    const juce::File directory (path);

    // The root is where the settings say presets live: it is not renamed from inside.
    if (haveSamePath (directory, getRootFolder()))
        return {};

    const auto target = FolderChild::besides (directory, newName);
    auto* record = findFolder (directory.getFullPathName());

    if (! directory.isDirectory() || target.getFullPathName().isEmpty() || target == directory
         || ! haveSamePath (target.getParentDirectory(), directory.getParentDirectory())
         || record == nullptr)
        return {};

    const auto taken = findReasonNameIsTaken (directory.getParentDirectory(), newName, directory);

    if (! addFailure (failures, path, taken.isEmpty() ? FileTransfer::move (directory, target) : juce::Result::fail (taken)))
        return {};

    // Read from the top again: only a walk of the whole tree knows where its links lead.
    rescan();
    return target.getFullPathName();
}

void PresetCollection::moveItems (const juce::StringArray& paths, const juce::String& destinationPath, juce::StringArray* failures)
{
    if (paths.isEmpty())
        return;

    const juce::File destination (destinationPath);

    // Every item is weighed before the first one moves: what an item of this move brings is
    // never what was at the destination, and the later of two that would take one name there
    // stays where it is.
    struct Planned { juce::String path; juce::File item, target, replaced; juce::String reason; };
    std::vector<Planned> plan;
    std::unordered_map<juce::String, juce::File> namesBrought;

    for (auto& path : paths)
    {
        const juce::File item (path);

        // Dropped into the folder it is in: nothing to move, nothing to tell.
        if (item.getParentDirectory() == destination || FileIdentity::areSame (item.getParentDirectory(), destination, FileIdentity::Links::follow))
            continue;

        const auto target = FolderChild::of (destination, item.getFileName());
        auto reason = findReasonNotToMove (item, destination, target);

        if (reason.isEmpty())
        {
            if (const auto [brought, isFirst] = namesBrought.emplace (keyOf (item.getFileName()), item); ! isFirst)
                reason = describeNameBrought (brought->second, item.getFileName());
        }

        plan.push_back ({ path, item, target, findEntryNamed (destination, item.getFileName()), reason });
    }

    for (const auto& p : plan)
    {
        if (p.reason.isNotEmpty())
        {
            addFailure (failures, p.path, juce::Result::fail (p.reason));
            continue;
        }

        // The disk may take another item's name for this one by a rule of its own: only what
        // was there before the move is replaced.
        const auto found = findEntryNamed (destination, p.item.getFileName());

        if (found != juce::File() && found != p.replaced)
        {
            addFailure (failures, p.path, juce::Result::fail (describeNameBrought (found, p.item.getFileName())));
            continue;
        }

        // A preset of its name in other letter case is replaced where it is, and then takes
        // the moved preset's name: at no moment are both there, one of them unlisted.
        if (found == juce::File() || found == p.target)
            addFailure (failures, p.path, moveItem (p.item, p.target));
        else if (addFailure (failures, p.path, moveItem (p.item, found)))
            addFailure (failures, p.path, FileTransfer::move (found, p.target));
    }

    rescan();
}

juce::String PresetCollection::describeNameBrought (const juce::File& brought, const juce::String& name)
{
    return juce::String (brought.isDirectory() ? "a folder" : "a file") + " named '" + brought.getFileName() + "' is moved there too"
             + (brought.getFileName() == name ? "" : ", and names that differ only in letter case count as one");
}

juce::String PresetCollection::findReasonNotToMove (const juce::File& item, const juce::File& destination, const juce::File& target)
{
    if (! isInsideTree (destination) || ! destination.isDirectory() || findFolder (destination.getFullPathName()) == nullptr)
        return "the destination is not a folder of the preset tree";

    if (! isInsideTree (item) || ! isInsideTree (target))
        return "it is not in the preset tree";

    if (item.isDirectory())
    {
        if (liesWithin (destination, item))
            return "a folder cannot move into itself or into a folder of its own";

        // A folder never replaces anything: only preset files are replaced on a move.
        return findReasonNameIsTaken (destination, item.getFileName());
    }

    auto* record = findParentRecord (item);

    if (! item.existsAsFile() || record == nullptr || ! record->containsPreset (item.getFullPathName()))
        return "it is not a preset of the tree";

    if (findEntryNamed (destination, item.getFileName()).isDirectory())
        return findReasonNameIsTaken (destination, item.getFileName());

    return {};
}

bool PresetCollection::liesWithin (const juce::File& inner, const juce::File& folder)
{
    for (auto f = inner; f != f.getParentDirectory(); f = f.getParentDirectory())
        if (FileIdentity::areSame (f, folder, FileIdentity::Links::follow))
            return true;

    return false;
}

juce::File PresetCollection::findEntryNamed (const juce::File& folder, const juce::String& name, const juce::File& except)
{
    const auto isExcepted = [&except] (const juce::File& file)
    {
        return except != juce::File() && (file == except || FileIdentity::areSame (file, except, FileIdentity::Links::keep));
    };

    const auto key = keyOf (name);
    juce::File found;
    bool exceptHasName = false;

    for (const auto& entry : FolderListing::list (folder))
    {
        if (! entry.name.has_value() || keyOf (*entry.name) != key)
            continue;

        const auto file = FolderChild::of (folder, *entry.name);

        if (isExcepted (file))
        {
            exceptHasName = true;
            continue;
        }

        if (*entry.name == name)
            return file;

        if (found == juce::File())
            found = file;
    }

    // The file system has the last word: one that folds names by a rule of its own finds an
    // entry under this name that no listed name matches. Where the excepted entry is the one
    // listed under the name in other case, the disk finds that entry: a FUSE disk numbers each
    // spelling of one name as a file of its own, and only its listing tells them apart.
    if (const auto asked = FolderChild::of (folder, name); found == juce::File() && ! exceptHasName
                                                            && (asked.exists() || asked.isSymbolicLink()) && ! isExcepted (asked))
        return asked;

    return found;
}

juce::String PresetCollection::findReasonNameIsTaken (const juce::File& folder, const juce::String& name, const juce::File& except)
{
    const auto entry = findEntryNamed (folder, name, except);

    if (entry == juce::File())
        return {};

    return juce::String (entry.isDirectory() ? "a folder" : "a file") + " named '" + entry.getFileName() + "' is already there"
             + (entry.getFileName() == name ? "" : ", and names that differ only in letter case count as one");
}

bool PresetCollection::deleteItems (const juce::StringArray& paths, juce::StringArray* failures)
{
    if (paths.isEmpty())
        return true;

    bool allMoved = true;

    for (auto& path : paths)
    {
        if (! isInsideTree (path))
            continue;

        const juce::File item (path);
        auto* record = findParentRecord (item);

        if (record == nullptr)
            continue;

        const bool isPreset = item.existsAsFile() && record->containsPreset (item.getFullPathName());
        const bool isFolder = item.isDirectory() && record->indexOfSubFolder (item.getFullPathName()) >= 0;

        if (isPreset || isFolder)
            allMoved = addFailure (failures, path, moveToTrash (item)) && allMoved;
    }

    rescan();
    return allMoved;
}

bool PresetCollection::addFailure (juce::StringArray* failures, const juce::String& path, const juce::Result& result) const
{
    if (failures != nullptr && result.failed())
        failures->add (getDisplayPath (path) + ": " + result.getErrorMessage());

    return result.wasOk();
}

//==============================================================================
int PresetCollection::compareFileNames (const juce::File& fileA, const juce::File& fileB)
{
    const auto nameA = fileA.getFileNameWithoutExtension();
    const auto nameB = fileB.getFileNameWithoutExtension();
    auto a = nameA.getCharPointer();
    auto b = nameB.getCharPointer();

    while (! a.isEmpty() && ! b.isEmpty() && ! isDigit (*a) && ! isDigit (*b) && *a == *b)
    {
        ++a;
        ++b;
    }

    if (a.isEmpty())
        return b.isEmpty() ? 0 : -1;

    if (b.isEmpty())
        return 1;

    const auto ca = *a, cb = *b;
    const bool alnumA = isAlphanumeric (ca), alnumB = isAlphanumeric (cb);

    if (! alnumA)
        return alnumB ? -1 : (int) ca - (int) cb;

    if (! alnumB)
        return 1;

    if (! isDigit (ca) && ! isDigit (cb))
        return characterClasses().toUpper (as16Bit (ca)) - characterClasses().toUpper (as16Bit (cb));

    if (! isDigit (cb))
        return -1;

    if (! isDigit (ca))
        return 1;

    // Both stand on a number: compare the numbers' values, and only the first numbers.
    int zerosA = 0, zerosB = 0;

    for (; *a == '0'; ++a)
        ++zerosA;

    for (; *b == '0'; ++b)
        ++zerosB;

    if (! isDigit (*a) || ! isDigit (*b))
        return zerosB - zerosA;

    int difference = 0;

    for (; isDigit (*a) && isDigit (*b); ++a, ++b)
    {
        if (*a != *b)
        {
            difference = (int) *a - (int) *b;
            break;
        }
    }

    while (isDigit (*a) && isDigit (*b))
    {
        ++a;
        ++b;
    }

    if (isDigit (*a))
        return 1;

    if (isDigit (*b))
        return -1;

    return difference;
}
