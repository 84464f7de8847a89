#include "EventsMap.h"
#include "ResourceLoading.h"
#include "XmlHelpers.h"

void EventsMap::clear()
{
    uidsByName.clear();
    namesByUid.clear();
}

bool EventsMap::addEvent (int uid, const juce::String& name)
{
    if (namesByUid.count (uid) != 0 || uidsByName.count (name) != 0)
        return false;

    namesByUid.emplace (uid, name);
    uidsByName.emplace (name, uid);
    return true;
}

juce::String EventsMap::getEventName (int uid) const
{
    const auto found = namesByUid.find (uid);
    return found != namesByUid.end() ? found->second : juce::String();
}

int EventsMap::getEventUid (const juce::String& name) const
{
    const auto found = uidsByName.find (name);
    return found != uidsByName.end() ? found->second : -1;
}

juce::String EventsMap::getEventDisplayName (int uid) const
{
    const auto name = getEventName (uid);
    return name.substring (0, 1).toUpperCase() + name.substring (1).toLowerCase();
}

void EventsMap::loadFromXml (const juce::XmlElement* element)
{
    clear();

    if (element == nullptr || ! XmlHelpers::hasTagName (*element, "EventsMap"))
        return;

    for (auto* event : XmlHelpers::getChildrenWithTagName (*element, "event"))
        addEvent (XmlHelpers::getIntAttribute (*event, "uid"),
                  XmlHelpers::getStringAttribute (*event, "name"));
}

void EventsMap::loadResource (const juce::String& fileName)
{
    if (auto element = juce::XmlDocument::parse (loadXmlFromResource (fileName)))
        loadFromXml (element.get());
}
