#include "FolderListing.h"

#include "StrictUtf8.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

std::vector<FolderListing::Entry> FolderListing::list (const juce::File& folder)
{
    std::vector<Entry> entries;

    auto* directory = opendir (folder.getFullPathName().toRawUTF8());

    if (directory == nullptr)
        return entries;

    const auto descriptor = dirfd (directory);

    while (const auto* found = readdir (directory))
    {
        const std::string bytes (found->d_name);

        if (bytes == "." || bytes == "..")
            continue;

        Entry entry;
        entry.bytes = bytes;
        entry.name = StrictUtf8::toString (bytes);

        auto type = found->d_type;

        if (type == DT_UNKNOWN)
        {
            struct stat status {};

            if (fstatat (descriptor, found->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0)
                type = S_ISLNK (status.st_mode) ? DT_LNK : S_ISDIR (status.st_mode) ? DT_DIR : S_ISREG (status.st_mode) ? DT_REG : DT_UNKNOWN;
        }

        entry.isLink = type == DT_LNK;
        entry.isFolder = type == DT_DIR;
        entry.isFile = type == DT_REG;

        if (entry.isLink)
        {
            struct stat status {};
            const auto leadsSomewhere = fstatat (descriptor, found->d_name, &status, 0) == 0;
            entry.isFolder = leadsSomewhere && S_ISDIR (status.st_mode);
            entry.isFile = leadsSomewhere && S_ISREG (status.st_mode);
        }

        entries.push_back (std::move (entry));
    }

    closedir (directory);
    return entries;
}
