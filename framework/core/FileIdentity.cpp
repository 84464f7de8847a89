#include "FileIdentity.h"

#include <filesystem>

#include <sys/stat.h>

namespace fs = std::filesystem;

FileIdentity::FileIdentity (dev_t deviceNumber, ino_t inodeNumber, std::string name)
    : device (deviceNumber), inode (inodeNumber), newName (std::move (name))
{
}

std::optional<FileIdentity> FileIdentity::of (const juce::File& file, Links links)
{
    if (file == juce::File())
        return {};

    fs::path path (file.getFullPathName().toStdString());

    // As many links as the system itself follows before it gives up on a loop.
    for (int hops = 0;; ++hops)
    {
        struct stat info {};

        if (lstat (path.c_str(), &info) != 0)
            break;

        if (links == Links::keep || ! S_ISLNK (info.st_mode))
            return FileIdentity (info.st_dev, info.st_ino, {});

        std::error_code error;
        const auto target = fs::read_symlink (path, error);

        if (error || hops == 40)
            return {};

        path = target.is_absolute() ? target : path.parent_path() / target;
    }

    // A name that does not exist yet: the folder it would be made in, however that is reached.
    struct stat folder {};
    const auto name = path.filename();

    if (name.empty() || name == "." || name == ".." || stat (path.parent_path().c_str(), &folder) != 0 || ! S_ISDIR (folder.st_mode))
        return {};

    return FileIdentity (folder.st_dev, folder.st_ino, name.native());
}

bool FileIdentity::areSame (const juce::File& first, const juce::File& second, Links links)
{
    const auto a = of (first, links);
    return a.has_value() && a == of (second, links);
}

bool FileIdentity::operator== (const FileIdentity& other) const
{
    return device == other.device && inode == other.inode && newName == other.newName;
}
