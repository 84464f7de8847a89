#include "FactoryPresetCheck.h"

#include "Corvane.h"
#include "FloatParameter.h"
#include "Preset.h"

bool FactoryPresetCheck::isValidText (const Parameter& parameter, const juce::String& text)
{
    const std::unique_ptr<Parameter> probe (parameter.clone (parameter.getIndex(), parameter.getName()));
    probe->setText (text, false);

    if (probe->getText() == text)
        return true;

    // Unlike items, a number that is out of range or not a number at all is silently clamped
    // or read as 0 by the parameter: only a plain number that it keeps counts.
    const auto trimmed = text.trim();

    if (dynamic_cast<const FloatParameter*> (&parameter) == nullptr
         || trimmed.isEmpty() || ! trimmed.containsOnly ("0123456789.-+eE"))
        return false;

    const auto wanted = trimmed.getDoubleValue();
    return std::abs ((double) probe->getValue() - wanted) <= 1.0e-6 * juce::jmax (1.0, std::abs (wanted));
}

juce::StringArray FactoryPresetCheck::findProblems (const juce::XmlElement& preset, Corvane& processor)
{
    juce::StringArray problems;
    const auto name = preset.getStringAttribute ("name");

    if (! preset.hasTagName ("Preset"))
        problems.add ("not a preset document");

    for (auto [attribute, expected] : { std::pair<const char*, const char*> { "version", version }, { "author", author },
                                        { "application", "Corvane" } })
        if (preset.getStringAttribute (attribute) != expected)
            problems.add (juce::String (attribute) + " is \"" + preset.getStringAttribute (attribute) + "\"");

    for (auto* attribute : { "name", "id", "category" })
        if (preset.getStringAttribute (attribute).isEmpty())
            problems.add (juce::String ("no ") + attribute);

    const auto expectedIds = processor.createPreset (nullptr, {})->getIndices();
    juce::SparseSet<int> seen;
    auto& manager = processor.parameterManager;

    for (auto* param : preset.getChildWithTagNameIterator ("param"))
    {
        const auto parameterName = param->getStringAttribute ("name");
        const auto text = param->getStringAttribute ("value");
        const auto index = manager.getParameterIndex (parameterName);
        auto* parameter = manager.getParameter (index);

        if (parameter == nullptr || ! expectedIds.contains (index))
            problems.add ("\"" + parameterName + "\" is no preset parameter");
        else if (seen.contains (index))
            problems.add ("\"" + parameterName + "\" twice");
        else if (! isValidText (*parameter, text))
            problems.add ("\"" + parameterName + "\" cannot be \"" + text + "\"");

        if (index >= 0)
            seen.addRange ({ index, index + 1 });
    }

    if (seen.getTotalRange().isEmpty() || seen.size() != expectedIds.size())
        problems.add (juce::String (seen.size()) + " of " + juce::String (expectedIds.size()) + " parameters");

    for (auto& problem : problems)
        problem = name + ": " + problem;

    return problems;
}

void FactoryPresetCheck::connectEngine (Corvane& processor)
{
    processor.parameterManager.addListener (&processor);
    processor.parameterManager.notifyAllParameters();
}

bool FactoryPresetCheck::rendersWetSignal (const juce::XmlElement& preset, Corvane& processor)
{
    constexpr double sampleRate = 44100.0;
    constexpr int blockSize = 512;
    constexpr float impulse = 0.25f;

    // Longer than the slowest first echo of any sensible setting; echoes end the render at once.
    constexpr int settlingBlocks = (int) (0.5 * sampleRate) / blockSize;
    constexpr int listeningBlocks = (int) (6.0 * sampleRate) / blockSize;

    // What lies apart from each channel's strongest sample, against the impulse: -60 dB.
    constexpr double wetThreshold = 1.0e-6 * impulse * impulse;

    Preset loaded;
    loaded.loadFromXml (&preset, processor.parameterManager, false);
    processor.applyPreset (nullptr, loaded);

    processor.setPlayConfigDetails (2, 2, sampleRate, blockSize);
    processor.prepareToPlay (sampleRate, blockSize);

    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;

    auto render = [&]
    {
        const juce::ScopedLock sl (processor.getCallbackLock());
        processor.processBlock (buffer, midi);
    };

    // The gains glide in from silence after prepare.
    for (int block = 0; block < settlingBlocks; ++block)
    {
        buffer.clear();
        render();
    }

    double energy[2] = {}, strongest[2] = {};

    for (int block = 0; block < listeningBlocks; ++block)
    {
        buffer.clear();

        if (block == 0)
            for (int channel = 0; channel < 2; ++channel)
                buffer.setSample (channel, 0, impulse);

        render();

        for (int channel = 0; channel < 2; ++channel)
        {
            for (int i = 0; i < blockSize; ++i)
            {
                const auto e = juce::square ((double) buffer.getSample (channel, i));
                energy[channel] += e;
                strongest[channel] = juce::jmax (strongest[channel], e);
            }
        }

        if ((energy[0] - strongest[0]) + (energy[1] - strongest[1]) > wetThreshold)
            return true;
    }

    return false;
}
