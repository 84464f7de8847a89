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

    /** Makes a processor built without the plug-in factory pass its parameters on to its
        engine, as the factory does (without an editor or the user's settings).
    */
    static void connectEngine (Corvane& processor);

    /** Loads the preset into the processor as a user would and renders an impulse through
        it: true when a channel gives more than one sample back, so that something of the
        delay lines is heard and not only a gain of the input (which the limiter's look-ahead
        may move). The processor must be connected (connectEngine); it is prepared anew for
        44.1 kHz stereo.
    */
    static bool rendersWetSignal (const juce::XmlElement& preset, Corvane& processor);
};
