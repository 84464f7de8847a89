// corvane-host: the command-line AAX host of the Corvane module.

#include "CommandLineHost.h"

#include <iostream>

int main (int argc, char* argv[])
{
    juce::StringArray arguments;

    for (int index = 1; index < argc; ++index)
        arguments.add (juce::String::fromUTF8 (argv[index]));

    try
    {
        const auto options = CommandLineOptions::parse (arguments);
        CommandLineHost host (options);

        switch (options.command)
        {
            case CommandLineOptions::Command::describe:  host.describe(); break;
            case CommandLineOptions::Command::render:    host.render(); break;
            case CommandLineOptions::Command::help:
            default:                                      std::cout << CommandLineOptions::getUsage(); break;
        }

        return 0;
    }
    catch (const UsageError& error)
    {
        std::cerr << "corvane-host: " << error.what() << "\n";
        return 2;
    }
    catch (const std::exception& error)
    {
        std::cerr << "corvane-host: " << error.what() << "\n";
        return 1;
    }
}
