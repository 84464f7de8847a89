#include "CommandLineHost.h"

#include "ApplicationDataFolders.h"
#include "CaseKey.h"
#include "DemoPhrase.h"
#include "FileIdentity.h"
#include "FolderChild.h"
#include "OutputFile.h"
#include "PluginParameters.h"
#include "ProgressDisplay.h"
#include "StateFile.h"
#include "SystemPath.h"
#include "WavFileWriter.h"
#include "XmlHelpers.h"

#include "AAX_ChunkRecord.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <iostream>

#include <sys/stat.h>
#include <unistd.h>

namespace
{
    constexpr const char* moduleFileName = "Corvane.aaxplugin.so";
    constexpr double demoSampleRate = 48000.0;
    constexpr double tailQuietSeconds = 0.1;
    constexpr float tailThreshold = 1.0e-5f;    // -100 dBFS

    /** The limiter's look-ahead: with it on, the whole output comes this much late. */
    constexpr double limiterLookAheadSeconds = 0.003319;

    /** The pre-roll after which the plug-in is settled at a rate. Its slowest glide, the delay
        times', runs through two one-pole smoothers in a row whose coefficient, 0.0005·k² with
        k = 2·(1 - 0.5^(44100 / rate)), falls as the rate rises; after 16 of their time
        constants even a glide across the longest delay (15 s) is within 0.03 ms of its end.
    */
    double getSettlingSeconds (double sampleRate)
    {
        const auto k = 2.0 * (1.0 - std::pow (0.5, 44100.0 / sampleRate));
        return 16.0 / (0.0005 * k * k * sampleRate);
    }

    juce::String fourCharacterCode (AAX_CPropertyValue value)
    {
        const auto code = static_cast<uint32_t> (value);
        juce::String text;

        for (int shift = 24; shift >= 0; shift -= 8)
        {
            const auto character = static_cast<char> ((code >> shift) & 0xFF);

            if (character < 0x20 || character > 0x7E)
                return "0x" + juce::String::toHexString (static_cast<int> (code)).paddedLeft ('0', 8);

            text << character;
        }

        return "'" + text + "'";
    }

    juce::String describeProperty (uint32_t id, AAX_CPropertyValue value)
    {
        const auto hex = "0x" + juce::String::toHexString (value).paddedLeft ('0', 8);

        switch (id)
        {
            case AAX_PropManufacturerID:    return "manufacturer " + fourCharacterCode (value);
            case AAX_PropProductID:         return "product " + fourCharacterCode (value);
            case AAX_PropNativePlugInID:    return "native id " + fourCharacterCode (value);
            case AAX_PropOfflinePlugInID:   return "offline id " + fourCharacterCode (value);
            case AAX_PropInputStemFormat:   return "input stem " + hex;
            case AAX_PropOutputStemFormat:  return "output stem " + hex;
            default:                        return "property " + juce::String (id) + " = " + juce::String (value);
        }
    }

    juce::String describeField (const FieldDescription& field)
    {
        using Kind = FieldDescription::Kind;
        const auto index = juce::String (field.index) + ": ";

        switch (field.kind)
        {
            case Kind::audioIn:       return index + "audio in";
            case Kind::audioOut:      return index + "audio out";
            case Kind::bufferLength:  return index + "block length";
            case Kind::dataInPort:    return index + "data port (" + juce::String (field.size) + " bytes, type " + juce::String (field.type) + ")";
            case Kind::midiNode:      return index + "MIDI node \"" + juce::String (field.name) + "\" (type " + juce::String (field.type)
                                              + ", channels 0x" + juce::String::toHexString (static_cast<int> (field.channelMask)) + ")";
            case Kind::privateData:   return index + "private data (" + juce::String (field.size) + " bytes)";
            case Kind::sampleRate:
            case Kind::clock:
            case Kind::sideChainIn:
            case Kind::auxOutputStem:
            case Kind::scratchData:
            case Kind::meters:
            case Kind::directMemory:
            case Kind::reserved:
            default:                  return index + "other field";
        }
    }

    juce::String join (const std::vector<std::string>& texts)
    {
        juce::StringArray array;

        for (const auto& text : texts)
            array.add (text);

        return array.joinIntoString (", ");
    }

    int channelsOf (const ComponentDescription& component, uint32_t stemProperty)
    {
        AAX_CPropertyValue stem = 0;
        return findProperty (component.properties, stemProperty, stem) ? AAX_ChannelCountOfStemFormat (static_cast<uint32_t> (stem)) : 0;
    }

    juce::String decibels (float level)
    {
        return level > 0.0f ? juce::String (juce::Decibels::gainToDecibels (level, -1000.0f), 1) + " dBFS" : "-inf dBFS";
    }

    constexpr AAX_CTypeID processorChunkID = AAX_FourCC ("juce");

    AAX_CTypeID chunkIDOf (const std::vector<uint8_t>& record)
    {
        AAX_ChunkRecord header {};
        std::memcpy (&header, record.data(), juce::jmin (record.size(), sizeof (header)));
        return header.chunkID;
    }

    /** The processor's state document in a chunk record, read as the plug-in reads it. */
    std::unique_ptr<juce::XmlElement> parseStateDocument (const std::vector<uint8_t>& record)
    {
        if (record.size() <= sizeof (AAX_ChunkRecord))
            return {};

        return XmlHelpers::parseUntrustedBinary (record.data() + sizeof (AAX_ChunkRecord),
                                                 static_cast<int> (record.size() - sizeof (AAX_ChunkRecord)));
    }

    bool isSameValue (const juce::String& a, const juce::String& b)
    {
        const auto isNumber = [] (const juce::String& text)
        {
            return text.containsOnly ("0123456789.+-eE") && text.containsAnyOf ("0123456789");
        };

        // The plug-in keeps its numbers as floats, and may write one back in fewer digits.
        return a == b || (isNumber (a) && isNumber (b) && static_cast<float> (a.getDoubleValue()) == static_cast<float> (b.getDoubleValue()));
    }

    /** What of the given state document the plug-in does not hold: each parameter of its
        presets that is missing or has another value ("Delay Lines Routing ('Mixed 9')"), and
        each other part (a map) by its name.
    */
    juce::StringArray findUnrestored (const juce::XmlElement& given, const juce::XmlElement& held)
    {
        juce::StringArray missing;

        const auto findChild = [] (const juce::XmlElement& parent, const juce::String& tag, const juce::String& name) -> const juce::XmlElement*
        {
            for (auto* child : parent.getChildWithTagNameIterator (tag))
                if (child->getStringAttribute ("name") == name)
                    return child;

            return nullptr;
        };

        for (auto* part : given.getChildIterator())
        {
            if (! part->hasTagName ("Preset"))
            {
                const auto* kept = held.getChildByName (part->getTagName());

                if (kept == nullptr || ! kept->isEquivalentTo (part, true))
                    missing.add ("its " + part->getTagName());

                continue;
            }

            const auto* keptPreset = findChild (held, "Preset", part->getStringAttribute ("name"));

            for (auto* entry : part->getChildWithTagNameIterator ("param"))
            {
                const auto name = entry->getStringAttribute ("name"), value = entry->getStringAttribute ("value");
                const auto* kept = keptPreset != nullptr ? findChild (*keptPreset, "param", name) : nullptr;

                if (kept == nullptr || ! isSameValue (kept->getStringAttribute ("value"), value))
                    missing.add (name + " ('" + value + "')");
            }
        }

        return missing;
    }

    /** Why the plug-in cannot make this folder or keep files in it; empty when it can. */
    juce::String whyFolderCannotBeUsed (const juce::File& folder)
    {
        // The nearest name that is there, a link that leads nowhere included: the plug-in can
        // make no folder at one, nor below it.
        auto existing = folder;
        struct stat info {};

        while (lstat (existing.getFullPathName().toRawUTF8(), &info) != 0 && existing.getParentDirectory() != existing)
            existing = existing.getParentDirectory();

        if (stat (existing.getFullPathName().toRawUTF8(), &info) != 0)
        {
            const auto why = errno == ELOOP ? SystemPath::describeTooManyLinks (existing) : juce::String ("is a symbolic link that leads nowhere");
            return existing == folder ? why : "cannot be created: " + existing.getFullPathName() + " " + why;
        }

        // Permissions do not tell (root may write anywhere by them, /proc included): making a
        // folder where the plug-in will make its own does, and the trial one is taken away. Its
        // name is this run's own, so that runs started together do not take each other's away.
        const auto canWriteIn = [] (const juce::File& parent)
        {
            const auto trial = parent.getChildFile (".corvane-host-check-" + juce::String (getpid()) + "-"
                                                    + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64()));
            const auto made = parent.isDirectory() && mkdir (trial.getFullPathName().toRawUTF8(), 0700) == 0;

            if (made)
                rmdir (trial.getFullPathName().toRawUTF8());

            return made;
        };

        // Another run may have made the folder meanwhile: what is there when the check ends counts.
        if (canWriteIn (existing) || (existing != folder && canWriteIn (folder)))
            return {};

        if (existing == folder)
            return "is not a folder that can be written";

        return S_ISDIR (info.st_mode) ? juce::String ("cannot be created")
                                      : "cannot be created: " + existing.getFullPathName() + " is not a folder";
    }

    /** The plug-in ignores a relative root and cannot keep its files below one it cannot write,
        nor in a settings folder that it cannot make or write on the way from the root (or the
        home folder) to it: none of these may pass in silence.
    */
    void warnAboutDataFolders (const juce::File& settingsFolder)
    {
        const auto root = SystemPath::getEnvironmentVariable ("CORVANE_DATA_ROOT");

        if (root.isNotEmpty())
        {
            const auto rootFolder = FolderChild::fromPath (root);

            if (rootFolder == juce::File())
            {
                std::cerr << "corvane-host: CORVANE_DATA_ROOT '" << root << "' is not an absolute path: the plug-in ignores it"
                             " and uses its usual folders\n";
            }
            else if (const auto why = whyFolderCannotBeUsed (rootFolder); why.isNotEmpty())
            {
                std::cerr << "corvane-host: CORVANE_DATA_ROOT '" << root << "' " << why
                          << ": the plug-in cannot keep its settings and presets there\n";
                return;
            }
        }

        if (const auto why = whyFolderCannotBeUsed (settingsFolder); why.isNotEmpty())
            std::cerr << "corvane-host: the plug-in's folder " << settingsFolder.getFullPathName() << " " << why
                      << ": the plug-in cannot keep its settings and presets there\n";
    }
}

CommandLineHost::CommandLineHost (const CommandLineOptions& o) : options (o)
{
    checkFiles();
    warnAboutDataFolders (getSettingsFile().getParentDirectory());
}

//==============================================================================
juce::File CommandLineHost::findModule() const
{
    if (options.module != juce::File())
        return options.module;

    if (const auto fromEnvironment = SystemPath::getEnvironmentVariable ("CORVANE_MODULE"); fromEnvironment.isNotEmpty())
        return CommandLineOptions::fileToRead ("CORVANE_MODULE", fromEnvironment);

    // The system's own name for the running program: JUCE's finds it by way of the working
    // folder, whose name it reads without a check.
    try
    {
        return SystemPath::getLinkTarget (juce::File ("/proc/self/exe")).getSiblingFile (moduleFileName);
    }
    catch (const SystemPath::UnreadableName& unreadable)
    {
        throw HostError (std::string ("cannot find the module beside corvane-host: ") + unreadable.what()
                         + "; give its name with --module or CORVANE_MODULE");
    }
}

std::unique_ptr<SimulatedModule> CommandLineHost::loadModule() const
{
    const auto file = findModule();

    if (! file.existsAsFile())
        throw HostError ("cannot load the module " + file.getFullPathName().toStdString() + ": no such file");

    auto module = std::make_unique<SimulatedModule> (file.getFullPathName().toStdString());

    if (! module->isLoaded())
        throw HostError ("cannot load the module " + file.getFullPathName().toStdString() + ": " + module->getError());

    if (const auto result = module->startup(); result != ACF_OK)
        throw HostError ("the module failed to start (" + std::to_string (result) + ")");

    if (const auto result = module->registerPlugin(); result != ACF_OK)
        throw HostError ("the module failed to describe itself (" + std::to_string (result) + ")");

    if (module->getDescription().effects.empty() || module->getDescription().effects.front().components.empty())
        throw HostError ("the module describes no effect");

    return module;
}

size_t CommandLineHost::findComponent (const SimulatedModule& module) const
{
    const auto& components = module.getDescription().effects.front().components;

    for (size_t index = 0; index < components.size(); ++index)
        if (channelsOf (components[index], AAX_PropInputStemFormat) == options.numInputs
             && channelsOf (components[index], AAX_PropOutputStemFormat) == options.numOutputs)
            return index;

    throw HostError ("the module offers no " + std::to_string (options.numInputs) + "x" + std::to_string (options.numOutputs)
                      + " configuration");
}

std::unique_ptr<SimulatedInstance> CommandLineHost::makeInstance (SimulatedModule& module, size_t component, double sampleRate) const
{
    SimulatedInstance::Settings settings;
    settings.componentIndex = component;
    settings.sampleRate = static_cast<float> (sampleRate);
    settings.maxBlockSize = options.blockSize;

    auto instance = std::make_unique<SimulatedInstance> (module, settings);

    if (const auto result = instance->create(); result != AAX_OK)
        throw HostError ("the module made no effect (" + std::to_string (result) + ")");

    if (const auto result = instance->initialize(); result != AAX_OK)
        throw HostError ("the effect failed to initialise (" + std::to_string (result) + ")");

    return instance;
}

//==============================================================================
void CommandLineHost::describe()
{
    auto module = loadModule();
    const auto& description = module->getDescription();
    const auto& effect = description.effects.front();
    auto& out = std::cout;

    out << "Effect:         " << effect.identifier << "\n";
    out << "Names:          " << join (effect.names) << "\n";
    out << "Manufacturer:   " << description.manufacturerName << "\n";
    out << "Package:        " << join (description.packageNames) << "\n";
    out << "Version:        " << (description.packageVersion >> 16) << "." << ((description.packageVersion >> 8) & 0xFF)
        << "." << (description.packageVersion & 0xFF) << "\n";

    for (const auto category : effect.categories)
        out << "Category:       " << category << (category == AAX_CategoryDelay ? " (delay)" : "") << "\n";

    out << "Configurations: " << effect.components.size() << "\n";

    for (const auto& component : effect.components)
    {
        out << "  " << channelsOf (component, AAX_PropInputStemFormat) << " in / "
            << channelsOf (component, AAX_PropOutputStemFormat) << " out\n";

        for (const auto& field : component.fields)
            out << "    field " << describeField (field) << "\n";

        juce::StringArray properties;

        for (const auto& [id, value] : component.properties)
            properties.add (describeProperty (id, value));

        out << "    " << properties.joinIntoString (", ") << "\n";
    }

    auto instance = makeInstance (*module, 0, demoSampleRate);
    const auto ids = instance->getParameterIDs();
    out << "Parameters:     " << ids.size() << "\n";

    for (const auto& id : ids)
        out << "  " << juce::String (id).paddedRight (' ', 16) << juce::String (instance->getParameterName (id)).paddedRight (' ', 40)
            << instance->getParameterText (id) << "\n";

    if (options.listAll)
        out << PluginParameters (*instance).describeAll();
}

//==============================================================================
juce::Result CommandLineHost::checkOutput (const juce::String& option) const
{
    struct Use
    {
        juce::String name;      ///< the option, for an output
        juce::String what;      ///< what the file is to the run, as the user is told
        juce::File file;
    };

    const auto given = [] (const juce::String& name, const juce::File& file) { return Use { name, "the file given to " + name, file }; };

    const auto moduleFrom = options.module != juce::File() ? juce::String ("--module")
                          : SystemPath::getEnvironmentVariable ("CORVANE_MODULE").isNotEmpty() ? juce::String ("CORVANE_MODULE")
                                                                                                : juce::String();

    // Every file the run reads, and the plug-in's settings, which it reads and writes back
    // when it closes; then the outputs, each of which meets those before it.
    std::vector<Use> others { given ("--in", options.input), given ("--state-in", options.stateInput), given ("--preset", options.preset),
                              moduleFrom.isNotEmpty() ? given (moduleFrom, findModule()) : Use { {}, "the module corvane-host loads", findModule() },
                              { {}, "the plug-in's settings file", getSettingsFile() } };

    if (option == "--state-out")
        others.push_back (given ("--out", options.output));

    const auto& output = option == "--out" ? options.output : options.stateOutput;

    // By what the names lead to, not by how they are spelt: through links, hard links and two
    // mounts of one folder alike.
    for (const auto& other : others)
    {
        // Updating a state file in place is what --state-in and --state-out naming one file ask for.
        if (option == "--state-out" && other.name == "--state-in")
            continue;

        if (FileIdentity::areSame (output, other.file, FileIdentity::Links::follow))
            return juce::Result::fail ("is " + other.what);
    }

    // The run may read more than it knows of (the maps the settings name, its fonts, its own
    // program): what no output of this kind has written is no output's to replace.
    return OutputFile::checkReplaceable (output, option == "--state-out" ? OutputFile::Kind::state
                                               : options.command == "snapshot" ? OutputFile::Kind::png
                                                                               : OutputFile::Kind::wav);
}

void CommandLineHost::checkFiles() const
{
    for (const auto* option : { "--out", "--state-out" })
    {
        const auto& output = juce::String (option) == "--out" ? options.output : options.stateOutput;

        if (output == juce::File())
            continue;

        if (const auto check = checkOutput (option); check.failed())
            throw UsageError ((option + (" " + output.getFullPathName()) + " " + check.getErrorMessage() + ": it would be overwritten").toStdString());
    }
}

juce::File CommandLineHost::getSettingsFile()
{
    return ApplicationDataFolders::getUserFolder().getChildFile ("Halvorn").getChildFile ("Corvane").getChildFile ("Corvane.ini");
}

std::unique_ptr<RenderInput> CommandLineHost::openInput (double& sampleRate) const
{
    const auto path = options.input.getFullPathName().toStdString();

    if (! options.input.existsAsFile())
        throw HostError ("cannot read " + path + ": no such file");

    std::unique_ptr<juce::AudioFormatReader> reader;
    juce::StringArray notes;

    try
    {
        reader = RenderInput::createReader (options.input, notes);
    }
    catch (const std::exception& error)
    {
        throw HostError ("cannot read " + path + ": " + error.what());
    }

    for (const auto& note : notes)
        std::cerr << "corvane-host: warning: reading " << path << ": " << note << "\n";

    if (reader->numChannels < 1 || reader->numChannels > 2)
        throw HostError ("cannot read " + path + ": it has " + std::to_string (reader->numChannels)
                          + " channels; only mono and stereo files can be rendered");

    if (reader->lengthInSamples <= 0)
        throw HostError ("cannot read " + path + ": it holds no audio");

    if (! (reader->sampleRate >= CommandLineOptions::minSampleRate))
        throw HostError ("cannot read " + path + ": its sample rate of " + juce::String (reader->sampleRate, 0).toStdString()
                          + " Hz is below " + std::to_string (CommandLineOptions::minSampleRate) + " Hz");

    // The file is fine; the command line lacks the rate to render it at.
    if (! options.sampleRate.has_value() && reader->sampleRate > CommandLineOptions::maxSampleRate)
        throw UsageError ("cannot render " + path + " at its own rate of " + juce::String (reader->sampleRate, 0).toStdString()
                          + " Hz (8000 to 192000): choose one with --rate");

    sampleRate = options.sampleRate.has_value() ? *options.sampleRate : reader->sampleRate;
    const auto renderedLength = static_cast<double> (reader->lengthInSamples) * sampleRate / reader->sampleRate;

    // The output holds the tail too, and must fit a WAV file's 32-bit sizes.
    const auto maxLength = static_cast<double> (WavFileWriter::getMaxFrames (options.numOutputs))
                         - CommandLineOptions::maxTailSeconds * sampleRate;

    if (renderedLength > maxLength)
        throw HostError ("cannot render " + path + ": at " + juce::String (sampleRate, 0).toStdString() + " Hz it is "
                          + juce::String (renderedLength / sampleRate, 0).toStdString() + " s long, more than the "
                          + juce::String (maxLength / sampleRate, 0).toStdString() + " s a WAV file can hold");

    const auto isStereo = reader->numChannels == 2;
    auto input = std::make_unique<RenderInput> (std::move (reader), sampleRate, options.numInputs);

    // An output made of the tail alone is no render of the input.
    if (input->getLength() == 0)
        throw HostError ("cannot render " + path + ": at " + juce::String (sampleRate, 0).toStdString() + " Hz it is shorter than one sample");

    if (isStereo && options.numInputs == 1)
        std::cerr << "corvane-host: the stereo input is mixed to mono for the " << options.numInputs << "x" << options.numOutputs
                  << " configuration\n";

    return input;
}

void CommandLineHost::restoreState (SimulatedInstance& instance) const
{
    std::vector<StateFile::Record> records;
    const auto path = options.stateInput.getFullPathName().toStdString();

    if (const auto error = StateFile::read (options.stateInput, records); error.isNotEmpty())
        throw HostError (error.toStdString());

    const std::vector<uint8_t>* processorState = nullptr;

    for (const auto& record : records)
    {
        if (const auto result = instance.setChunk (record); result != AAX_OK)
            throw HostError ("the effect refused the state in " + path + " (" + std::to_string (result) + ")");

        if (chunkIDOf (record) == processorChunkID)
            processorState = &record;
    }

    // The restored controls come back as requests, which the host answers.
    instance.confirmPendingRequests();

    // The plug-in takes whatever part of a state it can read and reports success all the same,
    // so what it holds now is compared with what it was given.
    if (processorState == nullptr)
        throw HostError ("cannot restore the state in " + path + ": it holds no processor state");

    const auto given = parseStateDocument (*processorState);

    if (given == nullptr || ! given->hasTagName ("PluginState"))
        throw HostError ("cannot restore the state in " + path + ": its processor state is damaged (no state document can be read from it)");

    std::vector<uint8_t> record;
    const auto held = instance.getChunk (processorChunkID, record) == AAX_OK ? parseStateDocument (record) : nullptr;

    if (held == nullptr)
        throw HostError ("cannot restore the state in " + path + ": the effect gave no state back");

    if (const auto missing = findUnrestored (*given, *held); ! missing.isEmpty())
        throw HostError ("cannot restore the state in " + path + ": the plug-in did not take "
                          + (missing.size() <= 3 ? missing.joinIntoString (", ")
                                                 : missing.joinIntoString (", ", 0, 3) + " and " + juce::String (missing.size() - 3) + " more")
                                .toStdString());
}

juce::String CommandLineHost::applySettings (SimulatedInstance& instance, double* longestDelay, double* outputDelay) const
{
    if (options.stateInput != juce::File())
        restoreState (instance);

    PluginParameters parameters (instance);

    if (options.preset != juce::File())
        for (const auto& [name, given, used] : parameters.loadPreset (options.preset))
            std::cerr << "corvane-host: warning: the preset sets " << name << " to '" << given
                      << "', which the plug-in does not take: it uses '" << used << "'\n";

    parameters.setAll (options.parameterValues, options.bypass);
    instance.confirmPendingRequests();

    if (longestDelay != nullptr)
        *longestDelay = parameters.getLongestDelay (options.bpm);

    if (outputDelay != nullptr)
        *outputDelay = CaseKey::equal (parameters.getText ("Limiter Active"), "on") ? limiterLookAheadSeconds : 0.0;

    const auto quality = options.mode == CommandLineOptions::Mode::offline ? "Offline Processing Quality" : "Real-time Processing Quality";
    return juce::String (quality) + " " + parameters.getText (quality);
}

std::vector<std::vector<uint8_t>> CommandLineHost::saveState (SimulatedInstance& instance) const
{
    std::vector<std::vector<uint8_t>> records;

    for (const auto id : instance.getChunkIDs())
    {
        std::vector<uint8_t> record;

        if (const auto result = instance.getChunk (id, record); result != AAX_OK)
            throw HostError ("the effect gave no state (" + std::to_string (result) + ")");

        records.push_back (std::move (record));
    }

    return records;
}

//==============================================================================
void CommandLineHost::render()
{
    std::unique_ptr<RenderInput> input;
    std::unique_ptr<DemoPhrase> demo;
    double sampleRate = options.sampleRate.value_or (demoSampleRate);

    if (options.input != juce::File())
        input = openInput (sampleRate);
    else
        demo = std::make_unique<DemoPhrase> (sampleRate, options.bpm, options.numInputs);

    auto module = loadModule();
    auto instance = makeInstance (*module, findComponent (*module), sampleRate);
    double longestDelay = 0.0, outputDelay = 0.0;
    const auto quality = applySettings (*instance, &longestDelay, &outputDelay);

    OutputFile outputFile (options.output, [this] { return checkOutput ("--out"); });
    WavFileWriter writer (outputFile.createStream(), sampleRate, options.numOutputs);

    const auto cannotWrite = [&writer, this]
    {
        return HostError (OutputFile::describeFailure (options.output, writer.getError()).toStdString());
    };

    if (! writer.openedOk())
        throw cannotWrite();

    auto* effect = instance->getEffect();

    if (options.mode == CommandLineOptions::Mode::offline)
        effect->NotificationReceived (AAX_NotificationOfflineStart, nullptr, 0);

    const auto blockSize = options.blockSize;
    juce::AudioBuffer<float> inputBlock (options.numInputs, blockSize), outputBlock (options.numOutputs, blockSize);
    std::vector<AAX_MIDIPacket> packets;
    const std::vector<DemoPhrase::MidiEvent> noEvents;
    const auto& events = demo != nullptr ? demo->getMidiEvents() : noEvents;
    const auto sourceLength = input != nullptr ? input->getLength() : static_cast<int64_t> (demo->getAudio().getNumSamples());
    int64_t position = 0, written = 0;
    size_t nextEvent = 0;
    float peak = 0.0f;
    double sumOfSquares = 0.0;

    const std::function<void (int, bool)> processBlock = [&] (int length, bool keep)
    {
        for (int channel = 0; channel < options.numInputs; ++channel)
            juce::FloatVectorOperations::copy (instance->getInput (channel), inputBlock.getReadPointer (channel), length);

        instance->processBlock (length, packets);

        for (int channel = 0; channel < options.numOutputs; ++channel)
            outputBlock.copyFrom (channel, 0, instance->getOutput (channel), length);

        if (! keep)
            return;

        for (int channel = 0; channel < options.numOutputs; ++channel)
        {
            peak = juce::jmax (peak, outputBlock.getMagnitude (channel, 0, length));

            const auto* samples = outputBlock.getReadPointer (channel);

            for (int i = 0; i < length; ++i)
            {
                // A file of NaN or infinity is no render, however it was asked for.
                if (! std::isfinite (samples[i]))
                    throw HostError ("cannot write " + options.output.getFullPathName().toStdString() + ": the effect's output is not finite"
                                     " (NaN or infinity) from " + juce::String (static_cast<double> (written + i) / sampleRate, 3).toStdString()
                                     + " s on");

                sumOfSquares += static_cast<double> (samples[i]) * samples[i];
            }
        }

        if (! writer.write (outputBlock, length))
            throw cannotWrite();

        written += length;
    };

    {
        ProgressDisplay progress;

        // The pre-roll settles the plug-in's start-up fades and glides with the transport stopped.
        inputBlock.clear();

        const auto preroll = options.prerollSeconds.value_or (getSettlingSeconds (sampleRate));

        for (auto remaining = static_cast<int64_t> (std::llround (preroll * sampleRate)); remaining > 0; remaining -= blockSize)
            processBlock (static_cast<int> (juce::jmin (remaining, static_cast<int64_t> (blockSize))), false);

        TransportState transport;
        transport.tempo = options.bpm;
        transport.playing = options.playing;
        instance->setTransport (transport);

        for (;;)
        {
            int length = 0;

            if (input != nullptr)
            {
                try
                {
                    length = input->read (inputBlock, blockSize);
                }
                catch (const std::exception& error)
                {
                    throw HostError ("cannot read " + options.input.getFullPathName().toStdString() + ": " + error.what());
                }
            }
            else
            {
                length = static_cast<int> (juce::jmin (static_cast<int64_t> (blockSize), sourceLength - position));

                for (int channel = 0; channel < options.numInputs && length > 0; ++channel)
                    inputBlock.copyFrom (channel, 0, demo->getAudio(), channel, static_cast<int> (position), length);
            }

            if (length == 0)
                break;

            packets.clear();

            for (; nextEvent < events.size() && events[nextEvent].samplePosition < position + length; ++nextEvent)
            {
                AAX_MIDIPacket packet;
                packet.timestamp = static_cast<uint32_t> (juce::jmax (int64_t (0), events[nextEvent].samplePosition - position));
                packet.length = 3;
                std::copy (std::begin (events[nextEvent].bytes), std::end (events[nextEvent].bytes), packet.data);
                packets.push_back (packet);
            }

            processBlock (length, true);
            position += length;
            progress.update (static_cast<double> (position) / static_cast<double> (juce::jmax (int64_t (1), sourceLength)));
        }

        packets.clear();
        inputBlock.clear();
        renderTail (sampleRate, longestDelay, outputDelay, outputBlock, [&] (int length) { processBlock (length, true); });
    }

    if (options.mode == CommandLineOptions::Mode::offline)
        effect->NotificationReceived (AAX_NotificationOfflineEnd, nullptr, 0);

    instance->confirmPendingRequests();

    if (! writer.finish())
        throw cannotWrite();

    if (options.stateOutput != juce::File())
        if (const auto error = StateFile::write (options.stateOutput, saveState (*instance),
                                                      [this] { return checkOutput ("--state-out"); }); error.isNotEmpty())
            throw HostError (error.toStdString());

    if (const auto result = outputFile.commit(); result.failed())
        throw HostError (result.getErrorMessage().toStdString());

    const auto rms = written > 0 ? static_cast<float> (std::sqrt (sumOfSquares / (static_cast<double> (written) * options.numOutputs))) : 0.0f;

    std::cout << "Wrote " << options.output.getFullPathName() << " ("
              << juce::String (static_cast<double> (written) / sampleRate, 2) << " s, " << options.numOutputs << " channels, "
              << juce::String (sampleRate, 0) << " Hz)\n"
              << "Peak " << decibels (peak) << ", RMS " << decibels (rms) << "\n"
              << "Rendered " << (options.mode == CommandLineOptions::Mode::offline ? "offline" : "in real time") << ": " << quality << "\n";

    if (input != nullptr && input->getNumNonFiniteSamples() > 0)
        std::cerr << "corvane-host: warning: the input holds " << input->getNumNonFiniteSamples()
                  << " non-finite samples (NaN or infinity), rendered as silence\n";

    if (peak > 1.0f)
        std::cerr << "corvane-host: warning: the output peaks at " << decibels (peak) << ", above 0 dBFS\n";
}

void CommandLineHost::renderTail (double sampleRate, double longestDelay, double outputDelay, const juce::AudioBuffer<float>& output,
                                  const std::function<void (int)>& renderSilence) const
{
    if (options.tailSeconds.has_value())
    {
        // However short the tail, the input's last samples come out of a delayed output.
        const auto length = juce::jmax (static_cast<int64_t> (std::llround (*options.tailSeconds * sampleRate)),
                                        static_cast<int64_t> (std::ceil (outputDelay * sampleRate)));

        for (auto remaining = length; remaining > 0; remaining -= options.blockSize)
            renderSilence (static_cast<int> (juce::jmin (remaining, static_cast<int64_t> (options.blockSize))));

        return;
    }

    // The plug-in reports no tail: a sound may still be on its way through the delay lines
    // until the output has been quiet for longer than the longest way through them.
    const auto quietLength = static_cast<int64_t> (std::llround ((longestDelay + tailQuietSeconds) * sampleRate)) + 1;
    const auto maxLength = static_cast<int64_t> (std::llround (CommandLineOptions::maxTailSeconds * sampleRate));
    int64_t quiet = 0, rendered = 0;

    while (quiet < quietLength && rendered < maxLength)
    {
        // Short of the quiet stretch's end, the block stops exactly where it is complete.
        const auto length = static_cast<int> (juce::jmin (static_cast<int64_t> (options.blockSize), maxLength - rendered, quietLength - quiet));
        renderSilence (length);
        rendered += length;

        for (int i = 0; i < length; ++i)
        {
            bool loud = false;

            for (int channel = 0; channel < output.getNumChannels(); ++channel)
                loud = loud || std::abs (output.getSample (channel, i)) >= tailThreshold;

            quiet = loud ? 0 : quiet + 1;
        }
    }

    if (quiet < quietLength)
        std::cerr << "corvane-host: the tail was cut at " << CommandLineOptions::maxTailSeconds << " s: the output had "
                  << (quiet == 0 ? juce::String ("not fallen below -100 dBFS")
                                 : "not stayed below -100 dBFS for " + juce::String (static_cast<double> (quietLength) / sampleRate, 2) + " s")
                  << " after " << CommandLineOptions::maxTailSeconds << " s\n";
}
