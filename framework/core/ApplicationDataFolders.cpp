#include "ApplicationDataFolders.h"
#include "FolderChild.h"
#include "StrictUtf8.h"

#include <cstdlib>

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

    const auto* fromEnvironment = std::getenv ("CORVANE_DATA_ROOT");
    const auto root = StrictUtf8::toString (fromEnvironment != nullptr ? fromEnvironment : "");

    // A relative path would depend on the host's working folder: only an absolute one counts,
    // and only one that is UTF-8 text names a folder at all.
    return root.has_value() ? FolderChild::fromPath (*root) : juce::File();
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
