#pragma once

/**
    Which X display JUCE may open in this process.

    On Linux JUCE opens a display once, the first time anything reaches juce::Desktop, and
    every component does as soon as it is made visible: a process that only paints components
    into images connects as surely as one that shows windows. It opens the display DISPLAY
    names, or ":0.0" when DISPLAY is empty or unset, which may be someone else's screen; and
    when that server goes away, Xlib ends the process. JUCE reads DISPLAY then and only then, so
    a program decides here, before its first component and while it runs one thread alone: both
    write the environment.
*/
struct DisplayAccess
{
    /** No display at all: every attempt to open one fails at once, without a connection, and
        JUCE runs headless (no screens, no windows; painting into images works as before).
    */
    static void forbid();

    /** Only the display DISPLAY names: none when it names none. */
    static void allowOnlyTheNamedOne();
};
