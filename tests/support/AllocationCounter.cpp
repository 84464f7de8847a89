#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace
{
    thread_local int numCountingScopes = 0;
    thread_local int numAllocations = 0;
    thread_local int numReleases = 0;

    void countAllocation() noexcept
    {
        if (numCountingScopes > 0)
            ++numAllocations;
    }

    void countRelease (const volatile void* p) noexcept
    {
        if (p != nullptr && numCountingScopes > 0)
            ++numReleases;
    }
}

AllocationCounter::AllocationCounter()
    : allocationsAtStart (numAllocations), releasesAtStart (numReleases)
{
    ++numCountingScopes;
}

AllocationCounter::~AllocationCounter()                      { --numCountingScopes; }
int AllocationCounter::getCount() const noexcept             { return numAllocations - allocationsAtStart; }
int AllocationCounter::getReleaseCount() const noexcept      { return numReleases - releasesAtStart; }

#if defined (__SANITIZE_ADDRESS__)
// The sanitizer owns the allocator; it reports every allocation and release to hooks instead.
extern "C" int __sanitizer_install_malloc_and_free_hooks (void (*) (const volatile void*, std::size_t),
                                                         void (*) (const volatile void*));

namespace
{
    void onMalloc (const volatile void*, std::size_t)   { countAllocation(); }
    void onFree (const volatile void* p)                { countRelease (p); }

    [[maybe_unused]] const int hooksInstalled = __sanitizer_install_malloc_and_free_hooks (onMalloc, onFree);
}

#else

namespace
{
    void* allocate (std::size_t size)
    {
        countAllocation();

        if (auto* p = std::malloc (size == 0 ? 1 : size))
            return p;

        throw std::bad_alloc();
    }

    void* allocate (std::size_t size, const std::nothrow_t&) noexcept
    {
        countAllocation();
        return std::malloc (size == 0 ? 1 : size);
    }

    void* allocateAligned (std::size_t size, std::align_val_t alignment)
    {
        countAllocation();
        const auto a = static_cast<std::size_t> (alignment);

        if (auto* p = std::aligned_alloc (a, (size + a - 1) / a * a))
            return p;

        throw std::bad_alloc();
    }

    void release (void* p) noexcept
    {
        countRelease (p);
        std::free (p);
    }
}

// malloc and free behind every new and delete of the program, so that the counter sees them;
// the pairs stay consistent.
#if defined (__GNUC__) && ! defined (__clang__)
 #pragma GCC diagnostic push
 #pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new (std::size_t size)                                        { return allocate (size); }
void* operator new[] (std::size_t size)                                      { return allocate (size); }
void* operator new (std::size_t size, const std::nothrow_t& tag) noexcept    { return allocate (size, tag); }
void* operator new[] (std::size_t size, const std::nothrow_t& tag) noexcept  { return allocate (size, tag); }
void* operator new (std::size_t size, std::align_val_t a)                    { return allocateAligned (size, a); }
void* operator new[] (std::size_t size, std::align_val_t a)                  { return allocateAligned (size, a); }
void operator delete (void* p) noexcept                                      { release (p); }
void operator delete[] (void* p) noexcept                                    { release (p); }
void operator delete (void* p, std::size_t) noexcept                         { release (p); }
void operator delete[] (void* p, std::size_t) noexcept                       { release (p); }
void operator delete (void* p, const std::nothrow_t&) noexcept               { release (p); }
void operator delete[] (void* p, const std::nothrow_t&) noexcept             { release (p); }
void operator delete (void* p, std::align_val_t) noexcept                    { release (p); }
void operator delete[] (void* p, std::align_val_t) noexcept                  { release (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept       { release (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept     { release (p); }

#if defined (__GNUC__) && ! defined (__clang__)
 #pragma GCC diagnostic pop
#endif

#endif
