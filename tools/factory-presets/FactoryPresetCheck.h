#pragma once

#include <juce_core/juce_core.h>

class Corvane;
class Parameter;

/**
    What the factory presets must satisfy: each a "Preset" document of the current version
    with the factory author and an id (so the user's own presets are never confused with
    them), and one valid value for every parameter that presets hold, under its name.
*/
struct FactoryPresetCheck
{
    static constexpr const char* author = "Halvorn Factory";
    static constexpr const char* version = "1.1";

    /** True when the parameter takes the text as it is: an item, note name, switch state or
        number in its range (a float may be written with fewer digits than it shows).
    */
    static bool isValidText (const Parameter& parameter, const juce::String& text);

    /** Everything wrong with a factory preset document, one line each; empty when sound. */
    static juce::StringArray findProblems (const juce::XmlElement& preset, Corvane& processor);
};
