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
    The arguments of corvane-host, read and checked before anything is loaded.

        corvane-host describe [--module FILE]
        corvane-host render --out FILE [--in FILE] [--config 2x2|1x2|1x1] [--rate HZ]
                            [--block SAMPLES] [--bpm BPM] [--play] [--set ID=VALUE]...
                            [--state-in FILE] [--state-out FILE] [--bypass] [--module FILE]
*/
struct CommandLineOptions
{
    enum class Command
    {
        help,
        describe,
        render
    };

    Command command = Command::help;
    juce::File module;                 ///< the module file; empty for the default one
    juce::File input;                  ///< empty for the demo phrase
    juce::File output;
    int numInputs = 2, numOutputs = 2;
    std::optional<double> sampleRate;  ///< none: the input file's rate (48 kHz for the demo)
    int blockSize = 512;
    double bpm = 120.0;
    bool playing = false;
    std::vector<std::pair<juce::String, double>> parameterValues;  ///< id or name, normalised value
    juce::File stateInput, stateOutput;
    bool bypass = false;

    static constexpr double minSampleRate = 8000.0, maxSampleRate = 192000.0;
    static constexpr int maxBlockSize = 8192;
    static constexpr double minBpm = 20.0, maxBpm = 999.0;

    /** Reads the arguments (without the program name); throws a UsageError for a wrong one. */
    static CommandLineOptions parse (const juce::StringArray& arguments);

    /** What the program prints for --help. */
    static juce::String getUsage();
};
