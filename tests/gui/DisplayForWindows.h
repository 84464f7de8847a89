#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <dlfcn.h>

/**
    For the few tests that need real windows (keyboard focus, desktop windows): true when
    an X display is there, after installing an X error handler that ignores errors. A
    bare X server (Xvfb, no window manager) answers some of JUCE's requests with errors
    such as BadAtom, and Xlib's own handler would end the process.
*/
inline bool prepareDisplayForWindows()
{
    const auto* display = std::getenv ("DISPLAY");

    if (display == nullptr || *display == 0)
        return false;

    using ErrorHandler = int (*) (void*, void*);
    using SetErrorHandler = ErrorHandler (*) (ErrorHandler);

    if (auto* xlib = dlopen ("libX11.so.6", RTLD_LAZY | RTLD_GLOBAL))
        if (auto setHandler = reinterpret_cast<SetErrorHandler> (dlsym (xlib, "XSetErrorHandler")))
            setHandler ([] (void*, void*) { return 0; });

    return juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() != nullptr;
}

#define SKIP_WITHOUT_DISPLAY() \
    if (! prepareDisplayForWindows()) GTEST_SKIP() << "needs an X display (run under Xvfb)"
