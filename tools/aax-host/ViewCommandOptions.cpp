#include "ViewCommandOptions.h"

#include <cmath>
#include <cstdlib>

namespace
{
    juce::File fileArgument (const juce::String& option, const juce::String& value)
    {
        if (value.isEmpty())
            throw UsageError (option.toStdString() + " needs a file name");

        return juce::File::getCurrentWorkingDirectory().getChildFile (value);
    }

    /** A number written out in full (nothing before or after it), or nothing. */
    std::optional<double> readNumber (const juce::String& text)
    {
        const auto trimmed = text.trim();

        if (trimmed.isEmpty())
            return {};

        const auto* start = trimmed.toRawUTF8();
        char* end = nullptr;
        const auto value = std::strtod (start, &end);

        if (end == start || *end != '\0' || ! std::isfinite (value))
            return {};

        return value;
    }

    double sampleRateArgument (const juce::String& option, const juce::String& value)
    {
        const auto number = readNumber (value);

        if (! number.has_value())
            throw UsageError (option.toStdString() + " needs a number, not '" + value.toStdString() + "'");

        if (*number < CommandLineOptions::minSampleRate || *number > CommandLineOptions::maxSampleRate)
            throw UsageError (option.toStdString() + " " + value.toStdString() + " is out of range (8000 to 192000)");

        return *number;
    }

    std::pair<juce::String, double> parameterArgument (const juce::String& value)
    {
        const auto equals = value.lastIndexOfChar ('=');
        const auto id = value.substring (0, juce::jmax (0, equals)).trim();
        const auto number = equals > 0 ? readNumber (value.substring (equals + 1)) : std::nullopt;

        if (id.isEmpty() || ! number.has_value())
            throw UsageError ("--set needs ID=VALUE with a number for VALUE, not '" + value.toStdString() + "'");

        if (*number < 0.0 || *number > 1.0)
            throw UsageError ("--set " + id.toStdString() + ": " + juce::String (*number).toStdString()
                               + " is out of range (values are normalised, 0 to 1)");

        return { id, *number };
    }
}

bool ViewCommandOptions::isViewCommand (const juce::StringArray& arguments)
{
    return arguments[0] == "snapshot" || arguments[0] == "show";
}

ViewCommandOptions ViewCommandOptions::parse (const juce::StringArray& arguments)
{
    ViewCommandOptions options;
    const auto& command = arguments[0];

    if (command == "snapshot")
        options.command = Command::snapshot;
    else if (command == "show")
        options.command = Command::show;
    else
        throw UsageError ("unknown command '" + command.toStdString() + "' (snapshot or show)");

    const auto isSnapshot = options.command == Command::snapshot;
    auto& host = options.host;

    for (int index = 1; index < arguments.size(); ++index)
    {
        const auto& option = arguments[index];

        const auto takeValue = [&]() -> juce::String
        {
            if (index + 1 >= arguments.size())
                throw UsageError (option.toStdString() + " needs a value");

            return arguments[++index];
        };

        const auto only = [&] (bool allowed, const char* commandName)
        {
            if (! allowed)
                throw UsageError (option.toStdString() + " belongs to " + commandName + ", not to " + command.toStdString());
        };

        if (option == "--module")            host.module = fileArgument (option, takeValue());
        else if (option == "--state-in")     host.stateInput = fileArgument (option, takeValue());
        else if (option == "--set")          host.parameterValues.push_back (parameterArgument (takeValue()));
        else if (option == "--out")          { only (isSnapshot, "snapshot"); host.output = fileArgument (option, takeValue()); }
        else if (option == "--rate")         { only (isSnapshot, "snapshot"); host.sampleRate = sampleRateArgument (option, takeValue()); }
        else if (option == "--in")           { only (! isSnapshot, "show"); host.input = fileArgument (option, takeValue()); }
        else throw UsageError ("unknown option '" + option.toStdString() + "'");
    }

    if (isSnapshot && host.output == juce::File())
        throw UsageError ("snapshot needs --out FILE");

    if (isSnapshot && host.output.isDirectory())
        throw UsageError ("--out " + host.output.getFullPathName().toStdString() + " is a folder");

    return options;
}

juce::String ViewCommandOptions::getUsage()
{
    return R"(
  corvane-host snapshot --out FILE [options]
      Opens the editor without a display, lets it run for a moment and writes what it
      shows into a PNG image.
      --state-in FILE     restores a state saved by render --state-out first
      --set ID=VALUE      sets a host parameter as render does; may be repeated
      --rate HZ           the instance's sample rate (default 48000)

  corvane-host show [options]
      Opens the editor in a window of its own (X11) and keeps it open until it is closed.
      --in FILE           plays the audio file through the effect in a loop, in real time
                          and without sound, so that the editor's meters and lamps move
      --state-in FILE     as for snapshot
      --set ID=VALUE      as for snapshot
)";
}
