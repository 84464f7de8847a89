#include "HostX11Window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>


namespace
{
    int ignoreError (Display*, XErrorEvent*)
    {
        return 0;
    }

    Display* asDisplay (void* display)    { return static_cast<Display*> (display); }
}

HostX11Window::HostX11Window (const std::string& title, int width, int height)
{
    // Before any other Xlib call: the module's own windows talk to the server from its thread.
    XInitThreads();
    XSetErrorHandler (ignoreError);

    auto* x = XOpenDisplay (nullptr);

    if (x == nullptr)
        return;

    display = x;
    const auto screen = DefaultScreen (x);
    window = XCreateSimpleWindow (x, RootWindow (x, screen), 0, 0,
                                  static_cast<unsigned int> (width > 0 ? width : 1), static_cast<unsigned int> (height > 0 ? height : 1),
                                  0, BlackPixel (x, screen), BlackPixel (x, screen));
    XStoreName (x, window, title.c_str());

    deleteWindowAtom = XInternAtom (x, "WM_DELETE_WINDOW", False);
    Atom protocols[] = { deleteWindowAtom };
    XSetWMProtocols (x, window, protocols, 1);
    XSelectInput (x, window, StructureNotifyMask);
    XMapWindow (x, window);
    XFlush (x);
}

HostX11Window::~HostX11Window()
{
    if (display == nullptr)
        return;

    if (window != 0)
        XDestroyWindow (asDisplay (display), window);

    XCloseDisplay (asDisplay (display));
}

void HostX11Window::setSize (int width, int height)
{
    if (window == 0 || closed || width <= 0 || height <= 0)
        return;

    XResizeWindow (asDisplay (display), window, static_cast<unsigned int> (width), static_cast<unsigned int> (height));
    XFlush (asDisplay (display));
}

bool HostX11Window::dispatchEvents()
{
    if (window == 0)
        return false;

    auto* x = asDisplay (display);

    while (! closed && XPending (x) > 0)
    {
        XEvent event;
        XNextEvent (x, &event);

        if (event.type == ClientMessage && static_cast<unsigned long> (event.xclient.data.l[0]) == deleteWindowAtom)
        {
            // Closed as a host closes a plug-in window: the view is detached before the window goes.
            closed = true;
        }
        else if (event.type == DestroyNotify && event.xdestroywindow.window == window)
        {
            closed = true;
            window = 0;
        }
    }

    return ! closed;
}
