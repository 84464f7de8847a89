#include <EventsMap.h>

#include <gtest/gtest.h>

TEST (EventsMap, ResourceNamesTheProductsEvents)
{
    EventsMap events;
    events.loadResource ("events.xml");

    for (int uid = 0; uid < 77; ++uid)
        EXPECT_TRUE (events.getEventName (uid).isNotEmpty()) << uid;

    EXPECT_TRUE (events.getEventName (77).isEmpty());
    EXPECT_EQ (events.getEventName (0), "Select Line 1");
    EXPECT_EQ (events.getEventName (35), "Select Modulation Source LFO1");
    EXPECT_EQ (events.getEventName (46), "Select LFO 1 Sample Hold");
    EXPECT_EQ (events.getEventName (61), "Select Routing");
    EXPECT_EQ (events.getEventName (76), "MOD 2 Retrigger Settings");
    EXPECT_EQ (events.getEventUid ("Toggle FX Amount Padlock"), 74);
    EXPECT_EQ (events.getEventUid ("Paste Clipboard To Line 4"), 69);
}

TEST (EventsMap, NamesAreExact)
{
    EventsMap events;
    events.loadResource ("events.xml");

    EXPECT_EQ (events.getEventUid ("Select Line 1"), 0);
    EXPECT_EQ (events.getEventUid ("select line 1"), -1);
    EXPECT_EQ (events.getEventUid ("Select Line 1 "), -1);
    EXPECT_EQ (events.getEventUid (""), -1);
}

TEST (EventsMap, DisplayNames)
{
    EventsMap events;
    events.loadResource ("events.xml");

    EXPECT_EQ (events.getEventDisplayName (0), "Select line 1");
    EXPECT_EQ (events.getEventDisplayName (75), "Mod 1 retrigger settings");
    EXPECT_EQ (events.getEventDisplayName (500), "");
}

TEST (EventsMap, UidsAndNamesOccurOnce)
{
    EventsMap events;
    EXPECT_TRUE (events.addEvent (1000, "Options"));
    EXPECT_FALSE (events.addEvent (1001, "Options"));
    EXPECT_FALSE (events.addEvent (1000, "About"));

    EXPECT_EQ (events.getEventName (1000), "Options");
    EXPECT_TRUE (events.getEventName (1001).isEmpty());
    EXPECT_EQ (events.getEventUid ("About"), -1);

    events.clear();
    EXPECT_EQ (events.getEventUid ("Options"), -1);
}

TEST (EventsMap, LoadingIgnoresCaseOfTagsAndKeepsTheFirstOfRepeats)
{
    EventsMap events;
    const auto document = juce::XmlDocument::parse ("<eventsmap><EVENT UID='3' Name='Three'/>"
                                                    "<event uid='3' name='Again'/><event uid='4' name='Three'/>"
                                                    "<event name='No uid'/><other uid='5' name='Other'/></eventsmap>");
    events.loadFromXml (document.get());

    EXPECT_EQ (events.getEventName (3), "Three");
    EXPECT_EQ (events.getEventUid ("Again"), -1);
    EXPECT_TRUE (events.getEventName (4).isEmpty());
    EXPECT_EQ (events.getEventUid ("No uid"), 0);
    EXPECT_TRUE (events.getEventName (5).isEmpty());
}

TEST (EventsMap, OtherDocumentsLeaveTheTableEmpty)
{
    EventsMap events;
    events.addEvent (1, "One");

    const auto document = juce::XmlDocument::parse ("<Events><event uid='2' name='Two'/></Events>");
    events.loadFromXml (document.get());
    EXPECT_TRUE (events.getEventName (1).isEmpty());
    EXPECT_TRUE (events.getEventName (2).isEmpty());

    events.addEvent (1, "One");
    events.loadFromXml (nullptr);
    EXPECT_TRUE (events.getEventName (1).isEmpty());
}
