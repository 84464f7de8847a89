#include <BoolParameter.h>
#include <EnumParameter.h>
#include <FloatParameter.h>
#include <NoteParameter.h>
#include <ParameterManager.h>
#include <StateParameter.h>
#include <StringParameter.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
    std::unique_ptr<juce::XmlElement> parse (const juce::String& text)
    {
        auto element = juce::XmlDocument::parse (text);
        EXPECT_NE (element, nullptr);
        return element;
    }

    std::unique_ptr<juce::XmlElement> table (const juce::String& rows)
    {
        return parse ("<PluginParameters application=\"Test\">" + rows + "</PluginParameters>");
    }

    /** The type word of the parameter's kind. */
    juce::String kindOf (const Parameter* p)
    {
        if (dynamic_cast<const NoteParameter*> (p) != nullptr)   return "note";
        if (dynamic_cast<const EnumParameter*> (p) != nullptr)   return "enum";
        if (dynamic_cast<const IntParameter*> (p) != nullptr)    return "int";
        if (dynamic_cast<const FloatParameter*> (p) != nullptr)  return "float";
        if (dynamic_cast<const StringParameter*> (p) != nullptr) return "string";
        if (dynamic_cast<const StateParameter*> (p) != nullptr)  return "state";
        if (dynamic_cast<const BoolParameter*> (p) != nullptr)   return "bool";
        return "unknown";
    }

    struct CountingListener  : public Parameter::Listener
    {
        void parameterChanged (Parameter* p) override   { changed.add (p->getIndex()); }
        juce::Array<int> changed;
    };
}

//==============================================================================
/** Every row of the product's parameter table as the resource must declare it. */
TEST (ParameterTable, ResourceDeclaresEveryParameter)
{
    struct Row
    {
        int index;
        const char* name;
        const char* kind;
        double minimum, maximum;
        const char* text;
        bool automatable;
    };

    static const Row rows[] =
    {
        { 0, "Mute", "state", 0, 1, "off", true },
        { 1, "Panning", "float", 0.0, 1.0, "0.5", true },
        { 2, "Volume", "float", 0.0, 1.0, "0.75", true },
        { 3, "Channel Mode", "enum", 0, 1, "L/R", false },
        { 4, "Channel Swap", "state", 0, 1, "off", false },
        { 5, "Channel Stereo To Mono", "state", 0, 1, "off", false },
        { 6, "Filter Mode", "enum", 0, 1, "Pre Overdrive", true },
        { 7, "Filter Feedback Loop", "state", 0, 1, "off", true },
        { 8, "Filter Cutoff", "float", 0.0, 1.0, "0.5", true },
        { 9, "Filter Resonance", "float", 0.0, 1.0, "0", true },
        { 10, "Filter Type", "enum", 0, 3, "Off", true },
        { 11, "Delay Tempo Sync", "state", 0, 1, "off", true },
        { 12, "Delay Join Channels", "state", 0, 1, "on", true },
        { 13, "Delay Left Time", "float", 0.0, 1.0, "0", true },
        { 14, "Delay Right Time", "float", 0.0, 1.0, "0", true },
        { 15, "Delay Left Time Linear", "float", 0.1, 1000.0, "32", true },
        { 16, "Delay Right Time Linear", "float", 0.1, 1000.0, "32", true },
        { 17, "Delay Left Rhythmic Scale", "enum", 0, 2, "Full", true },
        { 18, "Delay Right Rhythmic Scale", "enum", 0, 2, "Full", true },
        { 19, "Delay Left Duration Nominator", "int", 1, 32, "3", true },
        { 20, "Delay Left Duration Denominator", "int", 1, 32, "16", true },
        { 21, "Delay Right Duration Nominator", "int", 1, 32, "3", true },
        { 22, "Delay Right Duration Denominator", "int", 1, 32, "16", true },
        { 23, "Pre-delay Tempo Sync", "state", 0, 1, "off", true },
        { 24, "Pre-delay Join Channels", "state", 0, 1, "on", true },
        { 25, "Pre-delay Left Time", "float", 0.0, 1.0, "0", true },
        { 26, "Pre-delay Right Time", "float", 0.0, 1.0, "0", true },
        { 27, "Pre-delay Left Time Linear", "float", 0.0, 1000.0, "0", true },
        { 28, "Pre-delay Right Time Linear", "float", 0.0, 1000.0, "0", true },
        { 29, "Pre-delay Left Rhythmic Scale", "enum", 0, 2, "Full", true },
        { 30, "Pre-delay Right Rhythmic Scale", "enum", 0, 2, "Full", true },
        { 31, "Pre-delay Left Duration Nominator", "int", 0, 32, "0", true },
        { 32, "Pre-delay Left Duration Denominator", "int", 1, 32, "16", true },
        { 33, "Pre-delay Right Duration Nominator", "int", 0, 32, "0", true },
        { 34, "Pre-delay Right Duration Denominator", "int", 1, 32, "16", true },
        { 35, "Overdrive", "state", 0, 1, "off", true },
        { 36, "Overdrive Preamp", "float", 0.0, 1.0, "0", true },
        { 37, "Overdrive Color", "float", 0.0, 1.0, "0.5", true },
        { 38, "Overdrive Gain", "float", 0.0, 1.0, "1", true },
        { 39, "Feedback", "float", 0.0, 1.0, "0.5", true },
        { 40, "Feedback Hold", "bool", 0, 1, "false", true },
        { 41, "Stereo Spread", "float", 0.0, 1.0, "0.5", true },
        { 42, "Modulation Source", "enum", 0, 1, "MOD 1", true },
        { 43, "Modulation Scale", "enum", 0, 1, "Linear", true },
        { 44, "Modulation Time", "float", 0.0, 1.0, "0", true },
        { 45, "Modulation Cutoff", "float", 0.0, 1.0, "0", true },
        { 46, "Modulation Tremolo", "float", 0.0, 1.0, "0", true },
        { 47, "MOD 1 Type", "enum", 0, 2, "LFO", true },
        { 48, "MOD 1 Retrigger Mode", "enum", 0, 2, "Note", false },
        { 49, "MOD 1 Retrigger Follow Speed", "float", 0.0, 1.0, "0.5", false },
        { 50, "MOD 1 Retrigger Threshold Min", "float", 0.0, 1.0, "0.200000003", false },
        { 51, "MOD 1 Retrigger Threshold Max", "float", 0.0, 1.0, "0.800000012", false },
        { 52, "LFO 1 Tempo Sync", "state", 0, 1, "off", true },
        { 53, "LFO 1 Rhythmic Scale", "enum", 0, 2, "Full", true },
        { 54, "LFO 1 Frequency", "float", 0.0, 1.0, "0.100000001", true },
        { 55, "LFO 1 Rate", "enum", 0, 10, "32", true },
        { 56, "LFO 1 Waveform", "enum", 0, 4, "Triangle", true },
        { 57, "LFO 1 Wave Invert", "state", 0, 1, "off", true },
        { 58, "LFO 1 Phase Shift", "float", 0.0, 1.0, "0", true },
        { 59, "ENV 1 Attack", "float", 0.0, 1.0, "0", true },
        { 60, "ENV 1 Decay", "float", 0.0, 1.0, "0.5", true },
        { 61, "ENV 1 Sustain", "float", 0.0, 1.0, "0.5", true },
        { 62, "ENV 1 Hold", "float", 0.0, 1.0, "0.5", true },
        { 63, "ENV 1 Release", "float", 0.0, 1.0, "0.5", true },
        { 64, "PEAK 1 Sensitivity", "float", 0.0, 1.0, "0", true },
        { 65, "PEAK 1 Attack", "float", 0.0, 1.0, "0", true },
        { 66, "PEAK 1 Release", "float", 0.0, 1.0, "0.5", true },
        { 67, "MOD 2 Type", "enum", 0, 2, "LFO", true },
        { 68, "MOD 2 Retrigger Mode", "enum", 0, 2, "Note", false },
        { 69, "MOD 2 Retrigger Follow Speed", "float", 0.0, 1.0, "0.5", false },
        { 70, "MOD 2 Retrigger Threshold Min", "float", 0.0, 1.0, "0.200000003", false },
        { 71, "MOD 2 Retrigger Threshold Max", "float", 0.0, 1.0, "0.800000012", false },
        { 72, "LFO 2 Tempo Sync", "state", 0, 1, "off", true },
        { 73, "LFO 2 Rhythmic Scale", "enum", 0, 2, "Full", true },
        { 74, "LFO 2 Frequency", "float", 0.0, 1.0, "0.200000003", true },
        { 75, "LFO 2 Rate", "enum", 0, 10, "32", true },
        { 76, "LFO 2 Waveform", "enum", 0, 4, "Triangle", true },
        { 77, "LFO 2 Wave Invert", "state", 0, 1, "off", true },
        { 78, "LFO 2 Phase Shift", "float", 0.0, 1.0, "0", true },
        { 79, "ENV 2 Attack", "float", 0.0, 1.0, "0", true },
        { 80, "ENV 2 Decay", "float", 0.0, 1.0, "0.5", true },
        { 81, "ENV 2 Sustain", "float", 0.0, 1.0, "0.5", true },
        { 82, "ENV 2 Hold", "float", 0.0, 1.0, "0.5", true },
        { 83, "ENV 2 Release", "float", 0.0, 1.0, "0.5", true },
        { 84, "PEAK 2 Sensitivity", "float", 0.0, 1.0, "0", true },
        { 85, "PEAK 2 Attack", "float", 0.0, 1.0, "0", true },
        { 86, "PEAK 2 Release", "float", 0.0, 1.0, "0.5", true },
        { 87, "Limiter Active", "state", 0, 1, "off", true },
        { 88, "Limiter Threshold", "float", 0.0, 1.0, "1", true },
        { 89, "FX Amount", "float", 0.0, 1.0, "0.5", true },
        { 90, "Delay Lines Routing", "enum", 0, 8, "Parallel", false },
        { 91, "Master Volume", "float", 0.0, 1.0, "0.5", true },
        { 92, "Selected Line Number", "int", 1, 4, "1", false },
        { 93, "Line 1 Selected Time Panel", "enum", 0, 1, "Delay", false },
        { 94, "Line 2 Selected Time Panel", "enum", 0, 1, "Delay", false },
        { 95, "Line 3 Selected Time Panel", "enum", 0, 1, "Delay", false },
        { 96, "Line 4 Selected Time Panel", "enum", 0, 1, "Delay", false },
        { 97, "Preset Name", "string", 0, 0, "Default", false },
        { 98, "Maximum Delay Length", "int", 1, 15, "1", false },
        { 99, "Real-time Processing Quality", "enum", 0, 3, "Normal", false },
        { 100, "Offline Processing Quality", "enum", 0, 3, "Normal", false },
        { 101, "MOD 1 Retrigger Midi Channel", "enum", 0, 16, "omni", false },
        { 102, "MOD 1 Retrigger Midi Note", "note", 0, 127, "C-0", false },
        { 103, "MOD 2 Retrigger Midi Channel", "enum", 0, 16, "omni", false },
        { 104, "MOD 2 Retrigger Midi Note", "note", 0, 127, "C-0", false },
        { 105, "Default MOD 1 Retrigger Midi Channel", "enum", 0, 16, "omni", false },
        { 106, "Default MOD 1 Retrigger Midi Note", "note", 0, 127, "C-2", false },
        { 107, "Default MOD 2 Retrigger Midi Channel", "enum", 0, 16, "omni", false },
        { 108, "Default MOD 2 Retrigger Midi Note", "note", 0, 127, "C-3", false },
        { 109, "Default Maximum Delay Length", "int", 1, 15, "3", false },
        { 110, "Default Real-time Processing Quality", "enum", 0, 3, "Normal", false },
        { 111, "Default Offline Processing Quality", "enum", 0, 3, "Normal", false },
        { 112, "Tap Button Left", "bool", 0, 1, "false", true },
        { 113, "Tap Button Right", "bool", 0, 1, "false", true },
        { 114, "MOD 1 Retrigger Midi Learn", "bool", 0, 1, "false", false },
        { 115, "MOD 2 Retrigger Midi Learn", "bool", 0, 1, "false", false },
        { 116, "Default MOD 1 Retrigger Midi Learn", "bool", 0, 1, "false", false },
        { 117, "Default MOD 2 Retrigger Midi Learn", "bool", 0, 1, "false", false },
        { 118, "Default LFO 1 Resetting Midi Channel", "enum", 0, 16, "omni", false },
        { 119, "Default LFO 1 Resetting Note", "note", 0, 127, "C-0", false },
        { 120, "Default LFO 2 Resetting Midi Channel", "enum", 0, 16, "omni", false },
        { 121, "Default LFO 2 Resetting Note", "note", 0, 127, "C-0", false },
        { 122, "LFO 1 Resetting Midi Channel", "enum", 0, 16, "omni", false },
        { 123, "LFO 1 Resetting Note", "note", 0, 127, "C-0", false },
        { 124, "LFO 2 Resetting Midi Channel", "enum", 0, 16, "omni", false },
        { 125, "LFO 2 Resetting Note", "note", 0, 127, "C-0", false },
    };

    ParameterManager manager;
    manager.loadResource ("parameters.xml");

    EXPECT_EQ (manager.getApplication(), "Corvane");
    ASSERT_EQ (manager.getNumParameters(), (int) std::size (rows));

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.index);
        auto* p = manager.getParameter (row.index);
        ASSERT_NE (p, nullptr);
        EXPECT_EQ (manager.getParameterAt (row.index), p);
        EXPECT_EQ (p->getName(), row.name);
        EXPECT_EQ (manager.getParameterIndex (row.name), row.index);
        EXPECT_EQ (kindOf (p), row.kind);
        EXPECT_EQ (p->getText(), row.text);
        EXPECT_EQ (p->isAutomatable(), row.automatable);

        if (auto* f = dynamic_cast<FloatParameter*> (p))
        {
            EXPECT_FLOAT_EQ (f->getMinimum(), (float) row.minimum);
            EXPECT_FLOAT_EQ (f->getMaximum(), (float) row.maximum);
        }
        else if (auto* i = dynamic_cast<IntParameter*> (p))
        {
            EXPECT_EQ (i->getMinimum(), (int) row.minimum);
            EXPECT_EQ (i->getMaximum(), (int) row.maximum);
        }
    }
}

TEST (ParameterTable, ItemsOfTheTablesLists)
{
    ParameterManager manager;
    manager.loadResource ("parameters.xml");

    auto items = [&] (int index)
    {
        auto* e = dynamic_cast<EnumParameter*> (manager.getParameter (index));
        return e != nullptr ? e->getItems() : juce::StringArray();
    };

    EXPECT_EQ (items (10), juce::StringArray ({ "Off", "LP", "BP", "HP" }));
    EXPECT_EQ (items (56), juce::StringArray ({ "Smooth S/H", "Saw Down", "Square", "Sine", "Triangle" }));
    EXPECT_EQ (items (55).joinIntoString (";"), "32;16;8;4;2;1;1/2;1/4;1/8;1/16;1/32");
    EXPECT_EQ (items (90).size(), 9);
    EXPECT_EQ (items (99), juce::StringArray ({ "Low", "Normal", "High", "Ultra" }));
    EXPECT_EQ (items (101).size(), 17);
    EXPECT_EQ (items (101)[0], "omni");
    EXPECT_EQ (items (101)[16], "16");

    EXPECT_EQ (manager.getParameterIntValue (56), 4);
    EXPECT_EQ (manager.getParameterIntValue (106), 24);
    EXPECT_EQ (manager.getParameterIntValue (108), 36);
    EXPECT_FLOAT_EQ (manager.getParameterValue (15), 32.0f);
    EXPECT_EQ (manager.getParameterIndex ("mute"), -1);
    EXPECT_EQ (manager.getParameterIndex ("Mute"), 0);
}

//==============================================================================
TEST (ParameterManagerLoading, RowsAreReadIgnoringTagAndAttributeCase)
{
    ParameterManager manager;
    manager.loadFromXml (parse ("<pluginparameters APPLICATION='Corvane'>"
                                "<PARAM Index='3' NAME='Gain' Type='float' MIN='-1' Max='2' VALUE='1.5' AUTO='yes'/>"
                                "</pluginparameters>").get());

    EXPECT_EQ (manager.getApplication(), "Corvane");
    auto* p = dynamic_cast<FloatParameter*> (manager.getParameter (3));
    ASSERT_NE (p, nullptr);
    EXPECT_FLOAT_EQ (p->getMinimum(), -1.0f);
    EXPECT_FLOAT_EQ (p->getMaximum(), 2.0f);
    EXPECT_FLOAT_EQ (p->getValue(), 1.5f);
    EXPECT_TRUE (p->isAutomatable());
}

TEST (ParameterManagerLoading, DefaultsOfMissingAttributes)
{
    ParameterManager manager;
    manager.loadFromXml (table ("<param index='0' name='untyped' value='0.25'/>"
                                "<param index='1' name='counter' type='int' value='5'/>"
                                "<param index='2' name='choice' type='enum' enum='a;b;c'/>"
                                "<param index='3' name='note' type='note'/>"
                                "<param index='4' name='text' type='string'/>"
                                "<param index='5' name='flag' type='state' value='On' auto='false'/>").get());

    ASSERT_EQ (manager.getNumParameters(), 6);

    auto* untyped = dynamic_cast<FloatParameter*> (manager.getParameter (0));
    ASSERT_NE (untyped, nullptr);
    EXPECT_FLOAT_EQ (untyped->getMaximum(), 1.0f);
    EXPECT_FLOAT_EQ (untyped->getValue(), 0.25f);
    EXPECT_FALSE (untyped->isAutomatable());

    auto* counter = dynamic_cast<IntParameter*> (manager.getParameter (1));
    ASSERT_NE (counter, nullptr);
    EXPECT_EQ (counter->getMaximum(), 1);
    EXPECT_EQ (counter->getIntValue(), 1);

    EXPECT_EQ (manager.getParameterText (2), "a");
    EXPECT_EQ (manager.getParameterText (3), "C-0");
    EXPECT_EQ (manager.getParameterText (4), "");
    EXPECT_TRUE (manager.getParameterBoolValue (5));
}

TEST (ParameterManagerLoading, StartingValuesAreClamped)
{
    ParameterManager manager;
    manager.loadFromXml (table ("<param index='15' name='time' type='float' min='0.1' max='1000.0' value='2000'/>"
                                "<param index='16' name='low' type='float' min='0.1' max='1000.0' value='-3'/>"
                                "<param index='17' name='count' type='int' min='1' max='32' value='0'/>"
                                "<param index='18' name='note' type='note' value='no note'/>").get());

    EXPECT_FLOAT_EQ (manager.getParameterValue (15), 1000.0f);
    EXPECT_FLOAT_EQ (manager.getParameterValue (16), 0.1f);
    EXPECT_EQ (manager.getParameterIntValue (17), 1);
    EXPECT_EQ (manager.getParameterIntValue (18), 0);
}

TEST (ParameterManagerLoading, BadRowsAreSkipped)
{
    ParameterManager manager;
    manager.loadFromXml (table ("<param name='no index'/>"
                                "<param index='-1' name='minus one'/>"
                                "<param index='1'/>"
                                "<param index='2' name=''/>"
                                "<param index='3' name='capital' type='Float'/>"
                                "<param index='4' name='unknown' type='double'/>"
                                "<other index='5' name='not a row'/>"
                                "<param index='6' name='kept' type='bool' value='true'/>"
                                "<param index='7' name='kept' type='bool'/>"
                                "<param index='6' name='same index'/>").get());

    EXPECT_EQ (manager.getNumParameters(), 1);
    EXPECT_EQ (manager.getParameterName (6), "kept");
    EXPECT_TRUE (manager.getParameterBoolValue (6));
    EXPECT_EQ (manager.getParameter (7), nullptr);
    EXPECT_EQ (manager.getParameterIndex ("same index"), -1);
    EXPECT_EQ (manager.getParameter (3), nullptr);
}

TEST (ParameterManagerLoading, OtherDocumentsLeaveTheManagerEmpty)
{
    ParameterManager manager;
    manager.loadFromXml (table ("<param index='0' name='a'/>").get());
    ASSERT_EQ (manager.getNumParameters(), 1);

    manager.loadFromXml (parse ("<Parameters><param index='0' name='a'/></Parameters>").get());
    EXPECT_EQ (manager.getNumParameters(), 0);

    manager.loadFromXml (table ("<param index='0' name='a'/>").get());
    manager.loadFromXml (nullptr);
    EXPECT_EQ (manager.getNumParameters(), 0);

    manager.loadResource ("missing.xml");
    EXPECT_EQ (manager.getNumParameters(), 0);
}

//==============================================================================
TEST (ParameterManager, AddingRejectsTakenIndicesNamesAndObjects)
{
    ParameterManager manager;
    auto* a = new FloatParameter (1, "a", 0.0f, 1.0f, 0.0f);
    EXPECT_TRUE (manager.addParameter (a));
    EXPECT_FALSE (manager.addParameter (a));
    EXPECT_EQ (manager.getParameter (1), a);

    EXPECT_FALSE (manager.addParameter (new FloatParameter (1, "b", 0.0f, 1.0f, 0.0f)));
    EXPECT_FALSE (manager.addParameter (new FloatParameter (2, "a", 0.0f, 1.0f, 0.0f)));
    EXPECT_FALSE (manager.addParameter (nullptr));
    EXPECT_EQ (manager.getNumParameters(), 1);

    EXPECT_TRUE (manager.addParameter (a->clone (1001, "Line 1 a")));
    EXPECT_EQ (manager.getParameter ("Line 1 a"), manager.getParameter (1001));
    EXPECT_EQ (manager.getParameterAt (1), manager.getParameter (1001));
    EXPECT_EQ (manager.getParameterAt (2), nullptr);
}

TEST (ParameterManager, AbsentParametersGiveNeutralResults)
{
    ParameterManager manager;
    manager.loadFromXml (table ("<param index='0' name='a' value='0.5'/>").get());

    EXPECT_EQ (manager.getParameter (-1), nullptr);
    EXPECT_EQ (manager.getParameter (9), nullptr);
    EXPECT_EQ (manager.getParameter ("b"), nullptr);
    EXPECT_EQ (manager.getParameterIndex ("b"), -1);
    EXPECT_EQ (manager.getParameterName (9), "");
    EXPECT_EQ (manager.getParameterValue (9), 0.0f);
    EXPECT_EQ (manager.getParameterNormalisedValue (9), 0.0f);
    EXPECT_EQ (manager.getParameterIntValue (9), 0);
    EXPECT_FALSE (manager.getParameterBoolValue (9));
    EXPECT_EQ (manager.getParameterText (9), "");

    manager.setParameterValue (9, 1.0f);
    manager.setParameterText (9, "x");
    manager.copyParameterValue (0, 9);
    manager.copyParameterValue (9, 0);
    EXPECT_FLOAT_EQ (manager.getParameterValue (0), 0.5f);
}

TEST (ParameterManager, SettersNotifyAndCopy)
{
    ParameterManager manager;
    manager.loadFromXml (table ("<param index='0' name='f' value='0.5'/>"
                                "<param index='1' name='i' type='int' min='0' max='10' value='2'/>"
                                "<param index='2' name='b' type='bool' value='false'/>"
                                "<param index='3' name='g' value='0'/>").get());
    CountingListener listener;
    manager.addListener (&listener);
    manager.addListener (&listener);

    manager.setParameterValue (0, 0.25f);
    manager.setParameterNormalisedValue (1, 0.5f);
    manager.setParameterIntValue (1, 5);
    manager.setParameterBoolValue (2, true);
    manager.setParameterText (0, "0.75");
    manager.copyParameterValue (3, 0);
    EXPECT_EQ (listener.changed, juce::Array<int> ({ 0, 1, 2, 0, 3 }));
    EXPECT_FLOAT_EQ (manager.getParameterValue (3), 0.75f);

    FloatParameter source (99, "source", 0.0f, 1.0f, 0.125f);
    manager.setParameterFrom (0, source);
    EXPECT_FLOAT_EQ (manager.getParameterValue (0), 0.125f);
    EXPECT_FLOAT_EQ (manager.getParameterNormalisedValue (1), 0.5f);
}

TEST (ParameterManager, ListenersOfOneOrEveryParameter)
{
    ParameterManager manager;
    manager.loadFromXml (table ("<param index='0' name='a'/><param index='1' name='b'/>").get());
    CountingListener one, async;
    manager.addParameterListener (1, &one);
    manager.addParameterListener (1, nullptr);
    manager.addParameterListener (7, &one);
    manager.addAsyncListener (&async);

    manager.setParameterValue (0, 1.0f);
    manager.setParameterValue (1, 1.0f);
    EXPECT_EQ (one.changed, juce::Array<int> ({ 1 }));

    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    async.changed.sort();
    EXPECT_EQ (async.changed, juce::Array<int> ({ 0, 1 }));

    manager.removeAsyncListener (&async);
    async.changed.clear();
    manager.setParameterValue (0, 0.0f);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_TRUE (async.changed.isEmpty());
}

TEST (ParameterManager, NotifyAllAnnouncesEveryParameterInOrder)
{
    ParameterManager manager;
    manager.loadFromXml (table ("<param index='5' name='a'/><param index='2' name='b'/><param index='9' name='c'/>").get());
    CountingListener sync, async;
    manager.addListener (&sync);
    manager.addAsyncListener (&async);

    manager.notifyAllParameters();
    EXPECT_EQ (sync.changed, juce::Array<int> ({ 5, 2, 9 }));
    EXPECT_TRUE (async.changed.isEmpty());

    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_EQ (async.changed.size(), 3);
}

TEST (ParameterManager, ListenersMayUseTheManagerWhileCalled)
{
    // Listeners run inside the manager's read lock: they must be able to read, set
    // other parameters and even add parameters from there.
    struct Forwarding  : public Parameter::Listener
    {
        explicit Forwarding (ParameterManager& m) : manager (m) {}

        void parameterChanged (Parameter* p) override
        {
            if (p->getIndex() == 0)
            {
                manager.setParameterValue (1, p->getValue());
                manager.addParameter (new FloatParameter (1000, "Added", 0.0f, 1.0f, 0.0f));
            }
        }

        ParameterManager& manager;
    };

    ParameterManager manager;
    manager.loadFromXml (table ("<param index='0' name='a'/><param index='1' name='b'/>").get());
    Forwarding forwarding (manager);
    manager.addParameterListener (0, &forwarding);

    manager.setParameterValue (0, 0.5f);
    EXPECT_FLOAT_EQ (manager.getParameterValue (1), 0.5f);
    EXPECT_NE (manager.getParameter (1000), nullptr);
}

TEST (ParameterManager, ConcurrentReadersAndSetters)
{
    ParameterManager manager;
    manager.loadFromXml (table ("<param index='0' name='a'/><param index='1' name='s' type='string' value='x'/>").get());

    std::atomic<bool> stop { false };
    std::thread setter ([&]
    {
        for (int i = 0; i < 2000; ++i)
        {
            manager.setParameterNormalisedValue (0, (float) (i % 100) / 100.0f);
            manager.setParameterText (1, juce::String (i));
        }

        stop = true;
    });

    while (! stop)
    {
        const auto v = manager.getParameterValue (0);
        EXPECT_TRUE (v >= 0.0f && v <= 1.0f);
        EXPECT_TRUE (manager.getParameterText (1).isNotEmpty());
    }

    setter.join();
}

TEST (ParameterManager, DefaultValuesAreKeptAcrossClear)
{
    ParameterManager manager;
    EXPECT_FALSE (manager.hasDefaultValue (3));
    EXPECT_EQ (manager.getDefaultValue (3), 0.0f);

    manager.setDefaultValue (3, 0.75f);
    manager.clear();
    EXPECT_TRUE (manager.hasDefaultValue (3));
    EXPECT_FLOAT_EQ (manager.getDefaultValue (3), 0.75f);
}
