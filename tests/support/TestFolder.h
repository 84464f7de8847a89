#pragma once

#include <juce_core/juce_core.h>

#include <cstdlib>
#include <filesystem>
#include <string>

/**
    A folder of a test's own in the temporary folder, named by the system so that two runs of
    the suite never share one, and removed with everything in it when the object goes, however
    the test ends. std::filesystem removes it: JUCE's deleteRecursively passes over sockets and
    cannot list every name a test may leave behind.
*/
class TestFolder
{
public:
    explicit TestFolder (const juce::String& prefix)
    {
        auto name = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile (prefix + "-XXXXXX")
                        .getFullPathName().toStdString();

        if (mkdtemp (name.data()) != nullptr)
            folder = juce::File (name);
    }

    ~TestFolder()
    {
        if (folder != juce::File())
        {
            std::error_code error;
            std::filesystem::remove_all (folder.getFullPathName().toStdString(), error);
        }
    }

    /** The folder, or none when the system could not make it. */
    const juce::File& getFile() const noexcept    { return folder; }

private:
    juce::File folder;

    JUCE_DECLARE_NON_COPYABLE (TestFolder)
};
