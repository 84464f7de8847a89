// Writes the factory presets from their recipes and packs them into the two archives the
// installer unpacks: every preset in the full one, those new in this version in the update.
//
//   corvane-factory-presets <recipes.xml> <output folder>
//
// A recipe names only what differs from the processor's default state; the real processor
// completes it, so every preset holds every preset parameter as the processor writes it.
// Any unknown name or value that a parameter would not take fails the run, and so does a
// preset through which an impulse comes out without an echo.

#include "ApplicationDataFolders.h"
#include "WorkingFolder.h"
#include "Corvane.h"
#include "FactoryPresetCheck.h"

#include <juce_events/juce_events.h>
#include <iostream>

namespace
{
    int fail (const juce::String& message)
    {
        std::cerr << "corvane-factory-presets: " << message << std::endl;
        return 1;
    }

    std::unique_ptr<juce::XmlElement> writePreset (Corvane& processor, const juce::XmlElement& recipe, juce::StringArray& problems)
    {
        auto& manager = processor.parameterManager;
        processor.applyPreset (nullptr, *processor.getDefaultPreset (nullptr));

        for (auto* param : recipe.getChildWithTagNameIterator ("param"))
        {
            const auto name = param->getStringAttribute ("name");
            const auto text = param->getStringAttribute ("value");
            auto* parameter = manager.getParameter (manager.getParameterIndex (name));

            if (parameter == nullptr || ! FactoryPresetCheck::isValidText (*parameter, text))
                problems.add (recipe.getStringAttribute ("name") + ": \"" + name + "\" cannot be \"" + text + "\"");
            else
                manager.setParameterText (parameter->getIndex(), text);
        }

        auto preset = processor.createPreset (nullptr, {});
        preset->setName (recipe.getStringAttribute ("name"));
        preset->setApplication ("Corvane");
        preset->setCategory (recipe.getStringAttribute ("category"));
        preset->setVersion (FactoryPresetCheck::version);
        preset->setAuthor (FactoryPresetCheck::author);
        preset->setId (recipe.getStringAttribute ("id"));

        auto xml = preset->createXml (manager);
        problems.addArray (FactoryPresetCheck::findProblems (*xml, processor));
        return xml;
    }

    bool writeArchive (const juce::File& file, const juce::OwnedArray<juce::MemoryBlock>& contents, const juce::StringArray& paths)
    {
        juce::ZipFile::Builder builder;

        // A fixed time: the same recipes give the same archive.
        const juce::Time stamp (2014, 8, 2, 12, 0);

        for (int i = 0; i < paths.size(); ++i)
            builder.addEntry (new juce::MemoryInputStream (*contents[i], false), 9, paths[i], stamp);

        file.deleteFile();
        juce::FileOutputStream out (file);
        return out.openedOk() && builder.writeToStream (out, nullptr);
    }
}

int main (int argc, char* argv[])
{
    if (argc != 3)
        return fail ("usage: corvane-factory-presets <recipes.xml> <output folder>");

    const auto recipes = juce::parseXML (juce::File (juce::String (argv[1])));

    if (recipes == nullptr || ! recipes->hasTagName ("FactoryPresets"))
        return fail ("no factory preset recipes in " + juce::String (argv[1]));

    // JUCE's reading of a working folder that is gone gives none, and a relative name would lead to "/".
    const auto workingFolder = WorkingFolder::find();

    if (workingFolder == juce::File() && ! juce::File::isAbsolutePath (argv[2]))
        return fail ("the working folder cannot be read, so the output folder " + juce::String (argv[2]) + " names none");

    const juce::File output (workingFolder.getChildFile (juce::String (argv[2])));
    const juce::ScopedJuceInitialiser_GUI juce;

    // The processor saves its settings when it goes: into a folder of our own, not the user's.
    const auto dataRoot = output.getChildFile ("processor-data");
    ApplicationDataFolders::setRoot (dataRoot);

    juce::OwnedArray<juce::MemoryBlock> full, update;
    juce::StringArray fullPaths, updatePaths, problems;

    {
        // One processor writes the presets, another plays each as a user would load it.
        Corvane processor, player;
        FactoryPresetCheck::connectEngine (player);

        for (auto* recipe : recipes->getChildWithTagNameIterator ("Preset"))
        {
            const auto xml = writePreset (processor, *recipe, problems);

            if (! FactoryPresetCheck::rendersWetSignal (*xml, player))
                problems.add (recipe->getStringAttribute ("name") + ": no echo, an impulse comes out as a mere gain of itself");
            const auto path = "Presets/" + recipe->getStringAttribute ("category") + "/"
                              + juce::File::createLegalFileName (recipe->getStringAttribute ("name")) + ".cvprst";

            if (fullPaths.contains (path))
                problems.add (path + " twice");

            const auto document = xml->toString();
            auto* text = full.add (new juce::MemoryBlock (document.toRawUTF8(), document.getNumBytesAsUTF8()));
            fullPaths.add (path);

            if (recipe->getStringAttribute ("since") == FactoryPresetCheck::version)
            {
                update.add (new juce::MemoryBlock (*text));
                updatePaths.add (path);
            }
        }
    }

    dataRoot.deleteRecursively();

    if (! problems.isEmpty())
        return fail (problems.joinIntoString ("\n"));

    output.createDirectory();

    if (! writeArchive (output.getChildFile ("Corvane Factory Presets v1.1 - full.zip"), full, fullPaths)
         || ! writeArchive (output.getChildFile ("Corvane Factory Presets v1.1 - update.zip"), update, updatePaths))
        return fail ("cannot write the archives into " + output.getFullPathName());

    std::cout << fullPaths.size() << " factory presets, " << updatePaths.size() << " new in this version" << std::endl;
    return 0;
}
