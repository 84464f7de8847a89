#pragma once

class GFXWidgetFactory;

/**
    The widgets that only a skin archive places (the built-in skin uses none): text and
    number displays, rocker, pitch bender, mod wheel, channel display, note display and
    keyboard.
*/
struct SkinOnlyWidgets
{
    /** Registers "Display", "DisplayFloat", "Rocker", "PitchBender", "ModWheel",
        "MidiChannelDisplay", "PatternNumberDisplay", "NoteDisplay" and "MidiKeyboard".
    */
    static void registerSkinOnlyWidgets (GFXWidgetFactory& factory);
};
