#pragma once

#include "CommandLineOptions.h"

#include <functional>
#include <string>
#include <vector>

/**
    The table of corvane-host's commands: each names the options it accepts, so that its usage
    and its checks come from the one option table, and a new command is one more entry.
*/
struct HostCommands
{
    struct Command
    {
        juce::String name;
        juce::String synopsis;      ///< the arguments, after the command's name
        juce::String summary;       ///< what it does, in a line or two
        juce::StringArray options;
        std::function<void (const CommandLineOptions&)> run;
        juce::StringPairArray ownHelp;  ///< option name, its help where the command's use differs
        bool showsWindow = false;       ///< only such a command may reach an X display
    };

    static const std::vector<Command>& getCommands();

    /** Carries out a command line (without the program name, as the bytes the system gave)
        and answers the exit code: 0 on success, 1 when the work failed, 2 for a mistake in the
        command line (a UsageError, wherever it is found, or an argument that is not UTF-8
        text). Errors go to standard error, a mistake with the usage hint.
    */
    static int run (const std::vector<std::string>& arguments);

    /** What --help prints: every command with its options. */
    static juce::String getUsage();

    /** What a command's --help prints. */
    static juce::String getUsage (const Command& command);
};
