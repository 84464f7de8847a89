#include "XmlHelpers.h"
#include "NumberConversions.h"

bool XmlHelpers::hasTagName (const juce::XmlElement& element, juce::StringRef tagName)
{
    return element.getTagName().equalsIgnoreCase (tagName);
}

juce::XmlElement* XmlHelpers::getChildByName (const juce::XmlElement& element, juce::StringRef tagName)
{
    for (auto* child : element.getChildIterator())
        if (hasTagName (*child, tagName))
            return child;

    return nullptr;
}

juce::Array<juce::XmlElement*> XmlHelpers::getChildrenWithTagName (const juce::XmlElement& element,
                                                                   juce::StringRef tagName)
{
    juce::Array<juce::XmlElement*> children;

    for (auto* child : element.getChildIterator())
        if (hasTagName (*child, tagName))
            children.add (child);

    return children;
}

const juce::String* XmlHelpers::findAttribute (const juce::XmlElement& element, juce::StringRef attributeName)
{
    for (int i = 0; i < element.getNumAttributes(); ++i)
        if (element.getAttributeName (i).equalsIgnoreCase (attributeName))
            return &element.getAttributeValue (i);

    return nullptr;
}

bool XmlHelpers::hasAttribute (const juce::XmlElement& element, juce::StringRef attributeName)
{
    return findAttribute (element, attributeName) != nullptr;
}

juce::String XmlHelpers::getStringAttribute (const juce::XmlElement& element, juce::StringRef attributeName,
                                             const juce::String& defaultValue)
{
    if (auto* value = findAttribute (element, attributeName))
        return *value;

    return defaultValue;
}

int XmlHelpers::getIntAttribute (const juce::XmlElement& element, juce::StringRef attributeName, int defaultValue)
{
    if (auto* value = findAttribute (element, attributeName))
        return NumberConversions::parseInt (*value);

    return defaultValue;
}

double XmlHelpers::getDoubleAttribute (const juce::XmlElement& element, juce::StringRef attributeName,
                                       double defaultValue)
{
    if (auto* value = findAttribute (element, attributeName))
        return value->getDoubleValue();

    return defaultValue;
}

bool XmlHelpers::getBoolAttribute (const juce::XmlElement& element, juce::StringRef attributeName, bool defaultValue)
{
    if (auto* value = findAttribute (element, attributeName))
    {
        const auto first = *value->getCharPointer().findEndOfWhitespace();
        return first == '1' || first == 't' || first == 'T' || first == 'y' || first == 'Y';
    }

    return defaultValue;
}
