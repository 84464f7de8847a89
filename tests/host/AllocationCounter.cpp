#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace
{
    thread_local int numCountingScopes = 0;
    thread_local int numAllocations = 0;
}

AllocationCounter::AllocationCounter() : countAtStart (numAllocations)    { ++numCountingScopes; }
AllocationCounter::~AllocationCounter()                                    { --numCountingScopes; }
int AllocationCounter::getCount() const noexcept                           { return numAllocations - countAtStart; }

// malloc and free behind every plain new and delete of the process, so that the counter sees
// them; the pairs stay consistent for the sanitizers.
#if defined (__GNUC__) && ! defined (__clang__)
 #pragma GCC diagnostic push
 #pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new (std::size_t size)
{
    if (numCountingScopes > 0)
        ++numAllocations;

    if (auto* p = std::malloc (size == 0 ? 1 : size))
        return p;

    throw std::bad_alloc();
}

void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    if (numCountingScopes > 0)
        ++numAllocations;

    return std::malloc (size == 0 ? 1 : size);
}

void* operator new[] (std::size_t size)                                     { return operator new (size); }
void* operator new[] (std::size_t size, const std::nothrow_t& tag) noexcept { return operator new (size, tag); }
void operator delete (void* p) noexcept                                     { std::free (p); }
void operator delete[] (void* p) noexcept                                   { std::free (p); }
void operator delete (void* p, std::size_t) noexcept                        { std::free (p); }
void operator delete[] (void* p, std::size_t) noexcept                      { std::free (p); }
void operator delete (void* p, const std::nothrow_t&) noexcept              { std::free (p); }
void operator delete[] (void* p, const std::nothrow_t&) noexcept            { std::free (p); }

#if defined (__GNUC__) && ! defined (__clang__)
 #pragma GCC diagnostic pop
#endif
