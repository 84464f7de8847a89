#pragma once

#include <juce_graphics/juce_graphics.h>

/**
    Everything the framework reads from the plug-in module itself goes through these
    functions. A resource is named as if it were a file: the part of the file name
    before its last '.' is the resource's name, the part after it its type
    ("parameters.xml" is the resource PARAMETERS of type XML); names and types are
    matched ignoring case. They keep no state and may run on any thread.
*/

/** A copy of the resource's bytes, owned by the caller; null when there is no such
    resource or it is empty.
*/
std::unique_ptr<juce::MemoryBlock> loadResourceData (const juce::String& fileName);

/** The resource's bytes as UTF-8 text; empty when the resource is missing. */
juce::String loadXmlFromResource (const juce::String& fileName);

/** The resource decoded by the image formats JUCE knows; a null image when the
    resource is missing or is no image.
*/
juce::Image loadImageFromResource (const juce::String& fileName);
