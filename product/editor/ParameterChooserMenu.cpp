#include "ParameterChooserMenu.h"

namespace
{
    struct Entry
    {
        int index;
        const char* label;      // null: the parameter's own name
    };

    struct Group
    {
        const char* name;
        std::vector<Entry> entries;
    };

    // A host slot always follows one fixed line, so line items use the line's own ids
    // (base + index), never the ids of the selected-line view.
    void addItem (PopupMenuEx& menu, const ParameterManager& parameters, int base, const Entry& entry)
    {
        const auto id = base + entry.index;
        auto* parameter = parameters.getParameter (id);

        if (parameter == nullptr || ! parameter->isAutomatable())
            return;

        const auto text = entry.label != nullptr ? juce::String (entry.label) : parameters.getParameterName (entry.index);
        menu.addItem (id, text, parameter->getName());
    }

    PopupMenuEx makeGroup (const ParameterManager& parameters, int base, const std::vector<Entry>& entries)
    {
        PopupMenuEx menu;

        for (auto& entry : entries)
            addItem (menu, parameters, base, entry);

        return menu;
    }

    void addGroups (PopupMenuEx& menu, const ParameterManager& parameters, int base, const std::vector<Group>& groups)
    {
        for (auto& group : groups)
            menu.addSubMenu (group.name, makeGroup (parameters, base, group.entries));
    }

    const std::vector<Group>& lineGroups()
    {
        static const std::vector<Group> groups {
            { "Filter", { { 6, "Mode" }, { 7, "Feedback Loop" }, { 8, "Cutoff" }, { 9, "Resonance" }, { 10, "Type" } } },
            { "Overdrive", { { 35, "State" }, { 36, "Preamp" }, { 37, "Color" }, { 38, "Gain" } } },
            { "Pre-delay", { { 25, "Left Time" }, { 26, "Right Time" }, { 23, "Tempo Sync" }, { 24, "Join Channels" },
                             { 29, "Left Rhythmic Scale" }, { 31, "Left Duration Nominator" }, { 32, "Left Duration Denominator" },
                             { 30, "Right Rhythmic Scale" }, { 33, "Right Duration Nominator" }, { 34, "Right Duration Denominator" } } },
            { "Delay", { { 13, "Left Time" }, { 14, "Right Time" }, { 11, "Tempo Sync" }, { 12, "Join Channels" },
                         { 17, "Left Rhythmic Scale" }, { 19, "Left Duration Nominator" }, { 20, "Left Duration Denominator" },
                         { 18, "Right Rhythmic Scale" }, { 21, "Right Duration Nominator" }, { 22, "Right Duration Denominator" },
                         { 39, nullptr }, { 40, nullptr }, { 41, nullptr } } },
            { "Modulation", { { 42, "Source" }, { 43, "Scale" }, { 44, "Time" }, { 45, "Cutoff" }, { 46, "Tremolo" } } }
        };

        return groups;
    }

    // The modulators' layouts are the same; MOD 2's ids lie 20 above MOD 1's.
    PopupMenuEx makeModulator (const ParameterManager& parameters, int offset)
    {
        PopupMenuEx menu;
        addItem (menu, parameters, offset, { 47, "Modulator Type" });
        addGroups (menu, parameters, offset, {
            { "LFO", { { 54, "Frequency" }, { 55, "Rate" }, { 52, "Tempo Sync" }, { 56, "Waveform" }, { 57, "Invert" }, { 58, "Stereo Phase" } } },
            { "Envelope", { { 59, "Attack" }, { 60, "Decay" }, { 61, "Sustain" }, { 62, "Hold" }, { 63, "Release" } } },
            { "Peak Follower", { { 64, "Sensitivity" }, { 65, "Attack" }, { 66, "Release" } } }
        });
        return menu;
    }
}

PopupMenuEx ParameterChooserMenu::create (const BasePlugin& plugin)
{
    const auto& parameters = plugin.parameterManager;
    PopupMenuEx menu;
    menu.addItem (-1, "- none -");

    for (int line = 1; line <= 4; ++line)
    {
        const auto base = line * 1000;
        PopupMenuEx lineMenu;
        addGroups (lineMenu, parameters, base, lineGroups());

        for (auto index : { 0, 1, 2 })
            addItem (lineMenu, parameters, base, { index, nullptr });

        menu.addSubMenu ("Delay " + juce::String (line), lineMenu);
    }

    menu.addSubMenu ("MOD1", makeModulator (parameters, 0));
    menu.addSubMenu ("MOD2", makeModulator (parameters, 20));
    menu.addSubMenu ("Master", makeGroup (parameters, 0, { { 87, nullptr }, { 88, nullptr }, { 89, nullptr }, { 91, nullptr } }));
    menu.addSubMenu ("Misc", makeGroup (parameters, 0, { { 112, nullptr }, { 113, nullptr } }));
    return menu;
}
