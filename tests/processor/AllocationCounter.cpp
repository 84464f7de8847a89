#include "AllocationCounter.h"

#include <juce_core/juce_core.h>

#include <cstdlib>
#include <new>

namespace
{
thread_local int numCountingScopes = 0;
thread_local int numAllocations = 0;

void countAllocation() noexcept
{
    if (numCountingScopes > 0)
        ++numAllocations;
}
}

AllocationCounter::AllocationCounter()  : countAtStart (numAllocations)   { ++numCountingScopes; }
AllocationCounter::~AllocationCounter()                                     { --numCountingScopes; }
int AllocationCounter::getCount() const noexcept                            { return numAllocations - countAtStart; }

#if defined (__SANITIZE_ADDRESS__)
// The sanitizer owns the allocator; it reports every allocation to a hook instead.
extern "C" int __sanitizer_install_malloc_and_free_hooks (void (*) (const volatile void*, std::size_t),
                                                         void (*) (const volatile void*));

namespace
{
void onMalloc (const volatile void*, std::size_t)   { countAllocation(); }
void onFree (const volatile void*)                  {}

[[maybe_unused]] const int hooksInstalled = __sanitizer_install_malloc_and_free_hooks (onMalloc, onFree);
}

#else

// malloc and free behind every plain new and delete of the program, so that the
// counter sees them.
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wmismatched-new-delete")

void* operator new (std::size_t size)
{
    countAllocation();

    if (auto* p = std::malloc (size == 0 ? 1 : size))
        return p;

    throw std::bad_alloc();
}

void* operator new[] (std::size_t size)                 { return operator new (size); }
void operator delete (void* p) noexcept                 { std::free (p); }
void operator delete[] (void* p) noexcept               { std::free (p); }
void operator delete (void* p, std::size_t) noexcept    { std::free (p); }
void operator delete[] (void* p, std::size_t) noexcept  { std::free (p); }

JUCE_END_IGNORE_WARNINGS_GCC_LIKE

#endif
