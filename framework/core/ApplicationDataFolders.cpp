#include "ApplicationDataFolders.h"

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
    if (juce::File::isAbsolutePath (fromEnvironment))
        return juce::File (fromEnvironment);

    return {};
}

juce::File ApplicationDataFolders::getUserFolder()
{
    const auto root = getRoot();

    return root != juce::File() ? root.getChildFile ("user")
                                : juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory);
}

juce::File ApplicationDataFolders::getCommonFolder()
{
    const auto root = getRoot();

    return root != juce::File() ? root.getChildFile ("common")
                                : juce::File::getSpecialLocation (juce::File::commonApplicationDataDirectory);
}
