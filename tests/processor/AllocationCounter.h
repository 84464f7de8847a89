#pragma once

/** Counts the heap allocations that the current thread makes while it exists
    (this test program replaces the global operator new to count them).
*/
class AllocationCounter
{
public:
    AllocationCounter();
    ~AllocationCounter();

    int getCount() const noexcept;

private:
    int countAtStart;
};
