// corvane-host: the command-line AAX host of the Corvane module.

#include "HostCommands.h"

int main (int argc, char* argv[])
{
    juce::StringArray arguments;

    for (int index = 1; index < argc; ++index)
        arguments.add (juce::String::fromUTF8 (argv[index]));

    return HostCommands::run (arguments);
}
