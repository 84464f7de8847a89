#pragma once

#include "CommandLineOptions.h"
#include "RenderInput.h"
#include "SimulatedInstance.h"
#include "SimulatedModule.h"

#include <functional>
#include <memory>

/** Raised when a command cannot be carried out (a file that cannot be read or written, a module
    that fails, a parameter that does not exist): what went wrong, in one line.
*/
class HostError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/**
    corvane-host's describe and render, carried out through the simulated host: the module is
    loaded and reached only through its entry points, exactly as an AAX host would.

    A render streams the input through the effect block by block, after a pre-roll and
    followed by a tail, and writes nothing in place until it has finished: the WAV file and
    the state file are written to temporary files that replace the targets only when complete.
    It never writes over a file that the run reads or writes otherwise, nor over one of
    another kind than the output's or one that is write-protected.
*/
class CommandLineHost
{
public:
    /** Before any work, as every command does: throws a UsageError for an output that may
        not replace what its name leads to (see checkOutput()), and says when the plug-in
        cannot keep its files where CORVANE_DATA_ROOT asks.
    */
    explicit CommandLineHost (const CommandLineOptions& options);

    /** Prints the effect's description and its host parameters with their present values
        (with --all, every parameter of the plug-in).
    */
    void describe();

    /** Renders the input (or the demo phrase) and writes the output, then prints where it went
        with its peak and RMS level.
    */
    void render();

private:
    // The view commands reach the module and make their instance as render does.
    friend class ViewCommandHost;

    juce::File findModule() const;
    std::unique_ptr<SimulatedModule> loadModule() const;
    size_t findComponent (const SimulatedModule& module) const;
    std::unique_ptr<SimulatedInstance> makeInstance (SimulatedModule& module, size_t component, double sampleRate) const;

    /** Whether the output of this option ("--out" or "--state-out") may replace what its name
        leads to: not a file the run reads or writes otherwise (an input, the module, the
        plug-in's settings, another output), nor one OutputFile::checkReplaceable() refuses.
        Its failure message follows the output's name ("is the file given to --in").
    */
    juce::Result checkOutput (const juce::String& option) const;
    /** Throws a UsageError for each output checkOutput() refuses. */
    void checkFiles() const;
    /** The settings file the plug-in reads when it starts and writes when it closes. */
    static juce::File getSettingsFile();
    std::unique_ptr<RenderInput> openInput (double& sampleRate) const;
    void restoreState (SimulatedInstance& instance) const;
    /** Restores the state, loads the preset and sets the parameters; answers the processing
        quality that applies in the render's mode, as the plug-in names it, and gives the
        longest delay of the settings and the delay of the whole output (the limiter's
        look-ahead, when it is on) in seconds where asked.
    */
    juce::String applySettings (SimulatedInstance& instance, double* longestDelay = nullptr, double* outputDelay = nullptr) const;
    std::vector<std::vector<uint8_t>> saveState (SimulatedInstance& instance) const;

    /** Renders silence after the input: the length asked for (at least the output's delay),
        or until the output has stayed quiet for longer than the longest delay plus a moment
        (at most the longest tail).
    */
    void renderTail (double sampleRate, double longestDelay, double outputDelay, const juce::AudioBuffer<float>& output,
                     const std::function<void (int)>& renderSilence) const;

    const CommandLineOptions options;
};
