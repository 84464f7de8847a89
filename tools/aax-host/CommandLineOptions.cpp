#include "CommandLineOptions.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace
{
    std::string formatNumber (double value)
    {
        char text[32];
        std::snprintf (text, sizeof (text), "%g", value);
        return text;
    }

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

    double numberArgument (const juce::String& option, const juce::String& value, double minimum, double maximum)
    {
        const auto number = readNumber (value);

        if (! number.has_value())
            throw UsageError (option.toStdString() + " needs a number, not '" + value.toStdString() + "'");

        if (*number < minimum || *number > maximum)
            throw UsageError (option.toStdString() + " " + value.toStdString() + " is out of range ("
                               + formatNumber (minimum) + " to " + formatNumber (maximum) + ")");

        return *number;
    }

    int wholeNumberArgument (const juce::String& option, const juce::String& value, int minimum, int maximum)
    {
        const auto number = numberArgument (option, value, minimum, maximum);

        if (number != std::floor (number))
            throw UsageError (option.toStdString() + " needs a whole number, not '" + value.toStdString() + "'");

        return static_cast<int> (number);
    }

    void readConfiguration (const juce::String& value, CommandLineOptions& options)
    {
        if (value == "2x2")       { options.numInputs = 2; options.numOutputs = 2; }
        else if (value == "1x2")  { options.numInputs = 1; options.numOutputs = 2; }
        else if (value == "1x1")  { options.numInputs = 1; options.numOutputs = 1; }
        else throw UsageError ("--config must be 2x2, 1x2 or 1x1, not '" + value.toStdString() + "'");
    }

    std::pair<juce::String, double> readParameterValue (const juce::String& value)
    {
        const auto equals = value.lastIndexOfChar ('=');

        if (equals <= 0)
            throw UsageError ("--set needs ID=VALUE, not '" + value.toStdString() + "'");

        const auto id = value.substring (0, equals).trim();
        const auto number = readNumber (value.substring (equals + 1));

        if (id.isEmpty() || ! number.has_value())
            throw UsageError ("--set needs ID=VALUE with a number for VALUE, not '" + value.toStdString() + "'");

        if (*number < 0.0 || *number > 1.0)
            throw UsageError ("--set " + id.toStdString() + ": " + formatNumber (*number)
                               + " is out of range (values are normalised, 0 to 1)");

        return { id, *number };
    }
}

CommandLineOptions CommandLineOptions::parse (const juce::StringArray& arguments)
{
    CommandLineOptions options;

    if (arguments.isEmpty())
        throw UsageError ("no command given (describe or render; --help shows how to use them)");

    const auto& command = arguments[0];

    if (command == "--help" || command == "-h" || command == "help")
        return options;

    if (command == "describe")
        options.command = Command::describe;
    else if (command == "render")
        options.command = Command::render;
    else
        throw UsageError ("unknown command '" + command.toStdString() + "' (describe or render)");

    const auto isRender = options.command == Command::render;

    for (int index = 1; index < arguments.size(); ++index)
    {
        const auto& option = arguments[index];

        const auto takeValue = [&]() -> juce::String
        {
            if (index + 1 >= arguments.size())
                throw UsageError (option.toStdString() + " needs a value");

            return arguments[++index];
        };

        const auto renderOnly = [&]
        {
            if (! isRender)
                throw UsageError (option.toStdString() + " belongs to render, not to describe");
        };

        if (option == "--module")            options.module = fileArgument (option, takeValue());
        else if (option == "--in")           { renderOnly(); options.input = fileArgument (option, takeValue()); }
        else if (option == "--out")          { renderOnly(); options.output = fileArgument (option, takeValue()); }
        else if (option == "--config")       { renderOnly(); readConfiguration (takeValue(), options); }
        else if (option == "--rate")         { renderOnly(); options.sampleRate = numberArgument (option, takeValue(), minSampleRate, maxSampleRate); }
        else if (option == "--block")        { renderOnly(); options.blockSize = wholeNumberArgument (option, takeValue(), 1, maxBlockSize); }
        else if (option == "--bpm")          { renderOnly(); options.bpm = numberArgument (option, takeValue(), minBpm, maxBpm); }
        else if (option == "--play")         { renderOnly(); options.playing = true; }
        else if (option == "--set")          { renderOnly(); options.parameterValues.push_back (readParameterValue (takeValue())); }
        else if (option == "--state-in")     { renderOnly(); options.stateInput = fileArgument (option, takeValue()); }
        else if (option == "--state-out")    { renderOnly(); options.stateOutput = fileArgument (option, takeValue()); }
        else if (option == "--bypass")       { renderOnly(); options.bypass = true; }
        else throw UsageError ("unknown option '" + option.toStdString() + "'");
    }

    if (isRender && options.output == juce::File())
        throw UsageError ("render needs --out FILE");

    if (isRender && options.output.isDirectory())
        throw UsageError ("--out " + options.output.getFullPathName().toStdString() + " is a folder");

    return options;
}

juce::String CommandLineOptions::getUsage()
{
    return R"(corvane-host: loads the Corvane module through its entry points, as an AAX host does.

Usage:
  corvane-host describe [--module FILE]
      The effect's description and its host parameters with their current values.

  corvane-host render --out FILE [options]
      Renders audio through the module into a WAV file (32-bit float).
      --in FILE           the audio to render (WAV, AIFF, FLAC or Ogg Vorbis; mono or stereo);
                          without it, a built-in demo phrase of plucked notes and drums
      --config CONFIG     channel configuration: 2x2 (default), 1x2 or 1x1
      --rate HZ           sample rate, 8000 to 192000 (default: the input's, 48000 for the
                          demo phrase); an input at another rate is resampled
      --block SAMPLES     block size of the render calls (default 512)
      --bpm BPM           host tempo (default 120)
      --play              the host's transport is playing (from the start)
      --set ID=VALUE      sets a host parameter, by id (0 to 127, MasterBypassID) or by
                          name, to a normalised value from 0 to 1; may be repeated
      --state-in FILE     restores a state saved with --state-out before rendering
      --state-out FILE    saves the state after rendering
      --bypass            renders with the master bypass on

  --module FILE           the module to load (default: CORVANE_MODULE, or Corvane.aaxplugin.so
                          next to this program)
)";
}
