#include "CommandLineHost.h"

#include "DemoPhrase.h"
#include "ProgressDisplay.h"
#include "StateFile.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>
#include <iostream>

namespace
{
    constexpr const char* moduleFileName = "Corvane.aaxplugin.so";
    constexpr const char* bypassID = "MasterBypassID";
    constexpr double demoSampleRate = 48000.0;

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

    /** True when an uncompressed file (WAV, AIFF) holds less audio than its header announces.
        JUCE's readers fill what is missing with silence, so a cut file would otherwise render
        as if it were whole.
    */
    bool isCutShort (juce::AudioFormatManager& formats, const juce::File& file, const juce::AudioFormatReader& reader)
    {
        for (int index = 0; index < formats.getNumKnownFormats(); ++index)
        {
            auto* format = formats.getKnownFormat (index);

            if (format->getFormatName() != reader.getFormatName())
                continue;

            std::unique_ptr<juce::MemoryMappedAudioFormatReader> mapped (format->createMemoryMappedReader (file));

            // A compressed format (FLAC, Ogg Vorbis) gives no size to check the file against.
            if (mapped == nullptr)
                return false;

            // The mapping covers only the part of the announced audio that the file really holds.
            return ! mapped->mapEntireFile() || mapped->getMappedSection().getLength() < mapped->lengthInSamples;
        }

        return false;
    }

    /** The audio at another rate, through a windowed-sinc interpolator (its latency taken out). */
    juce::AudioBuffer<float> resample (const juce::AudioBuffer<float>& source, double sourceRate, double targetRate)
    {
        const auto ratio = sourceRate / targetRate;
        const auto outputLength = static_cast<int> (std::ceil (source.getNumSamples() / ratio));
        juce::WindowedSincInterpolator interpolator;
        const auto latency = static_cast<int> (std::ceil (interpolator.getBaseLatency() / ratio));
        const auto padding = static_cast<int> (std::ceil (interpolator.getBaseLatency() + 4 * ratio)) + 16;

        juce::AudioBuffer<float> padded (source.getNumChannels(), source.getNumSamples() + padding + static_cast<int> (std::ceil (latency * ratio)));
        padded.clear();
        juce::AudioBuffer<float> scratch (1, outputLength + latency);
        juce::AudioBuffer<float> result (source.getNumChannels(), outputLength);

        for (int channel = 0; channel < source.getNumChannels(); ++channel)
        {
            padded.copyFrom (channel, 0, source, channel, 0, source.getNumSamples());
            interpolator.reset();
            interpolator.process (ratio, padded.getReadPointer (channel), scratch.getWritePointer (0), scratch.getNumSamples());
            result.copyFrom (channel, 0, scratch, 0, latency, outputLength);
        }

        return result;
    }

    /** The audio with the configuration's number of inputs: a mono source played on both
        inputs, a stereo source mixed down for one.
    */
    juce::AudioBuffer<float> matchChannels (const juce::AudioBuffer<float>& source, int numChannels)
    {
        if (source.getNumChannels() == numChannels)
            return source;

        juce::AudioBuffer<float> result (numChannels, source.getNumSamples());

        if (numChannels == 1)
        {
            result.copyFrom (0, 0, source.getReadPointer (0), source.getNumSamples(), 0.5f);
            result.addFrom (0, 0, source.getReadPointer (1), source.getNumSamples(), 0.5f);
        }
        else
        {
            for (int channel = 0; channel < numChannels; ++channel)
                result.copyFrom (channel, 0, source, 0, 0, source.getNumSamples());
        }

        return result;
    }
}

CommandLineHost::CommandLineHost (const CommandLineOptions& o) : options (o)
{
}

//==============================================================================
juce::File CommandLineHost::findModule() const
{
    if (options.module != juce::File())
        return options.module;

    if (const auto fromEnvironment = juce::SystemStats::getEnvironmentVariable ("CORVANE_MODULE", {}); fromEnvironment.isNotEmpty())
        return juce::File::getCurrentWorkingDirectory().getChildFile (fromEnvironment);

    return juce::File::getSpecialLocation (juce::File::currentExecutableFile).getSiblingFile (moduleFileName);
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
}

//==============================================================================
void CommandLineHost::readInput (juce::AudioBuffer<float>& audio, double& sampleRate) const
{
    const auto path = options.input.getFullPathName().toStdString();

    if (! options.input.existsAsFile())
        throw HostError ("cannot read " + path + ": no such file");

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (options.input));

    if (reader == nullptr)
        throw HostError ("cannot read " + path + ": not a WAV, AIFF, FLAC or Ogg Vorbis file");

    if (reader->numChannels < 1 || reader->numChannels > 2)
        throw HostError ("cannot read " + path + ": it has " + std::to_string (reader->numChannels)
                          + " channels; only mono and stereo files can be rendered");

    if (reader->lengthInSamples <= 0)
        throw HostError ("cannot read " + path + ": it holds no audio");

    if (reader->lengthInSamples > std::numeric_limits<int>::max() / 2)
        throw HostError ("cannot read " + path + ": it is too long");

    if (reader->sampleRate <= 0.0)
        throw HostError ("cannot read " + path + ": it has no sample rate");

    if (isCutShort (formats, options.input, *reader))
        throw HostError ("cannot read " + path + ": the file is cut short");

    audio.setSize (static_cast<int> (reader->numChannels), static_cast<int> (reader->lengthInSamples));

    if (! reader->read (&audio, 0, audio.getNumSamples(), 0, true, true))
        throw HostError ("cannot read " + path + ": the file is damaged");

    sampleRate = reader->sampleRate;
}

void CommandLineHost::restoreState (SimulatedInstance& instance) const
{
    std::vector<StateFile::Record> records;

    if (const auto error = StateFile::read (options.stateInput, records); error.isNotEmpty())
        throw HostError (error.toStdString());

    for (const auto& record : records)
        if (const auto result = instance.setChunk (record); result != AAX_OK)
            throw HostError ("the effect refused the state in " + options.stateInput.getFullPathName().toStdString()
                              + " (" + std::to_string (result) + ")");

    // The restored controls come back as requests, which the host answers.
    instance.confirmPendingRequests();
}

juce::String CommandLineHost::findParameterID (SimulatedInstance& instance, const juce::String& idOrName) const
{
    const auto ids = instance.getParameterIDs();

    for (const auto& id : ids)
        if (idOrName == juce::String (id))
            return id;

    juce::StringArray exact, ignoringCase;

    for (const auto& id : ids)
    {
        const juce::String name (instance.getParameterName (id));

        if (name == idOrName)
            exact.add (id);
        else if (name.equalsIgnoreCase (idOrName))
            ignoringCase.add (id);
    }

    const auto& matches = exact.isEmpty() ? ignoringCase : exact;

    if (matches.size() == 1)
        return matches[0];

    if (matches.size() > 1)
        throw HostError ("the parameter name '" + idOrName.toStdString() + "' is not unique (ids "
                          + matches.joinIntoString (", ").toStdString() + ")");

    throw HostError ("unknown parameter '" + idOrName.toStdString() + "' (describe lists them)");
}

void CommandLineHost::setParameters (SimulatedInstance& instance) const
{
    for (const auto& [idOrName, value] : options.parameterValues)
    {
        const auto id = findParameterID (instance, idOrName);

        if (const auto result = instance.setParameter (id.toStdString(), value); result != AAX_OK)
            throw HostError ("the effect refused the value of parameter " + id.toStdString() + " (" + std::to_string (result) + ")");
    }

    if (options.bypass)
        if (const auto result = instance.setParameter (bypassID, 1.0); result != AAX_OK)
            throw HostError ("the effect has no master bypass (" + std::to_string (result) + ")");
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

void CommandLineHost::writeOutput (const juce::AudioBuffer<float>& audio, double sampleRate,
                                   const std::vector<std::vector<uint8_t>>& state) const
{
    const auto path = options.output.getFullPathName().toStdString();
    juce::TemporaryFile temporary (options.output);

    {
        auto stream = std::make_unique<juce::FileOutputStream> (temporary.getFile());

        if (! stream->openedOk())
            throw HostError ("cannot write " + path);

        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (stream.get(), sampleRate,
                                                                              static_cast<unsigned int> (audio.getNumChannels()),
                                                                              32, {}, 0));

        if (writer == nullptr)
            throw HostError ("cannot write " + path + ": no WAV file of this format can be made");

        stream.release();   // the writer owns it now

        if (! writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples()) || ! writer->flush())
            throw HostError ("cannot write " + path);
    }

    if (options.stateOutput != juce::File())
        if (const auto error = StateFile::write (options.stateOutput, state); error.isNotEmpty())
            throw HostError (error.toStdString());

    if (! temporary.overwriteTargetFileWithTemporary())
        throw HostError ("cannot write " + path);
}

//==============================================================================
void CommandLineHost::render()
{
    juce::AudioBuffer<float> source;
    std::vector<DemoPhrase::MidiEvent> midiEvents;
    double sampleRate = options.sampleRate.value_or (demoSampleRate);

    if (options.input != juce::File())
    {
        double fileRate = 0.0;
        readInput (source, fileRate);

        // The module is only ever run at a rate a host could give it; another one must be chosen.
        if (! options.sampleRate.has_value()
             && (fileRate < CommandLineOptions::minSampleRate || fileRate > CommandLineOptions::maxSampleRate))
            throw HostError ("cannot render " + options.input.getFullPathName().toStdString() + " at its own rate of "
                              + juce::String (fileRate, 0).toStdString() + " Hz (8000 to 192000): choose one with --rate");

        sampleRate = options.sampleRate.value_or (fileRate);

        if (fileRate != sampleRate)
            source = resample (source, fileRate, sampleRate);

        source = matchChannels (source, options.numInputs);
    }
    else
    {
        const DemoPhrase demo (sampleRate, options.bpm, options.numInputs);
        source = demo.getAudio();
        midiEvents = demo.getMidiEvents();
    }

    auto module = loadModule();
    auto instance = makeInstance (*module, findComponent (*module), sampleRate);

    if (options.stateInput != juce::File())
        restoreState (*instance);

    setParameters (*instance);

    TransportState transport;
    transport.tempo = options.bpm;
    transport.playing = options.playing;
    instance->setTransport (transport);

    // A file is rendered the way a host bounces offline.
    auto* effect = instance->getEffect();
    effect->NotificationReceived (AAX_NotificationOfflineStart, nullptr, 0);

    const auto numSamples = source.getNumSamples();
    juce::AudioBuffer<float> result (options.numOutputs, numSamples);
    std::vector<AAX_MIDIPacket> packets;
    size_t nextEvent = 0;

    {
        ProgressDisplay progress;

        for (int start = 0; start < numSamples; start += options.blockSize)
        {
            const auto length = juce::jmin (options.blockSize, numSamples - start);

            for (int channel = 0; channel < options.numInputs; ++channel)
                juce::FloatVectorOperations::copy (instance->getInput (channel), source.getReadPointer (channel, start), length);

            packets.clear();

            for (; nextEvent < midiEvents.size() && midiEvents[nextEvent].samplePosition < start + length; ++nextEvent)
            {
                AAX_MIDIPacket packet;
                packet.timestamp = static_cast<uint32_t> (juce::jmax (int64_t (0), midiEvents[nextEvent].samplePosition - start));
                packet.length = 3;
                std::copy (std::begin (midiEvents[nextEvent].bytes), std::end (midiEvents[nextEvent].bytes), packet.data);
                packets.push_back (packet);
            }

            instance->processBlock (length, packets);

            for (int channel = 0; channel < options.numOutputs; ++channel)
                result.copyFrom (channel, start, instance->getOutput (channel), length);

            progress.update (static_cast<double> (start + length) / numSamples);
        }
    }

    effect->NotificationReceived (AAX_NotificationOfflineEnd, nullptr, 0);
    instance->confirmPendingRequests();

    const auto state = options.stateOutput != juce::File() ? saveState (*instance) : std::vector<std::vector<uint8_t>>();
    writeOutput (result, sampleRate, state);

    float peak = 0.0f;
    double sumOfSquares = 0.0;

    for (int channel = 0; channel < result.getNumChannels(); ++channel)
    {
        peak = juce::jmax (peak, result.getMagnitude (channel, 0, numSamples));
        const auto rms = result.getRMSLevel (channel, 0, numSamples);
        sumOfSquares += static_cast<double> (rms) * rms * numSamples;
    }

    const auto rms = static_cast<float> (std::sqrt (sumOfSquares / (static_cast<double> (numSamples) * result.getNumChannels())));

    std::cout << "Wrote " << options.output.getFullPathName() << " ("
              << juce::String (numSamples / sampleRate, 2) << " s, " << result.getNumChannels() << " channels, "
              << juce::String (sampleRate, 0) << " Hz)\n"
              << "Peak " << decibels (peak) << ", RMS " << decibels (rms) << "\n";
}
