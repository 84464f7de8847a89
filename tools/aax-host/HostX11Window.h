#pragma once

#include <cstdint>
#include <string>

/**
    A top-level X11 window of the simulated host, as a DAW opens one around a plug-in's view:
    the editor attaches itself to it as a child window. It is closed by the window manager's
    close request, or by being destroyed from outside.

    Xlib's default error handler ends the process on any error, among them those that JUCE's
    window code provokes on a bare X server (BadAtom for atoms it expects of a window manager);
    the window installs a handler that carries on before it opens the display.
*/
class HostX11Window
{
public:
    /** Opens the display named by DISPLAY and maps a window of that size; isOpen() tells
        whether it worked.
    */
    HostX11Window (const std::string& title, int width, int height);
    ~HostX11Window();

    HostX11Window (const HostX11Window&) = delete;
    HostX11Window& operator= (const HostX11Window&) = delete;

    bool isOpen() const noexcept                    { return window != 0; }

    /** The window's id, in the form an X11 view container hands over. */
    void* getNativeHandle() const noexcept          { return reinterpret_cast<void*> (window); }

    void setSize (int width, int height);

    /** Handles what is pending; answers false once the window has been closed. */
    bool dispatchEvents();

private:
    void* display = nullptr;
    unsigned long window = 0;
    unsigned long deleteWindowAtom = 0;
    bool closed = false;
};
