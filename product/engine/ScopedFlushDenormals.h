#pragma once

#include <cstdint>

/** Switches the calling thread's floating-point unit to flush denormal results
    and inputs to zero for the lifetime of the object, and puts back exactly the
    mode it found when it goes out of scope.

    The audio callback runs on the host's thread, so the host's own mode must
    survive the render: whatever flags were set (or clear) before stay that way.
    On processors without such a mode this does nothing.
*/
class ScopedFlushDenormals
{
public:
    ScopedFlushDenormals() noexcept;
    ~ScopedFlushDenormals() noexcept;

    ScopedFlushDenormals (const ScopedFlushDenormals&) = delete;
    ScopedFlushDenormals& operator= (const ScopedFlushDenormals&) = delete;

    /** The thread's current control word (MXCSR on x86, FPCR on ARM; 0 elsewhere). */
    static std::intptr_t getMode() noexcept;

    /** Replaces the thread's control word. */
    static void setMode (std::intptr_t mode) noexcept;

    /** The bits that flush denormals on this processor (0 where there are none). */
    static std::intptr_t getFlushBits() noexcept;

private:
    std::intptr_t previousMode;
};
