#include "FactoryPresetCheck.h"

#include "Corvane.h"
#include "FloatParameter.h"

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
