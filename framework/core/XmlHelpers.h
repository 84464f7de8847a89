#pragma once

#include <juce_core/juce_core.h>

/**
    Reading the framework's XML documents, whose tag and attribute names are compared
    ignoring case (JUCE's own lookups compare attribute names exactly and assert on a
    tag that differs only in case). Attribute values are returned as they stand.
*/
struct XmlHelpers
{
    /** True when the element's tag equals the name, ignoring case. */
    static bool hasTagName (const juce::XmlElement& element, juce::StringRef tagName);

    /** The first child element whose tag equals the name ignoring case, or null. */
    static juce::XmlElement* getChildByName (const juce::XmlElement& element, juce::StringRef tagName);

    /** Every child element whose tag equals the name ignoring case, in document order. */
    static juce::Array<juce::XmlElement*> getChildrenWithTagName (const juce::XmlElement& element,
                                                                  juce::StringRef tagName);

    /** True when the element has an attribute of that name, ignoring case. */
    static bool hasAttribute (const juce::XmlElement& element, juce::StringRef attributeName);

    /** The value of the first attribute of that name (ignoring case), or the default. */
    static juce::String getStringAttribute (const juce::XmlElement& element, juce::StringRef attributeName,
                                            const juce::String& defaultValue = {});

    /** The attribute read as C's atoi reads a text, or the default when it is missing. */
    static int getIntAttribute (const juce::XmlElement& element, juce::StringRef attributeName,
                                int defaultValue = 0);

    /** The attribute's number (0 for a text that is none), or the default when it is missing. */
    static double getDoubleAttribute (const juce::XmlElement& element, juce::StringRef attributeName,
                                      double defaultValue = 0.0);

    /** True for a value starting with '1', 't', 'T', 'y' or 'Y' (as JUCE reads booleans),
        or the default when the attribute is missing.
    */
    static bool getBoolAttribute (const juce::XmlElement& element, juce::StringRef attributeName,
                                  bool defaultValue = false);

private:
    static const juce::String* findAttribute (const juce::XmlElement& element, juce::StringRef attributeName);
};
