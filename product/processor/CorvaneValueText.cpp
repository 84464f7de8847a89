#include "CorvaneValueText.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>

namespace
{
// Whole percent of a normalised value, truncated as the engine's steps are.
// Single precision on purpose: 0.29 then shows as 29, not 28.
int wholePercent (float v)
{
    return (int) (v * 100.0f);
}

juce::String gainInDecibels (double gain)
{
    constexpr auto silence = -320.0;
    const auto db = juce::Decibels::gainToDecibels (gain, silence);

    if (db <= silence)
        return "-inf.";

    return (db >= 0.0 ? "+" : "") + juce::String (db, 1) + " dB";
}

juce::String balance (float v, const char* suffix)
{
    const auto right = wholePercent (v);
    return juce::String (100 - right) + "/" + juce::String (right) + suffix;
}
}

juce::String CorvaneValueText::panning (float v)     { return balance (v, " % (L/R)"); }
juce::String CorvaneValueText::dryWet (float v)      { return balance (v, " % (Dry/Wet)"); }

juce::String CorvaneValueText::lineVolume (float v)
{
    return gainInDecibels (-0.5625 / ((double) v - 1.125) - 0.5);
}

juce::String CorvaneValueText::masterVolume (float v)
{
    return gainInDecibels (4.0 * (double) v * (double) v);
}

juce::String CorvaneValueText::filterCutoff (float v)
{
    const auto hz = (std::pow (2.0, (double) v * 119.58941143999999 / 12.0) * 22.0 - 22.0) * 1.003276;
    return juce::String (hz, 2) + " Hz";
}

juce::String CorvaneValueText::percent (float v, bool spaced)
{
    return juce::String (wholePercent (v)) + (spaced ? " %" : "%");
}

juce::String CorvaneValueText::bipolarPercent (float v)
{
    const auto n = (int) (v * 200.0f - 100.0f);
    return (n > 0 ? "+" : "") + juce::String (n) + " %";
}

juce::String CorvaneValueText::milliseconds (float plainValue)
{
    return juce::String (plainValue, 2) + " ms";
}

juce::String CorvaneValueText::overdrivePreamp (float v)
{
    const auto db = 12.0 * (double) v;
    return (db > 0.0 ? "+" : "") + juce::String (db, 2) + " dB";
}

juce::String CorvaneValueText::minus24To0Decibels (float v)
{
    return juce::String (24.0 * (double) v - 24.0, 2) + " dB";
}

juce::String CorvaneValueText::lfoFrequency (float v)
{
    const auto hz = std::exp (3.258840824040285 * (double) v) * 1.5947651006752834 - 1.494765100692059 + 1e-20;
    return juce::String (hz, 2) + " Hz";
}

juce::String CorvaneValueText::phaseShift (float v)
{
    return juce::String (180.0 * (double) v, 1) + " deg";
}

juce::String CorvaneValueText::envelopeAttack (float v)
{
    const auto x = (double) v;
    return time (0.7982456140350878 * x / (1.0 - 0.7719298245614036 * x) * 0.999714285 + 0.001);
}

juce::String CorvaneValueText::envelopeDecay (float v)
{
    return time ((std::exp (2.7725887222397834 * (double) v) - 1.0) * 1.3333333333333324 * 0.9995 + 0.01);
}

juce::String CorvaneValueText::envelopeHold (float v)
{
    return time ((double) v);
}

juce::String CorvaneValueText::time (double seconds)
{
    if (seconds >= 1.0)
        return juce::String (seconds, 1) + " s";

    return juce::String ((int) (seconds * 1000.0)) + " ms";
}

juce::String CorvaneValueText::stereoSpread (float v, int channelMode, double leftDelayMs)
{
    if (channelMode != 0 && channelMode != 1)
        return panning (v);

    const auto spreadMs = (leftDelayMs + 0.1) * (2.0 * (double) v - 1.0) * 0.5;

    if (spreadMs <= -0.01)
        return (channelMode == 0 ? "Left " : "Mid ") + juce::String (-spreadMs, 2) + " ms";

    if (spreadMs >= 0.01)
        return (channelMode == 0 ? "Right " : "Side ") + juce::String (spreadMs, 2) + " ms";

    return "No spread";
}
