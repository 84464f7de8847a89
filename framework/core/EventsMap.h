#pragma once

#include <juce_core/juce_core.h>

#include <map>

/**
    The names and uids of the GUI events: skin widgets name the events they fire, the
    editors act on their uids. A uid and a name each occur at most once; names are
    compared exactly.
*/
class EventsMap
{
public:
    EventsMap() = default;

    void clear();

    /** Adds the pair; false, with nothing changed, when the uid or the name is taken. */
    bool addEvent (int uid, const juce::String& name);

    /** The name of the uid, or an empty string. */
    juce::String getEventName (int uid) const;

    /** The uid of the name (exact comparison), or -1. */
    int getEventUid (const juce::String& name) const;

    /** The name with its first character in upper case and the rest in lower case,
        for status-bar and tooltip texts ("Select Line 1" is shown as "Select line 1").
    */
    juce::String getEventDisplayName (int uid) const;

    /** Clears the table, then adds the "event" children of an "EventsMap" element
        (tags and attribute names compared ignoring case); the first of a repeated uid
        or name wins. Any other element leaves the table empty.
    */
    void loadFromXml (const juce::XmlElement* element);

    /** Loads the table from the module resource of that file name. */
    void loadResource (const juce::String& fileName);

private:
    struct CodePointLess
    {
        bool operator() (const juce::String& a, const juce::String& b) const noexcept
        {
            return a.compare (b) < 0;
        }
    };

    std::map<juce::String, int, CodePointLess> uidsByName;
    std::map<int, juce::String> namesByUid;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EventsMap)
};
