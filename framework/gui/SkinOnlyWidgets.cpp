#include "SkinOnlyWidgets.h"

#include "GFXDisplayFloat.h"
#include "GFXMidiChannelDisplay.h"
#include "GFXRocker.h"
#include "GFXWidgetFactory.h"
#include "ImageMidiKeyboard.h"
#include "ModWheel.h"
#include "NoteDisplay.h"
#include "PatternNumberDisplay.h"
#include "PitchBender.h"

namespace
{
    template <typename Widget>
    GFXWidgetFactory::Creator makeNamed()
    {
        return [] (const juce::String& name, SkinSource&) -> std::unique_ptr<juce::Component>
        {
            return std::make_unique<Widget> (name);
        };
    }
}

void SkinOnlyWidgets::registerSkinOnlyWidgets (GFXWidgetFactory& factory)
{
    factory.registerWidget ("Display", makeNamed<GFXDisplay>());
    factory.registerWidget ("DisplayFloat", makeNamed<GFXDisplayFloat>());
    factory.registerWidget ("Rocker", makeNamed<GFXRocker>());
    factory.registerWidget ("PitchBender", makeNamed<PitchBender>());
    factory.registerWidget ("ModWheel", makeNamed<ModWheel>());
    factory.registerWidget ("MidiChannelDisplay", makeNamed<GFXMidiChannelDisplay>());
    factory.registerWidget ("PatternNumberDisplay", makeNamed<PatternNumberDisplay>());
    factory.registerWidget ("NoteDisplay", makeNamed<NoteDisplay>());
    // Each keyboard plays into a state of its own, which nothing else needs to reach. It takes
    // no component name from its element: nothing finds a keyboard by name.
    factory.registerWidget ("MidiKeyboard", [] (const juce::String&, SkinSource&) -> std::unique_ptr<juce::Component>
    {
        return std::make_unique<ImageMidiKeyboard>();
    });
}
