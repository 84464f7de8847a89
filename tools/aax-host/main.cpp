// corvane-host: the command-line AAX host of the Corvane module.

#include "HostCommands.h"

int main (int argc, char* argv[])
{
    return HostCommands::run (std::vector<std::string> (argv + 1, argv + argc));
}
