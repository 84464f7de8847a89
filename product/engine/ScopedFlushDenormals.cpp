#include "ScopedFlushDenormals.h"

#if defined (__SSE__) || defined (_M_X64) || defined (_M_IX86)
 #include <xmmintrin.h>
 #define CORVANE_MXCSR 1
#elif defined (__aarch64__)
 #define CORVANE_FPCR 1
#endif

std::intptr_t ScopedFlushDenormals::getMode() noexcept
{
   #if CORVANE_MXCSR
    return (std::intptr_t) _mm_getcsr();
   #elif CORVANE_FPCR
    std::intptr_t mode;
    asm volatile ("mrs %0, fpcr" : "=r" (mode));
    return mode;
   #else
    return 0;
   #endif
}

void ScopedFlushDenormals::setMode (std::intptr_t mode) noexcept
{
   #if CORVANE_MXCSR
    _mm_setcsr ((unsigned int) mode);
   #elif CORVANE_FPCR
    asm volatile ("msr fpcr, %0" : : "ri" (mode));
   #else
    (void) mode;
   #endif
}

std::intptr_t ScopedFlushDenormals::getFlushBits() noexcept
{
   #if CORVANE_MXCSR
    return 0x8040;      // flush-to-zero (bit 15) and denormals-are-zero (bit 6)
   #elif CORVANE_FPCR
    return 1 << 24;     // FZ
   #else
    return 0;
   #endif
}

ScopedFlushDenormals::ScopedFlushDenormals() noexcept
    : previousMode (getMode())
{
    setMode (previousMode | getFlushBits());
}

ScopedFlushDenormals::~ScopedFlushDenormals() noexcept
{
    setMode (previousMode);
}
