#pragma once

#include <cstdio>

/** A percentage that a long render keeps up to date on one line of the terminal. Shown only
    when the standard error stream is a terminal, so that files and pipes get no progress noise.
*/
class ProgressDisplay
{
public:
    ProgressDisplay();

    /** Removes the line again. */
    ~ProgressDisplay();

    ProgressDisplay (const ProgressDisplay&) = delete;
    ProgressDisplay& operator= (const ProgressDisplay&) = delete;

    /** Shows the fraction done (0 to 1); the line is rewritten only when the percentage changes. */
    void update (double fraction);

private:
    bool enabled;
    int shownPercent = -1;
};
