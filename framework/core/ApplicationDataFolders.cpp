#include "ApplicationDataFolders.h"
#include "FolderChild.h"

namespace
{
    juce::SpinLock rootLock;
    juce::File explicitRoot;
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

    const auto fromEnvironment = juce::SystemStats::getEnvironmentVariable ("CORVANE_DATA_ROOT", {});

    // A relative path would depend on the host's working folder: only an absolute one counts.
    return FolderChild::fromPath (fromEnvironment);
}

juce::File ApplicationDataFolders::getUserFolder()
{
    const auto root = getRoot();

    return root != juce::File() ? FolderChild::of (root, "user")
                                : juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory);
}

juce::File ApplicationDataFolders::getCommonFolder()
{
    const auto root = getRoot();

    return root != juce::File() ? FolderChild::of (root, "common")
                                : juce::File::getSpecialLocation (juce::File::commonApplicationDataDirectory);
}
