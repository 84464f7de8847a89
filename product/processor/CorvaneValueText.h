#pragma once

#include <juce_core/juce_core.h>

/**
    The texts under which the host and the editor show the product's parameter
    values, each from the parameter's normalised value v (0 to 1) unless said
    otherwise. The curves mirror what the engine makes of the same values, so a
    text names what is heard.
*/
struct CorvaneValueText
{
    /** Left/right balance: "50/50 % (L/R)" in the centre. */
    static juce::String panning (float v);

    /** Dry/wet balance of the effect: "50/50 % (Dry/Wet)" in the middle. */
    static juce::String dryWet (float v);

    /** A line's output level in dB, "+0.0 dB" at 0.75 and "-inf." at 0. */
    static juce::String lineVolume (float v);

    /** The master output level in dB, "+0.0 dB" at 0.5 and "-inf." at 0. */
    static juce::String masterVolume (float v);

    /** The filter's cutoff frequency in Hz, from about 0 to 22 kHz. */
    static juce::String filterCutoff (float v);

    /** Whole percent, "37 %"; spaced is false for the modulators' "37%". */
    static juce::String percent (float v, bool spaced = true);

    /** Percent of a bipolar control, -100 to "+100 %". */
    static juce::String bipolarPercent (float v);

    /** A plain value in milliseconds with two decimals, "32.00 ms". */
    static juce::String milliseconds (float plainValue);

    /** The overdrive's preamp gain, "+6.00 dB" at 0.5. */
    static juce::String overdrivePreamp (float v);

    /** A gain from -24 dB at 0 to 0 dB at 1, as the overdrive gain and the
        limiter threshold are shown.
    */
    static juce::String minus24To0Decibels (float v);

    /** An LFO's free frequency, 0.10 Hz to 40.00 Hz. */
    static juce::String lfoFrequency (float v);

    /** The phase shift between the right and left LFO, 0 to 180 degrees. */
    static juce::String phaseShift (float v);

    /** Envelope times, 1 ms to 3.5 s for the attack, 10 ms to 20 s for decay and
        release, and 0 to 1 s for the hold.
    */
    static juce::String envelopeAttack (float v);
    static juce::String envelopeDecay (float v);
    static juce::String envelopeHold (float v);

    /** A time in seconds: "1.5 s" from a second up, whole milliseconds below. */
    static juce::String time (double seconds);

    /** The stereo spread of a line whose left delay lasts leftDelayMs:
        "Left 3.20 ms", "No spread", "Right 3.20 ms" in L/R mode (channelMode 0),
        "Mid"/"Side" in M/S mode (1), and the panning text for any other mode.
    */
    static juce::String stereoSpread (float v, int channelMode, double leftDelayMs);

    /** The text of a momentary button, which has no value worth showing. */
    static juce::String button()        { return "@"; }
};
