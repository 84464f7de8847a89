#include "ProgressDisplay.h"

#include <algorithm>
#include <unistd.h>

ProgressDisplay::ProgressDisplay() : enabled (isatty (fileno (stderr)) != 0)
{
}

ProgressDisplay::~ProgressDisplay()
{
    if (enabled && shownPercent >= 0)
    {
        std::fputs ("\r                    \r", stderr);
        std::fflush (stderr);
    }
}

void ProgressDisplay::update (double fraction)
{
    const auto percent = static_cast<int> (std::clamp (fraction, 0.0, 1.0) * 100.0);

    if (! enabled || percent == shownPercent)
        return;

    shownPercent = percent;
    std::fprintf (stderr, "\rRendering %3d%%", percent);
    std::fflush (stderr);
}
