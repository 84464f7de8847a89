#include "ApplicationDataFolders.h"
#include "FolderChild.h"
#include "StrictUtf8.h"

#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

namespace
{
    juce::SpinLock rootLock;
    juce::File explicitRoot;

    /** The home folder the system's record of the user names, which JUCE takes without HOME. */
    const char* getAccountHome()
    {
        const auto* account = getpwuid (getuid());
        return account != nullptr ? account->pw_dir : nullptr;
    }

    /** The home folder's name as JUCE reads it, without a check. */
    const char* getHomeAsJuceReadsIt()
    {
        const auto* home = std::getenv ("HOME");
        return home != nullptr ? home : getAccountHome();
    }

    /** The folder a home folder's name names: none for bytes that are not UTF-8 text, which
        JUCE reads past their end, and none for a name that is not absolute, whose leading '~'
        JUCE expands through the home folder itself without end.
    */
    juce::File homeFolderNamed (const char* home)
    {
        const auto name = StrictUtf8::toString (home != nullptr ? home : "");
        return name.has_value() ? FolderChild::fromPath (*name) : juce::File();
    }
}

void ApplicationDataFolders::setRoot (const juce::File& root)
{
    const juce::SpinLock::ScopedLockType sl (rootLock);
    explicitRoot = root;
}

juce::File ApplicationDataFolders::getRoot()
{
    {
        const juce::SpinLock::ScopedLockType sl (rootLock);

        if (explicitRoot != juce::File())
            return explicitRoot;
    }

    const auto* fromEnvironment = std::getenv ("CORVANE_DATA_ROOT");
    const auto root = StrictUtf8::toString (fromEnvironment != nullptr ? fromEnvironment : "");

    // A relative path would depend on the host's working folder: only an absolute one counts,
    // and only one that is UTF-8 text names a folder at all.
    return root.has_value() ? FolderChild::fromPath (*root) : juce::File();
}

juce::File ApplicationDataFolders::getHomeFolder()
{
    for (const char* home : std::initializer_list<const char*> { std::getenv ("HOME"), getAccountHome() })
        if (const auto folder = homeFolderNamed (home); folder != juce::File())
            return folder;

    return {};
}

juce::File ApplicationDataFolders::getUserFolder()
{
    const auto root = getRoot();

    if (root != juce::File())
        return FolderChild::of (root, "user");

    // JUCE finds the folder by way of the home folder, and cannot take one that names no
    // folder: .config below the home folder is where it finds it then.
    if (const auto* home = getHomeAsJuceReadsIt(); home != nullptr && homeFolderNamed (home) == juce::File())
        return FolderChild::of (getHomeFolder(), ".config");

    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory);
}

juce::File ApplicationDataFolders::getCommonFolder()
{
    const auto root = getRoot();

    return root != juce::File() ? FolderChild::of (root, "common")
                                : juce::File::getSpecialLocation (juce::File::commonApplicationDataDirectory);
}
