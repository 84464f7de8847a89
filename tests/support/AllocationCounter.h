#pragma once

/** Counts the heap allocations and releases that the current thread makes while it exists.

    Under AddressSanitizer everything that reaches the allocator is counted, through the
    sanitizer's hooks. In other builds the program's replacement of the global operators new and
    delete counts what goes through them, which includes what a loaded module allocates with new,
    but not what calls malloc directly (such as JUCE's heap blocks).
*/
class AllocationCounter
{
public:
    AllocationCounter();
    ~AllocationCounter();

    AllocationCounter (const AllocationCounter&) = delete;
    AllocationCounter& operator= (const AllocationCounter&) = delete;

    /** The allocations so far. */
    int getCount() const noexcept;

    /** The blocks released so far (releasing null is not counted). */
    int getReleaseCount() const noexcept;

private:
    int allocationsAtStart, releasesAtStart;
};
