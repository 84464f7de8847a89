#include "PluginParameters.h"
#include "CaseKey.h"

#include "CommandLineHost.h"
#include "CorvaneBinaryData.h"
#include "HostString.h"
#include "XmlHelpers.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <algorithm>
#include <array>
#include <limits>
#include <tuple>
#include <cstring>
#include <optional>

namespace
{
    constexpr AAX_CTypeID stateChunkID = AAX_FourCC ("juce");
    constexpr int numLineParameters = 47;   // the table's first entries, which each line has a copy of
    constexpr const char* presetModifiedAttribute = "presetModified";   // the state's note of unsaved preset edits
    constexpr const char* bypassID = "MasterBypassID";

    /** Where a value text stands among a parameter's texts, letter case ignored as the
        plug-in ignores it; -1 where it is none of them.
    */
    int indexOfText (const juce::StringArray& texts, const juce::String& text)
    {
        for (int index = 0; index < texts.size(); ++index)
            if (CaseKey::equal (texts[index], text))
                return index;

        return -1;
    }

    /** A size as a user reads it, and exactly, so that a size just past the documents' limit
        does not read as the limit itself.
    */
    std::string describeSize (juce::int64 bytes)
    {
        return juce::File::descriptionOfSizeInBytes (bytes).toStdString() + " (" + std::to_string (bytes) + " bytes)";
    }

    /** A plain decimal number: an optional sign, digits and at most one point. */
    bool isPlainNumber (const juce::String& text)
    {
        const auto digits = text.startsWithChar ('-') || text.startsWithChar ('+') ? text.substring (1) : text;
        return digits.isNotEmpty() && digits != "." && digits.containsOnly ("0123456789.")
                 && digits.indexOfChar ('.') == digits.lastIndexOfChar ('.');
    }

    bool isWholeNumber (const juce::String& text)
    {
        return isPlainNumber (text) && ! text.containsChar ('.');
    }

    /** A number as the plug-in writes one into its state: plain, or with an exponent ("1e-20"). */
    bool isStateNumber (const juce::String& text)
    {
        const auto exponent = text.indexOfIgnoreCase ("e");
        return exponent < 0 ? isPlainNumber (text)
                            : isPlainNumber (text.substring (0, exponent)) && isWholeNumber (text.substring (exponent + 1));
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
        const auto lineName = CaseKey::startsWith (name, "Line ") && name.substring (5, 6).containsOnly ("1234")
                                  && name[6] == ' ' ? name.substring (7) : juce::String();

        for (auto* entry : table.getChildWithTagNameIterator ("param"))
        {
            const auto entryName = entry->getStringAttribute ("name");

            if (CaseKey::equal (entryName, name) || (lineName.isNotEmpty() && CaseKey::equal (entryName, lineName)
                                                      && entry->getIntAttribute ("index") < numLineParameters))
                return entry;
        }

        return nullptr;
    }

    /** A value text as a user may type it: its words (in lower case, without spaces) with
        each number replaced by '#', and the numbers. Seconds are read as milliseconds, since
        the plug-in shows times from a second up in seconds and below it in milliseconds.
    */
    struct Reading
    {
        juce::String shape;
        std::vector<double> numbers;

        bool operator== (const Reading& other) const    { return shape == other.shape && numbers == other.numbers; }
    };

    Reading read (const juce::String& text)
    {
        const auto characters = CaseKey::of (text).removeCharacters (" ");
        const auto isDigit = [&characters] (int i) { return i < characters.length() && juce::CharacterFunctions::isDigit (characters[i]); };
        Reading reading;

        for (int i = 0; i < characters.length();)
        {
            const auto sign = characters[i] == '-' || characters[i] == '+';

            if (! isDigit (i) && ! (sign && isDigit (i + 1)))
            {
                reading.shape << juce::String::charToString (characters[i++]);
                continue;
            }

            auto end = sign ? i + 1 : i;

            while (isDigit (end) || (characters[end] == '.' && isDigit (end + 1)))
                ++end;

            // "-0.0 dB" is shown apart from "+0.0 dB", so it sorts just below it.
            const auto number = characters.substring (i, end).getDoubleValue();
            reading.numbers.push_back (number == 0.0 && characters[i] == '-' ? -std::numeric_limits<double>::denorm_min() : number);
            reading.shape << "#";
            i = end;
        }

        if (reading.shape == "#s")
        {
            reading.shape = "#ms";
            reading.numbers.front() *= 1000.0;
        }

        return reading;
    }

    /** Where a value text stands among a parameter's texts, which rise or fall with its value:
        the number at the given place (the one that the parameter moves), negative to the left
        of the centre ("Left 3.20 ms", "Mid 3.20 ms"), "-inf." lowest.
    */
    std::optional<double> rank (const Reading& reading, size_t place)
    {
        if (reading.shape == "-inf.")
            return -std::numeric_limits<double>::infinity();

        if (reading.shape == "nospread")
            return 0.0;

        if (reading.numbers.empty())
            return {};

        const auto number = reading.numbers[std::min (place, reading.numbers.size() - 1)];
        return reading.shape.startsWith ("left") || reading.shape.startsWith ("mid") ? -number : number;
    }

    /** The place of the number that a parameter moves, from its texts at both ends ("1/16" and
        "32/16": the first; "100/0 %" and "0/100 %": the second, which rises with it).
    */
    size_t movingPlace (const Reading& low, const Reading& high)
    {
        size_t place = 0;

        for (size_t index = 0; index < std::min (low.numbers.size(), high.numbers.size()); ++index)
            if (low.numbers[index] != high.numbers[index])
                place = index;

        return place;
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
        parameters.push_back ({ name, id, findTableEntry (*table, name), {} });
    }

    readState();

    for (auto& parameter : parameters)
    {
        if (parameter.table == nullptr)
        {
            parameter.stateName = findSlotEntry (parameter.hostID);
            parameter.table = findTableEntry (*table, parameter.stateName);
        }
    }

    for (auto* preset : state->getChildWithTagNameIterator ("Preset"))
    {
        for (auto* entry : preset->getChildWithTagNameIterator ("param"))
        {
            const auto name = entry->getStringAttribute ("name");
            const auto inHostSlot = std::any_of (parameters.begin(), parameters.end(), [&name] (const Parameter& p)
                                                 { return CaseKey::equal (p.name, name) || CaseKey::equal (p.stateName, name); });

            if (! inHostSlot)
                parameters.push_back ({ name, {}, findTableEntry (*table, name), {} });
        }
    }
}

juce::String PluginParameters::findSlotEntry (const juce::String& id) const
{
    // A slot shown under a name of no single parameter (a duration's numerator and
    // denominator share one) is told apart by the plug-in's own map of its slots, which its
    // state document carries: moving the slot to see what it sets would edit the preset.
    // The effect names a slot by its number from 0, the map numbers slots from 1.
    if (id.isEmpty() || ! id.containsOnly ("0123456789"))
        return {};

    if (const auto* map = state->getChildByName ("HostParametersMap"))
        for (auto* assign : map->getChildWithTagNameIterator ("assign"))
            if (assign->getIntAttribute ("hostParam") == id.getIntValue() + 1)
                return assign->getStringAttribute ("pluginParam");

    return {};
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

    // The effect ignores a longer document (its binary form's header aside) and keeps its state.
    if (const auto size = (juce::int64) data.getSize() - 8; size > XmlHelpers::maximumDocumentSize)
        throw HostError ("the effect's state document would be " + describeSize (size) + ", more than the "
                         + describeSize (XmlHelpers::maximumDocumentSize) + " a state may hold");

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
            if (CaseKey::equal (entry->getStringAttribute ("name"), name))
                return entry;

    return nullptr;
}

//==============================================================================
const PluginParameters::Parameter& PluginParameters::find (const juce::String& name) const
{
    std::vector<const Parameter*> matches;

    for (const auto& parameter : parameters)
        if (parameter.hostID == name || CaseKey::equal (parameter.name, name) || CaseKey::equal (parameter.stateName, name))
            matches.push_back (&parameter);

    // A line parameter's table name ("Feedback") stands for each line's copy of it.
    if (matches.empty())
        for (const auto& parameter : parameters)
            if (parameter.table != nullptr && CaseKey::equal (parameter.table->getStringAttribute ("name"), name))
                matches.push_back (&parameter);

    if (matches.size() == 1)
        return *matches.front();

    juce::StringArray names;

    if (matches.empty())
    {
        // Ranked by the words of the name first, so that a word mistyped still finds its
        // parameters ("Feedbak": "Line 1 Feedback"), then by the whole name.
        const auto words = juce::StringArray::fromTokens (CaseKey::of (name), false);
        std::vector<std::tuple<int, int, juce::String>> ranks;

        for (const auto& parameter : parameters)
        {
            const auto candidate = CaseKey::of (parameter.name);
            const auto candidateWords = juce::StringArray::fromTokens (candidate, false);
            int wordDistance = 0;

            for (const auto& word : words)
            {
                auto nearest = word.length();

                for (const auto& candidateWord : candidateWords)
                    nearest = std::min (nearest, editDistance (word, candidateWord));

                wordDistance += nearest;
            }

            ranks.emplace_back (wordDistance, editDistance (candidate, CaseKey::of (name)), parameter.name);
        }

        std::stable_sort (ranks.begin(), ranks.end(), [] (auto& a, auto& b)
                          { return std::tie (std::get<0> (a), std::get<1> (a)) < std::tie (std::get<0> (b), std::get<1> (b)); });

        for (size_t index = 0; index < std::min (ranks.size(), size_t (3)); ++index)
            names.add ("'" + std::get<2> (ranks[index]) + "'");

        throw UsageError ("unknown parameter '" + name.toStdString() + "' (nearest: " + names.joinIntoString (", ").toStdString()
                          + "; describe --all lists them)");
    }

    for (const auto* match : matches)
        names.add ("'" + match->name + "' (" + (match->hostID.isNotEmpty() ? "slot " + match->hostID : juce::String ("state"))
                   + ", " + kindOf (*match) + (match->stateName.isNotEmpty() ? ", " + match->stateName : juce::String()) + ")");

    throw UsageError ("the parameter name '" + name.toStdString() + "' is not unique: " + names.joinIntoString (", ").toStdString()
                      + "; name one by its slot id");
}

juce::String PluginParameters::kindOf (const Parameter& parameter)
{
    return parameter.table != nullptr ? parameter.table->getStringAttribute ("type", "float") : juce::String ("switch");
}

juce::String PluginParameters::stateText (const Parameter& parameter, const juce::String& value) const
{
    const auto fail = [&parameter, &value] (const juce::String& why)
    {
        throw UsageError ("--set " + parameter.name.toStdString() + ": '" + value.toStdString() + "' " + why.toStdString());
    };

    if (parameter.table == nullptr)
        return value;

    const auto& entry = *parameter.table;
    const auto type = entry.getStringAttribute ("type", "float");
    const auto minimum = entry.getDoubleAttribute ("min"), maximum = entry.getDoubleAttribute ("max", 1.0);
    const auto range = "(" + juce::String (minimum) + " to " + juce::String (maximum) + ")";

    if (const auto texts = valueTexts (entry); ! texts.isEmpty())
    {
        if (const auto index = indexOfText (texts, value); index >= 0)
            return texts[index];

        const auto takesNumbers = std::any_of (texts.begin(), texts.end(), isPlainNumber);

        if (isPlainNumber (value) && ! takesNumbers)
        {
            if (const auto normalised = value.getDoubleValue(); normalised >= 0.0 && normalised <= 1.0)
                return texts[static_cast<int> (std::floor ((texts.size() - 1) * normalised + 0.5))];

            fail ("is not one of: " + texts.joinIntoString (", ") + ", nor a normalised number from 0 to 1");
        }

        fail ("is not one of: " + texts.joinIntoString (", "));
    }

    if (type == "int" || type == "float")
    {
        if (type == "int" ? ! isWholeNumber (value) : ! isStateNumber (value))
            fail (type == "int" ? "is not a whole number " + range : "is not a number " + range);

        if (const auto number = value.getDoubleValue(); number < minimum || number > maximum)
            fail ("is out of range " + range);

        return type == "int" ? juce::String (value.getLargeIntValue()) : value;
    }

    // A note name is checked once the plug-in has read it; a bare number is a normalised value.
    if (type == "note" && isPlainNumber (value) && (value.getDoubleValue() < 0.0 || value.getDoubleValue() > 1.0))
        fail ("is neither a note name (such as 'C-5' or 'F#3') nor a normalised number from 0 to 1");

    return value;
}

void PluginParameters::set (const juce::String& name, const juce::String& value)
{
    setAll ({ { name, value } });
}

void PluginParameters::setAll (const std::vector<std::pair<juce::String, juce::String>>& values, bool bypass)
{
    struct Setting
    {
        const Parameter* parameter;
        juce::String value, shown;
    };

    std::vector<Setting> settings;
    auto all = values;

    if (bypass)
        all.emplace_back (bypassID, "1");

    for (const auto& [name, value] : all)
    {
        const auto& parameter = find (name);
        apply (parameter, value);
        settings.push_back ({ &parameter, value, currentText (parameter) });
    }

    const auto* bypassSetting = bypass ? &settings.back() : nullptr;

    // A value may change what another one shows (a stereo spread is shown in milliseconds of
    // the line's delay, a duration's text holds its numerator and its denominator): such a
    // value is set again once the others are, so that any order of the same values ends in
    // the same state.
    for (auto& setting : settings)
    {
        if (currentText (*setting.parameter) != setting.shown)
        {
            apply (*setting.parameter, setting.value);
            setting.shown = currentText (*setting.parameter);
        }
    }

    for (const auto& setting : settings)
    {
        const auto& [parameter, value, shown] = setting;
        const auto now = currentText (*parameter);

        if (now == shown && shows (*parameter, value, now))
            continue;

        const auto prefix = (&setting == bypassSetting ? std::string ("--bypass")
                                                        : "--set " + parameter->name.toStdString() + "=" + value.toStdString()) + ": ";

        if (now != shown)
            throw UsageError (prefix + (bypassSetting != nullptr && bypassSetting->parameter == parameter ? "--bypass" : "another --set value")
                              + " undoes it (it shows '" + now.toStdString() + "')");

        if (kindOf (*parameter) == "note")
            throw UsageError (prefix + "not a note name the plug-in reads (such as 'C-5' or 'F#3', from 'C-0' to 'G-H')");

        // A duration's text holds two numbers, each of which only its own slot sets.
        juce::String partners;

        for (const auto& other : parameters)
            if (&other != parameter && other.name == parameter->name && other.stateName.isNotEmpty())
                partners << (partners.isEmpty() ? "" : ", ") << other.stateName;

        throw UsageError (prefix + "it does not take effect (it shows '" + now.toStdString() + "')"
                          + (partners.isEmpty() ? std::string()
                                                : "; it sets " + parameter->stateName.toStdString() + " only: set "
                                                      + partners.toStdString() + " with a --set of its own"));
    }
}

bool PluginParameters::shows (const Parameter& parameter, const juce::String& value, const juce::String& shown) const
{
    const auto* entry = parameter.table;

    if (isStateNumber (value))
    {
        // A number of a parameter whose texts are numbers is one of them; any other is normalised.
        const auto type = entry != nullptr ? entry->getStringAttribute ("type", "float") : juce::String();
        const auto number = value.getDoubleValue();
        return parameter.hostID.isNotEmpty() || (type != "int" && type != "float")
                 || std::abs (shown.getDoubleValue() - number) <= 1.0e-6 * std::max (1.0, std::abs (number));
    }

    if (entry != nullptr && indexOfText (valueTexts (*entry), value) >= 0)
        return true;

    return parameter.hostID.isEmpty() ? CaseKey::equal (shown, value) : read (shown) == read (value);
}

void PluginParameters::apply (const Parameter& parameter, const juce::String& value)
{
    if (parameter.hostID.isEmpty())
    {
        // Read again first: the document restores every parameter, so it must hold the values
        // set through the host's path since it was last read.
        readState();
        auto* entry = findStateEntry (parameter.name);
        jassert (entry != nullptr);
        const auto text = stateText (parameter, value);

        // The plug-in takes a restored value for no edit; a value set here that changes what the
        // preset holds (or its name) is one, as the plug-in counts its own.
        if (const auto* holder = state->findParentElementOf (entry); text != entry->getStringAttribute ("value") && holder != nullptr
             && (holder->getStringAttribute ("name") == "ParametersState" || CaseKey::equal (parameter.name, "Preset Name")))
            state->setAttribute (presetModifiedAttribute, "yes");

        entry->setAttribute ("value", text);
        writeState();
        return;
    }

    const auto normalised = findHostValue (parameter, value);

    if (const auto result = instance.setParameter (parameter.hostID.toStdString(), normalised); result != AAX_OK)
        throw HostError ("the effect refused the value of parameter " + parameter.name.toStdString() + " (" + std::to_string (result) + ")");
}

std::vector<PluginParameters::RefusedValue> PluginParameters::loadPreset (const juce::File& file)
{
    const auto path = file.getFullPathName().toStdString();

    if (! file.existsAsFile())
        throw HostError ("cannot read preset " + path + ": no such file");

    if (const auto size = file.getSize(); size > XmlHelpers::maximumDocumentSize)
        throw HostError ("cannot read preset " + path + ": it is " + describeSize (size) + ", more than the "
                         + describeSize (XmlHelpers::maximumDocumentSize) + " a preset may hold");

    auto preset = XmlHelpers::parseUntrusted (file);

    if (preset == nullptr || ! CaseKey::equal (preset->getTagName(), "Preset"))
        throw HostError ("cannot read preset " + path + ": not a preset file");

    if (const auto application = XmlHelpers::getStringAttribute (*preset, "application");
         application.isNotEmpty() && ! CaseKey::equal (application, "Corvane"))
        throw HostError ("cannot read preset " + path + ": it is a preset of " + application.toStdString());

    std::vector<std::pair<juce::String, juce::String>> given;

    // The plug-in reads a preset's tags and attribute names ignoring letter case.
    for (auto* entry : XmlHelpers::getChildrenWithTagName (*preset, "param"))
        given.emplace_back (XmlHelpers::getStringAttribute (*entry, "name"), XmlHelpers::getStringAttribute (*entry, "value"));

    // The preset takes the place of the parameters a session saves, so the plug-in loads it
    // as it loads a session, older preset versions included.
    for (auto* saved : state->getChildWithTagNameIterator ("Preset"))
    {
        if (saved->getStringAttribute ("name") == "ParametersState")
        {
            for (const auto& attribute : XmlHelpers::getAttributeNames (*preset))
                if (CaseKey::equal (attribute, "name"))
                    preset->removeAttribute (attribute);

            preset->setAttribute ("name", "ParametersState");
            state->replaceChildElement (saved, preset.release());
            nameAfterFile (file);

            // A preset just loaded holds no edits, whatever the session held before it.
            state->setAttribute (presetModifiedAttribute, "no");
            writeState();
            return findRefusedValues (given);
        }
    }

    throw HostError ("the effect's state document holds no parameters");
}

std::vector<PluginParameters::RefusedValue> PluginParameters::findRefusedValues (const std::vector<std::pair<juce::String, juce::String>>& given) const
{
    // It writes the word of a switch back in its own letter case, and a number as it holds it,
    // through a float over the parameter's range ("410" comes back as "410.000031").
    const auto isTaken = [this] (const juce::String& name, const juce::String& value, const juce::String& used)
    {
        if (CaseKey::equal (used, value))
            return true;

        if (! isStateNumber (used) || ! isStateNumber (value))
            return false;

        const auto* entry = findTableEntry (*table, name);
        const auto range = entry != nullptr ? entry->getDoubleAttribute ("max", 1.0) - entry->getDoubleAttribute ("min") : 1.0;
        const auto number = value.getDoubleValue();
        return std::abs (used.getDoubleValue() - number) <= 1.0e-6 * std::max ({ 1.0, std::abs (number), std::abs (range) });
    };

    std::vector<RefusedValue> refused;

    for (auto* held : state->getChildWithTagNameIterator ("Preset"))
        if (held->getStringAttribute ("name") == "ParametersState")
            for (const auto& [name, value] : given)
                for (auto* entry : held->getChildWithTagNameIterator ("param"))
                    if (CaseKey::equal (entry->getStringAttribute ("name"), name) && ! isTaken (name, value, entry->getStringAttribute ("value")))
                        refused.push_back ({ name, value, entry->getStringAttribute ("value") });

    return refused;
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

    const auto fail = [&] (const juce::String& why) -> double
    {
        throw UsageError ("--set " + parameter.name.toStdString() + ": '" + text.toStdString() + "' " + why.toStdString());
    };

    const auto lowText = textAt (0.0), highText = textAt (1.0);
    const auto low = read (lowText), high = read (highText);
    const auto place = movingPlace (low, high);
    const auto shownRange = "'" + lowText + "' to '" + highText + "'";

    // A parameter of a few values is tried value by value, as the table counts them.
    if (const auto* entry = parameter.table; entry != nullptr && entry->getStringAttribute ("type", "float") != "float")
    {
        const auto texts = valueTexts (*entry);
        const auto minimum = entry->getIntAttribute ("min"), maximum = entry->getIntAttribute ("max", 1);
        const auto count = texts.isEmpty() ? maximum - minimum + 1 : texts.size();
        const auto at = [count] (int index) { return count > 1 ? index / static_cast<double> (count - 1) : 0.0; };
        const auto isInt = texts.isEmpty();

        if (isInt && isWholeNumber (text))
        {
            if (const auto number = text.getLargeIntValue(); number >= minimum && number <= maximum)
                return at (static_cast<int> (number - minimum));

            return fail ("is out of range (" + juce::String (minimum) + " to " + juce::String (maximum) + ")");
        }

        if (const auto index = indexOfText (texts, text); index >= 0)
            return at (index);

        // The texts it shows may differ from the table's: "3/16" for a duration (whose number
        // it moves is the one compared, the other belongs to its partner), "@" for a button.
        const auto wanted = read (text);

        for (int index = 0; index < count; ++index)
        {
            const auto shown = textAt (at (index));
            const auto reading = read (shown);

            if (CaseKey::equal (shown, text)
                 || (! wanted.numbers.empty() && reading.shape == wanted.shape && reading.numbers.size() == wanted.numbers.size()
                     && reading.numbers[place] == wanted.numbers[place]))
                return at (index);
        }

        const auto takesNumbers = isInt || std::any_of (texts.begin(), texts.end(), isPlainNumber);

        if (isPlainNumber (text) && ! takesNumbers)
            if (const auto normalised = text.getDoubleValue(); normalised >= 0.0 && normalised <= 1.0)
                return at (static_cast<int> (std::floor ((count - 1) * normalised + 0.5)));

        if (isInt)
            return fail ("is not one of its values (" + shownRange + ", or a whole number from " + juce::String (minimum)
                         + " to " + juce::String (maximum) + ")");

        return fail ("is not one of: " + texts.joinIntoString (", ") + (takesNumbers ? "" : ", nor a normalised number from 0 to 1"));
    }

    const auto lowRank = rank (low, place), highRank = rank (high, place);
    const auto rising = highRank >= lowRank;
    const auto inRange = [&] (double value) { return lowRank.has_value() && highRank.has_value()
                                                     && value >= std::min (*lowRank, *highRank) && value <= std::max (*lowRank, *highRank); };

    // Any other bare number is a normalised value; one outside 0 to 1 was most likely meant
    // in the parameter's unit.
    if (isPlainNumber (text))
    {
        if (const auto normalised = text.getDoubleValue(); normalised >= 0.0 && normalised <= 1.0)
            return normalised;

        juce::String suggestion;

        for (const auto& shown : { lowText, highText })
        {
            if (read (shown).numbers.size() != 1 || suggestion.isNotEmpty())
                continue;

            const auto start = shown.indexOfAnyOf ("+-0123456789");
            auto end = start + 1;

            while (end < shown.length() && (juce::CharacterFunctions::isDigit (shown[end]) || shown[end] == '.'))
                ++end;

            const auto candidate = shown.replaceSection (start, end - start, text);

            if (const auto candidateRank = rank (read (candidate), place); candidateRank.has_value() && inRange (*candidateRank))
                suggestion = "; did you mean '" + candidate + "'?";
        }

        return fail ("is not a normalised number from 0 to 1, nor a text it shows (" + shownRange + ")" + suggestion);
    }

    const auto middleText = textAt (0.5);

    for (const auto& [shown, normalised] : { std::pair (lowText, 0.0), std::pair (middleText, 0.5), std::pair (highText, 1.0) })
        if (CaseKey::equal (shown, text))
            return normalised;

    const auto wanted = read (text);
    const auto target = rank (wanted, place);

    if (! target.has_value() || ! lowRank.has_value() || ! highRank.has_value())
        return fail ("is not a value it takes (such as " + shownRange + ", or a normalised number from 0 to 1)");

    if (wanted.shape != low.shape && wanted.shape != high.shape && wanted.shape != read (middleText).shape)
        return fail ("is not in its unit (" + shownRange + ")");

    if (! inRange (*target))
        return fail ("is out of range (" + shownRange + ")");

    // The values that show a text lie side by side; halving the range meets the roundest of
    // them first, which is the neutral value where there is one ("0 %", "50/50", "+0.0 dB").
    const auto rankAt = [&] (double normalised) { return rank (read (textAt (normalised)), place).value_or (*lowRank); };
    double bottom = 0.0, top = 1.0;

    for (const auto edge : { 0.0, 1.0 })
        if (rankAt (edge) == *target)
            return edge;

    for (int step = 0; step < 64; ++step)
    {
        const auto middle = 0.5 * (bottom + top);
        const auto middleRank = rankAt (middle);

        if (middleRank == *target)
            return middle;

        if ((middleRank < *target) == rising)
            bottom = middle;
        else
            top = middle;
    }

    return fail ("is not a value it shows (the nearest are '" + textAt (bottom) + "' and '" + textAt (top) + "')");
}

juce::String PluginParameters::currentText (const Parameter& parameter)
{
    if (parameter.hostID.isNotEmpty())
        return instance.getParameterText (parameter.hostID.toStdString());

    readState();
    const auto* entry = findStateEntry (parameter.name);
    return entry != nullptr ? entry->getStringAttribute ("value") : juce::String();
}

double PluginParameters::getLongestDelay (double bpm)
{
    readState();

    const auto text = [this] (const juce::String& name)
    {
        const auto* entry = findStateEntry (name);
        return entry != nullptr ? entry->getStringAttribute ("value") : juce::String();
    };

    const auto maximum = static_cast<double> (juce::jlimit (1, 15, text ("Maximum Delay Length").getIntValue()));
    std::array<double, 4> lines {};

    for (int line = 0; line < 4; ++line)
    {
        const auto prefix = "Line " + juce::String (line + 1) + " ";

        // The longer channel of a delay or pre-delay stage, tempo-synced or free.
        const auto stage = [&] (const juce::String& name)
        {
            const auto of = [&] (const juce::String& setting) { return text (prefix + name + " " + setting); };
            const auto synced = CaseKey::equal (of ("Tempo Sync"), "on");
            double longest = 0.0;

            for (const auto* side : { "Left", "Right" })
            {
                if (juce::String (side) == "Right" && CaseKey::equal (of ("Join Channels"), "on"))
                    continue;

                const auto prefixOfSide = juce::String (side) + " ";
                auto seconds = of (prefixOfSide + "Time Linear").getDoubleValue() / 1000.0;

                if (synced)
                {
                    const auto scale = of (prefixOfSide + "Rhythmic Scale");
                    const auto factor = scale == "Dot" ? 2.0 / 3.0 : scale == "Triplet" ? 1.5 : 1.0;
                    seconds = 240.0 / bpm * of (prefixOfSide + "Duration Nominator").getDoubleValue()
                                / (juce::jmax (1.0, of (prefixOfSide + "Duration Denominator").getDoubleValue()) * factor);
                }

                longest = juce::jmax (longest, seconds);
            }

            return juce::jmin (longest, maximum);
        };

        // The spread holds one channel back by up to half the delay, and a modulated time may
        // stretch it to twice its length.
        auto delay = stage ("Delay") * (1.0 + std::abs (text (prefix + "Stereo Spread").getDoubleValue() - 0.5));

        if (text (prefix + "Modulation Time").getDoubleValue() > 0.0)
            delay *= 2.0;

        lines[static_cast<size_t> (line)] = juce::jmin (delay, maximum) + stage ("Pre-delay");
    }

    // The routing chains the lines that share a bus, one after the other.
    const auto [a, b, c, d] = lines;
    const auto routing = text ("Delay Lines Routing");

    if (routing == "Serial" || routing == "Tapped Serial")   return a + b + c + d;
    if (routing == "Mixed 1" || routing == "Mixed 2")        return std::max ({ a + b, c, d });
    if (routing == "Mixed 3" || routing == "Mixed 4")        return std::max (a + b, c + d);
    if (routing == "Mixed 5" || routing == "Mixed 6")        return std::max (a + b + c, d);

    return std::max ({ a, b, c, d });
}

//==============================================================================
juce::String PluginParameters::getText (const juce::String& name) const
{
    for (const auto& parameter : parameters)
    {
        if (! CaseKey::equal (parameter.name, name) && parameter.hostID != name && ! CaseKey::equal (parameter.stateName, name))
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
    text << "All parameters:  " << static_cast<int> (parameters.size())
         << " (name, how it is set, kind, range, default: value, where it is not the default)\n";

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
        {
            range = entry->getStringAttribute ("min") + " to " + entry->getStringAttribute ("max");
        }
        else if (type == "note")
        {
            range = "a note name from C-0 to G-H (C-5, F#3), or a normalised number from 0 to 1";
        }
        else if (entry != nullptr)
        {
            range = valueTexts (*entry).joinIntoString (" | ");
        }
        else if (parameter.hostID.isNotEmpty())
        {
            // A slot the table does not know (the bypass) takes the texts it shows at either end.
            const auto id = parameter.hostID.toStdString();
            const auto original = instance.getParameter (id);
            juce::StringArray ends;

            for (const auto normalised : { 0.0, 1.0 })
            {
                instance.setParameter (id, normalised);
                ends.add (instance.getParameterText (id));
            }

            instance.setParameter (id, original);
            range = ends.joinIntoString (" | ");
        }

        // The value is left out where it is the default, which is said in the spelling of the
        // range ("off", not the table's "Off"). A parameter without one of its own starts at
        // its user-settings default, as a new instance applies it (a retrigger note).
        const auto* defaultEntry = entry != nullptr && ! entry->hasAttribute ("value") ? findTableEntry (*table, "Default " + parameter.name) : entry;
        auto defaultText = defaultEntry != nullptr ? defaultEntry->getStringAttribute ("value") : juce::String();
        const auto texts = entry != nullptr ? valueTexts (*entry) : juce::StringArray();

        if (const auto index = indexOfText (texts, defaultText); index >= 0)
            defaultText = texts[index];

        const auto value = getText (parameter.name);

        text << "  " << parameter.name.paddedRight (' ', nameWidth)
             << (parameter.hostID.isNotEmpty() ? "slot " + parameter.hostID : juce::String ("state")).paddedRight (' ', slotWidth)
             << type.paddedRight (' ', 7) << range
             << (defaultText.isNotEmpty() ? ", default " + defaultText : juce::String())
             << (CaseKey::equal (defaultText, value) ? juce::String() : ": " + value) << "\n";
    }

    return text;
}
