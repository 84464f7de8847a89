#include "SkinTestSupport.h"

using namespace SkinTest;

namespace
{
    /** Records the actions and parameter updates it receives. */
    class RecordingController  : public GUIController
    {
    public:
        void setAction (const juce::String& type, int uid, const juce::String& name) override
        {
            actions.add (type + "=" + juce::String (uid) + ":" + name);
        }

        void updateFromParameter (Parameter* p) override   { updates.add (p->getName()); }

        juce::StringArray actions, updates;
    };

    class GUIControllerTest  : public Fixture {};
}

TEST_F (GUIControllerTest, ReadsLinksAndActionsInAnyTagCase)
{
    struct Case { const char* children; const char* linked; const char* actions; };
    const Case cases[] = {
        { "<links><link as=\"connectedTo\" param=\"Panning\"/><link as=\"connectedTo\" param=\"Volume\"/></links>", "Volume", "" },
        { "<LINKS><Link as=\"connectedTo\" param=\"Volume\"/><LINK as=\"ConnectedTo\" param=\"Panning\"/></LINKS>", "Volume", "" },
        { "<links><link as=\"connectedTo\" param=\"No Such\"/><link as=\"shows\" param=\"Volume\"/></links>", nullptr, "" },
        { "<ACTIONS><Action type=\"onClick\" event=\"Select Line 2\"/><action type=\"\" event=\"Select Line 1\"/>"
          "<action type=\"onRightClick\" event=\"No Such Event\"/></ACTIONS>", nullptr, "onClick=1:Select line 2" },
    };

    auto value = 0.0f;

    for (const auto& c : cases)
    {
        value += 0.1f;
        RecordingController controller;
        SkinSource source (*owner, {});
        auto element = juce::parseXML (juce::String ("<Knob>") + c.children + "</Knob>");
        controller.loadFromXml (element.get(), &source);

        ASSERT_EQ (controller.getParameter() != nullptr, c.linked != nullptr) << c.children;
        EXPECT_EQ (controller.actions.joinIntoString (","), c.actions) << c.children;

        if (c.linked == nullptr)
            continue;

        EXPECT_EQ (controller.getParameter()->getName(), c.linked);

        // Only the last linked parameter still reaches the controller.
        for (auto* name : { "Panning", "Volume" })
            plugin->parameterManager.getParameter (juce::String (name))->setNormalisedValue (value, true);

        pump();
        EXPECT_EQ (controller.updates.joinIntoString (","), c.linked) << c.children;
    }
}

TEST_F (GUIControllerTest, CallsListenersLastAddedFirstOnceEach)
{
    struct Recorder  : public GUIController::Listener
    {
        Recorder (juce::String n, juce::StringArray& j)  : name (n), journal (j) {}

        void handleControllerEvent (GUIController* c, int uid) override
        {
            journal.add (name + juce::String (uid));

            if (leaveOnEvent)
                c->removeListener (this);
        }

        juce::String name;
        juce::StringArray& journal;
        bool leaveOnEvent = false;
    };

    juce::StringArray journal;
    Recorder a ("A", journal), b ("B", journal), c ("C", journal);
    RecordingController controller;

    for (auto* l : { &a, &b, &c, &b })
        controller.addListener (l);

    controller.addListener (nullptr);
    controller.sendEvent (1);
    c.leaveOnEvent = true;
    b.leaveOnEvent = true;
    controller.sendEvent (2);
    controller.sendEvent (3);

    EXPECT_EQ (journal.joinIntoString (" "), "C1 B1 A1 C2 B2 A2 A3");
}
