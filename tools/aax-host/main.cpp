// corvane-host: the command-line AAX host of the Corvane module.

#include "CommandLineHost.h"
#include "ViewCommandHost.h"

#include <iostream>

int main (int argc, char* argv[])
{
    juce::StringArray arguments;

    for (int index = 1; index < argc; ++index)
        arguments.add (juce::String::fromUTF8 (argv[index]));

    try
    {
        if (ViewCommandOptions::isViewCommand (arguments))
        {
            ViewCommandHost (ViewCommandOptions::parse (arguments)).run();
            return 0;
        }

        const auto options = CommandLineOptions::parse (arguments);
        CommandLineHost host (options);

        switch (options.command)
        {
            case CommandLineOptions::Command::describe:  host.describe(); break;
            case CommandLineOptions::Command::render:    host.render(); break;
            case CommandLineOptions::Command::help:
            default:                                      std::cout << CommandLineOptions::getUsage() << ViewCommandOptions::getUsage(); break;
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
