#include "CorvaneParameterIds.h"

juce::SparseSet<int> CorvaneParameterIds::makePresetIds()
{
    juce::SparseSet<int> ids;

    for (int line = 0; line < numLines; ++line)
    {
        ids.addRange (makeLineIds (line).getTotalRange());

        for (auto index : { delayLeftTime, delayRightTime, preDelayLeftTime, preDelayRightTime, feedbackHold })
            ids.removeRange ({ getLineParameterId (line, index), getLineParameterId (line, index) + 1 });
    }

    ids.addRange ({ firstGlobal, selectedLineNumber });
    return ids;
}

juce::SparseSet<int> CorvaneParameterIds::makeEditionIds()
{
    juce::SparseSet<int> ids;
    ids.addRange ({ selectedLineNumber, defaultMod1RetriggerChannel });
    return ids;
}

juce::SparseSet<int> CorvaneParameterIds::makeDefaultSettingsIds()
{
    juce::SparseSet<int> ids;
    ids.addRange ({ defaultMod1RetriggerChannel, defaultRealtimeQuality });
    return ids;
}

juce::SparseSet<int> CorvaneParameterIds::makeLineIds (int line)
{
    juce::SparseSet<int> ids;
    ids.addRange ({ getLineParameterId (line, 0), getLineParameterId (line, numLineParameters) });
    return ids;
}

int CorvaneParameterIds::renumberLegacyEditionId (int id) noexcept
{
    switch (id)
    {
        case 122:   return mod1RetriggerChannel;
        case 123:   return mod1RetriggerNote;
        case 124:   return mod2RetriggerChannel;
        case 125:   return mod2RetriggerNote;
        default:    return id;
    }
}

int CorvaneParameterIds::renumberLegacyDefaultSettingsId (int id) noexcept
{
    switch (id)
    {
        case 118:   return defaultMod1RetriggerChannel;
        case 119:   return defaultMod1RetriggerNote;
        case 120:   return defaultMod2RetriggerChannel;
        case 121:   return defaultMod2RetriggerNote;
        default:    return id;
    }
}
