#pragma once

#include "CommandLineHost.h"

/**
    corvane-host's view commands, carried out as an AAX host opens a plug-in's view: the
    module is loaded and an instance made as for render, then the instance's editor object is
    created, initialised and handed a view container.

    snapshot hands it a pixel-buffer container, lets the editor run for a moment (its 25 ms
    ticks, the parameter updates it receives asynchronously) and writes what it drew into a
    PNG image, which replaces the target only once complete. show hands it an X11 window of
    its own and keeps it open until the window is closed, optionally rendering a file through
    the instance in a loop at real-time pace on a thread of its own, as a host's audio thread
    would, while another reads the file ahead of it, so that memory does not grow with the file.
*/
class ViewCommandHost
{
public:
    explicit ViewCommandHost (const CommandLineOptions& options);

    /** Writes the editor's face into the --out image; throws a HostError when it cannot. */
    void snapshot();
    /** Shows the editor until its window is closed; throws a HostError when it cannot. */
    void show();

private:
    const CommandLineOptions options;
    CommandLineHost host;
};
