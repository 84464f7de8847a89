#include <benchmark/benchmark.h>

#include "PresetCollection.h"

#include <fstream>

namespace
{
    /** A folder of the benchmark's own in the temporary folder, removed with everything in it at exit. */
    struct BenchFolder
    {
        ~BenchFolder() { folder.deleteRecursively(); }
        const juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                      .getNonexistentChildFile ("corvane-scan-bench", {}, false);
    };

    /** A folder of empty preset files, made once for each size. */
    juce::File folderOfPresets (int numPresets)
    {
        static const BenchFolder base;
        const auto folder = base.folder.getChildFile (juce::String (numPresets));

        if (! folder.isDirectory())
        {
            folder.createDirectory();

            for (int i = 0; i < numPresets; ++i)
                std::ofstream ((folder.getFullPathName() + "/Preset " + juce::String (i) + ".cvprst").toStdString());
        }

        return folder;
    }

    /** Scanning a flat folder: the time per preset should stay level as the folder grows,
        since a scan that searched the folder's list for each file would grow with its square.
        Argument: presets in the folder.
    */
    void presetScan (benchmark::State& state)
    {
        const juce::ScopedJuceInitialiser_GUI juce;
        const auto numPresets = static_cast<int> (state.range (0));
        const auto folder = folderOfPresets (numPresets);

        for (auto _ : state)
        {
            PresetCollection collection ("Presets", ".cvprst");
            collection.setRootFolder (folder.getFullPathName());

            if (collection.getNumPresets() != numPresets)
                state.SkipWithError ("the scan missed presets");
        }

        state.SetComplexityN (state.range (0));
    }
}

BENCHMARK (presetScan)->Arg (5000)->Arg (20000)->Unit (benchmark::kMillisecond)->Complexity();
BENCHMARK_MAIN();
