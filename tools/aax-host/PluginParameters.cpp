#include "PluginParameters.h"

#include "CommandLineHost.h"
#include "CorvaneBinaryData.h"
#include "HostString.h"
#include "XmlHelpers.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace
{
    constexpr AAX_CTypeID stateChunkID = AAX_FourCC ("juce");
    constexpr int64_t maxPresetFileSize = 4 * 1024 * 1024;
    constexpr int numLineParameters = 47;   // the table's first entries, which each line has a copy of

    /** True for a plain number from 0 to 1, which --set takes as a normalised value; but a
        whole number given to a whole-number parameter is that number (a count of 1 is 1).
    */
    bool readNormalised (const juce::XmlElement* tableEntry, const juce::String& text, double& value)
    {
        if (! text.containsOnly ("0123456789.") || text.isEmpty() || text.indexOfChar ('.') != text.lastIndexOfChar ('.')
             || text == ".")
            return false;

        if (tableEntry != nullptr && tableEntry->getStringAttribute ("type") == "int" && ! text.containsChar ('.'))
            return false;

        value = text.getDoubleValue();
        return value >= 0.0 && value <= 1.0;
    }

    int editDistance (const juce::String& a, const juce::String& b)
    {
        std::vector<int> previous (static_cast<size_t> (b.length()) + 1), current (previous.size());

        for (size_t j = 0; j < previous.size(); ++j)
            previous[j] = static_cast<int> (j);

        for (int i = 1; i <= a.length(); ++i)
        {
            current[0] = i;

            for (int j = 1; j <= b.length(); ++j)
            {
                const auto substitution = previous[static_cast<size_t> (j - 1)] + (a[i - 1] == b[j - 1] ? 0 : 1);
                current[static_cast<size_t> (j)] = std::min ({ previous[static_cast<size_t> (j)] + 1, current[static_cast<size_t> (j - 1)] + 1, substitution });
            }

            std::swap (previous, current);
        }

        return previous.back();
    }

    /** The table's entry for a parameter: a line's own copy ("Line 2 Feedback") is described
        by the line parameter's entry ("Feedback").
    */
    const juce::XmlElement* findTableEntry (const juce::XmlElement& table, const juce::String& name)
    {
        const auto lineName = name.startsWithIgnoreCase ("Line ") && name.substring (5, 6).containsOnly ("1234")
                                  && name[6] == ' ' ? name.substring (7) : juce::String();

        for (auto* entry : table.getChildWithTagNameIterator ("param"))
        {
            const auto entryName = entry->getStringAttribute ("name");

            if (entryName.equalsIgnoreCase (name) || (lineName.isNotEmpty() && entryName.equalsIgnoreCase (lineName)
                                                      && entry->getIntAttribute ("index") < numLineParameters))
                return entry;
        }

        return nullptr;
    }

    /** The first number in a value text ("-12.5 dB", "50/50 % (Dry/Wet)"), and what follows it. */
    std::optional<double> firstNumber (const juce::String& text, juce::String* unit = nullptr)
    {
        const auto start = text.indexOfAnyOf ("0123456789");

        if (start < 0)
            return {};

        const auto negative = start > 0 && text[start - 1] == '-';
        auto end = start;

        while (end < text.length() && (juce::CharacterFunctions::isDigit (text[end]) || text[end] == '.'))
            ++end;

        if (unit != nullptr)
            *unit = text.substring (end).trim();

        const auto number = text.substring (start, end).getDoubleValue();
        return negative ? -number : number;
    }

    juce::StringArray valueTexts (const juce::XmlElement& entry)
    {
        const auto type = entry.getStringAttribute ("type");

        if (type == "enum")     return juce::StringArray::fromTokens (entry.getStringAttribute ("enum"), ";", {});
        if (type == "state")    return { "off", "on" };
        if (type == "bool")     return { "false", "true" };
        return {};
    }
}

PluginParameters::PluginParameters (SimulatedInstance& i) : instance (i)
{
    table = juce::parseXML (juce::String::fromUTF8 (CorvaneBinaryData::parameters_xml, CorvaneBinaryData::parameters_xmlSize));
    jassert (table != nullptr);

    for (const auto& id : instance.getParameterIDs())
    {
        const juce::String name (instance.getParameterName (id));
        parameters.push_back ({ name, id, findTableEntry (*table, name) });
    }

    readState();

    for (auto* preset : state->getChildWithTagNameIterator ("Preset"))
    {
        for (auto* entry : preset->getChildWithTagNameIterator ("param"))
        {
            const auto name = entry->getStringAttribute ("name");
            const auto inHostSlot = std::any_of (parameters.begin(), parameters.end(),
                                                 [&name] (const Parameter& p) { return p.name.equalsIgnoreCase (name); });

            if (! inHostSlot)
                parameters.push_back ({ name, {}, findTableEntry (*table, name) });
        }
    }
}

//==============================================================================
void PluginParameters::readState()
{
    if (instance.getChunk (stateChunkID, stateRecord) != AAX_OK || stateRecord.size() <= sizeof (AAX_ChunkRecord))
        throw HostError ("the effect gave no state document");

    state = XmlHelpers::parseUntrustedBinary (stateRecord.data() + sizeof (AAX_ChunkRecord),
                                              static_cast<int> (stateRecord.size() - sizeof (AAX_ChunkRecord)));

    if (state == nullptr)
        throw HostError ("the effect's state document cannot be read");
}

void PluginParameters::writeState()
{
    juce::MemoryBlock data;
    juce::AudioProcessor::copyXmlToBinary (*state, data);

    std::vector<uint8_t> record (sizeof (AAX_ChunkRecord) + data.getSize());
    std::memcpy (record.data(), stateRecord.data(), sizeof (AAX_ChunkRecord));
    std::memcpy (record.data() + sizeof (AAX_ChunkRecord), data.getData(), data.getSize());
    reinterpret_cast<AAX_ChunkRecord*> (record.data())->dataSize = static_cast<int32_t> (data.getSize());

    if (const auto result = instance.setChunk (record); result != AAX_OK)
        throw HostError ("the effect refused its own state document (" + std::to_string (result) + ")");

    instance.confirmPendingRequests();
    readState();
}

juce::XmlElement* PluginParameters::findStateEntry (const juce::String& name) const
{
    for (auto* preset : state->getChildWithTagNameIterator ("Preset"))
        for (auto* entry : preset->getChildWithTagNameIterator ("param"))
            if (entry->getStringAttribute ("name").equalsIgnoreCase (name))
                return entry;

    return nullptr;
}

//==============================================================================
const PluginParameters::Parameter& PluginParameters::find (const juce::String& name) const
{
    std::vector<const Parameter*> matches;

    for (const auto& parameter : parameters)
        if (parameter.hostID == name || parameter.name.equalsIgnoreCase (name))
            matches.push_back (&parameter);

    // A line parameter's table name ("Feedback") stands for each line's copy of it.
    if (matches.empty())
        for (const auto& parameter : parameters)
            if (parameter.table != nullptr && parameter.table->getStringAttribute ("name").equalsIgnoreCase (name))
                matches.push_back (&parameter);

    if (matches.size() == 1)
        return *matches.front();

    juce::StringArray names;

    if (matches.empty())
    {
        std::vector<std::pair<int, juce::String>> distances;

        for (const auto& parameter : parameters)
            distances.emplace_back (editDistance (parameter.name.toLowerCase(), name.toLowerCase()), parameter.name);

        std::stable_sort (distances.begin(), distances.end(), [] (auto& a, auto& b) { return a.first < b.first; });

        for (size_t index = 0; index < std::min (distances.size(), size_t (3)); ++index)
            names.add ("'" + distances[index].second + "'");

        throw UsageError ("unknown parameter '" + name.toStdString() + "' (nearest: " + names.joinIntoString (", ").toStdString()
                          + "; describe --all lists them)");
    }

    for (const auto* match : matches)
        names.add ("'" + match->name + "'");

    throw HostError ("the parameter name '" + name.toStdString() + "' is not unique (" + names.joinIntoString (", ").toStdString() + ")");
}

juce::String PluginParameters::stateText (const Parameter& parameter, const juce::String& value) const
{
    const auto fail = [&parameter, &value] (const juce::String& why)
    {
        throw HostError ("--set " + parameter.name.toStdString() + ": '" + value.toStdString() + "' " + why.toStdString());
    };

    if (parameter.table == nullptr)
        return value;

    const auto& entry = *parameter.table;
    const auto type = entry.getStringAttribute ("type");
    const auto minimum = entry.getDoubleAttribute ("min"), maximum = entry.getDoubleAttribute ("max");
    double normalised = 0.0;
    const auto isNormalised = readNormalised (parameter.table, value, normalised);

    if (const auto texts = valueTexts (entry); ! texts.isEmpty())
    {
        if (isNormalised)
            return texts[static_cast<int> (std::floor ((texts.size() - 1) * normalised + 0.5))];

        if (const auto index = texts.indexOf (value, true); index >= 0)
            return texts[index];

        fail ("is not one of: " + texts.joinIntoString (", "));
    }

    if (type == "int" || type == "float")
    {
        const auto number = isNormalised ? minimum + normalised * (maximum - minimum) : value.getDoubleValue();
        const auto isNumber = isNormalised || value.trimCharactersAtStart ("-").containsOnly ("0123456789.");

        if (! isNumber || value.isEmpty())
            fail ("is not a number");

        if (number < minimum || number > maximum)
            fail ("is out of range (" + juce::String (minimum) + " to " + juce::String (maximum) + ")");

        return type == "int" ? juce::String (static_cast<int> (std::floor (number + 0.5))) : juce::String (number);
    }

    if (isNormalised)
        fail ("is a number, but this parameter takes a text");

    return value;
}

void PluginParameters::set (const juce::String& name, const juce::String& value)
{
    const auto& parameter = find (name);

    if (parameter.hostID.isEmpty())
    {
        auto* entry = findStateEntry (parameter.name);
        jassert (entry != nullptr);
        entry->setAttribute ("value", stateText (parameter, value));
        writeState();
        return;
    }

    double normalised = 0.0;
    const auto id = parameter.hostID.toStdString();

    if (! readNormalised (parameter.table, value, normalised))
        normalised = findHostValue (parameter, value);

    if (const auto result = instance.setParameter (id, normalised); result != AAX_OK)
        throw HostError ("the effect refused the value of parameter " + parameter.name.toStdString() + " (" + std::to_string (result) + ")");
}

void PluginParameters::loadPreset (const juce::File& file)
{
    const auto path = file.getFullPathName().toStdString();

    if (! file.existsAsFile())
        throw HostError ("cannot read preset " + path + ": no such file");

    auto preset = file.getSize() <= maxPresetFileSize ? XmlHelpers::parseUntrusted (file) : nullptr;

    if (preset == nullptr || ! preset->getTagName().equalsIgnoreCase ("Preset"))
        throw HostError ("cannot read preset " + path + ": not a preset file");

    if (const auto application = preset->getStringAttribute ("application");
         application.isNotEmpty() && ! application.equalsIgnoreCase ("Corvane"))
        throw HostError ("cannot read preset " + path + ": it is a preset of " + application.toStdString());

    // The preset takes the place of the parameters a session saves, so the plug-in loads it
    // as it loads a session, older preset versions included.
    for (auto* saved : state->getChildWithTagNameIterator ("Preset"))
    {
        if (saved->getStringAttribute ("name") == "ParametersState")
        {
            preset->setAttribute ("name", "ParametersState");
            state->replaceChildElement (saved, preset.release());
            nameAfterFile (file);
            writeState();
            return;
        }
    }

    throw HostError ("the effect's state document holds no parameters");
}

void PluginParameters::nameAfterFile (const juce::File& file)
{
    // The plug-in names a preset after its file when it loads one, and a session keeps that
    // name beside the editor's other settings.
    for (auto* saved : state->getChildWithTagNameIterator ("Preset"))
        if (saved->getStringAttribute ("name") == "EditionStateParameters")
            for (auto* param : saved->getChildWithTagNameIterator ("param"))
                if (param->getStringAttribute ("name") == "Preset Name")
                    param->setAttribute ("value", file.getFileNameWithoutExtension());
}

double PluginParameters::findHostValue (const Parameter& parameter, const juce::String& text)
{
    const auto id = parameter.hostID.toStdString();
    const auto textAt = [this, &id] (double normalised)
    {
        instance.setParameter (id, normalised);
        return juce::String (instance.getParameterText (id));
    };

    const auto low = textAt (0.0), high = textAt (1.0);
    const auto fail = [&] (const std::string& why) -> double
    {
        throw HostError ("--set " + parameter.name.toStdString() + ": '" + text.toStdString() + "' " + why);
    };

    // A parameter of a few values is tried value by value, as the table counts them.
    if (const auto* entry = parameter.table; entry != nullptr && entry->getStringAttribute ("type") != "float")
    {
        const auto texts = valueTexts (*entry);
        const auto count = texts.isEmpty() ? entry->getIntAttribute ("max") - entry->getIntAttribute ("min") + 1 : texts.size();

        for (int index = 0; index < count; ++index)
            if (const auto normalised = count > 1 ? index / static_cast<double> (count - 1) : 0.0; textAt (normalised).equalsIgnoreCase (text))
                return normalised;

        return fail ("is not one of its values (from '" + low.toStdString() + "' to '" + high.toStdString() + "')");
    }

    // A continuous one is searched for by the number in its text, which rises or falls with the value.
    juce::String unit, lowUnit;
    const auto target = firstNumber (text, &unit);
    const auto lowNumber = firstNumber (low, &lowUnit), highNumber = firstNumber (high);

    if (! target.has_value() || ! lowNumber.has_value() || ! highNumber.has_value())
        return fail ("is not a value it takes (such as '" + low.toStdString() + "', or a number from 0 to 1)");

    if (unit.isNotEmpty() && ! lowUnit.startsWithIgnoreCase (unit))
        return fail ("is not in its unit ('" + low.toStdString() + "')");

    if (*target < juce::jmin (*lowNumber, *highNumber) || *target > juce::jmax (*lowNumber, *highNumber))
        return fail ("is out of range ('" + low.toStdString() + "' to '" + high.toStdString() + "')");

    const auto rising = *highNumber >= *lowNumber;
    double bottom = 0.0, top = 1.0;

    for (int step = 0; step < 48; ++step)
    {
        const auto middle = 0.5 * (bottom + top);
        const auto number = firstNumber (textAt (middle)).value_or (*target);

        if ((number < *target) == rising)
            bottom = middle;
        else
            top = middle;
    }

    return top;
}

//==============================================================================
juce::String PluginParameters::getText (const juce::String& name) const
{
    for (const auto& parameter : parameters)
    {
        if (! parameter.name.equalsIgnoreCase (name))
            continue;

        if (parameter.hostID.isNotEmpty())
            return instance.getParameterText (parameter.hostID.toStdString());

        if (const auto* entry = findStateEntry (parameter.name))
            return entry->getStringAttribute ("value");
    }

    return {};
}

juce::String PluginParameters::describeAll() const
{
    juce::String text;
    text << "All parameters:  " << static_cast<int> (parameters.size()) << " (name, how it is set, kind, range, default: value)\n";

    int nameWidth = 0, slotWidth = 0;

    for (const auto& parameter : parameters)
    {
        nameWidth = juce::jmax (nameWidth, parameter.name.length() + 2);
        slotWidth = juce::jmax (slotWidth, parameter.hostID.length() + 7);
    }

    for (const auto& parameter : parameters)
    {
        const auto* entry = parameter.table;
        const auto type = entry != nullptr ? entry->getStringAttribute ("type") : juce::String ("switch");
        juce::String range;

        if (entry != nullptr && (type == "int" || type == "float"))
            range = entry->getStringAttribute ("min") + " to " + entry->getStringAttribute ("max");
        else if (entry != nullptr)
            range = valueTexts (*entry).joinIntoString (" | ");

        const auto defaultText = entry != nullptr ? entry->getStringAttribute ("value") : juce::String();

        text << "  " << parameter.name.paddedRight (' ', nameWidth)
             << (parameter.hostID.isNotEmpty() ? "slot " + parameter.hostID : juce::String ("state")).paddedRight (' ', slotWidth)
             << type.paddedRight (' ', 7) << range
             << (defaultText.isNotEmpty() ? ", default " + defaultText : juce::String())
             << ": " << getText (parameter.name) << "\n";
    }

    return text;
}
