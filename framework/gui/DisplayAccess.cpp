#include "DisplayAccess.h"

#include <cstdlib>

namespace
{
    // X libraries read a server's address from the part after the last ':'. A name without
    // one names nothing they could reach, so they refuse it before making any socket.
    constexpr const char* unreachableDisplay = "none";
}

void DisplayAccess::forbid()
{
    setenv ("DISPLAY", unreachableDisplay, 1);
}

void DisplayAccess::allowOnlyTheNamedOne()
{
    const auto* display = std::getenv ("DISPLAY");

    if (display == nullptr || *display == 0)
        forbid();
}
