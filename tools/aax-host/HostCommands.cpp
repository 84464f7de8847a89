#include "HostCommands.h"

#include "CommandLineHost.h"
#include "DisplayAccess.h"
#include "StrictUtf8.h"
#include "SystemPath.h"
#include "ViewCommandHost.h"

#include <iostream>

namespace
{
    const juce::StringArray helpNames { "--help", "-h", "help" };

    /** The last of these arguments (a command's name first) as a message shows it: quoted,
        after the option it is the value of, if it is one.
    */
    juce::String describeLastArgument (const juce::StringArray& arguments)
    {
        const auto last = arguments.size() - 1;
        auto index = 1;

        // An option that takes a value takes the argument after it.
        while (index < last - 1)
            index += CommandLineOptions::takesValue (arguments[index]) ? 2 : 1;

        const auto isValue = index == last - 1 && CommandLineOptions::takesValue (arguments[index]);
        return (isValue ? arguments[index] + " '" : juce::String ("'")) + arguments[last] + "'";
    }

    const HostCommands::Command* findCommand (const juce::String& name)
    {
        for (const auto& command : HostCommands::getCommands())
            if (command.name == name)
                return &command;

        return nullptr;
    }

    juce::StringPairArray helpFor (std::initializer_list<std::pair<const char*, const char*>> entries)
    {
        juce::StringPairArray help;

        for (const auto& [name, text] : entries)
            help.set (name, text);

        return help;
    }

    juce::String commandNames()
    {
        juce::StringArray names;

        for (const auto& command : HostCommands::getCommands())
            names.add (command.name);

        return names.joinIntoString (", ");
    }
}

const std::vector<HostCommands::Command>& HostCommands::getCommands()
{
    static const std::vector<Command> commands {
        { "describe", "[--all] [--module FILE]",
          "The effect's description and its host parameters with their current values; with --all,\n"
          "every parameter of the plug-in with its kind, range, default and value texts.",
          { "--all", "--module" },
          [] (const CommandLineOptions& options) { CommandLineHost (options).describe(); }, {} },
        { "render", "--out FILE [options]",
          "Renders audio through the module into a WAV file (32-bit float), offline as a host bounces.",
          { "--in", "--out", "--config", "--rate", "--block", "--bpm", "--play", "--set", "--preset",
            "--state-in", "--state-out", "--bypass", "--tail", "--preroll", "--mode", "--module" },
          [] (const CommandLineOptions& options)
          {
              if (options.output == juce::File())
                  throw UsageError ("render needs --out FILE");

              CommandLineHost (options).render();
          }, {} },
        { "snapshot", "--out FILE.png [options]",
          "Opens the editor as a host opens the plug-in's view, without a display, lets it run for a\n"
          "moment and writes what it shows into a PNG image.",
          { "--out", "--rate", "--set", "--preset", "--state-in", "--module" },
          [] (const CommandLineOptions& options)
          {
              if (options.output == juce::File())
                  throw UsageError ("snapshot needs --out FILE.png");

              ViewCommandHost (options).snapshot();
          },
          helpFor ({ { "--out", "the PNG image to write" },
                     { "--rate", "sample rate the instance runs at, a whole number from 8000 to 192000\n"
                                 "(default 48000)" } }) },
        { "show", "[--in FILE] [options]",
          "Opens the editor in a window of its own on the X display until the window is closed; with\n"
          "--in, plays the file through the effect in a loop, in real time and silently, so that the\n"
          "meters and lamps move.",
          { "--in", "--config", "--block", "--set", "--preset", "--state-in", "--module" },
          [] (const CommandLineOptions& options) { ViewCommandHost (options).show(); },
          helpFor ({ { "--in", "the audio to play in a loop (WAV, AIFF, FLAC or Ogg Vorbis, found by its\n"
                               "content; mono or stereo, 8000 Hz or more); without it, nothing plays" } }),
          true },
    };

    return commands;
}

juce::String HostCommands::getUsage (const Command& command)
{
    juce::String text ("  corvane-host " + command.name + " " + command.synopsis + "\n");

    for (const auto& line : juce::StringArray::fromLines (command.summary))
        text << "      " << line << "\n";

    return text + CommandLineOptions::getHelp (command.options, command.ownHelp);
}

juce::String HostCommands::getUsage()
{
    juce::String text ("corvane-host: loads the Corvane module through its entry points, as an AAX host does.\n\n"
                       "Usage:\n");

    for (const auto& command : getCommands())
        text << getUsage (command) << "\n";

    text << "  corvane-host --version\n"
            "  corvane-host COMMAND --help\n\n"
            "The plug-in keeps its files below CORVANE_DATA_ROOT when it names an absolute, writable folder.\n\n"
            "Exit codes: 0 when done; 2 for a mistake in the command line (an unknown command, option or\n"
            "parameter name, an ambiguous name, a value that is missing, malformed or refused, a file to read\n"
            "that does not exist or is a folder, a pipe or a device, an output that cannot be one), with the\n"
            "usage hint; 1 when the work fails (a file that cannot be read as what it should be or cannot be\n"
            "written, a module that fails, a state the plug-in does not take back).\n";
    return text;
}

int HostCommands::run (const std::vector<std::string>& bytes)
{
    // JUCE reads bytes that are not UTF-8 as other characters: a name would lead to another
    // file, a parameter's name to none. They are escaped where they are shown, and refused,
    // named by the option they were given to.
    juce::StringArray arguments;
    juce::String notUtf8;

    for (const auto& argument : bytes)
    {
        arguments.add (StrictUtf8::escaped (argument));

        if (notUtf8.isEmpty() && ! StrictUtf8::isValid (argument.data(), argument.size()))
            notUtf8 = describeLastArgument (arguments);
    }

    const auto* command = arguments.isEmpty() ? nullptr : findCommand (arguments[0]);

    try
    {
        if (arguments.isEmpty())
            throw UsageError ("no command given (" + commandNames().toStdString() + ")");

        if (helpNames.contains (arguments[0]))
        {
            std::cout << getUsage();
            return 0;
        }

        if (arguments[0] == "--version")
        {
            std::cout << "corvane-host " << CORVANE_VERSION << " (build " << CORVANE_BUILD_ID << ")\n";
            return 0;
        }

        if (command == nullptr)
            throw UsageError ("unknown command '" + arguments[0].toStdString() + "' (" + commandNames().toStdString() + ")");

        if (notUtf8.isNotEmpty())
            throw UsageError (notUtf8.toStdString() + " is not UTF-8 text");

        const juce::StringArray rest (arguments.strings.begin() + 1, arguments.size() - 1);

        for (const auto& argument : rest)
        {
            if (argument == "--help" || argument == "-h")
            {
                std::cout << getUsage (*command);
                return 0;
            }
        }

        SystemPath::checkEnvironment();

        // Before the module is loaded: the plug-in makes an editor with every instance, and JUCE
        // reaches for a display as soon as a component is shown, even one painted into an image.
        if (command->showsWindow)
            DisplayAccess::allowOnlyTheNamedOne();
        else
            DisplayAccess::forbid();

        command->run (CommandLineOptions::parse (command->name, command->options, rest));
        return 0;
    }
    catch (const UsageError& error)
    {
        std::cerr << "corvane-host: " << error.what() << "; see 'corvane-host "
                  << (command != nullptr ? command->name + " " : juce::String()) << "--help'\n";
        return 2;
    }
    catch (const std::exception& error)
    {
        std::cerr << "corvane-host: " << error.what() << "\n";
        return 1;
    }
}
