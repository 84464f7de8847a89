// Writes the built-in skin: the "PluginEditor" document and every picture it names,
// all from one layout, so the document and its pictures cannot drift apart. The build
// runs it and embeds what it writes in the module's resources.

#include "CorvaneFace.h"
#include "SkinWriter.h"

#include <juce_events/juce_events.h>

#include <iostream>
#include <stdexcept>

namespace
{
    void printUsage()
    {
        std::cerr << "usage: corvane-skin-generator --out <folder> --parameters <parameters.xml>\n"
                     "                              --font <DejaVuSans.ttf> --bold-font <DejaVuSans-Bold.ttf>\n"
                     "                              [--preview <folder>]\n";
    }

    // Empties the output folder of what an earlier run wrote, so that a picture the
    // layout no longer names cannot linger among the resources.
    void clearOutput (const juce::File& folder)
    {
        for (const auto& file : folder.findChildFiles (juce::File::findFiles, false, "*.png;*.xml"))
            file.deleteFile();
    }
}

int main (int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI juce;
    const juce::StringArray args (argv + 1, argc - 1);

    auto option = [&args] (const juce::String& name)
    {
        const auto index = args.indexOf (name);
        return index >= 0 && index + 1 < args.size() ? args[index + 1] : juce::String();
    };

    const auto out = option ("--out"), parameters = option ("--parameters");
    const auto regular = option ("--font"), bold = option ("--bold-font"), preview = option ("--preview");

    if (out.isEmpty() || parameters.isEmpty() || regular.isEmpty() || bold.isEmpty())
    {
        printUsage();
        return 2;
    }

    try
    {
        const SkinArtist artist { juce::File (regular), juce::File (bold) };
        SkinBuilder builder { artist, juce::File (parameters) };
        CorvaneFace::build (builder);
        const SkinWriter writer (builder);

        const juce::File folder (out);
        folder.createDirectory();
        clearOutput (folder);

        if (! writer.writeTo (folder))
            return 1;

        if (preview.isNotEmpty())
        {
            const juce::File previewFolder (preview);
            previewFolder.createDirectory();

            for (int variant = 1; variant <= 3; ++variant)
            {
                const auto file = previewFolder.getChildFile ("face-preview-" + juce::String (variant) + ".png");
                file.deleteFile();
                juce::FileOutputStream stream (file);
                juce::PNGImageFormat png;

                if (stream.failedToOpen() || ! png.writeImageToStream (writer.createPreview (variant), stream))
                {
                    std::cerr << "cannot write " << file.getFullPathName() << "\n";
                    return 1;
                }
            }
        }

        std::cout << "skin: " << writer.getImages().size() << " pictures and skin.xml in " << folder.getFullPathName() << "\n";
        return 0;
    }
    catch (const std::exception& e)
    {
        std::cerr << "corvane-skin-generator: " << e.what() << "\n";
        return 1;
    }
}
