#pragma once

#include "CommandLineOptions.h"
#include "SimulatedInstance.h"
#include "SimulatedModule.h"

#include <juce_audio_basics/juce_audio_basics.h>

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
    corvane-host's two commands, carried out through the simulated host: the module is loaded and
    reached only through its entry points, exactly as an AAX host would.

    A render writes nothing until it has finished: the WAV file and the state file are written
    to temporary files that replace the targets only when complete.
*/
class CommandLineHost
{
public:
    explicit CommandLineHost (const CommandLineOptions& options);

    /** Prints the effect's description and its host parameters with their present values. */
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

    void readInput (juce::AudioBuffer<float>& audio, double& sampleRate) const;
    void restoreState (SimulatedInstance& instance) const;
    void setParameters (SimulatedInstance& instance) const;
    juce::String findParameterID (SimulatedInstance& instance, const juce::String& idOrName) const;
    std::vector<std::vector<uint8_t>> saveState (SimulatedInstance& instance) const;
    void writeOutput (const juce::AudioBuffer<float>& audio, double sampleRate,
                      const std::vector<std::vector<uint8_t>>& state) const;

    const CommandLineOptions options;
};
