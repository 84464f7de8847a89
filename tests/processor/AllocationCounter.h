#pragma once

/** Counts the heap allocations that the current thread makes while it exists.

    Under AddressSanitizer every allocation is counted, through the sanitizer's
    allocation hook; in other builds the program's replacement of the global
    operator new counts what goes through new (JUCE's own heap blocks use malloc
    directly and are not seen there).
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
