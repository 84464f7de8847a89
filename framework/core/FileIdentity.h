#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <string>

#include <sys/types.h>

/**
    What a name in the file system is, however it is spelt or reached: two names are one file
    where their identities are equal, through symbolic links, hard links and a second mount of
    one folder alike, where comparing paths would take them for two. A name that does not exist
    yet is its folder's identity with its last name, so that a new name reached through two
    mounts of one folder is one name too.
*/
class FileIdentity
{
public:
    /** Whether a symbolic link stands for what it leads to, or is a file of its own. */
    enum class Links { follow, keep };

    /** The identity of the name. With Links::follow it is that of what its links lead to, a
        name they lead to that does not exist yet included; with Links::keep, of the name
        itself. Nothing where the name's folder cannot be reached, or its links end in a loop.
    */
    static std::optional<FileIdentity> of (const juce::File& file, Links links);

    /** True where both identities are known and equal. */
    static bool areSame (const juce::File& first, const juce::File& second, Links links);

    bool operator== (const FileIdentity& other) const;
    bool operator!= (const FileIdentity& other) const   { return ! operator== (other); }

private:
    FileIdentity (dev_t device, ino_t inode, std::string newName);

    dev_t device;
    ino_t inode;
    std::string newName;   ///< the last name within the folder for a name that does not exist yet
};
