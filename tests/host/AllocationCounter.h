#pragma once

/** Counts the heap allocations that the current thread makes while it exists (the test program
    replaces the global operator new, which a loaded module's allocations also go through).
*/
class AllocationCounter
{
public:
    AllocationCounter();
    ~AllocationCounter();

    AllocationCounter (const AllocationCounter&) = delete;
    AllocationCounter& operator= (const AllocationCounter&) = delete;

    int getCount() const noexcept;

private:
    int countAtStart;
};
