#include "CommandLineOptions.h"

#include "CaseKey.h"
#include "CommandLineHost.h"
#include "OutputFile.h"
#include "SystemPath.h"

#include <cerrno>
#include <cstring>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
    using Options = CommandLineOptions;

    juce::File fileArgument (const juce::String& option, const juce::String& value)
    {
        if (value.isEmpty())
            throw UsageError (option.toStdString() + " needs a file name");

        // The file and the links it leads through are each named as the user is shown them
        // here, before any of them is used: a name that is not UTF-8 text can be neither.
        try
        {
            const auto file = SystemPath::fromArgument (value);
            SystemPath::followLinks (file);
            return file;
        }
        catch (const SystemPath::UnreadableName& unreadable)
        {
            throw UsageError (option.toStdString() + " " + value.toStdString() + " leads to '"
                               + unreadable.escapedPath.toStdString() + "', a name that is not UTF-8 text");
        }
        catch (const SystemPath::NoWorkingFolder& noWorkingFolder)
        {
            throw UsageError (option.toStdString() + " " + value.toStdString() + " " + noWorkingFolder.what());
        }
    }

    /** A file to be written: "-" names no file here, and standard output is never written to. */
    juce::File outputFileArgument (const juce::String& option, const juce::String& value)
    {
        if (value == "-")
            throw UsageError (option.toStdString() + " needs a file name: '-' (standard output) is not one");

        return fileArgument (option, value);
    }

    /** Plain decimal notation only (an optional sign, digits, an optional fraction): exponents,
        hexadecimal, spaces and words such as "inf" are not numbers a user means here.
    */
    bool isDecimal (const juce::String& text, bool allowFraction)
    {
        auto digits = text.startsWithChar ('-') ? text.substring (1) : text;

        if (allowFraction && digits.containsChar ('.'))
            digits = digits.upToFirstOccurrenceOf (".", false, false) + digits.fromFirstOccurrenceOf (".", false, false);

        return digits.isNotEmpty() && digits.containsOnly ("0123456789") && ! text.endsWithChar ('.');
    }

    double numberArgument (const juce::String& option, const juce::String& value, double minimum, double maximum)
    {
        if (! isDecimal (value, true))
            throw UsageError (option.toStdString() + " needs a number, not '" + value.toStdString() + "'");

        const auto number = value.getDoubleValue();

        if (number < minimum || number > maximum)
            throw UsageError (option.toStdString() + " " + value.toStdString() + " is out of range ("
                               + juce::String (minimum).toStdString() + " to " + juce::String (maximum).toStdString() + ")");

        return number;
    }

    int wholeNumberArgument (const juce::String& option, const juce::String& value, int minimum, int maximum)
    {
        if (! isDecimal (value, false))
            throw UsageError (option.toStdString() + " needs a whole number, not '" + value.toStdString() + "'");

        // Digits beyond what an int holds are out of range all the same.
        const auto number = value.length() > 10 ? (value.startsWithChar ('-') ? minimum - 1LL : maximum + 1LL) : value.getLargeIntValue();

        if (number < minimum || number > maximum)
            throw UsageError (option.toStdString() + " " + value.toStdString() + " is out of range ("
                               + std::to_string (minimum) + " to " + std::to_string (maximum) + ")");

        return static_cast<int> (number);
    }

    void readConfiguration (Options& options, const juce::String& option, const juce::String& value)
    {
        if (value == "2x2")       { options.numInputs = 2; options.numOutputs = 2; }
        else if (value == "1x2")  { options.numInputs = 1; options.numOutputs = 2; }
        else if (value == "1x1")  { options.numInputs = 1; options.numOutputs = 1; }
        else throw UsageError (option.toStdString() + " must be 2x2, 1x2 or 1x1, not '" + value.toStdString() + "'");
    }

    void readParameterValue (Options& options, const juce::String& option, const juce::String& value)
    {
        const auto equals = value.indexOfChar ('=');
        const auto name = value.substring (0, equals).trim();
        const auto text = value.substring (equals + 1).trim();

        if (equals <= 0 || name.isEmpty() || text.isEmpty())
            throw UsageError (option.toStdString() + " needs NAME=VALUE, not '" + value.toStdString() + "'");

        options.parameterValues.emplace_back (name, text);
    }

    struct Option
    {
        const char* name;
        const char* argument;   // empty for a switch
        const char* help;
        std::function<void (Options&, const juce::String& option, const juce::String& value)> read;
    };

    const std::vector<Option>& getOptions()
    {
        static const std::vector<Option> table {
            { "--in", "FILE", "the audio to render (WAV, AIFF, FLAC or Ogg Vorbis, found by its content;\n"
                              "mono or stereo, 8000 Hz or more); without it, a built-in demo phrase",
              [] (Options& o, auto& n, auto& v) { o.input = Options::fileToRead (n, v); } },
            { "--out", "FILE", "the WAV file to write (32-bit float); never one of the inputs",
              [] (Options& o, auto& n, auto& v) { o.output = outputFileArgument (n, v); } },
            { "--config", "CONFIG", "channel configuration: 2x2 (default), 1x2 or 1x1",
              readConfiguration },
            { "--rate", "HZ", "sample rate, a whole number from 8000 to 192000 (default: the input's,\n"
                              "48000 for the demo phrase); an input at another rate is resampled",
              [] (Options& o, auto& n, auto& v) { o.sampleRate = wholeNumberArgument (n, v, Options::minSampleRate, Options::maxSampleRate); } },
            { "--block", "SAMPLES", "block size of the render calls, a whole number from 1 to 8192 (default 512)",
              [] (Options& o, auto& n, auto& v) { o.blockSize = wholeNumberArgument (n, v, 1, Options::maxBlockSize); } },
            { "--bpm", "BPM", "host tempo, 20 to 999 (default 120)",
              [] (Options& o, auto& n, auto& v) { o.bpm = numberArgument (n, v, Options::minBpm, Options::maxBpm); } },
            { "--play", "", "the host's transport is playing (from the start of the input)",
              [] (Options& o, auto&, auto&) { o.playing = true; } },
            { "--set", "NAME=VALUE", "sets a parameter, by its name or host slot id (describe --all lists them),\n"
                                     "to a value text as the plug-in shows it (\"250 ms\", \"Serial\", \"-6.0 dB\"),\n"
                                     "or to a bare number: for a parameter whose texts are numbers (\"Maximum\n"
                                     "Delay Length\", \"LFO 1 Rate\") that number, for any other a normalised\n"
                                     "value from 0 to 1; may be repeated, in any order. A duration (\"3/8\") has\n"
                                     "a slot for each of its numbers: set both, as \"Line 1 Delay Left Duration\n"
                                     "Nominator=3\" and \"Line 1 Delay Left Duration Denominator=8\"",
              readParameterValue },
            { "--preset", "FILE", "loads a preset file (.cvprst) before the --set values",
              [] (Options& o, auto& n, auto& v) { o.preset = Options::fileToRead (n, v); } },
            { "--state-in", "FILE", "restores a state saved with --state-out before the preset and --set values",
              [] (Options& o, auto& n, auto& v) { o.stateInput = Options::fileToRead (n, v); } },
            { "--state-out", "FILE", "saves the state after rendering (it may be the --state-in file, which it\n"
                                     "then replaces)",
              [] (Options& o, auto& n, auto& v) { o.stateOutput = outputFileArgument (n, v); } },
            { "--bypass", "", "renders with the master bypass on",
              [] (Options& o, auto&, auto&) { o.bypass = true; } },
            { "--tail", "SECONDS|auto", "renders on after the input: auto (default) until the output has stayed\n"
                                        "below -100 dBFS for longer than the longest delay of the settings plus\n"
                                        "100 ms, at most 60 s; or a length from 0 to 60 seconds. With the limiter\n"
                                        "on, the whole output comes its look-ahead (about 3.3 ms) late, and the\n"
                                        "tail is at least that long, so every input sample comes out",
              [] (Options& o, auto& n, auto& v)
              {
                  if (CaseKey::equal (v, "auto"))
                      o.tailSeconds.reset();
                  else
                      o.tailSeconds = numberArgument (n, v, 0.0, Options::maxTailSeconds);
              } },
            { "--preroll", "SECONDS", "silence rendered (and dropped) with the transport stopped before the input,\n"
                                      "so the file starts with the plug-in settled; 0 to 10 (default: as long as\n"
                                      "its slowest glide needs at the rate, 0.75 s at 48 kHz, 1.9 s at 192 kHz)",
              [] (Options& o, auto& n, auto& v) { o.prerollSeconds = numberArgument (n, v, 0.0, Options::maxPrerollSeconds); } },
            { "--mode", "MODE", "offline (default) or realtime: which of the plug-in's processing qualities applies",
              [] (Options& o, auto& n, auto& v)
              {
                  if (v == "offline")        o.mode = Options::Mode::offline;
                  else if (v == "realtime")  o.mode = Options::Mode::realtime;
                  else throw UsageError (n.toStdString() + " must be offline or realtime, not '" + v.toStdString() + "'");
              } },
            { "--all", "", "lists every parameter of the plug-in with its kind, range, default and value texts",
              [] (Options& o, auto&, auto&) { o.listAll = true; } },
            { "--module", "FILE", "the module to load (default: CORVANE_MODULE, or Corvane.aaxplugin.so\n"
                                  "next to this program)",
              [] (Options& o, auto& n, auto& v) { o.module = Options::fileToRead (n, v); } },
        };

        return table;
    }

    const Option* findOption (const juce::String& name)
    {
        for (const auto& option : getOptions())
            if (name == option.name)
                return &option;

        return nullptr;
    }
}

juce::File CommandLineOptions::fileToRead (const juce::String& name, const juce::String& value)
{
    const auto file = fileArgument (name, value);
    const auto path = file.getFullPathName().toStdString();
    const auto head = name.toStdString() + " " + path;
    struct stat info {};

    if (stat (path.c_str(), &info) != 0)
    {
        if (errno == ELOOP)
            throw UsageError (head + " " + SystemPath::describeTooManyLinks (file).toStdString());

        if (errno == ENOENT || errno == ENOTDIR)
            throw UsageError (head + ": no such file");

        // No file can have a name longer than the system takes: the same mistake as a missing one.
        if (errno == ENAMETOOLONG)
            throw UsageError (head + ": no such file (" + std::strerror (errno) + ")");

        throw HostError ("cannot read " + path + ": " + std::strerror (errno));
    }

    if (S_ISDIR (info.st_mode))
        throw UsageError (head + " is a folder, not a file");

    // The readers look at a file more than once and go back and forth in it; a pipe or a
    // socket waits for a writer, and a device never ends.
    if (! S_ISREG (info.st_mode))
        throw UsageError (head + " is " + (S_ISFIFO (info.st_mode) ? "a pipe" : S_ISSOCK (info.st_mode) ? "a socket" : "a device")
                           + ", not a file" + (name == "--in" ? ": save the audio to a file and give its name" : ""));

    // The readers would each call a file they cannot open something else than it is.
    const auto descriptor = open (path.c_str(), O_RDONLY | O_CLOEXEC);

    if (descriptor < 0)
        throw HostError ("cannot read " + path + ": " + std::strerror (errno));

    close (descriptor);
    return file;
}

CommandLineOptions CommandLineOptions::parse (const juce::String& command, const juce::StringArray& accepted,
                                              const juce::StringArray& arguments)
{
    CommandLineOptions options;
    options.command = command;
    juce::StringArray given;

    for (int index = 0; index < arguments.size(); ++index)
    {
        const auto& name = arguments[index];
        const auto* option = findOption (name);

        if (option == nullptr)
            throw UsageError ("unknown option '" + name.toStdString() + "'");

        if (! accepted.contains (name))
            throw UsageError (name.toStdString() + " does not belong to " + command.toStdString());

        // Only --set adds up; a second value of any other option would silently win.
        if (name != "--set" && given.contains (name))
            throw UsageError (name.toStdString() + " is given more than once");

        given.add (name);

        juce::String value;

        if (*option->argument != 0)
        {
            if (index + 1 >= arguments.size())
                throw UsageError (name.toStdString() + " needs a value (" + option->argument + ")");

            value = arguments[++index];
        }

        option->read (options, name, value);
    }

    for (const auto& [name, file] : { std::pair ("--out", &options.output), std::pair ("--state-out", &options.stateOutput) })
        if (const auto check = OutputFile::checkTarget (*file); *file != juce::File() && check.failed())
            throw UsageError (std::string (name) + " " + file->getFullPathName().toStdString() + " " + check.getErrorMessage().toStdString());

    return options;
}

bool CommandLineOptions::takesValue (const juce::String& name)
{
    const auto* option = findOption (name);
    return option != nullptr && *option->argument != 0;
}

juce::String CommandLineOptions::getHelp (const juce::StringArray& names, const juce::StringPairArray& ownHelp)
{
    juce::String text;

    for (const auto& option : getOptions())
    {
        if (! names.contains (option.name))
            continue;

        const auto head = ("  " + juce::String (option.name) + " " + option.argument).paddedRight (' ', 26);
        const auto lines = juce::StringArray::fromLines (ownHelp.containsKey (option.name) ? ownHelp[option.name] : option.help);

        for (int line = 0; line < lines.size(); ++line)
            text << (line == 0 ? head : juce::String().paddedRight (' ', 26)) << lines[line] << "\n";
    }

    return text;
}
