#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <map>

class SkinSource;

/**
    The registry that turns a skin element's tag into a widget: tag -> creator. Tags
    are matched ignoring case; a tag nobody registered makes no widget.

    Every widget made here is a juce::Component and a GUIController. A widget family
    registers its tags in a function of its own (registerCoreWidgets for the filmstrip
    widgets and panels) that the registry's constructor calls once: registering from a
    static initialiser would be lost, as the linker drops object files of a static
    library that nothing references. A new family adds its function and one call in
    the constructor.
*/
class GFXWidgetFactory
{
public:
    /** Makes a widget with that component name; the skin source gives what a widget
        needs beyond its element (the plug-in, its images).
    */
    using Creator = std::function<std::unique_ptr<juce::Component> (const juce::String& name, SkinSource& source)>;

    /** The registry of the skin reader, with every family registered. */
    static GFXWidgetFactory& getInstance();

    /** Registers (or replaces) the creator of a tag. */
    void registerWidget (const juce::String& tag, Creator creator);

    bool isRegistered (const juce::String& tag) const;

    /** A new widget for the tag, or null for a tag nobody registered. */
    std::unique_ptr<juce::Component> createWidget (const juce::String& tag, const juce::String& name,
                                                   SkinSource& source) const;

    /** The knob, switch, animation, button and panel tags, and the numeric display. */
    static void registerCoreWidgets (GFXWidgetFactory& factory);

private:
    GFXWidgetFactory();

    std::map<juce::String, Creator> creators;

    JUCE_DECLARE_NON_COPYABLE (GFXWidgetFactory)
};
