#pragma once

#include <cstdint>

/**
    Our stand-in for the Windows synchronisation calls that the host binding makes: a
    mutex that its owner thread may take again (each take needs its own release), waits
    with a time-out, and numeric thread ids.
*/
namespace win32
{

using DWORD = std::uint32_t;
using BOOL = int;

struct KernelObject;
using HANDLE = KernelObject*;

constexpr DWORD INFINITE = 0xFFFFFFFFu;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 0x102;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

/** A new unnamed mutex, owned by the calling thread when initialOwner is true. Named
    mutexes are not supported: a name gives null. The security attributes are ignored.
*/
HANDLE CreateMutexA (const void* securityAttributes, BOOL initialOwner, const char* name);

/** Waits until the calling thread owns the mutex, at most the given milliseconds
    (INFINITE: no limit). Answers WAIT_OBJECT_0 when it owns it, WAIT_TIMEOUT when the
    time ran out and WAIT_FAILED for a null handle.
*/
DWORD WaitForSingleObject (HANDLE handle, DWORD milliseconds);

/** Gives up one take of the mutex; false when the calling thread does not own it. */
BOOL ReleaseMutex (HANDLE handle);

/** Destroys the object; false for a null handle. No thread may be waiting on it. */
BOOL CloseHandle (HANDLE handle);

/** A number that identifies the calling thread while it runs; never 0. */
DWORD GetCurrentThreadId() noexcept;

} // namespace win32
