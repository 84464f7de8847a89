#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

/** Raised for a wrong argument: what is wrong, in one line. */
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/**
    The options of corvane-host's commands, read and checked before anything is loaded.

    Every option is known by one table, which also gives its line of help, so a command reads
    the options it accepts (by name) through the same parser and prints their help the same way.
*/
struct CommandLineOptions
{
    enum class Mode
    {
        offline,
        realtime
    };

    juce::String command;              ///< the command the options were given to
    juce::File module;                 ///< the module file; empty for the default one
    juce::File input;                  ///< empty for the demo phrase
    juce::File output;
    int numInputs = 2, numOutputs = 2;
    std::optional<int> sampleRate;     ///< none: the input file's rate (48 kHz for the demo)
    int blockSize = 512;
    double bpm = 120.0;
    bool playing = false;
    std::vector<std::pair<juce::String, juce::String>> parameterValues;  ///< name, value (normalised or text)
    juce::File stateInput, stateOutput, preset;
    bool bypass = false;
    std::optional<double> tailSeconds; ///< none: until the output falls silent
    std::optional<double> prerollSeconds;  ///< none: as long as the plug-in needs to settle at the rate
    Mode mode = Mode::offline;
    bool listAll = false;

    static constexpr int minSampleRate = 8000, maxSampleRate = 192000;
    static constexpr int maxBlockSize = 8192;
    static constexpr double minBpm = 20.0, maxBpm = 999.0;
    static constexpr double maxTailSeconds = 60.0, maxPrerollSeconds = 10.0;

    /** Reads the options that follow a command; throws a UsageError for an option the command
        does not accept (by name, as the table knows them), a missing or wrong value, or a
        file option naming what cannot be read or written (fileToRead, OutputFile::checkTarget).
    */
    static CommandLineOptions parse (const juce::String& command, const juce::StringArray& accepted,
                                     const juce::StringArray& arguments);

    /** The file that a file option or an environment variable (by its name) gives to be read,
        checked before anything opens it: a name that leads nowhere, to a folder, a pipe, a
        socket or a device is a UsageError, and one the system does not let the host read is
        an error that gives the system's reason.
    */
    static juce::File fileToRead (const juce::String& name, const juce::String& value);

    /** True for the name of an option that is followed by its value. */
    static bool takesValue (const juce::String& name);

    /** The help lines of these options, in the table's order; a command whose option means
        something else than the table says gives its own text for it (by the option's name).
    */
    static juce::String getHelp (const juce::StringArray& names, const juce::StringPairArray& ownHelp = {});
};
