// A factory-preset archive, unpacked into a folder beside one that nothing may touch.

#include "FactoryPresetUnpacker.h"
#include "FuzzedProduct.h"

#include <cstdlib>

namespace
{
    struct Quiet  : public FactoryPresetUnpacker::Listener
    {
        void entryStarting (const juce::String&) override      {}
        bool entryFinished (int, int) override                  { return true; }
    };
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto untouched = FuzzedProduct::get().writeInput ("Installer/outside/untouched.txt",
                                                            reinterpret_cast<const uint8_t*> ("mine"), 4);
    const auto outside = untouched.getParentDirectory();
    const auto base = outside.getParentDirectory();
    const auto target = base.getChildFile ("target");
    target.deleteRecursively();
    target.createDirectory();

    // Small limits, so that a bomb is found at once and the runs stay fast.
    constexpr int maxEntries = 64;
    juce::MemoryInputStream archive (data, size, false);
    Quiet listener;

    // A name that escapes as a relative path lands in the base, where the count below sees it.
    const auto workingFolder = juce::File::getCurrentWorkingDirectory();
    base.setAsCurrentWorkingDirectory();
    FactoryPresetUnpacker (archive, 1 << 20, maxEntries).unpackInto (target, listener);
    workingFolder.setAsCurrentWorkingDirectory();

    // Only files are counted against the entries: one entry may make the folders on its path.
    if (base.getNumberOfChildFiles (juce::File::findFilesAndDirectories) != 2
         || outside.getNumberOfChildFiles (juce::File::findFilesAndDirectories) != 1
         || untouched.loadFileAsString() != "mine"
         || target.findChildFiles (juce::File::findFiles, true).size() > maxEntries)
        std::abort();

    return 0;
}
