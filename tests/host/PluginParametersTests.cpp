#include "ModuleTestSupport.h"

#include "CommandLineHost.h"
#include "PluginParameters.h"
#include "TestLocale.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <unistd.h>

// With the sanitizers on, GCC 12 reports the matcher of a <regex> automaton state
// as maybe uninitialised when the state is moved, on a path that only a state
// holding a matcher takes: a false report, quietened for this header alone.
#if defined (__GNUC__) && ! defined (__clang__)
 #pragma GCC diagnostic push
 #pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <regex>
#if defined (__GNUC__) && ! defined (__clang__)
 #pragma GCC diagnostic pop
#endif

namespace
{
    /** The host slot id of a parameter shown under this name. */
    std::string slotOf (const SimulatedInstance& instance, const juce::String& name)
    {
        for (const auto& id : instance.getParameterIDs())
            if (name == juce::String (instance.getParameterName (id)))
                return id;

        return {};
    }

    /** The error that setting a value gives, empty when it is taken. */
    juce::String errorOf (PluginParameters& parameters, const juce::String& name, const juce::String& value)
    {
        try
        {
            parameters.set (name, value);
        }
        catch (const std::exception& error)
        {
            return error.what();
        }

        return {};
    }
}

using PluginParametersTest = ModuleTest;

TEST_F (PluginParametersTest, EveryTextThatDescribeListsSetsAValueShowingIt)
{
    auto instance = makeInstance();
    PluginParameters parameters (*instance);
    const auto lines = juce::StringArray::fromLines (parameters.describeAll());
    int texts = 0;

    for (int index = 1; index < lines.size(); ++index)
    {
        // "  NAME  slot ID  KIND  RANGE, default TEXT: VALUE" (or "state" for the slot; no value
        // where it is the default)
        const auto row = lines[index].trimStart().toStdString();
        std::smatch fields;

        if (row.empty())
            continue;

        ASSERT_TRUE (std::regex_match (row, fields, std::regex (R"((.*?) *(?:slot (\S+)|state) +(\S+) +(.*))"))) << row;
        const juce::String name (fields[2].matched ? fields[2].str() : fields[1].str());
        const juce::String rest (fields[3].str() + " " + fields[4].str());

        const auto kind = rest.upToFirstOccurrenceOf (" ", false, false);
        const auto hasValue = rest.contains (": ");
        const auto value = hasValue ? rest.fromLastOccurrenceOf (": ", false, false) : rest.fromLastOccurrenceOf (", default ", false, false);
        const auto range = (hasValue ? rest.upToLastOccurrenceOf (": ", false, false) : rest).fromFirstOccurrenceOf (kind, false, false)
                               .upToFirstOccurrenceOf (", default", false, false).trim();

        auto candidates = range.contains (" | ") ? juce::StringArray::fromTokens (range, "|", {}) : juce::StringArray();
        candidates.trim();
        candidates.add (value);

        for (const auto& text : candidates)
        {
            if (text.isEmpty())
                continue;

            SCOPED_TRACE ((name + "=" + text).toStdString());
            ASSERT_EQ (errorOf (parameters, name, text), juce::String());

            // A button shows "@" whatever its value.
            EXPECT_EQ (parameters.getText (name).toLowerCase(), value == "@" ? "@" : text.toLowerCase());
            ++texts;
        }
    }

    EXPECT_GT (texts, 400);
}

TEST_F (PluginParametersTest, NeutralTextsSetExactlyTheNeutralValue)
{
    auto instance = makeInstance();
    PluginParameters parameters (*instance);

    struct Case { const char* name; const char* text; double expected; };

    for (const auto& [name, text, expected] : { Case { "Line 1 Feedback", "0 %", 0.5 },
                                                Case { "Line 1 Overdrive Color", "0 %", 0.5 },
                                                Case { "Line 2 Panning", "50/50 % (L/R)", 0.5 },
                                                Case { "FX Amount", "50/50 % (Dry/Wet)", 0.5 },
                                                Case { "Master Volume", "+0.0 dB", 0.5 },
                                                Case { "Line 3 Volume", "+0.0 dB", 0.75 },
                                                Case { "Line 3 Volume", "-inf.", 0.0 },
                                                Case { "Line 1 Stereo Spread", "No spread", 0.5 },
                                                Case { "Line 1 Filter Resonance", "0 %", 0.0 },
                                                Case { "Line 1 Overdrive Preamp", "0.00 dB", 0.0 } })
    {
        SCOPED_TRACE (std::string (name) + "=" + text);
        ASSERT_EQ (errorOf (parameters, name, text), juce::String());
        EXPECT_EQ (instance->getParameter (slotOf (*instance, name)), expected);
    }
}

TEST_F (PluginParametersTest, ABareNumberIsATextOnlyWhereTheTextsAreNumbers)
{
    auto instance = makeInstance();
    PluginParameters parameters (*instance);

    struct Case { const char* name; const char* value; const char* shown; const char* error; };

    for (const auto& [name, value, shown, error] : {
             Case { "Maximum Delay Length", "7", "7", "" },
             Case { "LFO 1 Rate", "1", "1", "" },
             Case { "LFO 1 Rate", "2", "2", "" },
             Case { "LFO 1 Rate", "0.5", "", "is not one of: 32, 16" },
             Case { "MOD 1 Retrigger Midi Channel", "1", "1", "" },
             Case { "Line 1 Delay Left Duration Nominator", "5", "5/16", "" },
             Case { "Line 1 Delay Left Time", "1", "1000.00 ms", "" },
             Case { "Line 1 Delay Left Time", "2", "", "did you mean '2 ms'?" },
             Case { "Line 1 Feedback", "50", "", "did you mean '50 %'?" },
             Case { "FX Amount", "1", "0/100 % (Dry/Wet)", "" },
             Case { "FX Amount", "1.5", "", "is not a normalised number from 0 to 1" },
             Case { "Delay Lines Routing", "1", "Mixed 6", "" },
             Case { "Line 1 Mute", "1", "on", "" },
             Case { "MOD 1 Retrigger Midi Note", "C3", "", "not a note name" },
             Case { "MOD 1 Retrigger Midi Note", "F#3", "F#3", "" } })
    {
        SCOPED_TRACE (std::string (name) + "=" + value);
        const auto message = errorOf (parameters, name, value);

        if (*error != 0)
        {
            EXPECT_TRUE (message.contains (error)) << message;
            continue;
        }

        ASSERT_EQ (message, juce::String());
        EXPECT_EQ (parameters.getText (name), shown);
    }
}

TEST_F (PluginParametersTest, OnlyAValueSetAfterThePresetMarksItEdited)
{
    juce::TemporaryFile presetFile (".cvprst");
    ASSERT_TRUE (presetFile.getFile().replaceWithText (
        R"(<Preset name="Echo" application="Corvane" version="1.1"><param name="FX Amount" value="0.7"/></Preset>)"));

    struct Case { bool preset; const char* name; const char* value; const char* edited; };

    for (const auto& [preset, name, value, edited] : { Case { false, nullptr, nullptr, "no" },
                                                       Case { true, nullptr, nullptr, "no" },
                                                       Case { true, "Maximum Delay Length", "7", "no" },
                                                       Case { true, "Delay Lines Routing", "Serial", "yes" },
                                                       Case { true, "Master Volume", "0.4", "yes" } })
    {
        SCOPED_TRACE (std::string (preset ? "a preset" : "no preset") + ", " + (name != nullptr ? name : "no value"));
        auto instance = makeInstance();
        PluginParameters parameters (*instance);

        if (preset)
            parameters.loadPreset (presetFile.getFile());

        if (name != nullptr)
            parameters.set (name, value);

        // What the plug-in notes in the state it gives, as a session would keep it.
        std::vector<uint8_t> record;
        ASSERT_EQ (instance->getChunk (AAX_FourCC ("juce"), record), AAX_OK);
        const auto state = juce::AudioProcessor::getXmlFromBinary (record.data() + sizeof (AAX_ChunkRecord),
                                                                    static_cast<int> (record.size() - sizeof (AAX_ChunkRecord)));
        ASSERT_NE (state, nullptr);
        EXPECT_EQ (state->getStringAttribute ("presetModified"), juce::String (edited));
    }
}

// A host may run in any locale; in a Turkish one "I" and "i" are two letters to the C library.
TEST_F (PluginParametersTest, ReadsValueTextsAndPresetsIgnoringLetterCaseAsThePluginDoes)
{
    const auto answer = TestLocale::run ("tr_TR.UTF-8", [this]
    {
        ::alarm (60);
        auto instance = makeInstance();
        PluginParameters parameters (*instance);
        const auto error = errorOf (parameters, "Delay Lines Routing", "TAPPED SERIAL");
        return (error + "|" + parameters.getText ("Delay Lines Routing")).toStdString();
    });

    EXPECT_EQ (answer.value_or ("(no answer)"), "|Tapped Serial");

    // Its tags and attribute names in other letter case, which the plug-in reads as its own.
    juce::TemporaryFile preset (".cvprst");
    ASSERT_TRUE (preset.getFile().replaceWithText (R"(<PRESET Application="Corvane"><Param NAME="Delay Lines Routing" VALUE="Nowhere"/></PRESET>)"));
    auto instance = makeInstance();
    const auto refused = PluginParameters (*instance).loadPreset (preset.getFile());
    ASSERT_EQ (refused.size(), size_t (1));
    EXPECT_EQ (refused[0].given, "Nowhere");
}
