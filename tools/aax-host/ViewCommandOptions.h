#pragma once

#include "CommandLineOptions.h"

/**
    The arguments of corvane-host's two view commands, read and checked before anything is
    loaded:

        corvane-host snapshot --out FILE.png [--state-in FILE] [--set ID=VALUE]... [--rate HZ]
                              [--module FILE]
        corvane-host show [--in FILE] [--state-in FILE] [--set ID=VALUE]... [--module FILE]

    What they share with render is kept in the same CommandLineOptions, so that both reach the
    module the same way.
*/
struct ViewCommandOptions
{
    enum class Command
    {
        snapshot,
        show
    };

    Command command = Command::snapshot;
    CommandLineOptions host;

    /** True when the arguments (without the program name) start with a view command. */
    static bool isViewCommand (const juce::StringArray& arguments);

    /** Reads the arguments (without the program name); throws a UsageError for a wrong one. */
    static ViewCommandOptions parse (const juce::StringArray& arguments);

    /** What the program prints for --help about the view commands. */
    static juce::String getUsage();
};
